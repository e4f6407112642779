#include "frameKitColorUnit.h"

#include "KitPreview.h"
#include "PyxColor.h"
#include "PyxColorBox.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>

#include <algorithm>

namespace {

constexpr std::array<const char*, 3> PartCaptions = {"Major Colour:", "Minor Colour:", "Trim Colour:"};
constexpr std::array<const char*, 3> PartNames = {"Major", "Minor", "Trim"};

} // namespace

TframeKitColor::TframeKitColor(QWidget* Parent) : QWidget(Parent) {
    setObjectName("frameKitColor");
    auto* Grid = new QGridLayout(this);
    Grid->setVerticalSpacing(4);
    Grid->setColumnMinimumWidth(0, 20);
    Grid->setColumnStretch(2, 1);
    BuildRow(0, "Main Kit:", "Main");
    BuildRow(1, "Second Kit:", "Second");
    BuildRow(2, "Third Kit:", "Third");
    Grid->setRowStretch(KitRows * 4, 1);
    cbMainKit = Rows_[0].Check;
    cbSecondKit = Rows_[1].Check;
    cbThirdKit = Rows_[2].Check;
    UpdatePreview();
}

void TframeKitColor::BuildRow(int Row, const QString& Caption, const QString& Name) {
    auto* Grid = static_cast<QGridLayout*>(layout());
    TRow& Kit = Rows_[static_cast<std::size_t>(Row)];
    const int Top = Row * 4;
    Kit.Check = new QCheckBox(Caption, this);
    Kit.Check->setObjectName("cb" + Name + "Kit");
    QFont Bold = Kit.Check->font();
    Bold.setBold(true);
    Kit.Check->setFont(Bold);
    Grid->addWidget(Kit.Check, Top, 0, 1, 3);
    for (std::size_t Part = 0; Part < Kit.Boxes.size(); ++Part) {
        auto* Label = new QLabel(PartCaptions[Part], this);
        Label->setObjectName("lbl" + Name + PartNames[Part]);
        auto* Box = new TPyxColorBox(this);
        Box->setObjectName("colb" + Name + PartNames[Part]);
        Box->setMinimumWidth(150);
        Label->setBuddy(Box);
        Grid->addWidget(Label, Top + 1 + static_cast<int>(Part), 1);
        Grid->addWidget(Box, Top + 1 + static_cast<int>(Part), 2);
        Kit.Labels[Part] = Label;
        Kit.Boxes[Part] = Box;
        Bindings_.Watch(Box);
        connect(Box, &TPyxColorBox::Changed, this, &TframeKitColor::UpdatePreview);
    }
    Kit.Preview = new TKitPreview(this, "sh" + Name, "lbl" + Name);
    Grid->addWidget(Kit.Preview, Top + 1, 3, 3, 1, Qt::AlignCenter);
    connect(Kit.Check, &QCheckBox::toggled, this, [this, Row](bool Checked) { CheckChanged(Row, Checked); });
}

void TframeKitColor::CheckChanged(int Row, bool Checked) {
    // Setting a neighbour's box runs its own rule in turn, which carries the cascade to the third row.
    if (Row == 0 && !Checked)
        Rows_[1].Check->setChecked(false);
    if (Row == 1)
        (Checked ? Rows_[0] : Rows_[2]).Check->setChecked(Checked);
    if (Row == 2 && Checked)
        Rows_[1].Check->setChecked(true);
    UpdatePreview();
}

void TframeKitColor::ShowRowState(int Row) {
    const TRow& Kit = Rows_[static_cast<std::size_t>(Row)];
    const bool On = Kit.Check->isChecked();
    for (std::size_t Part = 0; Part < Kit.Boxes.size(); ++Part) {
        Kit.Labels[Part]->setEnabled(On);
        Kit.Boxes[Part]->setEnabled(On);
    }
    Kit.Preview->setVisible(On);
}

