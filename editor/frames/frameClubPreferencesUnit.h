#pragma once

#include "RelationshipLists.h"

#include <QWidget>

class QPushButton;
class TPointerListBox;
class TPyxDatabase;
class TPyxNavigator;
class TPyxRelationshipList;

// The club frame's "&Preferences" page: the club's favourite staff (relationship kind 1), disliked staff (2) and
// rival clubs (5), edited as TRelationshipLists edits them: on copies, written back only when edited, replacing only
// those three kinds, an Add refused at the record's limit.
class TframeClubPreferences final : public QWidget {
    Q_OBJECT
public:
    // The most relationships a club's record can hold.
    static constexpr int MaxRelationships = TRelationshipLists::MaxRelationships;

    TframeClubPreferences(TPyxNavigator& Navigator, QWidget* Parent);

    void SetDatabase(TPyxDatabase* Database) { Lists_.Database = Database; }
    // Shows the kinds 1, 2 and 5 of List (nil: none) and remembers it for SaveRelationships.
    void LoadRelationships(TPyxRelationshipList* List) { Lists_.Load(List); }
    void SaveRelationships() { Lists_.Save(); }
    // Drops the relationships whose targets were deleted elsewhere, keeping the rest as the user left it.
    void Purge(const TGoneEntities& Gone) { Lists_.Purge(Gone); }

    TPointerListBox* lboxFavouriteStaff;
    TPointerListBox* lboxDislikedStaff;
    TPointerListBox* lboxRivals;
    QPushButton* btnAddFavouriteStaff;
    QPushButton* btnDeleteFavouriteStaff;
    QPushButton* btnEditFavouriteStaff;
    QPushButton* btnAddDislikedStaff;
    QPushButton* btnDeleteDislikedStaff;
    QPushButton* btnEditDislikedStaff;
    QPushButton* btnAddRival;
    QPushButton* btnDeleteRival;
    QPushButton* btnEditRival;

private:
    TPointerListBox* BuildList(int Column, const TRelationshipLists::TKind& Kind, const QString& Caption,
                               const QString& Name, const QString& ButtonSuffix, QPushButton*& Add,
                               QPushButton*& Delete, QPushButton*& Edit);

    TRelationshipLists Lists_;
};
