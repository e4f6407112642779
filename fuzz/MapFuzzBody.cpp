#include "MapFuzzBody.h"

#include "KroMapFile.h"
#include "KroMapFilePacked.h"
#include "KroMapFileTds.h"
#include "KroMapFileText.h"

#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <vector>

namespace pyxfuzz {

namespace {

constexpr std::uintptr_t CodeStart = 0x401000;
constexpr std::uintptr_t CodeEnd = CodeStart + 0x10000;

TMapFile EmptyMap() {
    TMapFile Map;
    TModuleLayout Layout;
    Layout.ModuleHandle = 0x400000;
    Layout.CodeStart = CodeStart;
    Layout.CodeEnd = CodeEnd;
    Layout.DataStart = 0x600000;
    Layout.DataEnd = 0x610000;
    Map.SetLayout(Layout);
    return Map;
}

[[noreturn]] void Fault(const char* What, std::size_t Count, std::size_t Limit) {
    std::fprintf(stderr, "map fuzz: %s: %zu items for at most %zu\n", What, Count, Limit);
    std::abort();
}

} // namespace

void RunOneMap(const uint8_t* Data, std::size_t Size) {
    if (Size == 0)
        return;
    const unsigned Reader = Data[0] % 4;
    const uint8_t* Bytes = Data + 1;
    const std::size_t Length = Size - 1;
    TMapFile Map = EmptyMap();
    // Every item takes at least one byte of what the reader parsed; a packed body may inflate, by deflate's
    // largest ratio at most.
    std::size_t Limit = Length + 64;
    switch (Reader) {
    case 0:
        ReadPackedMap(Map, Bytes, Length);
        Limit = Length * 1032 + 64;
        break;
    case 1: {
        const std::vector<std::uint8_t> Packed = PackMapBytes(std::vector<std::uint8_t>(Bytes, Bytes + Length));
        ReadPackedMap(Map, Packed.data(), Packed.size());
        break;
    }
    case 2:
        ReadTextMap(Map, std::string_view(reinterpret_cast<const char*>(Bytes), Length));
        break;
    default:
        ReadBinaryDebugInfo(Map, Bytes, Length);
        break;
    }
    if (Map.Segments().capacity() > Limit)
        Fault("segments", Map.Segments().capacity(), Limit);
    if (Map.Publics().capacity() > Limit)
        Fault("publics", Map.Publics().capacity(), Limit);
    if (Map.Lines().capacity() > Limit)
        Fault("lines", Map.Lines().capacity(), Limit);
    if (Map.Inlines().Rows().capacity() > Limit)
        Fault("inlined rows", Map.Inlines().Rows().capacity(), Limit);
    for (std::size_t Depth = 1; Depth <= Map.Inlines().Depths(); ++Depth)
        if (Map.Inlines().CallsAtDepth(Depth).capacity() > Limit)
            Fault("inlined calls", Map.Inlines().CallsAtDepth(Depth).capacity(), Limit);
    for (std::uintptr_t Address = CodeStart - 0x40; Address < CodeEnd + 0x40; Address += 0x3F) {
        (void)Map.GetSegmentOfAddress(Address);
        (void)Map.GetPublicOfAddress(Address);
        (void)Map.GetLineOfAddress(Address);
        (void)Map.GetSymbolNameAt(Address);
        (void)Map.GetInlinedFramesOfAddress(Address);
    }
    (void)Map.GetAddressOfPublic("main", "main", true, false);
    (void)Map.GetAddressOfPublic("Unit1", "TForm1.Click", true, true);
}

} // namespace pyxfuzz
