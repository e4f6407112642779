#include "PyxEditorFrame.h"

#include "BindingSet.h"
#include "FieldBinding.h"
#include "FramePage.h"
#include "GoneEntities.h"
#include "LanguageEditor.h"
#include "NameBinding.h"
#include "PyxBusy.h"
#include "PyxDatabase.h"
#include "PyxGlyphs.h"
#include "PyxListModel.h"
#include "PyxListView.h"
#include "PyxNavigator.h"
#include "PyxSearch.h"
#include "StatusForm.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

TPyxEditorFrame::TPyxEditorFrame(TPyxNavigator& Navigator, TNames Names, QWidget* Parent)
    : QWidget(Parent), Navigator_(Navigator), Names_(std::move(Names)), Bindings_(std::make_unique<TBindingSet>()) {
    setObjectName(Names_.Frame);

    pnlList = new QWidget(this);
    pnlList->setObjectName("pnlList");
    pnlList->setFixedWidth(201);
    pnlSearch = new QWidget(pnlList);
    pnlSearch->setObjectName("pnlSearch");
    edSearch = new QLineEdit(pnlSearch);
    edSearch->setObjectName("edSearch");
    btnSearch = new QPushButton("Search", pnlSearch);
    btnSearch->setObjectName("btnSearch");
    auto* SearchRow = new QHBoxLayout(pnlSearch);
    SearchRow->setContentsMargins(0, 0, 0, 0);
    SearchRow->setSpacing(2);
    SearchRow->addWidget(edSearch, 1);
    SearchRow->addWidget(btnSearch);
    lvList = new TPyxListView(pnlList);
    lvList->setObjectName("lv" + Names_.Kind);
    sbarSearchResult = new QStatusBar(pnlList);
    sbarSearchResult->setObjectName("sbarSearchResult");
    sbarSearchResult->setSizeGripEnabled(false);
    lblSearchResult = new QLabel(sbarSearchResult);
    lblSearchResult->setObjectName("lblSearchResult");
    sbarSearchResult->addWidget(lblSearchResult, 1);
    auto* ListLayout = new QVBoxLayout(pnlList);
    ListLayout->setContentsMargins(0, 0, 0, 0);
    ListLayout->setSpacing(2);
    ListLayout->addWidget(pnlSearch);
    ListLayout->addWidget(lvList, 1);
    ListLayout->addWidget(sbarSearchResult);

    pcPages = new QTabWidget(this);
    pcPages->setObjectName("pc" + Names_.Kind);
    btnConfirmChanges = new QPushButton("Confirm Changes", this);
    btnConfirmChanges->setObjectName("btnConfirmChanges");
    btnCancelChanges = new QPushButton("Cancel Changes", this);
    btnCancelChanges->setObjectName("btnCancelChanges");
    auto* ButtonRow = new QHBoxLayout;
    ButtonRow->setSpacing(2);
    ButtonRow->addWidget(btnConfirmChanges, 378);
    ButtonRow->addWidget(btnCancelChanges, 99);
    auto* Editor = new QVBoxLayout;
    Editor->setSpacing(4);
    Editor->addWidget(pcPages, 1);
    Editor->addLayout(ButtonRow);
    auto* Layout = new QHBoxLayout(this);
    Layout->setContentsMargins(0, 0, 0, 0);
    Layout->setSpacing(3);
    Layout->addWidget(pnlList);
    Layout->addLayout(Editor, 1);

    pnlList->setEnabled(false);
    EnableEditor(false);

    connect(btnSearch, &QPushButton::clicked, this, &TPyxEditorFrame::btnSearchClick);
    // Enter in the search edit searches.
    connect(edSearch, &QLineEdit::returnPressed, this, &TPyxEditorFrame::btnSearchClick);
    connect(btnConfirmChanges, &QPushButton::clicked, this, &TPyxEditorFrame::btnConfirmChangesClick);
    connect(btnCancelChanges, &QPushButton::clicked, this, &TPyxEditorFrame::btnCancelChangesClick);
    connect(lvList, &TPyxListView::FocusChanged, this, &TPyxEditorFrame::ListFocusChanged);
}

