#include "KroMapFileInlineModel.h"

#include <algorithm>

namespace {

// Moves Item to the front of Recent (adding it when absent), forgetting the oldest beyond the limit.
template <typename T> void MoveToFront(std::vector<T>& Recent, const T& Item, std::size_t Limit) {
    const auto At = std::find(Recent.begin(), Recent.end(), Item);
    if (At != Recent.end())
        Recent.erase(At);
    else if (Recent.size() >= Limit)
        Recent.pop_back();
    Recent.insert(Recent.begin(), Item);
}

template <typename T> int PlaceIn(const std::vector<T>& Recent, const T& Item) {
    const auto At = std::find(Recent.begin(), Recent.end(), Item);
    return At == Recent.end() ? -1 : static_cast<int>(At - Recent.begin());
}

} // namespace

std::optional<std::uint32_t> TInlineModel::FindSite(const TSite& Site) const {
    const auto At = SiteIds.find(Site);
    return At == SiteIds.end() ? std::nullopt : std::optional<std::uint32_t>(At->second);
}

std::uint32_t TInlineModel::AddSite(const TSite& Site) {
    const auto Id = static_cast<std::uint32_t>(Sites.size());
    Sites.push_back(Site);
    SiteIds.try_emplace(Site, Id);
    return Id;
}

int TInlineModel::RecentSitePlace(std::uint32_t Context, std::uint32_t Id) const {
    const auto At = RecentSites.find(Context);
    return At == RecentSites.end() ? -1 : PlaceIn(At->second, Id);
}

std::optional<std::uint32_t> TInlineModel::RecentSite(std::uint32_t Context, std::size_t Place) const {
    const auto At = RecentSites.find(Context);
    if (At == RecentSites.end() || Place >= At->second.size())
        return std::nullopt;
    return At->second[Place];
}

void TInlineModel::UseSite(std::uint32_t Context, std::uint32_t Id) {
    MoveToFront(RecentSites[Context], Id, MaxRecent);
}

int TInlineModel::RecentPlaceOf(std::uint32_t Function, const TPlace& Place) const {
    const auto At = RecentPlaces.find(Function);
    return At == RecentPlaces.end() ? -1 : PlaceIn(At->second, Place);
}

std::optional<TInlineModel::TPlace> TInlineModel::RecentPlace(std::uint32_t Function, std::size_t Place) const {
    const auto At = RecentPlaces.find(Function);
    if (At == RecentPlaces.end() || Place >= At->second.size())
        return std::nullopt;
    return At->second[Place];
}

void TInlineModel::UsePlace(std::uint32_t Function, const TPlace& Place) {
    MoveToFront(RecentPlaces[Function], Place, MaxRecent);
}
