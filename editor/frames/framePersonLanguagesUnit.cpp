#include "framePersonLanguagesUnit.h"

#include "PointerListBox.h"
#include "PyxControls.h"
#include "PyxGlyphs.h"
#include "PyxLanguage.h"
#include "PyxListModel.h"
#include "PyxNavigator.h"
#include "PyxPerson.h"
#include "SpinEdit.h"
#include "frameSelectionSearchUnit.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

QString LanguageText(const TPyxPersonLanguage& Entry) {
    return Entry.Language != nullptr ? TPyxListModel::DisplayName(*Entry.Language) : QString("Unknown");
}

bool Same(const TPyxPersonLanguage* A, const TPyxPersonLanguage* B) {
    return A->Language == B->Language && A->Level == B->Level;
}

} // namespace

TframePersonLanguages::TframePersonLanguages(TPyxNavigator& Navigator, QWidget* Parent)
    : QWidget(Parent), Navigator_(Navigator) {
    setObjectName("framePersonLanguages");
    lblSpokenLanguages = new QLabel("Spoken Languages:", this);
    lblSpokenLanguages->setObjectName("lblSpokenLanguages");
    lboxLanguages = new TPointerListBox(this);
    lboxLanguages->setObjectName("lboxLanguages");
    btnAdd = new QPushButton("Add", this);
    btnAdd->setObjectName("btnAdd");
    btnDelete = new QPushButton("Delete", this);
    btnDelete->setObjectName("btnDelete");
    pnlLanguages = new QWidget(this);
    pnlLanguages->setObjectName("pnlLanguages");
    ssLanguage = PyxControls::Selector(pnlLanguages, "ssLanguage", "Find Language", "No Language", "<no language>");
    btnLanguageLink = PyxGlyphs::MakeButton(pnlLanguages, "btnLanguageLink", PyxGlyphs::LinkButton());
    seProficiency = PyxControls::SpinEdit(pnlLanguages, "seProficiency", 0, 10);
    btnOK = new QPushButton("OK", pnlLanguages);
    btnOK->setObjectName("btnOK");

    auto* Buttons = new QVBoxLayout;
    Buttons->addWidget(btnAdd);
    Buttons->addWidget(btnDelete);
    Buttons->addStretch(1);
    auto* ListRow = new QHBoxLayout;
    ListRow->addWidget(lboxLanguages, 1);
    ListRow->addLayout(Buttons);
    auto* Editor = new QGridLayout(pnlLanguages);
    auto* LanguageLabel = new QLabel("Language:", pnlLanguages);
    LanguageLabel->setObjectName("lblLanguage");
    auto* FluencyLabel = new QLabel("Fluency:", pnlLanguages);
    FluencyLabel->setObjectName("lblProficiency");
    Editor->addWidget(LanguageLabel, 0, 0);
    Editor->addWidget(ssLanguage, 0, 1);
    Editor->addWidget(btnLanguageLink, 0, 2);
    Editor->addWidget(FluencyLabel, 1, 0);
    Editor->addWidget(seProficiency, 1, 1, Qt::AlignLeft);
    Editor->addWidget(btnOK, 2, 1, Qt::AlignRight);
    Editor->setColumnStretch(1, 1);
    auto* Layout = new QVBoxLayout(this);
    Layout->addWidget(lblSpokenLanguages);
    Layout->addLayout(ListRow, 1);
    Layout->addWidget(pnlLanguages);
    pnlLanguages->setEnabled(false);

    // Languages are never deleted: the list has nothing to drop.
    TListBinding<TPyxPersonLanguage>::TAccess Rows;
    Rows.Items = [this] { return lboxLanguages->Items<TPyxPersonLanguage>(); };
    Rows.Keep = [](TPyxPersonLanguage& Entry) { return Entry.Clone(); };
    Rows.Same = Same;
    Rows.ClearControl = [this] { lboxLanguages->Clear(); };
    Rows_ = std::make_unique<TListBinding<TPyxPersonLanguage>>(std::move(Rows));

    connect(lboxLanguages, &QListWidget::itemSelectionChanged, this, &TframePersonLanguages::lboxLanguagesClick);
    connect(btnOK, &QPushButton::clicked, this, &TframePersonLanguages::btnOKClick);
    connect(btnAdd, &QPushButton::clicked, this, &TframePersonLanguages::btnAddClick);
    connect(btnDelete, &QPushButton::clicked, this, &TframePersonLanguages::btnDeleteClick);
    connect(btnLanguageLink, &QToolButton::clicked, this, [this] {
        if (TPyxObject* Language = ssLanguage->Selected())
            Navigator_.ShowEntity(Language);
    });
}

void TframePersonLanguages::SetLanguages(TPyxObjects* Languages) {
    ssLanguage->List = Languages;
    if (Languages == nullptr)
        LoadPerson(nullptr);
}

void TframePersonLanguages::LoadPerson(TPyxPerson* Person) {
    Person_ = Person;
    lboxLanguages->Clear();
    ssLanguage->SetSelected(nullptr);
    pnlLanguages->setEnabled(false);
    if (Person != nullptr)
        for (const auto& Entry : Person->Languages)
            lboxLanguages->AddOwned(LanguageText(*Entry), Entry->Clone());
    Rows_->Remember();
}

void TframePersonLanguages::lboxLanguagesClick() {
    auto* Entry = lboxLanguages->GetSelected<TPyxPersonLanguage>();
    pnlLanguages->setEnabled(Entry != nullptr);
    if (Entry == nullptr)
        return;
    ssLanguage->SetSelected(Entry->Language);
    seProficiency->SetValue(Entry->Level);
}

void TframePersonLanguages::btnOKClick() {
    const int Index = lboxLanguages->SelectedIndex();
    auto* Entry = lboxLanguages->GetItem<TPyxPersonLanguage>(Index);
    if (Entry == nullptr) {
        pnlLanguages->setEnabled(false);
        return;
    }
    Entry->Language = static_cast<TPyxLanguage*>(ssLanguage->Selected());
    Entry->Level = static_cast<uint8_t>(seProficiency->Value());
    lboxLanguages->item(Index)->setText(LanguageText(*Entry));
}

void TframePersonLanguages::btnAddClick() {
    if (Person_ == nullptr)
        return;
    auto Entry = std::make_unique<TPyxPersonLanguage>();
    Entry->Person = Person_;
    lboxLanguages->AddOwned("Unknown", std::move(Entry));
}

void TframePersonLanguages::btnDeleteClick() {
    const int Index = lboxLanguages->SelectedIndex();
    if (Index >= 0)
        lboxLanguages->DeleteItem(Index);
    lboxLanguages->clearSelection();
    pnlLanguages->setEnabled(false);
}

void TframePersonLanguages::SaveLanguages() {
    if (Person_ == nullptr || !Rows_->Changed())
        return;
    Person_->Languages.Clear();
    for (int I = 0; I < lboxLanguages->count(); ++I)
        if (auto* Entry = lboxLanguages->GetItem<TPyxPersonLanguage>(I)) {
            auto Copy = Entry->Clone();
            Copy->Person = Person_;
            Person_->Languages.Add(std::move(Copy));
        }
    Rows_->Remember();
}