TPyxEditorFrame::~TPyxEditorFrame() {
    // The search object takes its model out of the list, which must still be there.
    Search_.reset();
}

void TPyxEditorFrame::SetDatabase(TPyxDatabase* Database) {
    Database_ = Database;
    pnlList->setEnabled(Database != nullptr);
    lblSearchResult->clear();
    Current_ = nullptr;
    Search_.reset();
    ListFocusChanged(nullptr);
    ClearControls();
    if (Database == nullptr)
        return;
    for (QAbstractButton* Button : NameButtons_)
        Button->setEnabled(Database->LoadAllLanguages);
    Search_ = std::make_unique<TPyxSearch>(Collection(*Database), *lvList);
    Attached(*Database);
}

void TPyxEditorFrame::FocusObject(TPyxObject* Entity) {
    if (!Search_ || TPyxBusy::Active())
        return;
    // Another tab asks for the entity this one shows already: it is listed alone and marked, and what the user
    // typed for it stays.
    if (Entity != nullptr && Entity == Current_ && pcPages->isEnabled()) {
        lvList->SuppressFocusEvents(true);
        Search_->FocusObject(Entity);
        lvList->SuppressFocusEvents(false);
        return;
    }
    Search_->FocusObject(Entity);
}

void TPyxEditorFrame::EntitiesAdded() {
    if (Search_ && Current_ != nullptr)
        RefreshChoices();
}

void TPyxEditorFrame::PurgeDeleted(const TGoneEntities& Gone) {
    if (!Search_)
        return;
    Search_->Purge([&Gone](const TPyxObject* Entity) { return Gone.Has(Entity); });
    if (Current_ != nullptr && Gone.Has(Current_)) {
        Current_ = nullptr;
        ClearControls();
        EnableEditor(false);
        return;
    }
    if (Current_ == nullptr)
        return;
    // The editor goes on showing Current with what the user typed; only what referred to the entities that went is
    // dropped, as the data model dropped it from the entities.
    PurgeEntity(Gone);
    Bindings_->Purge(Gone);
    RefreshChoices();
}

void TPyxEditorFrame::BeginUpdateList() {
    lvList->setUpdatesEnabled(false);
}

void TPyxEditorFrame::EndUpdateList() {
    lvList->setUpdatesEnabled(true);
}

QString TPyxEditorFrame::SearchResultText() const {
    return lblSearchResult->text();
}

bool TPyxEditorFrame::AllLanguages() const {
    return Database_ != nullptr && Database_->LoadAllLanguages;
}

void TPyxEditorFrame::btnSearchClick() {
    if (!Search_ || TPyxBusy::Active())
        return;
    {
        TPyxBusy Busy;
        TStatusSession Status(this, {Search_.get()});
        if (!edSearch->text().isEmpty())
            Search_->Search(edSearch->text().toStdU16String());
        else
            Search_->ShowAll();
    }
    lblSearchResult->setText(QString::number(Search_->ShownCount()) + Names_.CountText);
    HighlightCurrent();
}

void TPyxEditorFrame::HighlightCurrent() {
    // The editor keeps its entity and what the user typed; the list only marks it where it is listed.
    const bool Shown = Current_ != nullptr && pcPages->isEnabled();
    const int Row = Shown ? Search_->Model().RowOf(Current_) : -1;
    lvList->SuppressFocusEvents(true);
    lvList->FocusRow(Row);
    lvList->SuppressFocusEvents(false);
}

void TPyxEditorFrame::btnConfirmChangesClick() {
    if (Current_ == nullptr || TPyxBusy::Active())
        return;
    Bindings_->Save(*Current_);
    SaveEntity(*Current_);
    Bindings_->Remember();
    // The row shows the name as confirmed; it keeps its place in the list. Current is almost always the focused
    // row's entity (not after a search), which spares a walk through a list of 300,000 rows.
    if (Search_) {
        int Row = lvList->FocusedRow();
        if (Search_->Model().Entity(Row) != Current_)
            Row = Search_->Model().RowOf(Current_);
        Search_->Model().Refresh(Row);
    }
}

