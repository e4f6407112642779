#include "framePeoplePreferencesUnit.h"

#include "EditPreference.h"
#include "PointerListBox.h"
#include "PyxListModel.h"
#include "PyxMessages.h"
#include "PyxNavigator.h"
#include "PyxPerson.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

struct TListKind {
    const char* Caption;
    const char* Name;
    const char* Suffix;
    uint8_t Kind;
    uint8_t TargetType;
    bool Staff;
    bool Favourite;
};

constexpr TListKind Lists[4] = {
    {"Favourite Staff:", "lboxFavouriteStaff", "FavouriteStaff", 1, TPyxRelationship::ttPerson, true, true},
    {"Disliked Staff:", "lboxDislikedStaff", "DislikedStaff", 2, TPyxRelationship::ttPerson, true, false},
    {"Favourite Clubs:", "lboxFavouriteClubs", "FavouriteClubs", 3, TPyxRelationship::ttClub, false, true},
    {"Disliked Clubs:", "lboxDislikedClubs", "DislikedClubs", 4, TPyxRelationship::ttClub, false, false},
};

const QString TooManyRelationshipsMessage =
    "A person can hold at most 255 relationships (favourite and disliked staff and clubs, and the others the person "
    "keeps, such as a second nation).\r\nDelete one before adding another.";

QString TargetText(const TPyxRelationship& R) {
    return R.Target != nullptr ? TPyxListModel::DisplayName(*R.Target) : QString();
}

} // namespace

TframePeoplePreferences::TframePeoplePreferences(TPyxNavigator& Navigator, QWidget* Parent)
    : QWidget(Parent), Navigator_(Navigator) {
    setObjectName("framePeoplePreferences");
    auto* Grid = new QGridLayout(this);
    std::array<TPointerListBox*, 4> Boxes{};
    for (int I = 0; I < 4; ++I) {
        auto* Cell = new QWidget(this);
        auto* Caption = new QLabel(Lists[I].Caption, Cell);
        Caption->setObjectName(QString("lbl") + Lists[I].Suffix);
        auto* Box = new TPointerListBox(Cell);
        Box->setObjectName(Lists[I].Name);
        Caption->setBuddy(Box);
        Boxes[static_cast<size_t>(I)] = Box;
        auto* Buttons = new QHBoxLayout;
        const auto Make = [&](const char* Text, const char* Prefix) {
            auto* B = new QPushButton(Text, Cell);
            B->setObjectName(QString(Prefix) + Lists[I].Suffix);
            Buttons->addWidget(B);
            return B;
        };
        btnAdd[static_cast<size_t>(I)] = Make("Add", "btnAdd");
        btnDelete[static_cast<size_t>(I)] = Make("Delete", "btnDelete");
        btnEdit[static_cast<size_t>(I)] = Make("Edit", "btnEdit");
        Buttons->addStretch(1);
        auto* Column = new QVBoxLayout(Cell);
        Column->setContentsMargins(0, 0, 0, 0);
        Column->addWidget(Caption);
        Column->addWidget(Box, 1);
        Column->addLayout(Buttons);
        Grid->addWidget(Cell, I / 2, I % 2);
        connect(btnAdd[static_cast<size_t>(I)], &QPushButton::clicked, this, [this, I] { Add(I); });
        connect(btnDelete[static_cast<size_t>(I)], &QPushButton::clicked, this, [this, I] { Delete(I); });
        connect(btnEdit[static_cast<size_t>(I)], &QPushButton::clicked, this, [this, I] { Edit(I); });
        connect(Box, &QListWidget::itemDoubleClicked, this, [this, Box, I] {
            const auto* R = Box->GetSelected<TPyxRelationship>();
            if (R == nullptr || R->Target == nullptr)
                return;
            if (R->TargetType == TPyxRelationship::ttPerson && Lists[I].Staff)
                Navigator_.ShowEntity(R->Target);
            else if (R->TargetType == TPyxRelationship::ttClub && !Lists[I].Staff)
                Navigator_.ShowEntity(R->Target);
        });
    }
    lboxFavouriteStaff = Boxes[0];
    lboxDislikedStaff = Boxes[1];
    lboxFavouriteClubs = Boxes[2];
    lboxDislikedClubs = Boxes[3];
}

