#pragma once

#include "ListBinding.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

class QPushButton;
class QWidget;
class TPointerListBox;
class TPyxDatabase;
class TPyxNavigator;
class TPyxRelationship;
class TPyxRelationshipList;

// Some kinds of an entity's relationships (a club's or a person's favourite and disliked staff, clubs, rivals),
// each kind in a list box of its own with Add, Delete and Edit buttons. The lists hold copies, edited through the
// preference dialog; Save writes them back only when they differ from what was loaded (a list binding), and then
// replaces only the kinds shown, so the entity's other relationships stay as they are, in their places. The record
// counts all its relationships in one byte, so an Add that would take it beyond that is refused with a message: the
// save would fail on the whole database otherwise. A double-click on an item shows its target in its own tab.
class TRelationshipLists final {
public:
    // The most relationships one record can hold.
    static constexpr int MaxRelationships = 255;

    struct TKind {
        std::uint8_t Kind;
        std::uint8_t TargetType;
        bool Staff;     // the dialog picks people, else clubs
        bool Favourite; // the dialog's caption says favourite, else disliked
    };

    // Owner is the widget the lists and buttons stand on; TooManyMessage the text of a refused Add.
    TRelationshipLists(QWidget& Owner, TPyxNavigator& Navigator, QString TooManyMessage);

    TPyxDatabase* Database = nullptr;

    // The next list, for Kind: its buttons and double-click are wired here. Lists are numbered in the order added.
    void AddList(const TKind& Kind, TPointerListBox* Box, QPushButton* AddButton, QPushButton* DeleteButton,
                 QPushButton* EditButton);
    TPointerListBox* List(int Index) const { return Lists_[static_cast<std::size_t>(Index)].Box; }

    // Shows the kinds of Relationships (nil: none) and remembers the list for Save.
    void Load(TPyxRelationshipList* Relationships);
    void Save();
    // Empties every list; a later Save then leaves none of the kinds shown.
    void ClearAll();
    // Whether the lists differ from what Load showed.
    bool Changed() const { return Binding_->Changed(); }
    // Drops the relationships whose targets were deleted elsewhere.
    void Purge(const TGoneEntities& Gone) { Binding_->Purge(Gone); }

    void Add(int Index);
    void Delete(int Index);
    void Edit(int Index);

private:
    struct TList {
        TKind Kind;
        TPointerListBox* Box;
    };

    bool Shown(std::uint8_t Kind) const;
    std::vector<TPointerListBox*> Boxes() const;
    std::vector<std::uint8_t> Kinds() const;
    // How many relationships the entity would hold if the lists were written back now.
    int RelationshipCount() const;

    QWidget& Owner_;
    TPyxNavigator& Navigator_;
    QString TooManyMessage_;
    std::vector<TList> Lists_;
    TPyxRelationshipList* Relationships_ = nullptr;
    std::unique_ptr<TListBinding<TPyxRelationship>> Binding_;
};
