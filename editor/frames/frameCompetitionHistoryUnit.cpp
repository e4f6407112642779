#include "frameCompetitionHistoryUnit.h"

#include "FramePage.h"
#include "PyxCompetition.h"
#include "PyxControls.h"
#include "PyxDatabase.h"
#include "PyxGlyphs.h"
#include "PyxListModel.h"
#include "PyxNavigator.h"
#include "SpinEdit.h"
#include "frameSelectionSearchUnit.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

// A row of the list; it owns the copy it shows.
class TframeCompetitionHistory::THistoryItem final : public QTreeWidgetItem {
public:
    explicit THistoryItem(std::unique_ptr<TPyxCompetitionHistory> Entry) : Entry(std::move(Entry)) {}
    std::unique_ptr<TPyxCompetitionHistory> Entry;
};

namespace {

// A new entry's year.
constexpr int16_t NewEntryYear = 2001;

QString TeamText(const TPyxTeam* Team) {
    return Team != nullptr ? TPyxListModel::DisplayName(*Team) : QString();
}

// A copy of an entry for the list: it keeps the entry's keys.
std::unique_ptr<TPyxCompetitionHistory> CopyOf(const TPyxCompetitionHistory& Entry) {
    std::unique_ptr<TPyxCompetitionHistory> Copy = Entry.Clone();
    Copy->ID = Entry.ID;
    Copy->UniqueID = Entry.UniqueID;
    return Copy;
}

bool Same(const TPyxCompetitionHistory* A, const TPyxCompetitionHistory* B) {
    return A->ID == B->ID && A->UniqueID == B->UniqueID && A->Year == B->Year && A->FirstPlaced == B->FirstPlaced &&
           A->SecondPlaced == B->SecondPlaced && A->ThirdPlaced == B->ThirdPlaced && A->Hosts == B->Hosts;
}

} // namespace

TframeCompetitionHistory::TframeCompetitionHistory(TPyxNavigator& Navigator, QWidget* Parent)
    : QWidget(Parent), Navigator_(Navigator) {
    setObjectName("frameCompetitionHistory");
    TListBinding<TPyxCompetitionHistory>::TAccess Rows;
    Rows.Items = [this] {
        std::vector<TPyxCompetitionHistory*> All;
        for (int Row = 0; Row < RowCount(); ++Row)
            All.push_back(RowEntry(Row));
        return All;
    };
    Rows.Keep = [](TPyxCompetitionHistory& Entry) { return CopyOf(Entry); };
    Rows.Same = Same;
    // A team deleted elsewhere is taken from the entry, as the data model takes it from the competition's own.
    Rows.Drop = [](TPyxCompetitionHistory* Entry, const TGoneEntities& Gone) {
        for (TPyxTeam** Team : {&Entry->FirstPlaced, &Entry->SecondPlaced, &Entry->ThirdPlaced, &Entry->Hosts})
            if (Gone.Has(*Team))
                *Team = nullptr;
        return true;
    };
    Rows.RemoveRow = [this](int Row) { delete lvHistory->takeTopLevelItem(Row); };
    Rows.ShowRow = [this](int Row) { UpdateItem(*static_cast<THistoryItem*>(lvHistory->topLevelItem(Row))); };
    Rows_ = std::make_unique<TListBinding<TPyxCompetitionHistory>>(std::move(Rows));
    lvHistory = new QTreeWidget(this);
    lvHistory->setObjectName("lvHistory");
    lvHistory->setColumnCount(5);
    lvHistory->setHeaderLabels({"Year", "First", "Second", "Third", "Hosts"});
    lvHistory->setRootIsDecorated(false);
    lvHistory->setItemsExpandable(false);
    lvHistory->setUniformRowHeights(true);
    lvHistory->setSelectionMode(QAbstractItemView::SingleSelection);
    lvHistory->setSelectionBehavior(QAbstractItemView::SelectRows);
    lvHistory->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lvHistory->setAllColumnsShowFocus(true);
    // Rows sort by the year as text; the headers do not re-sort.
    lvHistory->setSortingEnabled(true);
    lvHistory->sortByColumn(0, Qt::AscendingOrder);
    lvHistory->header()->setSectionsClickable(false);
    lvHistory->header()->setSortIndicatorShown(false);
    // The year keeps its narrow column; the four teams share the rest, so that their names show whole.
    lvHistory->header()->setStretchLastSection(false);
    lvHistory->header()->setMinimumSectionSize(40);
    lvHistory->setColumnWidth(0, 50);
    for (int Column = 1; Column < 5; ++Column)
        lvHistory->header()->setSectionResizeMode(Column, QHeaderView::Stretch);
    // The selection stays visible while the list has no focus.
    QPalette Palette = lvHistory->palette();
    Palette.setColor(QPalette::Inactive, QPalette::Highlight, Palette.color(QPalette::Active, QPalette::Highlight));
    Palette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     Palette.color(QPalette::Active, QPalette::HighlightedText));
    lvHistory->setPalette(Palette);

    btnAdd = new QPushButton("Add", this);
    btnAdd->setObjectName("btnAdd");
    btnDelete = new QPushButton("Delete", this);
    btnDelete->setObjectName("btnDelete");
    auto* Buttons = new QHBoxLayout;
    Buttons->addStretch(1);
    Buttons->addWidget(btnAdd);
    Buttons->addWidget(btnDelete);

    pnlHistory = new QWidget(this);
    pnlHistory->setObjectName("pnlHistory");
    auto* Grid = new QGridLayout(pnlHistory);
    Grid->setContentsMargins(0, 4, 0, 0);
    Grid->setVerticalSpacing(4);
    Grid->setColumnMinimumWidth(0, 120);
    Grid->setColumnStretch(1, 1);
    seYear = PyxControls::SpinEdit(pnlHistory, "seYear", 0, 2003);
    auto* YearLabel = new QLabel("Year:", pnlHistory);
    YearLabel->setObjectName("lblYear");
    YearLabel->setBuddy(seYear);
    Grid->addWidget(YearLabel, 0, 0);
    Grid->addWidget(seYear, 0, 1, Qt::AlignLeft);
    ssFirstPlaced = AddTeamRow(1, "First Placed:", "ssFirstPlaced", "Find Competition Winner",
                               "Competition has no winner", "<no winner>", "btnFirstPlacedLink");
    ssSecondPlaced = AddTeamRow(2, "Second Placed:", "ssSecondPlaced", "Find Competition Runner Up",
                                "Competition has no runner up", "<no runner up>", "btnSecondPlacedLink");
    ssThirdPlaced = AddTeamRow(3, "Third Placed:", "ssThirdPlaced", "Find Competition Third Place",
                               "Competition has no third place", "<no third place>", "btnThirdPlacedLink");
    ssHosts = AddTeamRow(4, "Hosts:", "ssHosts", "Find Competition Hosts", "Competition has no hosts", "<no hosts>",
                         "btnHostsLink");
    btnOK = new QPushButton("OK", pnlHistory);
    btnOK->setObjectName("btnOK");
    Grid->addWidget(btnOK, 5, 1, 1, 2, Qt::AlignRight);
    pnlHistory->setEnabled(false);

    auto* Layout = new QVBoxLayout(this);
    Layout->setContentsMargins(0, 0, 0, 0);
    Layout->addWidget(lvHistory, 1);
    Layout->addLayout(Buttons);
    Layout->addWidget(pnlHistory);

    connect(lvHistory, &QTreeWidget::itemSelectionChanged, this, &TframeCompetitionHistory::lvHistoryClick);
    connect(btnOK, &QPushButton::clicked, this, &TframeCompetitionHistory::btnOKClick);
    connect(btnAdd, &QPushButton::clicked, this, &TframeCompetitionHistory::btnAddClick);
    connect(btnDelete, &QPushButton::clicked, this, &TframeCompetitionHistory::btnDeleteClick);
}