TPointerListBox* TframePeoplePreferences::ListBox(int List) const {
    switch (List) {
    case 0:
        return lboxFavouriteStaff;
    case 1:
        return lboxDislikedStaff;
    case 2:
        return lboxFavouriteClubs;
    default:
        return lboxDislikedClubs;
    }
}

void TframePeoplePreferences::ClearAll() {
    for (int I = 0; I < 4; ++I)
        ListBox(I)->Clear();
    Modified_ = true;
}

void TframePeoplePreferences::LoadPerson(TPyxPerson* Person) {
    Person_ = Person;
    for (int I = 0; I < 4; ++I)
        ListBox(I)->Clear();
    Modified_ = false;
    if (Person == nullptr)
        return;
    for (const auto& R : Person->Relationships)
        if (R->Kind >= 1 && R->Kind <= 4)
            ListBox(R->Kind - 1)->AddOwned(TargetText(*R), R->Clone());
}

int TframePeoplePreferences::RelationshipCount() const {
    int Count = 0;
    if (Person_ != nullptr)
        for (const auto& R : Person_->Relationships)
            if (R->Kind < 1 || R->Kind > 4)
                ++Count;
    for (int I = 0; I < 4; ++I)
        Count += ListBox(I)->count();
    return Count;
}

void TframePeoplePreferences::Add(int List) {
    if (Person_ == nullptr || List < 0 || List > 3)
        return;
    if (RelationshipCount() >= MaxRelationships) {
        PyxMessages::ShowError(window(), TooManyRelationshipsMessage);
        return;
    }
    const TListKind& Kind = Lists[List];
    TEditPreference Dialog(window());
    Dialog.Database = Database;
    Dialog.Setup(Kind.Staff, Kind.Favourite, true);
    if (Dialog.exec() != QDialog::Accepted || Dialog.Selected == nullptr)
        return;
    auto R = std::make_unique<TPyxRelationship>();
    R->Amount = static_cast<uint8_t>(Dialog.GetAmount());
    R->Target = Dialog.Selected;
    R->TargetType = Kind.TargetType;
    R->Kind = Kind.Kind;
    const QString Text = TargetText(*R);
    ListBox(List)->AddOwned(Text, std::move(R));
    Modified_ = true;
}

void TframePeoplePreferences::Edit(int List) {
    if (Person_ == nullptr || List < 0 || List > 3)
        return;
    TPointerListBox* Box = ListBox(List);
    auto* R = Box->GetSelected<TPyxRelationship>();
    if (R == nullptr)
        return;
    const TListKind& Kind = Lists[List];
    TEditPreference Dialog(window());
    Dialog.Database = Database;
    Dialog.Setup(Kind.Staff, Kind.Favourite, false);
    Dialog.SetEntry(R->Target, R->Amount);
    if (Dialog.exec() == QDialog::Accepted && Dialog.Selected != nullptr) {
        R->Target = Dialog.Selected;
        R->Amount = static_cast<uint8_t>(Dialog.GetAmount());
        Modified_ = true;
    }
    for (int I = 0; I < Box->count(); ++I)
        if (const auto* Item = Box->GetItem<TPyxRelationship>(I))
            Box->item(I)->setText(TargetText(*Item));
}

void TframePeoplePreferences::Delete(int List) {
    if (List < 0 || List > 3)
        return;
    TPointerListBox* Box = ListBox(List);
    const int Index = Box->SelectedIndex();
    if (Index < 0)
        return;
    Box->DeleteItem(Index);
    Modified_ = true;
}

void TframePeoplePreferences::SaveRelationships() {
    if (Person_ == nullptr || !Modified_)
        return;
    for (uint8_t Kind = 1; Kind <= 4; ++Kind)
        Person_->Relationships.RemoveKind(Kind);
    for (int I = 0; I < 4; ++I) {
        TPointerListBox* Box = ListBox(I);
        for (int Row = 0; Row < Box->count(); ++Row)
            if (const auto* R = Box->GetItem<TPyxRelationship>(Row))
                Person_->Relationships.Add(R->Clone());
    }
    Modified_ = false;
}
