#pragma once

#include <QWidget>

#include <array>

class QPushButton;
class TPointerListBox;
class TPyxDatabase;
class TPyxNavigator;
class TPyxRelationshipList;

// The club frame's "&Preferences" page: the club's favourite staff (relationship kind 1), disliked staff (2) and
// rival clubs (5), each list edited on copies through the preference dialog. SaveRelationships writes the three
// lists back only when the user changed one, and then replaces only those three kinds: the club's other
// relationships stay as they are, in their places. The club's record counts its relationships in one byte, so an
// Add that would take the club beyond that is refused with a message.
class TframeClubPreferences final : public QWidget {
    Q_OBJECT
public:
    // The most relationships a club's record can hold.
    static constexpr int MaxRelationships = 255;

    TframeClubPreferences(TPyxNavigator& Navigator, QWidget* Parent);

    TPyxDatabase* Database = nullptr;

    // Shows the kinds 1, 2 and 5 of List (nil: none) and remembers it for SaveRelationships.
    void LoadRelationships(TPyxRelationshipList* List);
    void SaveRelationships();
    bool Changed() const { return Changed_; }

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
    struct TKindList {
        TPointerListBox* List = nullptr;
        uint8_t TargetType = 0;
        uint8_t Kind = 0;
        bool Staff = false;
        bool Favourite = false;
    };

    TPointerListBox* BuildList(int Index, const QString& Caption, const QString& Name, const QString& ButtonSuffix,
                               QPushButton*& Add, QPushButton*& Delete, QPushButton*& Edit);
    void btnAdd(int Index);
    void btnDelete(int Index);
    void btnEdit(int Index);
    void ListDblClick(int Index);
    // How many relationships the club would hold if the lists were written back now.
    int RelationshipCount() const;

    TPyxNavigator& Navigator_;
    std::array<TKindList, 3> Kinds_;
    TPyxRelationshipList* Relationships_ = nullptr;
    bool Changed_ = false;
};
