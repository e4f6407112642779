#include "frameClubPreferencesUnit.h"

#include "EditPreference.h"
#include "PointerListBox.h"
#include "PyxClub.h"
#include "PyxListModel.h"
#include "PyxMessages.h"
#include "PyxNavigator.h"
#include "PyxPerson.h"
#include "PyxRelationship.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString TooManyRelationshipsMessage =
    "A club can hold at most 255 relationships (favourite and disliked staff, rivals and the others it keeps "
    "together).\r\nDelete one before adding another.";

QString TargetText(const TPyxRelationship& Relationship) {
    return Relationship.Target != nullptr ? TPyxListModel::DisplayName(*Relationship.Target) : QString();
}

} // namespace

TframeClubPreferences::TframeClubPreferences(TPyxNavigator& Navigator, QWidget* Parent)
    : QWidget(Parent), Navigator_(Navigator) {
    setObjectName("frameClubPreferences");
    auto* Grid = new QGridLayout(this);
    Grid->setColumnStretch(0, 1);
    Grid->setColumnStretch(1, 1);
    Grid->setColumnStretch(2, 1);
    Kinds_[0] = {nullptr, TPyxRelationship::ttPerson, 1, true, true};
    Kinds_[1] = {nullptr, TPyxRelationship::ttPerson, 2, true, false};
    Kinds_[2] = {nullptr, TPyxRelationship::ttClub, 5, false, false};
    lboxFavouriteStaff = BuildList(0, "Favourite Staff:", "lboxFavouriteStaff", "FavouriteStaff", btnAddFavouriteStaff,
                                   btnDeleteFavouriteStaff, btnEditFavouriteStaff);
    lboxDislikedStaff = BuildList(1, "Disliked Staff:", "lboxDislikedStaff", "DislikedStaff", btnAddDislikedStaff,
                                  btnDeleteDislikedStaff, btnEditDislikedStaff);
    lboxRivals = BuildList(2, "Rivals:", "lboxRivals", "Rival", btnAddRival, btnDeleteRival, btnEditRival);
}

TPointerListBox* TframeClubPreferences::BuildList(int Index, const QString& Caption, const QString& Name,
                                                  const QString& ButtonSuffix, QPushButton*& Add, QPushButton*& Delete,
                                                  QPushButton*& Edit) {
    auto* Grid = static_cast<QGridLayout*>(layout());
    auto* List = new TPointerListBox(this);
    List->setObjectName(Name);
    auto* Label = new QLabel(Caption, this);
    Label->setObjectName("lbl" + Name.mid(4));
    Label->setBuddy(List);
    Add = new QPushButton("Add", this);
    Add->setObjectName("btnAdd" + ButtonSuffix);
    Delete = new QPushButton("Delete", this);
    Delete->setObjectName("btnDelete" + ButtonSuffix);
    Edit = new QPushButton("Edit", this);
    Edit->setObjectName("btnEdit" + ButtonSuffix);
    auto* Buttons = new QVBoxLayout;
    Buttons->addWidget(Add);
    Buttons->addWidget(Delete);
    Buttons->addWidget(Edit);
    Buttons->addStretch(1);
    auto* Column = new QGridLayout;
    Column->addWidget(Label, 0, 0, 1, 2);
    Column->addWidget(List, 1, 0);
    Column->addLayout(Buttons, 1, 1);
    Grid->addLayout(Column, 0, Index);
    Kinds_[static_cast<std::size_t>(Index)].List = List;
    connect(Add, &QPushButton::clicked, this, [this, Index] { btnAdd(Index); });
    connect(Delete, &QPushButton::clicked, this, [this, Index] { btnDelete(Index); });
    connect(Edit, &QPushButton::clicked, this, [this, Index] { btnEdit(Index); });
    connect(List, &QListWidget::itemDoubleClicked, this, [this, Index] { ListDblClick(Index); });
    return List;
}

