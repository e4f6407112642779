#pragma once

#include "ListBinding.h"

#include <QString>

#include <vector>

class TPointerListBox;
class TPyxRelationship;
class TPyxRelationshipList;

// An entity's relationships of some kinds, edited as copies in list boxes (one per kind): the nation's rivals, a
// club's or a person's favourite and disliked staff and clubs. The binding treats the boxes, one after the other, as
// one list: Write replaces the kinds the boxes show (and only those) by copies of their items, in box order, and a
// relationship whose target was deleted elsewhere leaves its box, as the data model's delete takes it from the
// entities.
namespace RelationshipCopies {

// Shows Relationships (nil: none) as copies in Boxes: each relationship of Kinds[i] in Boxes[i].
void Show(const std::vector<TPointerListBox*>& Boxes, const std::vector<std::uint8_t>& Kinds,
          const TPyxRelationshipList* Relationships);
// Replaces the relationships of Kinds in Relationships by copies of the boxes' items.
void Write(const std::vector<TPointerListBox*>& Boxes, const std::vector<std::uint8_t>& Kinds,
           TPyxRelationshipList& Relationships);
// The list binding over Boxes: it tells whether the boxes changed and drops relationships to entities that went; the
// owner shows and writes them (Show, Write).
std::unique_ptr<TListBinding<TPyxRelationship>> Binding(std::vector<TPointerListBox*> Boxes);
// The text of a relationship's row: its target's name.
QString TargetText(const TPyxRelationship& Relationship);

} // namespace RelationshipCopies
