#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <unordered_map>
#include <vector>

// What the part of a packed map that describes inlined code predicts from what it has told before. The writer and
// the reader keep the same model and feed it the same steps, so that a call site or a line told once is told again
// by its place among the recent ones: a function inlined in many places inlines the same calls and stands on the
// same lines in each.
class TInlineModel final {
public:
    // Where an inlined function was called: the function, and the unit and line of the call.
    struct TSite final {
        std::uint32_t Function = 0;
        std::uint32_t Unit = 0;
        std::int32_t Line = 0;
        bool operator==(const TSite&) const = default;
    };
    // A source line of inlined code.
    struct TPlace final {
        std::uint32_t Unit = 0;
        std::int32_t Line = 0;
        bool operator==(const TPlace&) const = default;
    };
    // The context of calls made by the outermost function (the one the code lies in); any other context is the
    // index of the inlined function that makes the calls.
    static constexpr std::uint32_t Outermost = 0xFFFFFFFF;
    // How many recent sites and lines a context remembers.
    static constexpr std::size_t MaxRecent = 64;

    std::size_t SiteCount() const { return Sites.size(); }
    const TSite& SiteAt(std::uint32_t Id) const { return Sites[Id]; }
    std::optional<std::uint32_t> FindSite(const TSite& Site) const;
    std::uint32_t AddSite(const TSite& Site);

    // The place of a site among the recent ones called from Context (-1: not among them), and the site at a place.
    int RecentSitePlace(std::uint32_t Context, std::uint32_t Id) const;
    std::optional<std::uint32_t> RecentSite(std::uint32_t Context, std::size_t Place) const;
    // The site becomes the most recent one of Context.
    void UseSite(std::uint32_t Context, std::uint32_t Id);

    // The same for the lines of the code of an inlined function.
    int RecentPlaceOf(std::uint32_t Function, const TPlace& Place) const;
    std::optional<TPlace> RecentPlace(std::uint32_t Function, std::size_t Place) const;
    void UsePlace(std::uint32_t Function, const TPlace& Place);

private:
    struct TSiteHash final {
        std::size_t operator()(const TSite& S) const {
            return (static_cast<std::size_t>(S.Function) * 0x9E3779B97F4A7C15ull) ^
                   (static_cast<std::size_t>(S.Unit) << 32) ^ static_cast<std::uint32_t>(S.Line);
        }
    };

    std::vector<TSite> Sites;
    std::unordered_map<TSite, std::uint32_t, TSiteHash> SiteIds; // the writer's lookup
    std::unordered_map<std::uint32_t, std::vector<std::uint32_t>> RecentSites;
    std::unordered_map<std::uint32_t, std::vector<TPlace>> RecentPlaces;
};
