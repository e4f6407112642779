#include "LanguageEditor.h"

#include "PyxLanguage.h"
#include "PyxObject.h"
#include "PyxSupportClasses.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include <limits>

TLanguageEditor::TLanguageEditor(QWidget* Parent)
    : QDialog(Parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setObjectName("LanguageEditor");
    setWindowTitle("Edit");
    scrLanguages = new QScrollArea(this);
    scrLanguages->setObjectName("scrLanguages");
    scrLanguages->setWidgetResizable(true);
    scrLanguages->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto* Inner = new QWidget(scrLanguages);
    Rows_ = new QGridLayout(Inner);
    Rows_->setColumnMinimumWidth(0, 96);
    Rows_->setColumnStretch(1, 1);
    Rows_->setRowStretch(0, 0);
    Rows_->setAlignment(Qt::AlignTop);
    scrLanguages->setWidget(Inner);
    btnOK = new QPushButton("OK", this);
    btnOK->setObjectName("btnOK");
    btnOK->setDefault(true);
    btnCancel = new QPushButton("Cancel", this);
    btnCancel->setObjectName("btnCancel");
    btnCancel->setAutoDefault(false);
    auto* Buttons = new QHBoxLayout;
    Buttons->addStretch();
    Buttons->addWidget(btnOK);
    Buttons->addWidget(btnCancel);
    Buttons->addStretch();
    auto* Layout = new QVBoxLayout(this);
    Layout->addWidget(scrLanguages, 1);
    Layout->addLayout(Buttons);
    resize(321, 291);
    connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

int TLanguageEditor::CharsetFor(const QString& LanguageName) {
    static const std::pair<const char*, int> Charsets[] = {
        {"Russian", 204},  {"Korean", 129}, {"Chinese Simple", 134}, {"Chinese Traditional", 136},
        {"Japanese", 128}, {"Thai", 222},   {"Polish", 238}};
    for (const auto& [Name, Charset] : Charsets)
        if (LanguageName == QLatin1String(Name))
            return Charset;
    return 1; // the dialog font's own (the default character set)
}

void TLanguageEditor::AddLanguage(const QString& LanguageName, const QString& Text) {
    const int Row = static_cast<int>(Labels.size());
    auto* Inner = scrLanguages->widget();
    auto* Label = new QLabel(LanguageName, Inner);
    Label->setObjectName(QString("lblLanguage%1").arg(Row));
    auto* Edit = new QLineEdit(Text, Inner);
    Edit->setObjectName(QString("edLanguage%1").arg(Row));
    Edit->setProperty("charset", CharsetFor(LanguageName));
    Edit->setMinimumWidth(161);
    Edit->setMaxLength(std::numeric_limits<int>::max());
    Edit->setCursorPosition(0);
    Label->setBuddy(Edit);
    Rows_->addWidget(Label, Row, 0);
    Rows_->addWidget(Edit, Row, 1);
    Labels.push_back(Label);
    Edits.push_back(Edit);
}

QString TLanguageEditor::GetText(int Row) const {
    return Row >= 0 && Row < static_cast<int>(Edits.size()) ? Edits[static_cast<std::size_t>(Row)]->text() : QString();
}

bool TLanguageEditor::Execute(const QString& Title, TWideStrings& Texts, const TPyxLangObjects* LangObjects) {
    setWindowTitle(Title);
    if (Texts.Count() == 0)
        return false;
    AddLanguage("English", QString::fromStdU16String(Texts.Get(0)));
    for (int32_t I = 1; I < Texts.Count(); ++I) {
        const TPyxLangObject* Lang = LangObjects != nullptr ? LangObjects->Items(I - 1) : nullptr;
        const QString Name =
            Lang != nullptr && Lang->Language != nullptr ? QString::fromStdU16String(Lang->Language->Name) : QString();
        AddLanguage(Name, QString::fromStdU16String(Texts.Get(I)));
    }
    btnOK->setFocus();
    if (exec() != QDialog::Accepted)
        return false;
    for (int32_t I = 0; I < Texts.Count(); ++I)
        Texts.Put(I, GetText(I).toStdU16String());
    return true;
}
