#include "framePlayingHistoryUnit.h"

#include "PyxControls.h"
#include "PyxDatabase.h"
#include "PyxGlyphs.h"
#include "PyxListModel.h"
#include "PyxNavigator.h"
#include "PyxPerson.h"
#include "PyxPlayingHistory.h"
#include "PyxTeam.h"
#include "SpinEdit.h"
#include "frameSelectionSearchUnit.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDropEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

// A row that owns its entry's copy: deleting the row frees it.
class THistoryItem final : public QTreeWidgetItem {
public:
    explicit THistoryItem(std::unique_ptr<TPyxPlayingHistoryEntry> Entry) : Entry_(std::move(Entry)) {}
    TPyxPlayingHistoryEntry* Entry() const { return Entry_.get(); }

private:
    std::unique_ptr<TPyxPlayingHistoryEntry> Entry_;
};

// The drag's payload: this process and list, so that a drop from another list or program is refused.
QByteArray DragTag(const void* List) {
    return QByteArray::number(QCoreApplication::applicationPid()) + ':' +
           QByteArray::number(reinterpret_cast<quintptr>(List));
}

bool Same(const TPyxPlayingHistoryEntry* A, const TPyxPlayingHistoryEntry* B) {
    return A->Season == B->Season && A->OnLoan == B->OnLoan && A->Apps == B->Apps && A->Goals == B->Goals &&
           A->Team == B->Team;
}

} // namespace

THistoryListView::THistoryListView(QWidget* Parent) : QTreeWidget(Parent) {
    setObjectName("lvPlayingHistory");
    setColumnCount(4);
    setHeaderLabels({"Season", "Club", "Apps", "Goals"});
    headerItem()->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
    headerItem()->setTextAlignment(3, Qt::AlignRight | Qt::AlignVCenter);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setSortingEnabled(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setAllColumnsShowFocus(true);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    setDefaultDropAction(Qt::MoveAction);
    setDropIndicatorShown(true);
    header()->setStretchLastSection(false);
    header()->setSectionResizeMode(1, QHeaderView::Stretch);
    // Grid lines between the cells. A style sheet for the items replaces the style's own drawing of them, so the
    // selected row is given its colours here too.
    setStyleSheet("QTreeView::item { border-right: 1px solid palette(midlight); border-bottom: 1px solid "
                  "palette(midlight); } QTreeView::item:selected { background: palette(highlight); color: "
                  "palette(highlighted-text); }");
    setColumnWidth(0, 70);
    setColumnWidth(2, 60);
    setColumnWidth(3, 60);
}

TPyxPlayingHistoryEntry* THistoryListView::EntryOf(const QTreeWidgetItem* Item) {
    const auto* Row = dynamic_cast<const THistoryItem*>(Item);
    return Row != nullptr ? Row->Entry() : nullptr;
}

QTreeWidgetItem* THistoryListView::AddEntry(std::unique_ptr<TPyxPlayingHistoryEntry> Entry) {
    auto* Item = new THistoryItem(std::move(Entry));
    Item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled);
    addTopLevelItem(Item);
    UpdateItem(Item);
    return Item;
}

void THistoryListView::UpdateItem(QTreeWidgetItem* Item) {
    const TPyxPlayingHistoryEntry* Entry = EntryOf(Item);
    if (Entry == nullptr)
        return;
    QString Club = Entry->Team != nullptr ? TPyxListModel::DisplayName(*Entry->Team) : QString("Unknown");
    if (Entry->OnLoan != 0)
        Club += " (Loan)";
    Item->setText(0, QString::number(Entry->Season));
    Item->setText(1, Club);
    Item->setText(2, QString::number(Entry->Apps));
    Item->setText(3, QString::number(Entry->Goals));
    Item->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
    Item->setTextAlignment(3, Qt::AlignRight | Qt::AlignVCenter);
}

bool THistoryListView::MoveSelectedBefore(QTreeWidgetItem* Target) {
    const QList<QTreeWidgetItem*> Selected = selectedItems();
    if (Selected.isEmpty() || Target == nullptr || Selected.front() == Target)
        return false;
    QTreeWidgetItem* Moved = takeTopLevelItem(indexOfTopLevelItem(Selected.front()));
    // The target's index once the dragged row is out: the row lands just before it.
    insertTopLevelItem(indexOfTopLevelItem(Target), Moved);
    setCurrentItem(Moved);
    Moved->setSelected(true);
    return true;
}

QMimeData* THistoryListView::mimeData(const QList<QTreeWidgetItem*>& /*Items*/) const {
    auto* Data = new QMimeData;
    Data->setData(DragFormat, DragTag(this));
    return Data;
}

std::unique_ptr<QMimeData> THistoryListView::DragPayload() const {
    return std::unique_ptr<QMimeData>(mimeData(selectedItems()));
}

QStringList THistoryListView::mimeTypes() const {
    return {DragFormat};
}

