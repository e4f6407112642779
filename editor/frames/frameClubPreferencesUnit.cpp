#include "frameClubPreferencesUnit.h"

#include "PointerListBox.h"
#include "PyxRelationship.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TframeClubPreferences::TframeClubPreferences(TPyxNavigator& Navigator, QWidget* Parent)
    : QWidget(Parent),
      Lists_(*this, Navigator,
             "A club can hold at most 255 relationships (favourite and disliked staff, rivals and the others it keeps "
             "together).\r\nDelete one before adding another.") {
    setObjectName("frameClubPreferences");
    auto* Grid = new QGridLayout(this);
    Grid->setColumnStretch(0, 1);
    Grid->setColumnStretch(1, 1);
    Grid->setColumnStretch(2, 1);
    lboxFavouriteStaff =
        BuildList(0, {1, TPyxRelationship::ttPerson, true, true}, "Favourite Staff:", "lboxFavouriteStaff",
                  "FavouriteStaff", btnAddFavouriteStaff, btnDeleteFavouriteStaff, btnEditFavouriteStaff);
    lboxDislikedStaff =
        BuildList(1, {2, TPyxRelationship::ttPerson, true, false}, "Disliked Staff:", "lboxDislikedStaff",
                  "DislikedStaff", btnAddDislikedStaff, btnDeleteDislikedStaff, btnEditDislikedStaff);
    lboxRivals = BuildList(2, {5, TPyxRelationship::ttClub, false, false}, "Rivals:", "lboxRivals", "Rival",
                           btnAddRival, btnDeleteRival, btnEditRival);
}

TPointerListBox* TframeClubPreferences::BuildList(int Column, const TRelationshipLists::TKind& Kind,
                                                  const QString& Caption, const QString& Name,
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
    auto* Cell = new QGridLayout;
    Cell->addWidget(Label, 0, 0, 1, 2);
    Cell->addWidget(List, 1, 0);
    Cell->addLayout(Buttons, 1, 1);
    Grid->addLayout(Cell, 0, Column);
    Lists_.AddList(Kind, List, Add, Delete, Edit);
    return List;
}
