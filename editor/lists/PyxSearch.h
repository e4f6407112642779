#pragma once

#include "PyxListModel.h"
#include "PyxObjects.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TPyxListView;

// Binds one entity collection to one list view: lists every entity or those a search text matches, sorted by
// display name, and shows single entities for navigation and adding. It owns the list model it puts in the view
// and takes it out again when it goes, so a view never keeps rows of a search object that is gone. Its status and
// progress events report a search as it runs.
class TPyxSearch final : public TPyxEvents {
public:
    TPyxSearch(TPyxObjects& Source, TPyxListView& View);
    ~TPyxSearch();
    TPyxSearch(const TPyxSearch&) = delete;
    TPyxSearch& operator=(const TPyxSearch&) = delete;

    // Lists the entities whose Matches(Text) holds, sorted by name; nothing is focused afterwards.
    void Search(const std::u16string& Text);
    // Lists every entity of the collection, sorted by name.
    void ShowAll();
    // Lists only Entity, focused and selected (the view reports the focus change).
    void FocusObject(TPyxObject* Entity);
    // Appends a row for Entity after the rows listed and focuses it; nil is ignored.
    void AddAndSelect(TPyxObject* Entity);
    // Removes one row; the other rows keep their places and no focus change is reported for it.
    void DeleteNode(int Row);
    // Drops every row and result whose entity Gone names (after a delete); Gone gets only the pointers and must not
    // follow them. The other rows keep their places and the focused row stays focused, without a focus change.
    void Purge(const std::function<bool(const TPyxObject*)>& Gone);

    // The number of entities the last ShowAll or Search listed (the collection's count while showing all); rows
    // added by AddAndSelect are not counted.
    int ShownCount() const;
    bool ShowingAll() const { return ShowingAll_; }
    const std::vector<TPyxObject*>& Results() const { return Results_; }
    TPyxObjects& Source() const { return Source_; }
    TPyxListModel& Model() const { return *Model_; }
    TPyxListView& View() const { return View_; }

    // Entities in the order of their display names ("No Name" for an empty one): case-insensitive and by the
    // user's locale, through sort keys of one collation (TNameCollator). Equal names keep their order. Prefixes,
    // when given, receives each sorted entity's name prefix for the incremental search.
    static std::vector<TPyxObject*> SortedByName(std::vector<TPyxObject*> Entities,
                                                 std::vector<TPyxListModel::TPrefix>* Prefixes = nullptr);

private:
    static constexpr std::size_t MinNamesPerThread = 20000;
    static constexpr std::size_t MaxThreads = 4;

    void ShowSorted(std::vector<TPyxObject*> Entities);

    TPyxObjects& Source_;
    TPyxListView& View_;
    std::unique_ptr<TPyxListModel> Model_;
    std::vector<TPyxObject*> Results_;
    bool ShowingAll_ = false;
};
