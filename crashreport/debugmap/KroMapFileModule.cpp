#include "KroMapFileModule.h"

#include "KroElfFileReader.h"
#include "KroFileRead.h"

#include <elf.h>
#include <sys/stat.h>

namespace {

// The lowest loadable address, page-aligned: where the file's first byte lands when loaded as linked.
bool LowestLoad(const std::vector<TElfProgram>& Programs, std::uint64_t& Lowest) {
    bool Found = false;
    for (const TElfProgram& P : Programs)
        if (P.Type == PT_LOAD && P.Offset == 0 && (!Found || P.Address < Lowest)) {
            Lowest = P.Address;
            Found = true;
        }
    if (!Found)
        for (const TElfProgram& P : Programs)
            if (P.Type == PT_LOAD && P.Address >= P.Offset && (!Found || P.Address - P.Offset < Lowest)) {
                Lowest = P.Address - P.Offset;
                Found = true;
            }
    Lowest &= ~std::uint64_t{0xFFF};
    return Found;
}

bool ReadLowestLoad(TElfFileReader& File, std::vector<TElfProgram>& Programs, std::uint64_t& Lowest) {
    return File.ReadHeader() && File.ReadPrograms(Programs) && LowestLoad(Programs, Lowest);
}

} // namespace

bool ReadModuleLayout(const std::string& FileName, std::uintptr_t ModuleHandle, TModuleLayout& Layout) {
    TElfFileReader File(FileName);
    std::vector<TElfProgram> Programs;
    std::uint64_t Lowest = 0;
    if (!ReadLowestLoad(File, Programs, Lowest))
        return false;
    const std::uintptr_t Bias = ModuleHandle - static_cast<std::uintptr_t>(Lowest);
    Layout = TModuleLayout{};
    Layout.ModuleHandle = ModuleHandle;
    bool HaveCode = false;
    bool HaveData = false;
    for (const TElfProgram& P : Programs) {
        if (P.Type != PT_LOAD)
            continue;
        if ((P.Flags & PF_X) != 0 && !HaveCode) {
            Layout.CodeStart = Bias + static_cast<std::uintptr_t>(P.Address);
            Layout.CodeEnd = Layout.CodeStart + static_cast<std::uintptr_t>(P.MemorySize);
            HaveCode = true;
        } else if ((P.Flags & PF_W) != 0 && (P.Flags & PF_X) == 0 && !HaveData) {
            Layout.DataStart = Bias + static_cast<std::uintptr_t>(P.Address);
            Layout.DataEnd = Layout.DataStart + static_cast<std::uintptr_t>(P.MemorySize);
            HaveData = true;
        }
    }
    if (File.Header().Entry != 0)
        Layout.EntryPoint = Bias + static_cast<std::uintptr_t>(File.Header().Entry);
    return HaveCode;
}

bool LinkedModuleHandle(const std::string& FileName, std::uintptr_t& ModuleHandle) {
    TElfFileReader File(FileName);
    std::vector<TElfProgram> Programs;
    std::uint64_t Lowest = 0;
    if (!ReadLowestLoad(File, Programs, Lowest))
        return false;
    ModuleHandle = static_cast<std::uintptr_t>(Lowest);
    return true;
}

std::vector<std::uint8_t> ReadEmbeddedMap(const std::string& FileName) {
    TElfFileReader File(FileName);
    std::vector<TElfSection> Sections;
    if (!File.ReadHeader() || !File.ReadSections(Sections))
        return {};
    for (const TElfSection& Section : Sections) {
        if (Section.Type == SHT_NOBITS || !File.SectionNameIs(Sections, Section, EmbeddedMapSectionName))
            continue;
        if (Section.Size == 0 || Section.Size > File.Size() || Section.Size > MaxMapSourceSize)
            return {};
        std::vector<std::uint8_t> Content(static_cast<std::size_t>(Section.Size));
        if (!File.ReadAt(Section.Offset, Content.data(), Content.size()))
            return {};
        return Content;
    }
    return {};
}

std::vector<std::uint8_t> ReadWholeFile(const std::string& FileName, std::size_t MaxSize) {
    // Only a regular file: a device or a pipe put where a map file is looked for is no map.
    struct stat Info {};
    if (stat(FileName.c_str(), &Info) != 0 || !S_ISREG(Info.st_mode) || Info.st_size <= 0 ||
        static_cast<std::uint64_t>(Info.st_size) > MaxSize)
        return {};
    std::vector<std::uint8_t> Content;
    if (KroReadFile(FileName.c_str(), Content, MaxSize) != TKroFileRead::Read)
        return {};
    return Content;
}

std::string FileNameWithoutExtension(const std::string& FileName) {
    const std::size_t Slash = FileName.rfind('/');
    const std::size_t Dot = FileName.rfind('.');
    if (Dot == std::string::npos || (Slash != std::string::npos && Dot < Slash) || Dot == Slash + 1)
        return FileName;
    return FileName.substr(0, Dot);
}