TframeCompetitionHistory::~TframeCompetitionHistory() = default;

TframeSelectionSearch* TframeCompetitionHistory::AddTeamRow(int Row, const QString& Caption, const QString& Name,
                                                            const QString& SearchCaption, const QString& UnknownCaption,
                                                            const QString& NoneText, const QString& LinkName) {
    auto* Grid = static_cast<QGridLayout*>(pnlHistory->layout());
    TframeSelectionSearch* Selector = PyxControls::Selector(pnlHistory, Name, SearchCaption, UnknownCaption, NoneText);
    auto* Label = new QLabel(Caption, pnlHistory);
    Label->setObjectName(TFramePage::LabelNameFor(Name));
    Label->setBuddy(Selector);
    QToolButton* Link = PyxGlyphs::MakeButton(pnlHistory, LinkName, PyxGlyphs::LinkButton());
    connect(Link, &QToolButton::clicked, this,
            [this, Selector] { Navigator_.ShowTeamOwner(dynamic_cast<TPyxTeam*>(Selector->Selected())); });
    Grid->addWidget(Label, Row, 0);
    Grid->addWidget(Selector, Row, 1);
    Grid->addWidget(Link, Row, 2);
    return Selector;
}

void TframeCompetitionHistory::SetDatabase(TPyxDatabase* Database) {
    Database_ = Database;
    TPyxObjects* Teams = Database != nullptr ? &Database->Teams : nullptr;
    for (TframeSelectionSearch* Selector : {ssFirstPlaced, ssSecondPlaced, ssThirdPlaced, ssHosts})
        Selector->List = Teams;
    if (Database == nullptr)
        LoadCompetition(nullptr);
}

void TframeCompetitionHistory::LoadCompetition(TPyxCompetition* Competition) {
    Competition_ = Competition;
    {
        const QSignalBlocker Quiet(lvHistory);
        lvHistory->clear();
    }
    pnlHistory->setEnabled(false);
    seYear->SetValue(0);
    for (TframeSelectionSearch* Selector : {ssFirstPlaced, ssSecondPlaced, ssThirdPlaced, ssHosts})
        Selector->SetSelected(nullptr);
    if (Competition != nullptr)
        Competition->Histories.ForEach([this](const TPyxCompetitionHistory* Entry) { AddItem(CopyOf(*Entry)); });
    Rows_->Remember();
}

