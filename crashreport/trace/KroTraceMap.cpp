#include "KroTraceMap.h"

#include "KroMapFileCache.h"

namespace {

// A module's debug map as the tracer reads it.
class TModuleTraceMap final : public TTraceMap {
public:
    explicit TModuleTraceMap(std::shared_ptr<const TMapFile> Map) : Map(std::move(Map)) {}

    std::uintptr_t EntryPoint() const override { return Map->EntryPoint(); }

    bool PublicOf(std::uintptr_t Address, std::string& Name, std::uintptr_t& Start) const override {
        const TMfPublic* Public = Map->GetPublicOfAddress(Address);
        if (Public == nullptr)
            return false;
        Name = Public->Name;
        Start = Public->Address;
        return true;
    }

    std::string UnitOf(std::uintptr_t Address) const override {
        const TMfSegment* Segment = Map->GetSegmentOfAddress(Address);
        return Segment != nullptr ? Segment->UnitName : std::string();
    }

    std::int32_t LineOf(std::uintptr_t Address) const override { return Map->GetLineOfAddress(Address); }

    std::vector<TTraceInlined> InlinedAt(std::uintptr_t Address) const override {
        std::vector<TTraceInlined> Inlined;
        for (TMfInlineFrame& Frame : Map->GetInlinedFramesOfAddress(Address))
            Inlined.push_back(TTraceInlined{std::move(Frame.FunctionName), std::move(Frame.UnitName), Frame.Line});
        return Inlined;
    }

private:
    std::shared_ptr<const TMapFile> Map;
};

} // namespace

std::unique_ptr<TTraceMap> LoadTraceMap(std::uintptr_t ModuleHandle, const std::string&) {
    std::shared_ptr<const TMapFile> Map = GetMapFileOfAddress(ModuleHandle);
    if (Map == nullptr || !Map->Valid())
        return nullptr;
    return std::make_unique<TModuleTraceMap>(std::move(Map));
}
