#include "KroMapFileSources.h"

#include "KroMapFileModule.h"
#include "KroMapFilePacked.h"
#include "KroMapFileTds.h"
#include "KroMapFileText.h"

std::unique_ptr<TMapFile> CreateMapFile(bool Load, std::uintptr_t ModuleHandle, const std::string& ModuleFileName) {
    auto Map = std::make_unique<TMapFile>();
    Map->SetModuleFileName(ModuleFileName);
    if (!Load)
        return Map;
    TModuleLayout Layout;
    const bool HeaderRead = ReadModuleLayout(ModuleFileName, ModuleHandle, Layout);
    if (HeaderRead)
        Map->SetLayout(Layout);

    if (HeaderRead) {
        const std::vector<std::uint8_t> Embedded = ReadEmbeddedMap(ModuleFileName);
        if (!Embedded.empty() && ReadPackedMap(*Map, Embedded.data(), Embedded.size())) {
            Map->SetSourceFileName(ModuleFileName);
            return Map;
        }
    }
    if (ReadBinaryDebugInfoBeside(*Map, ModuleFileName))
        return Map;
    const std::string Base = FileNameWithoutExtension(ModuleFileName);
    if (ReadTextMapFile(*Map, Base + ".map"))
        return Map;
    const std::vector<std::uint8_t> PackedFile = ReadWholeFile(Base + ".kro");
    if (!PackedFile.empty() && ReadPackedMap(*Map, PackedFile.data(), PackedFile.size())) {
        Map->SetSourceFileName(Base + ".kro");
        return Map;
    }
    return Map;
}
