#pragma once

#include "RelationshipLists.h"

#include <QWidget>

#include <array>

class QPushButton;
class TPointerListBox;
class TPyxDatabase;
class TPyxNavigator;
class TPyxPerson;

// A person's favourite and disliked staff and clubs (relationships of kinds 1 to 4), on the people frame's
// "Preferences" tab, edited as TRelationshipLists edits them: on copies, written back by the people frame's Confirm
// only when a list was edited, replacing only those four kinds (the person's rival clubs and nations, second nation
// and international retirement stay: this frame neither shows nor edits them), an Add refused at the record's limit.
class TframePeoplePreferences final : public QWidget {
    Q_OBJECT
public:
    // The most relationships a person's record can hold.
    static constexpr int MaxRelationships = TRelationshipLists::MaxRelationships;

    TframePeoplePreferences(TPyxNavigator& Navigator, QWidget* Parent);

    void SetDatabase(TPyxDatabase* Database) { Lists_.Database = Database; }
    void LoadPerson(TPyxPerson* Person);
    void SaveRelationships() { Lists_.Save(); }
    // Empties the four lists (the person type changed); a later save then leaves no kind 1 to 4.
    void ClearAll() { Lists_.ClearAll(); }
    // Drops the relationships whose targets were deleted elsewhere, keeping the rest as the user left it.
    void Purge(const TGoneEntities& Gone) { Lists_.Purge(Gone); }

    TPointerListBox* lboxFavouriteStaff;
    TPointerListBox* lboxDislikedStaff;
    TPointerListBox* lboxFavouriteClubs;
    TPointerListBox* lboxDislikedClubs;
    // Per list, in the order above: its Add, Delete and Edit buttons.
    std::array<QPushButton*, 4> btnAdd{};
    std::array<QPushButton*, 4> btnDelete{};
    std::array<QPushButton*, 4> btnEdit{};

private:
    TRelationshipLists Lists_;
};
