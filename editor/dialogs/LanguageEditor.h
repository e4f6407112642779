#pragma once

#include <QDialog>

#include <vector>

class QLabel;
class QLineEdit;
class QPushButton;
class QScrollArea;
class QVBoxLayout;
class QGridLayout;
class TPyxLangObjects;
class TWideStrings;

// The language text dialog: one row per loaded language with the language's name and the text in it, edited as
// Unicode. Execute fills it from a name list (item 0 the default language, shown as "English"; item i the text in
// the entity's language object i - 1) and writes the rows back into the list only on OK.
class TLanguageEditor final : public QDialog {
    Q_OBJECT
public:
    explicit TLanguageEditor(QWidget* Parent);

    QScrollArea* scrLanguages;
    QPushButton* btnOK;
    QPushButton* btnCancel;
    std::vector<QLabel*> Labels;
    std::vector<QLineEdit*> Edits;

    void AddLanguage(const QString& LanguageName, const QString& Text);
    // Shows the dialog modally; true when the texts were taken over (OK).
    bool Execute(const QString& Title, TWideStrings& Texts, const TPyxLangObjects* LangObjects);
    QString GetText(int Row) const;

    // The character set a language's texts are written in, recorded as its edit's "charset" property; Qt edits
    // show every script, so it changes nothing on screen.
    static int CharsetFor(const QString& LanguageName);

private:
    QGridLayout* Rows_;
};
