#include "RelationshipCopies.h"

#include "PointerListBox.h"
#include "PyxListModel.h"
#include "PyxRelationship.h"

namespace RelationshipCopies {

namespace {

std::vector<TPyxRelationship*> Items(const std::vector<TPointerListBox*>& Boxes) {
    std::vector<TPyxRelationship*> All;
    for (const TPointerListBox* Box : Boxes)
        for (TPyxRelationship* Relationship : Box->Items<TPyxRelationship>())
            All.push_back(Relationship);
    return All;
}

void RemoveRow(const std::vector<TPointerListBox*>& Boxes, int Row) {
    for (TPointerListBox* Box : Boxes) {
        if (Row < Box->count()) {
            Box->DeleteItem(Row);
            return;
        }
        Row -= Box->count();
    }
}

bool Same(const TPyxRelationship* A, const TPyxRelationship* B) {
    return A->TargetType == B->TargetType && A->Kind == B->Kind && A->Amount == B->Amount &&
           A->RelationshipByte == B->RelationshipByte && A->Target == B->Target;
}

} // namespace

QString TargetText(const TPyxRelationship& Relationship) {
    return Relationship.Target != nullptr ? TPyxListModel::DisplayName(*Relationship.Target) : QString();
}

void Show(const std::vector<TPointerListBox*>& Boxes, const std::vector<std::uint8_t>& Kinds,
          const TPyxRelationshipList* Relationships) {
    for (TPointerListBox* Box : Boxes)
        Box->Clear();
    if (Relationships == nullptr)
        return;
    for (const auto& Relationship : *Relationships)
        for (std::size_t I = 0; I < Boxes.size() && I < Kinds.size(); ++I)
            if (Relationship->Kind == Kinds[I])
                Boxes[I]->AddOwned(TargetText(*Relationship), Relationship->Clone());
}

void Write(const std::vector<TPointerListBox*>& Boxes, const std::vector<std::uint8_t>& Kinds,
           TPyxRelationshipList& Relationships) {
    for (std::uint8_t Kind : Kinds)
        Relationships.RemoveKind(Kind);
    for (const TPyxRelationship* Relationship : Items(Boxes))
        if (Relationship != nullptr)
            Relationships.Add(Relationship->Clone());
}

std::unique_ptr<TListBinding<TPyxRelationship>> Binding(std::vector<TPointerListBox*> Boxes) {
    TListBinding<TPyxRelationship>::TAccess Access;
    Access.Items = [Boxes] { return Items(Boxes); };
    Access.Keep = [](TPyxRelationship& Relationship) { return Relationship.Clone(); };
    Access.Same = Same;
    Access.ClearControl = [Boxes] {
        for (TPointerListBox* Box : Boxes)
            Box->Clear();
    };
    Access.Drop = [](TPyxRelationship* Relationship, const TGoneEntities& Gone) {
        return !Gone.Has(Relationship->Target);
    };
    Access.RemoveRow = [Boxes](int Row) { RemoveRow(Boxes, Row); };
    return std::make_unique<TListBinding<TPyxRelationship>>(std::move(Access));
}

} // namespace RelationshipCopies
