#pragma once

#include <QString>
#include <QWidget>

class QLineEdit;
class QToolButton;
class TPyxObject;
class TPyxObjects;

// The selector: shows one linked entity (or a text for none) in a read-only edit, and picks another through the
// pick dialog opened by its button. The owning frame sets the three texts in its constructor and List when a
// database is attached.
class TframeSelectionSearch final : public QWidget {
    Q_OBJECT
public:
    explicit TframeSelectionSearch(QWidget* Parent);

    QLineEdit* edSelection;
    QToolButton* btnSearch;

    TPyxObjects* List = nullptr;
    QString SearchCaption;
    QString UnknownCaption;
    QString NoneText;

    // Sets the link and shows it; Changed is not raised.
    void SetSelected(TPyxObject* Entity);
    TPyxObject* Selected() const { return Selected_; }

public slots:
    // Opens the pick dialog on the current link; OK takes its choice (none when its check box is checked or no
    // row is focused) and raises Changed; Cancel changes nothing.
    void btnSearchClick();

signals:
    // The user picked in the dialog.
    void Changed(TframeSelectionSearch* Sender);

private:
    TPyxObject* Selected_ = nullptr;
};