void TframeCompetitionHistory::Purge(const TGoneEntities& Gone) {
    Rows_->Purge(Gone);
    for (TframeSelectionSearch* Selector : {ssFirstPlaced, ssSecondPlaced, ssThirdPlaced, ssHosts})
        if (Gone.Has(Selector->Selected()))
            Selector->SetSelected(nullptr);
}

void TframeCompetitionHistory::AddItem(std::unique_ptr<TPyxCompetitionHistory> Entry) {
    auto* Item = new THistoryItem(std::move(Entry));
    UpdateItem(*Item);
    lvHistory->addTopLevelItem(Item);
}

void TframeCompetitionHistory::UpdateItem(THistoryItem& Item) {
    const TPyxCompetitionHistory& Entry = *Item.Entry;
    Item.setText(0, QString::number(Entry.Year));
    Item.setText(1, TeamText(Entry.FirstPlaced));
    Item.setText(2, TeamText(Entry.SecondPlaced));
    Item.setText(3, TeamText(Entry.ThirdPlaced));
    Item.setText(4, TeamText(Entry.Hosts));
}

TframeCompetitionHistory::THistoryItem* TframeCompetitionHistory::SelectedItem() const {
    const QList<QTreeWidgetItem*> Selected = lvHistory->selectedItems();
    return Selected.isEmpty() ? nullptr : static_cast<THistoryItem*>(Selected.front());
}

int TframeCompetitionHistory::RowCount() const {
    return lvHistory->topLevelItemCount();
}

TPyxCompetitionHistory* TframeCompetitionHistory::RowEntry(int Row) const {
    auto* Item = static_cast<THistoryItem*>(lvHistory->topLevelItem(Row));
    return Item != nullptr ? Item->Entry.get() : nullptr;
}

void TframeCompetitionHistory::lvHistoryClick() {
    THistoryItem* Item = SelectedItem();
    if (Item == nullptr) {
        pnlHistory->setEnabled(false);
        return;
    }
    const TPyxCompetitionHistory& Entry = *Item->Entry;
    seYear->SetValue(Entry.Year);
    ssFirstPlaced->SetSelected(Entry.FirstPlaced);
    ssSecondPlaced->SetSelected(Entry.SecondPlaced);
    ssThirdPlaced->SetSelected(Entry.ThirdPlaced);
    ssHosts->SetSelected(Entry.Hosts);
    pnlHistory->setEnabled(true);
}

void TframeCompetitionHistory::btnOKClick() {
    THistoryItem* Item = SelectedItem();
    if (Item == nullptr)
        return;
    TPyxCompetitionHistory& Entry = *Item->Entry;
    const auto Team = [](const TframeSelectionSearch* Selector) {
        return dynamic_cast<TPyxTeam*>(Selector->Selected());
    };
    // A year the user did not type stays as stored, even one beyond the spin edit's limits: the edit gives back
    // what it was loaded with.
    const auto Year = static_cast<int16_t>(seYear->Value());
    TPyxTeam* const Teams[] = {Team(ssFirstPlaced), Team(ssSecondPlaced), Team(ssThirdPlaced), Team(ssHosts)};
    if (Year == Entry.Year && Teams[0] == Entry.FirstPlaced && Teams[1] == Entry.SecondPlaced &&
        Teams[2] == Entry.ThirdPlaced && Teams[3] == Entry.Hosts)
        return;
    Entry.Year = Year;
    Entry.FirstPlaced = Teams[0];
    Entry.SecondPlaced = Teams[1];
    Entry.ThirdPlaced = Teams[2];
    Entry.Hosts = Teams[3];
    seYear->SetValue(Year);
    UpdateItem(*Item);
}

void TframeCompetitionHistory::btnAddClick() {
    if (Competition_ == nullptr)
        return;
    auto Entry = std::make_unique<TPyxCompetitionHistory>();
    Entry->Competition = Competition_;
    Entry->Year = NewEntryYear;
    // Keys above every history key the load saw, so that the new entry is told apart from every other.
    if (Database_ != nullptr) {
        Entry->ID = Database_->CompetitionHistories.NextID();
        Entry->UniqueID = Database_->CompetitionHistories.NextUniqueID();
    }
    AddItem(std::move(Entry));
}

void TframeCompetitionHistory::btnDeleteClick() {
    THistoryItem* Item = SelectedItem();
    if (Item == nullptr)
        return;
    // Taken out of the list first, so that the selection signals it raises never see a row half destroyed.
    delete lvHistory->takeTopLevelItem(lvHistory->indexOfTopLevelItem(Item));
    lvHistoryClick();
}

void TframeCompetitionHistory::SaveHistory() {
    if (Competition_ == nullptr || !Rows_->Changed())
        return;
    Competition_->Histories.Clear();
    for (int Row = 0; Row < RowCount(); ++Row) {
        std::unique_ptr<TPyxCompetitionHistory> Copy = CopyOf(*RowEntry(Row));
        Copy->Competition = Competition_;
        Competition_->Histories.Add(std::move(Copy), true);
    }
    Rows_->Remember();
}