void TframeClubPreferences::LoadRelationships(TPyxRelationshipList* List) {
    Relationships_ = List;
    Changed_ = false;
    for (TKindList& Kind : Kinds_)
        Kind.List->Clear();
    if (List == nullptr)
        return;
    for (const auto& Relationship : *List)
        for (TKindList& Kind : Kinds_)
            if (Relationship->Kind == Kind.Kind)
                Kind.List->AddOwned(TargetText(*Relationship), Relationship->Clone());
}

void TframeClubPreferences::SaveRelationships() {
    if (Relationships_ == nullptr || !Changed_)
        return;
    for (const TKindList& Kind : Kinds_)
        Relationships_->RemoveKind(Kind.Kind);
    for (const TKindList& Kind : Kinds_)
        for (int I = 0; I < Kind.List->count(); ++I)
            if (const auto* Relationship = Kind.List->GetItem<TPyxRelationship>(I))
                Relationships_->Add(Relationship->Clone());
    Changed_ = false;
}

int TframeClubPreferences::RelationshipCount() const {
    int Count = 0;
    if (Relationships_ != nullptr)
        for (const auto& Relationship : *Relationships_)
            if (Relationship->Kind != 1 && Relationship->Kind != 2 && Relationship->Kind != 5)
                ++Count;
    for (const TKindList& Kind : Kinds_)
        Count += Kind.List->count();
    return Count;
}

void TframeClubPreferences::btnAdd(int Index) {
    if (Database == nullptr || Relationships_ == nullptr)
        return;
    if (RelationshipCount() >= MaxRelationships) {
        PyxMessages::ShowError(this, TooManyRelationshipsMessage);
        return;
    }
    const TKindList& Kind = Kinds_[static_cast<std::size_t>(Index)];
    TEditPreference Dialog(this);
    Dialog.Database = Database;
    Dialog.Setup(Kind.Staff, Kind.Favourite, true);
    if (Dialog.exec() != QDialog::Accepted || Dialog.Selected == nullptr)
        return;
    auto Relationship = std::make_unique<TPyxRelationship>();
    Relationship->Amount = static_cast<uint8_t>(Dialog.GetAmount());
    Relationship->Target = Dialog.Selected;
    Relationship->TargetType = Kind.TargetType;
    Relationship->Kind = Kind.Kind;
    const QString Text = TargetText(*Relationship);
    Kind.List->AddOwned(Text, std::move(Relationship));
    Changed_ = true;
}

void TframeClubPreferences::btnDelete(int Index) {
    TPointerListBox* List = Kinds_[static_cast<std::size_t>(Index)].List;
    const int Row = List->SelectedIndex();
    if (Row < 0)
        return;
    List->DeleteItem(Row);
    Changed_ = true;
}

void TframeClubPreferences::btnEdit(int Index) {
    const TKindList& Kind = Kinds_[static_cast<std::size_t>(Index)];
    auto* Relationship = Kind.List->GetSelected<TPyxRelationship>();
    if (Relationship == nullptr || Database == nullptr)
        return;
    TEditPreference Dialog(this);
    Dialog.Database = Database;
    Dialog.Setup(Kind.Staff, Kind.Favourite, false);
    Dialog.SetEntry(Relationship->Target, Relationship->Amount);
    if (Dialog.exec() == QDialog::Accepted && Dialog.Selected != nullptr) {
        Relationship->Target = Dialog.Selected;
        Relationship->Amount = static_cast<uint8_t>(Dialog.GetAmount());
        Changed_ = true;
    }
    for (int I = 0; I < Kind.List->count(); ++I)
        if (const auto* Item = Kind.List->GetItem<TPyxRelationship>(I))
            Kind.List->item(I)->setText(TargetText(*Item));
}

void TframeClubPreferences::ListDblClick(int Index) {
    const TKindList& Kind = Kinds_[static_cast<std::size_t>(Index)];
    const auto* Relationship = Kind.List->GetSelected<TPyxRelationship>();
    if (Relationship == nullptr)
        return;
    if (Relationship->TargetType == TPyxRelationship::ttPerson)
        Navigator_.ShowPerson(dynamic_cast<TPyxPerson*>(Relationship->Target));
    else if (Relationship->TargetType == TPyxRelationship::ttClub)
        Navigator_.ShowClub(dynamic_cast<TPyxClub*>(Relationship->Target));
}