bool THistoryListView::Accepts(const QMimeData* Data, const QPoint& Position) const {
    return Data != nullptr && Data->data(DragFormat) == DragTag(this) && !selectedItems().isEmpty() &&
           itemAt(Position) != nullptr;
}

void THistoryListView::dragEnterEvent(QDragEnterEvent* Event) {
    if (Event->mimeData() != nullptr && Event->mimeData()->data(DragFormat) == DragTag(this))
        Event->acceptProposedAction();
    else
        Event->ignore();
}

void THistoryListView::dragMoveEvent(QDragMoveEvent* Event) {
    if (Accepts(Event->mimeData(), Event->position().toPoint()))
        Event->acceptProposedAction();
    else
        Event->ignore();
}

void THistoryListView::dropEvent(QDropEvent* Event) {
    // The rows are moved here, never by the view's own drop, which could make a row the child of another or
    // drop the dragged one.
    const QPoint Position = Event->position().toPoint();
    if (!Accepts(Event->mimeData(), Position)) {
        Event->ignore();
        return;
    }
    Event->setDropAction(Qt::CopyAction); // nothing for the drag's source to delete afterwards
    Event->accept();
    if (MoveSelectedBefore(itemAt(Position)))
        emit RowMoved();
}

TframePlayingHistory::TframePlayingHistory(TPyxNavigator& Navigator, QWidget* Parent)
    : QWidget(Parent), Navigator_(Navigator) {
    setObjectName("framePlayingHistory");
    lvPlayingHistory = new THistoryListView(this);
    btnAdd = new QPushButton("Add", this);
    btnAdd->setObjectName("btnAdd");
    btnDelete = new QPushButton("Delete", this);
    btnDelete->setObjectName("btnDelete");
    pnlEntry = new QWidget(this);
    pnlEntry->setObjectName("pnlEntry");
    seSeason = PyxControls::SpinEdit(pnlEntry, "seSeason", 1950, 2002);
    ssClub = PyxControls::Selector(pnlEntry, "ssClub", "Find Club", "Club is Unknown", "<unknown>");
    btnTeamLink = PyxGlyphs::MakeButton(pnlEntry, "btnTeamLink", PyxGlyphs::LinkButton());
    cbOnLoan = new QCheckBox("On Loan:", pnlEntry);
    cbOnLoan->setObjectName("cbOnLoan");
    cbOnLoan->setLayoutDirection(Qt::RightToLeft); // the caption left of the box
    seApps = PyxControls::SpinEdit(pnlEntry, "seApps", 0, 255);
    seGoals = PyxControls::SpinEdit(pnlEntry, "seGoals", 0, 255);
    btnOK = new QPushButton("OK", pnlEntry);
    btnOK->setObjectName("btnOK");

    auto* Editor = new QGridLayout(pnlEntry);
    const auto Label = [this](const QString& Text, const QString& Name) {
        auto* L = new QLabel(Text, pnlEntry);
        L->setObjectName(Name);
        return L;
    };
    Editor->addWidget(Label("Season:", "lblSeason"), 0, 0);
    Editor->addWidget(seSeason, 0, 1, Qt::AlignLeft);
    Editor->addWidget(cbOnLoan, 0, 2, 1, 2, Qt::AlignLeft | Qt::AlignAbsolute);
    Editor->addWidget(Label("Club:", "lblClub"), 1, 0);
    Editor->addWidget(ssClub, 1, 1, 1, 3);
    Editor->addWidget(btnTeamLink, 1, 4);
    Editor->addWidget(Label("Apps:", "lblApps"), 2, 0);
    Editor->addWidget(seApps, 2, 1, Qt::AlignLeft);
    Editor->addWidget(Label("Goals:", "lblGoals"), 2, 2);
    Editor->addWidget(seGoals, 2, 3, Qt::AlignLeft);
    Editor->addWidget(btnOK, 3, 3, 1, 2, Qt::AlignRight);
    Editor->setColumnStretch(3, 1);
    auto* Buttons = new QHBoxLayout;
    Buttons->addWidget(btnAdd);
    Buttons->addWidget(btnDelete);
    Buttons->addStretch(1);
    auto* Layout = new QVBoxLayout(this);
    Layout->addWidget(lvPlayingHistory, 1);
    Layout->addLayout(Buttons);
    Layout->addWidget(pnlEntry);
    pnlEntry->setEnabled(false);

    TListBinding<TPyxPlayingHistoryEntry>::TAccess Rows;
    Rows.Items = [this] {
        std::vector<TPyxPlayingHistoryEntry*> All;
        for (int Row = 0; Row < lvPlayingHistory->topLevelItemCount(); ++Row)
            All.push_back(THistoryListView::EntryOf(lvPlayingHistory->topLevelItem(Row)));
        return All;
    };
    Rows.Keep = [](TPyxPlayingHistoryEntry& Entry) { return Entry.Clone(); };
    Rows.Same = Same;
    Rows.ClearControl = [this] { lvPlayingHistory->clear(); };
    Rows.Drop = [](TPyxPlayingHistoryEntry* Entry, const TGoneEntities& Gone) { return !Gone.Has(Entry->Team); };
    Rows.RemoveRow = [this](int Row) { delete lvPlayingHistory->takeTopLevelItem(Row); };
    Rows_ = std::make_unique<TListBinding<TPyxPlayingHistoryEntry>>(std::move(Rows));

    connect(lvPlayingHistory, &QTreeWidget::itemSelectionChanged, this, &TframePlayingHistory::lvPlayingHistoryClick);
    connect(btnOK, &QPushButton::clicked, this, &TframePlayingHistory::btnOKClick);
    connect(btnAdd, &QPushButton::clicked, this, &TframePlayingHistory::btnAddClick);
    connect(btnDelete, &QPushButton::clicked, this, &TframePlayingHistory::btnDeleteClick);
    connect(btnTeamLink, &QToolButton::clicked, this, [this] {
        if (TPyxObject* Team = ssClub->Selected())
            Navigator_.ShowEntity(Team);
    });
}

