#include "framePeoplePreferencesUnit.h"

#include "PointerListBox.h"
#include "PyxPerson.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

struct TListCaption {
    const char* Caption;
    const char* Name;
    const char* Suffix;
    TRelationshipLists::TKind Kind;
};

constexpr TListCaption Lists[4] = {
    {"Favourite Staff:", "lboxFavouriteStaff", "FavouriteStaff", {1, TPyxRelationship::ttPerson, true, true}},
    {"Disliked Staff:", "lboxDislikedStaff", "DislikedStaff", {2, TPyxRelationship::ttPerson, true, false}},
    {"Favourite Clubs:", "lboxFavouriteClubs", "FavouriteClubs", {3, TPyxRelationship::ttClub, false, true}},
    {"Disliked Clubs:", "lboxDislikedClubs", "DislikedClubs", {4, TPyxRelationship::ttClub, false, false}},
};

} // namespace

TframePeoplePreferences::TframePeoplePreferences(TPyxNavigator& Navigator, QWidget* Parent)
    : QWidget(Parent),
      Lists_(*this, Navigator,
             "A person can hold at most 255 relationships (favourite and disliked staff and clubs, and the others the "
             "person keeps, such as a second nation).\r\nDelete one before adding another.") {
    setObjectName("framePeoplePreferences");
    auto* Grid = new QGridLayout(this);
    for (std::size_t I = 0; I < std::size(Lists); ++I) {
        auto* Cell = new QWidget(this);
        auto* Caption = new QLabel(Lists[I].Caption, Cell);
        Caption->setObjectName(QString("lbl") + Lists[I].Suffix);
        auto* Box = new TPointerListBox(Cell);
        Box->setObjectName(Lists[I].Name);
        Caption->setBuddy(Box);
        auto* Buttons = new QHBoxLayout;
        const auto Make = [&](const char* Text, const char* Prefix) {
            auto* B = new QPushButton(Text, Cell);
            B->setObjectName(QString(Prefix) + Lists[I].Suffix);
            Buttons->addWidget(B);
            return B;
        };
        btnAdd[I] = Make("Add", "btnAdd");
        btnDelete[I] = Make("Delete", "btnDelete");
        btnEdit[I] = Make("Edit", "btnEdit");
        Buttons->addStretch(1);
        auto* Column = new QVBoxLayout(Cell);
        Column->setContentsMargins(0, 0, 0, 0);
        Column->addWidget(Caption);
        Column->addWidget(Box, 1);
        Column->addLayout(Buttons);
        Grid->addWidget(Cell, static_cast<int>(I / 2), static_cast<int>(I % 2));
        Lists_.AddList(Lists[I].Kind, Box, btnAdd[I], btnDelete[I], btnEdit[I]);
    }
    lboxFavouriteStaff = Lists_.List(0);
    lboxDislikedStaff = Lists_.List(1);
    lboxFavouriteClubs = Lists_.List(2);
    lboxDislikedClubs = Lists_.List(3);
}

void TframePeoplePreferences::LoadPerson(TPyxPerson* Person) {
    Lists_.Load(Person != nullptr ? &Person->Relationships : nullptr);
}
