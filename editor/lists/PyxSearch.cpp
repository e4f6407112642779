#include "PyxSearch.h"

#include "NameCollator.h"
#include "PyxListView.h"

#include <algorithm>
#include <numeric>
#include <thread>

TPyxSearch::TPyxSearch(TPyxObjects& Source, TPyxListView& View)
    : Source_(Source), View_(View), Model_(std::make_unique<TPyxListModel>()) {
    View_.SetListModel(Model_.get());
}

TPyxSearch::~TPyxSearch() {
    if (View_.ListModel() == Model_.get())
        View_.SetListModel(nullptr);
}

void TPyxSearch::Search(const std::u16string& Text) {
    DoStatus("Searching");
    ShowingAll_ = false;
    Model_->Clear();
    Results_.clear();
    const int32_t Count = Source_.Count();
    Source_.SearchMatches(Text, [&](int32_t Index, TPyxObject* Entity, bool Matched) {
        if (Matched)
            Results_.push_back(Entity);
        DoProgress(Index, Count);
    });
    DoStatus("Sorting Search Result");
    ShowSorted(Results_);
}

void TPyxSearch::ShowAll() {
    DoStatus("Sorting Search Result");
    ShowingAll_ = true;
    Model_->Clear();
    std::vector<TPyxObject*> All(static_cast<std::size_t>(Source_.Count()));
    for (int32_t I = 0; I < Source_.Count(); ++I)
        All[static_cast<std::size_t>(I)] = Source_.Items(I);
    ShowSorted(std::move(All));
}

void TPyxSearch::ShowSorted(std::vector<TPyxObject*> Entities) {
    std::vector<TPyxListModel::TPrefix> Prefixes;
    auto Sorted = SortedByName(std::move(Entities), &Prefixes);
    Model_->SetRows(std::move(Sorted), std::move(Prefixes));
}

void TPyxSearch::FocusObject(TPyxObject* Entity) {
    Results_.clear();
    ShowingAll_ = false;
    View_.SuppressFocusEvents(true);
    Model_->Clear();
    View_.SuppressFocusEvents(false);
    if (Entity == nullptr)
        return;
    View_.FocusRow(Model_->Append(Entity));
}

void TPyxSearch::AddAndSelect(TPyxObject* Entity) {
    if (Entity == nullptr)
        return;
    View_.FocusRow(Model_->Append(Entity));
}

void TPyxSearch::DeleteNode(int Row) {
    View_.SuppressFocusEvents(true);
    Model_->Remove(Row);
    View_.SuppressFocusEvents(false);
}

void TPyxSearch::Purge(const std::function<bool(const TPyxObject*)>& Gone) {
    View_.SuppressFocusEvents(true);
    Model_->RemoveIf(Gone);
    View_.SuppressFocusEvents(false);
    std::erase_if(Results_, Gone);
}

int TPyxSearch::ShownCount() const {
    return ShowingAll_ ? Source_.Count() : static_cast<int>(Results_.size());
}

std::vector<TPyxObject*> TPyxSearch::SortedByName(std::vector<TPyxObject*> Entities,
                                                  std::vector<TPyxListModel::TPrefix>* Prefixes) {
    const std::size_t N = Entities.size();
    // The names' keys are made in a few threads for a long list: the names are only read, each thread has a
    // collator and a key buffer of its own, and all are joined before the sort.
    const std::size_t Parts = std::clamp<std::size_t>(N / MinNamesPerThread, 1, MaxThreads);
    TNameCollator Collator;
    std::vector<TNameCollator::TKeys> Keys(Parts);
    std::vector<TPyxListModel::TPrefix> NamePrefixes(N);
    const auto MakeKeys = [&](std::size_t Part, const TNameCollator& Own) {
        const std::size_t From = N * Part / Parts, To = N * (Part + 1) / Parts;
        for (std::size_t I = From; I < To; ++I) {
            std::u16string Name = Entities[I]->GetName();
            if (Name.empty())
                Name = u"No Name";
            Own.AddKey(Name, Keys[Part]);
            NamePrefixes[I] = TPyxListModel::PrefixOf(Name);
        }
    };
    {
        std::vector<std::unique_ptr<TNameCollator>> Clones;
        std::vector<std::jthread> Threads;
        for (std::size_t Part = 1; Part < Parts; ++Part) {
            Clones.push_back(Collator.Clone());
            Threads.emplace_back(MakeKeys, Part, std::cref(*Clones.back()));
        }
        MakeKeys(0, Collator);
    }
    for (std::size_t Part = 1; Part < Parts; ++Part)
        Keys[0].Append(Keys[Part]);
    std::vector<uint32_t> Order(N);
    std::iota(Order.begin(), Order.end(), 0u);
    std::stable_sort(Order.begin(), Order.end(), [&](uint32_t A, uint32_t B) { return Keys[0].Less(A, B); });
    std::vector<TPyxObject*> Sorted(N);
    if (Prefixes != nullptr)
        Prefixes->resize(N);
    for (std::size_t I = 0; I < N; ++I) {
        Sorted[I] = Entities[Order[I]];
        if (Prefixes != nullptr)
            (*Prefixes)[I] = NamePrefixes[Order[I]];
    }
    return Sorted;
}
