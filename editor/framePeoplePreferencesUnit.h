#pragma once

#include <QWidget>

#include <array>

class QPushButton;
class TPointerListBox;
class TPyxDatabase;
class TPyxNavigator;
class TPyxPerson;

// A person's favourite and disliked staff and clubs (relationships of kinds 1 to 4), on the people frame's
// "Preferences" tab. The four lists hold copies; nothing reaches the person until the people frame's Confirm calls
// SaveRelationships, and then only when a list was edited since the person was loaded. The person's record counts
// all its relationships in one byte, so an Add that would take the person beyond that is refused with a message:
// the save would otherwise fail on the whole database.
class TframePeoplePreferences final : public QWidget {
    Q_OBJECT
public:
    // The most relationships a person's record can hold.
    static constexpr int MaxRelationships = 255;

    TframePeoplePreferences(TPyxNavigator& Navigator, QWidget* Parent);

    TPyxDatabase* Database = nullptr;

    void LoadPerson(TPyxPerson* Person);
    // Replaces the person's relationships of kinds 1 to 4 by copies of the four lists, when edited. The person's
    // other relationships (rival clubs and nations, a second nation, an international retirement) stay as they are:
    // this frame neither shows nor edits them.
    void SaveRelationships();
    // Empties the four lists (the person type changed); a later save then leaves no kind 1 to 4.
    void ClearAll();
    bool Modified() const { return Modified_; }

    TPointerListBox* lboxFavouriteStaff;
    TPointerListBox* lboxDislikedStaff;
    TPointerListBox* lboxFavouriteClubs;
    TPointerListBox* lboxDislikedClubs;
    // Per list, in the order above: its Add, Delete and Edit buttons.
    std::array<QPushButton*, 4> btnAdd{};
    std::array<QPushButton*, 4> btnDelete{};
    std::array<QPushButton*, 4> btnEdit{};

    // The list a button belongs to (0..3).
    void Add(int List);
    void Delete(int List);
    void Edit(int List);

private:
    TPointerListBox* ListBox(int List) const;
    // How many relationships the person would hold if the lists were written back now.
    int RelationshipCount() const;

    TPyxNavigator& Navigator_;
    TPyxPerson* Person_ = nullptr;
    bool Modified_ = false;
};
