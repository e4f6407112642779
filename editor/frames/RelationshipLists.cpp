#include "RelationshipLists.h"

#include "EditPreference.h"
#include "PointerListBox.h"
#include "PyxListModel.h"
#include "PyxMessages.h"
#include "PyxNavigator.h"
#include "PyxRelationship.h"
#include "RelationshipCopies.h"

#include <QPushButton>

#include <memory>
#include <utility>

using RelationshipCopies::TargetText;

TRelationshipLists::TRelationshipLists(QWidget& Owner, TPyxNavigator& Navigator, QString TooManyMessage)
    : Owner_(Owner), Navigator_(Navigator), TooManyMessage_(std::move(TooManyMessage)),
      Binding_(RelationshipCopies::Binding({})) {}

void TRelationshipLists::AddList(const TKind& Kind, TPointerListBox* Box, QPushButton* AddButton,
                                 QPushButton* DeleteButton, QPushButton* EditButton) {
    const int Index = static_cast<int>(Lists_.size());
    Lists_.push_back({Kind, Box});
    Binding_ = RelationshipCopies::Binding(Boxes());
    QObject::connect(AddButton, &QPushButton::clicked, &Owner_, [this, Index] { Add(Index); });
    QObject::connect(DeleteButton, &QPushButton::clicked, &Owner_, [this, Index] { Delete(Index); });
    QObject::connect(EditButton, &QPushButton::clicked, &Owner_, [this, Index] { Edit(Index); });
    QObject::connect(Box, &QListWidget::itemDoubleClicked, &Owner_, [this, Box] {
        if (const auto* Relationship = Box->GetSelected<TPyxRelationship>())
            Navigator_.ShowEntity(Relationship->Target);
    });
}

bool TRelationshipLists::Shown(std::uint8_t Kind) const {
    for (const TList& Entry : Lists_)
        if (Entry.Kind.Kind == Kind)
            return true;
    return false;
}

std::vector<TPointerListBox*> TRelationshipLists::Boxes() const {
    std::vector<TPointerListBox*> All;
    for (const TList& Entry : Lists_)
        All.push_back(Entry.Box);
    return All;
}

std::vector<std::uint8_t> TRelationshipLists::Kinds() const {
    std::vector<std::uint8_t> All;
    for (const TList& Entry : Lists_)
        All.push_back(Entry.Kind.Kind);
    return All;
}

void TRelationshipLists::Load(TPyxRelationshipList* Relationships) {
    Relationships_ = Relationships;
    RelationshipCopies::Show(Boxes(), Kinds(), Relationships);
    Binding_->Remember();
}

void TRelationshipLists::Save() {
    if (Relationships_ == nullptr || !Binding_->Changed())
        return;
    RelationshipCopies::Write(Boxes(), Kinds(), *Relationships_);
    Binding_->Remember();
}

void TRelationshipLists::ClearAll() {
    for (const TList& Entry : Lists_)
        Entry.Box->Clear();
}

int TRelationshipLists::RelationshipCount() const {
    int Count = 0;
    if (Relationships_ != nullptr)
        for (const auto& Relationship : *Relationships_)
            if (!Shown(Relationship->Kind))
                ++Count;
    for (const TList& Entry : Lists_)
        Count += Entry.Box->count();
    return Count;
}

void TRelationshipLists::Add(int Index) {
    if (Database == nullptr || Relationships_ == nullptr)
        return;
    if (RelationshipCount() >= MaxRelationships) {
        PyxMessages::ShowError(Owner_.window(), TooManyMessage_);
        return;
    }
    const TList& Entry = Lists_[static_cast<std::size_t>(Index)];
    TEditPreference Dialog(Owner_.window());
    Dialog.Database = Database;
    Dialog.Setup(Entry.Kind.Staff, Entry.Kind.Favourite, true);
    if (Dialog.exec() != QDialog::Accepted || Dialog.Selected == nullptr)
        return;
    auto Relationship = std::make_unique<TPyxRelationship>();
    Relationship->Amount = static_cast<std::uint8_t>(Dialog.GetAmount());
    Relationship->Target = Dialog.Selected;
    Relationship->TargetType = Entry.Kind.TargetType;
    Relationship->Kind = Entry.Kind.Kind;
    const QString Text = TargetText(*Relationship);
    Entry.Box->AddOwned(Text, std::move(Relationship));
}

void TRelationshipLists::Delete(int Index) {
    TPointerListBox* Box = List(Index);
    const int Row = Box->SelectedIndex();
    if (Row < 0)
        return;
    Box->DeleteItem(Row);
}

void TRelationshipLists::Edit(int Index) {
    const TList& Entry = Lists_[static_cast<std::size_t>(Index)];
    auto* Relationship = Entry.Box->GetSelected<TPyxRelationship>();
    if (Relationship == nullptr || Database == nullptr)
        return;
    TEditPreference Dialog(Owner_.window());
    Dialog.Database = Database;
    Dialog.Setup(Entry.Kind.Staff, Entry.Kind.Favourite, false);
    Dialog.SetEntry(Relationship->Target, Relationship->Amount);
    if (Dialog.exec() == QDialog::Accepted && Dialog.Selected != nullptr) {
        Relationship->Target = Dialog.Selected;
        Relationship->Amount = static_cast<std::uint8_t>(Dialog.GetAmount());
    }
    for (int Row = 0; Row < Entry.Box->count(); ++Row)
        if (const auto* Item = Entry.Box->GetItem<TPyxRelationship>(Row))
            Entry.Box->item(Row)->setText(TargetText(*Item));
}