void TframePlayingHistory::SetDatabase(TPyxDatabase* Database) {
    Database_ = Database;
    ssClub->List = Database != nullptr ? &Database->Teams : nullptr;
    if (Database == nullptr)
        LoadPerson(nullptr);
}

void TframePlayingHistory::LoadPerson(TPyxPerson* Person) {
    Person_ = Person;
    lvPlayingHistory->clear();
    ClearPanel();
    if (Person != nullptr && Person->PlayingHistory)
        for (int32_t I = 0; I < Person->PlayingHistory->Count(); ++I)
            lvPlayingHistory->AddEntry(Person->PlayingHistory->Items(I)->Clone());
    Rows_->Remember();
}

void TframePlayingHistory::ClearList() {
    lvPlayingHistory->clear();
    ClearPanel();
}

void TframePlayingHistory::Purge(const TGoneEntities& Gone) {
    Rows_->Purge(Gone);
    if (Gone.Has(ssClub->Selected()))
        ssClub->SetSelected(nullptr);
}

void TframePlayingHistory::ClearPanel() {
    pnlEntry->setEnabled(false);
    seSeason->SetValue(0);
    ssClub->SetSelected(nullptr);
    cbOnLoan->setChecked(false);
    seApps->SetValue(0);
    seGoals->SetValue(0);
}

void TframePlayingHistory::lvPlayingHistoryClick() {
    const QList<QTreeWidgetItem*> Selected = lvPlayingHistory->selectedItems();
    const TPyxPlayingHistoryEntry* Entry = Selected.isEmpty() ? nullptr : THistoryListView::EntryOf(Selected.front());
    if (Entry == nullptr) {
        ClearPanel();
        return;
    }
    pnlEntry->setEnabled(true);
    seSeason->SetValue(Entry->Season);
    ssClub->SetSelected(Entry->Team);
    cbOnLoan->setChecked(Entry->OnLoan != 0);
    seApps->SetValue(Entry->Apps);
    seGoals->SetValue(Entry->Goals);
}

void TframePlayingHistory::btnOKClick() {
    const QList<QTreeWidgetItem*> Selected = lvPlayingHistory->selectedItems();
    TPyxPlayingHistoryEntry* Entry = Selected.isEmpty() ? nullptr : THistoryListView::EntryOf(Selected.front());
    if (Entry == nullptr)
        return;
    Entry->Season = static_cast<int16_t>(seSeason->Value());
    Entry->Team = static_cast<TPyxTeam*>(ssClub->Selected());
    Entry->OnLoan = cbOnLoan->isChecked() ? 1 : 0;
    Entry->Apps = static_cast<uint8_t>(seApps->Value());
    Entry->Goals = static_cast<uint8_t>(seGoals->Value());
    THistoryListView::UpdateItem(Selected.front());
}

void TframePlayingHistory::btnAddClick() {
    if (Person_ == nullptr)
        return;
    auto Entry = std::make_unique<TPyxPlayingHistoryEntry>();
    Entry->Season = 2001;
    lvPlayingHistory->AddEntry(std::move(Entry));
}

void TframePlayingHistory::btnDeleteClick() {
    const QList<QTreeWidgetItem*> Selected = lvPlayingHistory->selectedItems();
    if (Selected.isEmpty())
        return;
    delete Selected.front();
}

void TframePlayingHistory::SaveHistory() {
    if (Person_ == nullptr || !Rows_->Changed())
        return;
    if (lvPlayingHistory->topLevelItemCount() == 0) {
        Person_->SetPlayingHistory(nullptr);
    } else {
        if (Person_->PlayingHistory)
            Person_->PlayingHistory->Clear();
        else
            Person_->SetPlayingHistory(std::make_unique<TPyxPlayingHistory>());
        for (int I = 0; I < lvPlayingHistory->topLevelItemCount(); ++I)
            if (const TPyxPlayingHistoryEntry* Entry = THistoryListView::EntryOf(lvPlayingHistory->topLevelItem(I)))
                Person_->PlayingHistory->Add(Entry->Clone());
    }
    Rows_->Remember();
}
