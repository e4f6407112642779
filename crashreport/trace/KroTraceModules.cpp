#include "KroTraceModules.h"

#include "KroElfImage.h"

#include <elf.h>

namespace {

// The code and data ranges and the entry point from the program headers in memory.
bool ReadRanges(const TElfImage& Image, TTraceModule& Module) noexcept {
    std::uintptr_t CodeLow = UINTPTR_MAX, CodeHigh = 0, DataLow = UINTPTR_MAX, DataHigh = 0;
    for (std::size_t I = 0; I < Image.ProgramCount; ++I) {
        TElfProgram Program;
        if (!ReadImageProgram(Image, I, Program))
            return false;
        if (Program.Type != PT_LOAD)
            continue;
        const std::uintptr_t Start = Image.LoadBias + static_cast<std::uintptr_t>(Program.Address);
        const std::uintptr_t End = Start + static_cast<std::uintptr_t>(Program.MemorySize);
        if (End < Start || !InsideImage(Image, Start, Program.MemorySize))
            continue;
        if ((Program.Flags & PF_X) != 0) {
            CodeLow = Start < CodeLow ? Start : CodeLow;
            CodeHigh = End > CodeHigh ? End : CodeHigh;
        } else if ((Program.Flags & PF_W) != 0) {
            DataLow = Start < DataLow ? Start : DataLow;
            DataHigh = End > DataHigh ? End : DataHigh;
        }
    }
    if (CodeLow == UINTPTR_MAX)
        return false;
    Module.CodeStart = CodeLow;
    Module.CodeEnd = CodeHigh;
    if (DataLow != UINTPTR_MAX) {
        Module.DataStart = DataLow;
        Module.DataEnd = DataHigh;
    }
    if (Image.Entry != 0)
        Module.EntryPoint = Image.LoadBias + static_cast<std::uintptr_t>(Image.Entry);
    return true;
}

std::string FileNameOf(const std::string& Path) {
    const std::size_t Slash = Path.rfind('/');
    return Slash == std::string::npos ? Path : Path.substr(Slash + 1);
}

} // namespace

TTraceModules::TTraceModules() : Memory(16384, 1024 * 1024) {}

bool TTraceModules::Refresh() noexcept {
    return Memory.Refresh();
}

const TMemoryRegion* TTraceModules::RegionOf(std::uintptr_t Address) const noexcept {
    return Memory.FindRegion(Address);
}

std::int32_t TTraceModules::Enter(std::uintptr_t Address) {
    const TLoadedModule* Loaded = Memory.FindModule(Address);
    if (Loaded == nullptr)
        return -1;
    std::size_t Slot = Modules.size();
    for (std::size_t I = 0; I < Modules.size(); ++I) {
        const TTraceModule& Known = *Modules[I];
        if (Known.Handle != Loaded->Base)
            continue;
        if (Known.Path == Loaded->Path && Known.End == Loaded->End)
            return static_cast<std::int32_t>(I);
        // Another module now lies where this one was: its entry is made anew, and what the caller knew of the old
        // one goes (Generation()).
        Slot = I;
        break;
    }
    TElfImage Image;
    if (!ReadElfImage(Loaded->Base, Image))
        return -1;
    auto Module = std::make_unique<TTraceModule>();
    Module->Handle = Loaded->Base;
    Module->End = Loaded->End;
    Module->Path = Loaded->Path;
    Module->FileName = FileNameOf(Module->Path);
    if (Module->FileName.empty() || !ReadRanges(Image, *Module))
        return -1;
    if (Module->Path[0] == '/')
        Module->Map = LoadTraceMap(Module->Handle, Module->Path);
    if (Module->Map != nullptr && Module->Map->EntryPoint() != 0)
        Module->EntryPoint = Module->Map->EntryPoint();
    if (Slot < Modules.size()) {
        Modules[Slot] = std::move(Module);
        ++ReplacedCount;
    } else
        Modules.push_back(std::move(Module));
    return static_cast<std::int32_t>(Slot);
}

std::int32_t TTraceModules::FindByRange(std::uintptr_t Address) const noexcept {
    for (std::size_t I = 0; I < Modules.size(); ++I)
        if (Modules[I]->InCode(Address) || Modules[I]->InData(Address))
            return static_cast<std::int32_t>(I);
    return -1;
}

const TElfExports* TTraceModules::ExportsOf(std::int32_t Module) {
    if (Module < 0 || static_cast<std::size_t>(Module) >= Modules.size())
        return nullptr;
    TTraceModule& Entry = *Modules[static_cast<std::size_t>(Module)];
    if (Entry.Exports == nullptr) {
        Entry.Exports = std::make_unique<TElfExports>();
        if (!Entry.Exports->Load(Entry.Handle))
            Entry.Exports = std::make_unique<TElfExports>(); // none: keep the empty table, do not read again
    }
    return Entry.Exports.get();
}

std::uintptr_t TTraceModules::StartBelow(std::int32_t Module, std::uintptr_t Address) {
    const TElfExports* Exports = ExportsOf(Module);
    const TElfExport* Export = Exports != nullptr ? Exports->NearestBelow(Address) : nullptr;
    std::uintptr_t Start = Export != nullptr ? Export->Address : 0;
    const std::uintptr_t Entry = (*this)[Module].EntryPoint;
    if (Entry != 0 && Entry <= Address && Entry > Start)
        Start = Entry;
    return Start;
}

std::string TTraceModules::ExportNameAt(std::int32_t Module, std::uintptr_t Address) {
    const TElfExports* Exports = ExportsOf(Module);
    const TElfExport* Export = Exports != nullptr ? Exports->At(Address) : nullptr;
    return Export != nullptr ? ExportNameText(Export->Name) : std::string();
}
