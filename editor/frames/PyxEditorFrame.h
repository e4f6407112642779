#pragma once

#include <QString>
#include <QWidget>

#include <functional>
#include <memory>
#include <vector>

class QAbstractButton;
class QLabel;
class QLineEdit;
class QPushButton;
class QStatusBar;
class QTabWidget;
class TBindingSet;
class TFieldBinding;
class TFramePage;
class TGoneEntities;
class TNameBinding;
class TPyxDatabase;
class TPyxListView;
class TPyxNavigator;
class TPyxObject;
class TPyxObjects;
class TPyxSearch;
class TWideStrings;

// The base of every editor frame of the main window: on the left the list panel (search edit and button, the
// entity list, the count of entities found), on the right the editor's page control with "Confirm Changes" and
// "Cancel Changes" under it. A frame derives from TPyxFrame<Kind> (PyxFrame.h), builds its pages in its
// constructor and binds each control to its field there; this class runs the pattern they share:
//
// - SetDatabase attaches the frame to a loaded database (a fresh TPyxSearch over the kind's collection; the list
//   stays empty until the user searches) or detaches it with nil before a load: the list model goes, every bound
//   control is emptied and Current is nil, so nothing points at the entities the load frees.
// - Focusing a row loads its entity into the controls (PrepareLoad, every binding's Load, then LoadEntity, and
//   every binding remembers what its control shows); another row silently drops edits that were not confirmed. No
//   focused row disables the editor and keeps what it shows. The highlighted row is always the entity shown, or none.
// - Confirm writes back only what the user changed (every binding's Save, then SaveEntity); Cancel reloads the
//   focused row. Neither validates nor asks anything. Nothing else reloads the editor: what the user typed stays
//   until Confirm, Cancel or another row.
// - Search and ShowAll run under a status window that blocks input; a second long operation cannot start
//   meanwhile (TPyxBusy).
// - AddNew and DeleteFocused add and delete entities and tell the main window, which tells every frame: after an
//   add each refreshes the choices its controls offer (RefreshChoices); after a delete each drops the rows of the
//   entities that went and, when its own entity went, empties its editor, and otherwise drops from its controls only
//   the references to them (PurgeDeleted).
class TPyxEditorFrame : public QWidget {
    Q_OBJECT
public:
    // What sets one frame's controls apart: the frame's object name ("frameStage"), the name in the list's and
    // page control's object names ("Stage": lvStage, pcStage) and the text after the count of entities found
    // (" Stages Found").
    struct TNames {
        QString Frame;
        QString Kind;
        QString CountText;
    };

    ~TPyxEditorFrame() override;

    // Attaches the frame to a loaded database, or detaches it with nil.
    void SetDatabase(TPyxDatabase* Database);
    // Lists only Entity, focused and selected, which loads it into the editor (unless the editor shows it already:
    // what the user typed for it stays).
    void FocusObject(TPyxObject* Entity);
    // The Add menu's operation for the frame's kind: a new entity, listed after the rows shown and focused.
    // Frames whose kind can be added override both.
    virtual bool CanAdd() const { return false; }
    virtual void AddEntity() {}
    // Frames with squad pages refill their player lists (after a person was confirmed).
    virtual void RefreshSquads() {}
    // After entities were added anywhere: the controls offer them too; what the user typed stays.
    void EntitiesAdded();
    // After entities were deleted anywhere: drops the rows of those that went; empties the editor when Current
    // went, and otherwise drops only the references to them, keeping what the user typed.
    void PurgeDeleted(const TGoneEntities& Gone);
    // Stops and resumes repainting the list during a load or save.
    void BeginUpdateList();
    void EndUpdateList();

    TPyxDatabase* Database() const { return Database_; }
    TPyxObject* CurrentObject() const { return Current_; }
    TPyxSearch* Search() const { return Search_.get(); }
    TPyxListView* List() const { return lvList; }
    QTabWidget* Pages() const { return pcPages; }
    QPushButton* ConfirmButton() const { return btnConfirmChanges; }
    QPushButton* CancelButton() const { return btnCancelChanges; }
    QLineEdit* SearchEdit() const { return edSearch; }
    // The text of the status bar under the list ("12 Stages Found").
    QString SearchResultText() const;
    // True when the attached database was loaded with all languages (names are edited in every language).
    bool AllLanguages() const;

public slots:
    void btnSearchClick();
    void btnConfirmChangesClick();
    void btnCancelChangesClick();
    // The list's focus change: loads Entity into the editor, or disables the editor for none.
    void ListFocusChanged(TPyxObject* Entity);

protected:
    TPyxEditorFrame(TPyxNavigator& Navigator, TNames Names, QWidget* Parent);

