#include "KroTraceModules.h"

#include "KroElfImage.h"
#include "KroSafeRead.h"

#include <elf.h>

namespace {

// The byte size of a value in a DWARF pointer encoding (its low four bits); 0 for one this reader does not take.
std::size_t EncodedSize(std::uint8_t Encoding) noexcept {
    switch (Encoding & 0x0F) {
    case 0x00: // absolute pointer
    case 0x04: // unsigned 8 bytes
    case 0x0C: // signed 8 bytes
        return 8;
    case 0x03: // unsigned 4 bytes
    case 0x0B: // signed 4 bytes
        return 4;
    default:
        return 0;
    }
}

// The search table of .eh_frame_hdr, which the linker writes in one form: version 1, a pointer to .eh_frame, the
// count of entries, then the sorted pairs of 4-byte offsets from the header's start. A header of another form (or
// none) leaves the module without a table: its frames are then found by scanning the stack.
void ReadUnwindTable(const TElfImage& Image, std::uintptr_t Header, std::uint64_t Size, TTraceModule& Module) noexcept {
    constexpr std::uint8_t DataRelativeSigned4 = 0x3B;
    std::uint8_t Head[4];
    if (Size < sizeof Head || !InsideImage(Image, Header, Size) || !KroSafeRead(Header, Head, sizeof Head))
        return;
    const std::size_t PointerSize = EncodedSize(Head[1]);
    const std::size_t CountSize = EncodedSize(Head[2]);
    if (Head[0] != 1 || Head[1] == 0xFF || Head[2] == 0xFF || Head[3] != DataRelativeSigned4 || PointerSize == 0 ||
        CountSize == 0)
        return;
    std::uint64_t Count = 0;
    const std::uintptr_t CountAt = Header + sizeof Head + PointerSize;
    if (CountSize == 4) {
        std::uint32_t Count32 = 0;
        if (!KroSafeRead(CountAt, &Count32, sizeof Count32))
            return;
        Count = Count32;
    } else if (!KroSafeRead(CountAt, &Count, sizeof Count))
        return;
    const std::uintptr_t Table = CountAt + CountSize;
    if (Count == 0 || Count > (std::uint64_t{1} << 28) || !InsideImage(Image, Table, Count * 8))
        return;
    Module.UnwindHeader = Header;
    Module.UnwindTable = Table;
    Module.UnwindCount = Count;
}

// The code and data ranges and the entry point from the program headers in memory.
bool ReadRanges(const TElfImage& Image, TTraceModule& Module) noexcept {
    std::uintptr_t CodeLow = UINTPTR_MAX, CodeHigh = 0, DataLow = UINTPTR_MAX, DataHigh = 0;
    for (std::size_t I = 0; I < Image.ProgramCount; ++I) {
        TElfProgram Program;
        if (!ReadImageProgram(Image, I, Program))
            return false;
        if (Program.Type == PT_GNU_EH_FRAME)
            ReadUnwindTable(Image, Image.LoadBias + static_cast<std::uintptr_t>(Program.Address), Program.MemorySize,
                            Module);
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
    Module.LoadBias = Image.LoadBias;
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

std::int32_t TTraceModules::CodeModule(std::uintptr_t Address) {
    for (std::size_t I = 0; I < Modules.size(); ++I)
        if (Modules[I]->CodeStart <= Address && Address < Modules[I]->CodeEnd)
            return static_cast<std::int32_t>(I);
    const TMemoryRegion* Region = RegionOf(Address);
    if (Region == nullptr || !Region->Executable)
        return -1;
    const std::int32_t Entered = Enter(Address);
    return Entered >= 0 && (*this)[Entered].CodeStart <= Address && Address < (*this)[Entered].CodeEnd ? Entered : -1;
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

std::uintptr_t TTraceModules::ExportHolding(std::int32_t Module, std::uintptr_t Address) {
    const TElfExports* Exports = ExportsOf(Module);
    const TElfExport* Export = Exports != nullptr ? Exports->NearestBelow(Address - 1) : nullptr;
    // An export names its own code only: past its size lies a function the module keeps to itself.
    if (Export == nullptr || Address - Export->Address > Export->Size)
        return 0;
    return Export->Address;
}

std::string TTraceModules::ExportNameAt(std::int32_t Module, std::uintptr_t Address) {
    const TElfExports* Exports = ExportsOf(Module);
    const TElfExport* Export = Exports != nullptr ? Exports->At(Address) : nullptr;
    return Export != nullptr ? ExportNameText(Export->Name) : std::string();
}