void TframeKitColor::UpdatePreview() {
    for (int Row = 0; Row < KitRows; ++Row) {
        ShowRowState(Row);
        const TRow& Kit = Rows_[static_cast<std::size_t>(Row)];
        Kit.Preview->SetColors(Kit.Boxes[Major]->Selected(), Kit.Boxes[Minor]->Selected(), Kit.Boxes[Trim]->Selected());
    }
}

int TframeKitColor::CheckedCount() const {
    int Count = 0;
    while (Count < KitRows && Rows_[static_cast<std::size_t>(Count)].Check->isChecked())
        ++Count;
    return Count;
}

void TframeKitColor::LoadKits(TPyxColorList* Kits) {
    Kits_ = Kits;
    for (int Row = KitRows - 1; Row >= 0; --Row)
        Rows_[static_cast<std::size_t>(Row)].Check->setChecked(false);
    LoadedKits_ = Kits != nullptr ? std::min(Kits->Count(), KitRows) : 0;
    for (int Row = 0; Row < LoadedKits_; ++Row) {
        const TPyxColor& Kit = *Kits->Colors(Row);
        TRow& Shown = Rows_[static_cast<std::size_t>(Row)];
        Shown.Check->setChecked(true);
        Shown.Boxes[Major]->SetSelected(Kit.Major());
        Shown.Boxes[Minor]->SetSelected(Kit.Minor());
        Shown.Boxes[Trim]->SetSelected(Kit.Trim());
    }
    Bindings_.Remember();
    UpdatePreview();
}

void TframeKitColor::SaveKits() {
    if (Kits_ == nullptr)
        return;
    const int Checked = CheckedCount();
    // The kits the rows showed and still show: only the colours the user picked.
    for (int Row = 0; Row < std::min(Checked, LoadedKits_); ++Row) {
        TPyxColor& Kit = *Kits_->Colors(Row);
        const TRow& Shown = Rows_[static_cast<std::size_t>(Row)];
        if (Bindings_.Changed(Shown.Boxes[Major]))
            Kit.SetMajor(Shown.Boxes[Major]->Selected());
        if (Bindings_.Changed(Shown.Boxes[Minor]))
            Kit.SetMinor(Shown.Boxes[Minor]->Selected());
        if (Bindings_.Changed(Shown.Boxes[Trim]))
            Kit.SetTrim(Shown.Boxes[Trim]->Selected());
    }
    // Rows checked beyond the kits the list had: new kits, in front of any kits the rows do not show.
    for (int Row = LoadedKits_; Row < Checked; ++Row) {
        const TRow& Shown = Rows_[static_cast<std::size_t>(Row)];
        auto Kit = std::make_unique<TPyxColor>();
        Kit->SetMajor(Shown.Boxes[Major]->Selected());
        Kit->SetMinor(Shown.Boxes[Minor]->Selected());
        Kit->SetTrim(Shown.Boxes[Trim]->Selected());
        Kits_->Insert(Row, std::move(Kit));
    }
    // Kits unchecked: the rows from Checked on that showed one.
    for (int Row = Checked; Row < LoadedKits_; ++Row)
        Kits_->Delete(Checked);
    LoadedKits_ = Checked;
    Bindings_.Remember();
}

void TframeKitColor::ClearKits() {
    Kits_ = nullptr;
    for (int Row = KitRows - 1; Row >= 0; --Row) {
        TRow& Kit = Rows_[static_cast<std::size_t>(Row)];
        Kit.Check->setChecked(false);
        for (TPyxColorBox* Box : Kit.Boxes)
            Box->SetSelected(0);
    }
    LoadedKits_ = 0;
    Bindings_.Remember();
    UpdatePreview();
}

bool TframeKitColor::Changed() const {
    const int Checked = CheckedCount();
    if (Checked != LoadedKits_)
        return true;
    for (int Row = 0; Row < Checked; ++Row)
        for (const TPyxColorBox* Box : Rows_[static_cast<std::size_t>(Row)].Boxes)
            if (Bindings_.Changed(Box))
                return true;
    return false;
}