    // The collection the list shows.
    virtual TPyxObjects& Collection(TPyxDatabase& Database) const = 0;
    // What a frame prepares when a database is attached, beyond the list: the selectors' collections, combo
    // items taken from the database.
    virtual void Attached(TPyxDatabase& /*Database*/) {}
    // Runs before the bindings load Entity: refills the controls whose items come from the database (pointer
    // combos listing a collection), so that they list the collections as they are now.
    virtual void PrepareLoad(TPyxObject& /*Entity*/) {}
    // Loads, saves and clears what the bindings do not cover (sub-lists, dependent controls); each runs after
    // the bindings. SaveEntity may still ask the bindings what changed: they remember the new values after it.
    virtual void LoadEntity(TPyxObject& /*Entity*/) {}
    virtual void SaveEntity(TPyxObject& /*Entity*/) {}
    virtual void ClearEntity() {}
    // After a delete elsewhere, with Current still there: what the bindings do not cover (sub-lists, lists shown
    // only, controls that follow another). It runs before the bindings drop their references, so that the frame
    // still sees which controls showed an entity that went (only the pointers: they must not be followed).
    virtual void PurgeEntity(const TGoneEntities& /*Gone*/) {}
    // After an add or a delete: refills the controls whose items come from the database, each keeping what it
    // shows, and the lists the editor only shows.
    virtual void RefreshChoices() {}

    // A page of the editor's page control.
    TFramePage* AddPage(const QString& ObjectName, const QString& Caption, const QString& Heading = QString(),
                        const QString& HeadingName = QString());
    // Control, when given, is the control Binding binds, for Bindings().Changed(Control).
    void AddBinding(std::unique_ptr<TFieldBinding> Binding, const QWidget* Control = nullptr);
    TBindingSet& Bindings() const { return *Bindings_; }
    // A translatable name's binding; its button opens the language text dialog and is enabled only while the
    // database holds all languages.
    void AddNameBinding(std::unique_ptr<TNameBinding> Binding);
    // Edits NameList in the language text dialog; Edit shows item 0 afterwards. The entity changes only on
    // Confirm.
    void EditLanguageNames(const QString& Title, TWideStrings& NameList, QLineEdit* Edit);
    // A link button beside a control: goes to the entity Target gives (a team's owner for a team), nothing when
    // it gives nil.
    QAbstractButton* MakeLinkButton(const QString& ObjectName, std::function<TPyxObject*()> Target);

    // Lists a new entity the frame has just added to its collection after the rows shown, focuses it and tells
    // the other tabs.
    void AddNew(TPyxObject* Entity);
    // Deletes the focused row's entity through Delete (the collection's Delete, which unlinks it everywhere)
    // after taking its row out of the list; the editor is emptied and the other tabs told. Nothing without a
    // focused row.
    void DeleteFocused(const std::function<void(TPyxObject& Entity)>& Delete);

    TPyxNavigator& Navigator() const { return Navigator_; }

private:
    void EnableEditor(bool Enable);
    void ClearControls();
    // Highlights Current's row when the list shows it, and none otherwise, without reloading the editor.
    void HighlightCurrent();

    TPyxNavigator& Navigator_;
    TNames Names_;
    TPyxObject* Current_ = nullptr;
    TPyxDatabase* Database_ = nullptr;
    std::unique_ptr<TPyxSearch> Search_;
    std::unique_ptr<TBindingSet> Bindings_;
    std::vector<QAbstractButton*> NameButtons_;

    QWidget* pnlList;
    QWidget* pnlSearch;
    QLineEdit* edSearch;
    QPushButton* btnSearch;
    TPyxListView* lvList;
    QStatusBar* sbarSearchResult;
    QLabel* lblSearchResult;
    QTabWidget* pcPages;
    QPushButton* btnConfirmChanges;
    QPushButton* btnCancelChanges;
};
