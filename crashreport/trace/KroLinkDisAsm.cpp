#include "KroLinkDisAsm.h"

#include "KroDisAsm.h"
#include "KroElfExports.h"
#include "KroExceptSettings.h"
#include "KroLiveCodeReader.h"
#include "KroLiveDisAsm.h"
#include "KroMapFileCache.h"
#include "KroThreadSlot.h"

#include <atomic>
#include <memory>
#include <vector>

namespace {

std::atomic<int> Users{0};

// What names the addresses of one module: its exports and its debug map, read once per thread and kept, since the
// flow analysis asks for the name of every instruction it passes.
struct TModuleNames {
    std::uintptr_t Begin = 0;
    std::uintptr_t End = 0;
    std::string File; // empty for the main program
    TElfExports Exports;
    bool HasExports = false;
    std::shared_ptr<const TMapFile> Map;
};

std::uintptr_t MainModule() {
    static const std::uintptr_t Handle = [] {
        std::string File;
        std::uintptr_t Module = 0;
        FindModuleOfAddress(reinterpret_cast<std::uintptr_t>(&KroLinkDisAsm), File, Module);
        return Module;
    }();
    return Handle;
}

// Each thread's modules met so far. Not a thread_local: the reporter's threads use it while other threads are paused,
// and the first use of a thread_local with a destructor takes the loader's lock, which a paused thread may hold.
struct TThreadModules {
    std::vector<std::unique_ptr<TModuleNames>> Modules;
};

TThreadSlot<TThreadModules>& ModulesSlot() {
    static TThreadSlot<TThreadModules> Slot;
    return Slot;
}

const TModuleNames* ModuleOf(std::uintptr_t Address) {
    TThreadModules* Own = ModulesSlot().Get();
    if (Own == nullptr)
        return nullptr;
    std::vector<std::unique_ptr<TModuleNames>>& Modules = Own->Modules;
    for (const std::unique_ptr<TModuleNames>& Module : Modules)
        if (Module->Begin <= Address && Address < Module->End)
            return Module.get();
    std::string File;
    std::uintptr_t Handle = 0;
    TElfImage Image;
    if (!FindModuleOfAddress(Address, File, Handle) || !ReadElfImage(Handle, Image) || Address >= Image.End)
        return nullptr;
    auto Module = std::make_unique<TModuleNames>();
    Module->Begin = Handle;
    Module->End = Image.End;
    if (Handle != MainModule())
        Module->File = File.substr(File.rfind('/') + 1);
    Module->HasExports = Module->Exports.Load(Handle);
    Module->Map = GetMapFileOfAddress(Address);
    Modules.push_back(std::move(Module));
    return Modules.back().get();
}

bool ExportName(std::uint64_t Address, std::string& Name, std::string& Module) {
    const TModuleNames* Names = ModuleOf(static_cast<std::uintptr_t>(Address));
    if (Names == nullptr || !Names->HasExports)
        return false;
    const TElfExport* Export = Names->Exports.At(static_cast<std::uintptr_t>(Address));
    if (Export == nullptr)
        return false;
    Name = ExportNameText(Export->Name);
    Module = Names->File;
    return true;
}

bool MapName(std::uint64_t Address, std::string& Name, std::string& Module) {
    const TModuleNames* Names = ModuleOf(static_cast<std::uintptr_t>(Address));
    if (Names == nullptr || !Names->Map)
        return false;
    Name = Names->Map->GetSymbolNameAt(static_cast<std::uintptr_t>(Address));
    Module = Names->File;
    return !Name.empty();
}

} // namespace

std::string KroDisAsmCallback(std::uintptr_t FunctionAddress, std::uintptr_t ExceptAddress, std::int32_t ContextLines,
                              bool FullLabels) {
    try {
        std::string Listing;
        TFunctionInfo Info;
        ParseFunction(FunctionAddress, Listing, ExceptAddress, ContextLines, FullLabels, Info);
        return Listing;
    } catch (...) {
        return std::string(); // out of memory: the report goes without its listing
    }
}

void KroLinkDisAsm() noexcept {
    if (Users.fetch_add(1) != 0)
        return;
    ModulesSlot(); // made now, at start-up, not first on a report's way
    KroSetExportNameResolver(&ExportName);
    KroSetSymbolNameResolver(&MapName);
    ExceptSettings.DisAsmCallback = &KroDisAsmCallback;
}

void KroUnlinkDisAsm() noexcept {
    int Current = Users.load();
    do {
        if (Current <= 0)
            return; // more unlinks than links
    } while (!Users.compare_exchange_weak(Current, Current - 1));
    if (Current != 1)
        return;
    ExceptSettings.DisAsmCallback = nullptr;
    KroSetExportNameResolver(nullptr);
    KroSetSymbolNameResolver(nullptr);
}