void TPyxEditorFrame::btnCancelChangesClick() {
    if (TPyxBusy::Active())
        return;
    ListFocusChanged(lvList->FocusedEntity());
}

void TPyxEditorFrame::ListFocusChanged(TPyxObject* Entity) {
    if (Entity == nullptr) {
        EnableEditor(false);
        return;
    }
    Current_ = Entity;
    PrepareLoad(*Entity);
    Bindings_->Load(*Entity);
    LoadEntity(*Entity);
    Bindings_->Remember();
    EnableEditor(true);
}

TFramePage* TPyxEditorFrame::AddPage(const QString& ObjectName, const QString& Caption, const QString& Heading,
                                     const QString& HeadingName) {
    auto* Page = new TFramePage(pcPages, ObjectName, Heading, HeadingName);
    pcPages->addTab(Page, Caption);
    return Page;
}

void TPyxEditorFrame::AddBinding(std::unique_ptr<TFieldBinding> Binding, const QWidget* Control) {
    Bindings_->Add(std::move(Binding), Control);
}

void TPyxEditorFrame::AddNameBinding(std::unique_ptr<TNameBinding> Binding) {
    TNameBinding* Name = Binding.get();
    NameButtons_.push_back(Name->Button());
    Name->Button()->setEnabled(false);
    connect(Name->Button(), &QAbstractButton::clicked, this,
            [this, Name] { EditLanguageNames(Name->Title(), Name->Names(), Name->Edit()); });
    AddBinding(std::move(Binding));
}

void TPyxEditorFrame::EditLanguageNames(const QString& Title, TWideStrings& NameList, QLineEdit* Edit) {
    if (Current_ == nullptr || NameList.Count() == 0)
        return;
    TLanguageEditor Dialog(this);
    Dialog.Execute(Title, NameList, Current_->LangObjects.get());
    Edit->setText(QString::fromStdU16String(NameList.Get(0)));
    Edit->setCursorPosition(0);
}

QAbstractButton* TPyxEditorFrame::MakeLinkButton(const QString& ObjectName, std::function<TPyxObject*()> Target) {
    QToolButton* Button = PyxGlyphs::MakeButton(this, ObjectName, PyxGlyphs::LinkButton());
    connect(Button, &QToolButton::clicked, this, [this, Target = std::move(Target)] {
        if (TPyxObject* Entity = Target())
            Navigator_.ShowEntity(Entity);
    });
    return Button;
}

void TPyxEditorFrame::AddNew(TPyxObject* Entity) {
    if (!Search_ || Entity == nullptr)
        return;
    Search_->AddAndSelect(Entity);
    Navigator_.EntitiesAdded();
}

void TPyxEditorFrame::DeleteFocused(const std::function<void(TPyxObject& Entity)>& Delete) {
    if (!Search_ || TPyxBusy::Active())
        return;
    const int Row = lvList->FocusedRow();
    TPyxObject* Entity = Search_->Model().Entity(Row);
    if (Entity == nullptr)
        return;
    // The entity is taken before its row goes: removing the row moves the focus, which must not load another
    // entity as the one to delete.
    Search_->DeleteNode(Row);
    lvList->FocusRow(-1);
    Current_ = nullptr;
    ClearControls();
    EnableEditor(false);
    const TGoneEntities Gone = TGoneEntities::Of(*Database_, [&] { Delete(*Entity); });
    Navigator_.EntitiesDeleted(Gone);
}

void TPyxEditorFrame::EnableEditor(bool Enable) {
    pcPages->setEnabled(Enable);
    btnConfirmChanges->setEnabled(Enable);
    btnCancelChanges->setEnabled(Enable);
}

void TPyxEditorFrame::ClearControls() {
    Bindings_->Clear();
    ClearEntity();
    Bindings_->Remember();
}
