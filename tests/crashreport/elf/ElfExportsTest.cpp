#include "KroElfExports.h"
#include "KroModuleMap.h"
#include "KroSafeRead.h"
#include "KroUnmangle.h"
#include "SystemToolsTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <elf.h>
#include <map>
#include <random>
#include <set>
#include <sstream>
#include <sys/auxv.h>
#include <sys/mman.h>
#include <tuple>
#include <unistd.h>

namespace {

struct TNmSymbol {
    std::string Name;
    std::uint64_t Value;
    bool DefaultVersion;
};

// The defined dynamic symbols as nm lists them (its System V form gives the type, so thread-local ones can be told
// apart), without the absolute ones (version names) and the thread-local ones (offsets, not addresses).
std::vector<TNmSymbol> NmExports(const std::string& Path) {
    std::vector<TNmSymbol> Symbols;
    std::istringstream Lines(kt::CommandOutput("nm -D --defined-only --format=sysv '" + Path + "'"));
    for (std::string Line; std::getline(Lines, Line);) {
        std::vector<std::string> Fields;
        std::istringstream Parts(Line);
        for (std::string Field; std::getline(Parts, Field, '|');) {
            const auto First = Field.find_first_not_of(' ');
            const auto Last = Field.find_last_not_of(' ');
            Fields.push_back(First == std::string::npos ? "" : Field.substr(First, Last - First + 1));
        }
        if (Fields.size() < 4 || Fields[1].empty() || Fields[2] == "A" || Fields[3] == "TLS")
            continue;
        TNmSymbol Symbol;
        const std::size_t At = Fields[0].find('@');
        Symbol.Name = Fields[0].substr(0, At);
        Symbol.DefaultVersion = At == std::string::npos || Fields[0].compare(At, 2, "@@") == 0;
        Symbol.Value = std::stoull(Fields[1], nullptr, 16);
        Symbols.push_back(Symbol);
    }
    return Symbols;
}

const TLoadedModule* FindModuleByPath(const TModuleMap& Map, const std::string& Part) {
    for (std::size_t I = 0; I < Map.ModuleCount(); ++I)
        if (std::string(Map.Module(I).Path).find(Part) != std::string::npos)
            return &Map.Module(I);
    return nullptr;
}

// Compares the exports read from memory with nm's list of the module's file: the same names at the same addresses,
// every name found by name and every address by address, and nearest-below lookups at random addresses.
void ExpectExportsMatchNm(const TLoadedModule& Module) {
    SCOPED_TRACE(Module.Path);
    const std::vector<TNmSymbol> Nm = NmExports(Module.Path);
    ASSERT_GT(Nm.size(), 50u);
    TElfExports Exports;
    ASSERT_TRUE(Exports.Load(Module.Base));
    EXPECT_EQ(Exports.Image().LoadBias, Module.LoadBias);

    // nm writes "name@version" both for an older version and for a version the module needs from another one (a
    // copied variable), so only "@@" and unversioned names are sure defaults; the flag is compared through AddressOf.
    std::multiset<std::tuple<std::string, std::uintptr_t>> Expected, Found;
    std::map<std::uintptr_t, std::set<std::string>> NamesAt;
    std::map<std::string, std::vector<std::uintptr_t>> Addresses;
    std::set<std::string> Defaults;
    for (const TNmSymbol& S : Nm) {
        const std::uintptr_t Address = Module.LoadBias + S.Value;
        Expected.insert({S.Name, Address});
        NamesAt[Address].insert(S.Name);
        if (S.DefaultVersion) {
            Addresses[S.Name].insert(Addresses[S.Name].begin(), Address);
            Defaults.insert(S.Name);
        } else {
            Addresses[S.Name].push_back(Address);
        }
    }
    for (const TElfExport& E : Exports.Exports())
        Found.insert({std::string(E.Name), E.Address});
    std::vector<std::tuple<std::string, std::uintptr_t>> OnlyFound, OnlyExpected;
    std::set_difference(Found.begin(), Found.end(), Expected.begin(), Expected.end(), std::back_inserter(OnlyFound));
    std::set_difference(Expected.begin(), Expected.end(), Found.begin(), Found.end(), std::back_inserter(OnlyExpected));
    for (const auto& [Name, Address] : OnlyFound)
        ADD_FAILURE() << "not listed by nm: " << Name << " at " << std::hex << Address;
    for (const auto& [Name, Address] : OnlyExpected)
        ADD_FAILURE() << "not found: " << Name << " at " << std::hex << Address;

    for (const auto& [Name, At] : Addresses)
        if (At.size() == 1 || Defaults.count(Name) > 0) {
            EXPECT_EQ(Exports.AddressOf(Name), At.front()) << Name;
        }
    for (const auto& [Address, Names] : NamesAt) {
        const TElfExport* E = Exports.At(Address);
        ASSERT_NE(E, nullptr);
        EXPECT_EQ(Names.count(std::string(E->Name)), 1u) << E->Name;
    }
    EXPECT_EQ(Exports.AddressOf("no such export, surely"), 0u);

    std::mt19937_64 Random(Module.Base);
    const std::uintptr_t Lowest = NamesAt.begin()->first;
    for (int I = 0; I < 2000; ++I) {
        const std::uintptr_t Address = Lowest + Random() % (Module.End - Lowest);
        const TElfExport* Below = Exports.NearestBelow(Address);
        ASSERT_NE(Below, nullptr);
        auto Next = NamesAt.upper_bound(Address);
        --Next;
        EXPECT_EQ(Below->Address, Next->first);
        EXPECT_EQ(Next->second.count(std::string(Below->Name)), 1u);
    }
    EXPECT_EQ(Exports.NearestBelow(Module.End), nullptr);
}

} // namespace

TEST(ElfExportsTest, ExportsOfThisProgramLibcAndLibstdcxxMatchNm) {
    TModuleMap Map;
    ASSERT_TRUE(Map.Refresh());
    const TLoadedModule* Own = Map.FindModule(reinterpret_cast<std::uintptr_t>(&KroSafeRead));
    const TLoadedModule* Libc = FindModuleByPath(Map, "/libc.so.6");
    const TLoadedModule* Libstdcxx = FindModuleByPath(Map, "/libstdc++.so.6");
    ASSERT_NE(Own, nullptr);
    ASSERT_NE(Libc, nullptr);
    ASSERT_NE(Libstdcxx, nullptr);
    ExpectExportsMatchNm(*Own);
    ExpectExportsMatchNm(*Libc);
    ExpectExportsMatchNm(*Libstdcxx);

    // The addresses are the ones the program calls.
    EXPECT_EQ(GetProcAddressEx(Own->Base, "_Z11KroSafeReadmPvm"), reinterpret_cast<std::uintptr_t>(&KroSafeRead));
    EXPECT_EQ(GetProcAddressEx(Libc->Base, "getpid"), reinterpret_cast<std::uintptr_t>(&getpid));
    EXPECT_EQ(GetProcAddressEx(Libc->Base, "KroSafeRead"), 0u);
    EXPECT_EQ(GetExportName(Libc->Base, reinterpret_cast<std::uintptr_t>(&getpid)), "getpid");
    EXPECT_EQ(GetExportName(Own->Base, reinterpret_cast<std::uintptr_t>(&KroSafeRead)),
              "KroSafeRead(unsigned long, void*, unsigned long)");
    EXPECT_EQ(GetExportName(Libc->Base, reinterpret_cast<std::uintptr_t>(&getpid) + 1), "");

    // The kernel's vdso has no file for nm; its dynamic section is not relocated, and its exports are still found.
    const TLoadedModule* Vdso = Map.FindModule(getauxval(AT_SYSINFO_EHDR));
    ASSERT_NE(Vdso, nullptr);
    EXPECT_STREQ(Vdso->Path, "[vdso]");
    TElfExports VdsoExports;
    ASSERT_TRUE(VdsoExports.Load(Vdso->Base));
    const std::uintptr_t ClockGetTime = VdsoExports.AddressOf("__vdso_clock_gettime");
    EXPECT_GT(ClockGetTime, Vdso->Base);
    EXPECT_LT(ClockGetTime, Vdso->End);
}

TEST(ElfExportsTest, UnmanglesCxxNamesAndUnitNames) {
    std::string Name = "_ZN7QObject5eventEP6QEvent";
    std::string Unit;
    EXPECT_TRUE(UnmangleName(Name, Unit));
    EXPECT_EQ(Name, "QObject::event(QEvent*)");
    EXPECT_EQ(Unit, "");
    EXPECT_EQ(ExportNameText("_ZN7QObject5eventEP6QEvent"), "QObject::event(QEvent*)");

    Name = "@Forms@TApplication@HandleException$qqrp14System@TObject";
    EXPECT_TRUE(UnmangleName(Name, Unit));
    EXPECT_EQ(Unit, "Forms");
    EXPECT_EQ(Name, "TApplication.HandleException");
    EXPECT_EQ(ExportNameText("@Forms@TApplication@HandleException$qqrp14System@TObject"),
              "Forms.TApplication.HandleException");
    Name = "@Classes@TList@$bdtr$qqrv";
    EXPECT_TRUE(UnmangleName(Name, Unit));
    EXPECT_EQ(Name, "TList.Destroy");
    Name = "@Classes@TList@$bctr$qqrv";
    EXPECT_TRUE(UnmangleName(Name, Unit));
    EXPECT_EQ(Name, "TList.Create");
    Name = "Unit::Name";
    EXPECT_FALSE(UnmangleName(Name, Unit));
    EXPECT_EQ(Name, "Unit::Name");
    Name = "@@x";
    EXPECT_FALSE(UnmangleName(Name, Unit));
    Name = "_Znot a name";
    EXPECT_FALSE(UnmangleName(Name, Unit));
    EXPECT_EQ(Name, "_Znot a name");
}

namespace {

// A small ELF image built in memory: one loadable segment over the whole buffer, a dynamic section, a System V hash
// table, three symbols and their names. Tests damage one field at a time.
struct TFakeImage {
    static constexpr std::size_t Size = 4 * 4096;
    static constexpr std::size_t PhOff = 64, DynOff = 0x200, HashOff = 0x400, SymOff = 0x500, StrOff = 0x600;
    unsigned char* Bytes = nullptr;

    TFakeImage() {
        Bytes = static_cast<unsigned char*>(
            mmap(nullptr, Size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
        std::memset(Bytes, 0, Size);
        auto& Header = *reinterpret_cast<Elf64_Ehdr*>(Bytes);
        std::memcpy(Header.e_ident, ELFMAG, SELFMAG);
        Header.e_ident[EI_CLASS] = ELFCLASS64;
        Header.e_ident[EI_DATA] = ELFDATA2LSB;
        Header.e_type = ET_DYN;
        Header.e_machine = EM_X86_64;
        Header.e_phoff = PhOff;
        Header.e_phentsize = sizeof(Elf64_Phdr);
        Header.e_phnum = 2;
        auto* Program = reinterpret_cast<Elf64_Phdr*>(Bytes + PhOff);
        Program[0] = Elf64_Phdr{PT_LOAD, PF_R | PF_X, 0, 0, 0, Size, Size, 4096};
        Program[1] = Elf64_Phdr{PT_DYNAMIC, PF_R, DynOff, DynOff, DynOff, 6 * 16, 6 * 16, 8};
        auto* Dynamic = reinterpret_cast<Elf64_Dyn*>(Bytes + DynOff);
        Dynamic[0] = {DT_HASH, {HashOff}};
        Dynamic[1] = {DT_SYMTAB, {SymOff}};
        Dynamic[2] = {DT_STRTAB, {StrOff}};
        Dynamic[3] = {DT_STRSZ, {32}};
        Dynamic[4] = {DT_SYMENT, {sizeof(Elf64_Sym)}};
        Dynamic[5] = {DT_NULL, {0}};
        auto* Hash = reinterpret_cast<std::uint32_t*>(Bytes + HashOff);
        Hash[0] = 1; // one bucket
        Hash[1] = 4; // four symbols, the first the null symbol
        std::memcpy(Bytes + StrOff, "\0alpha\0beta\0gamma\0", 18);
        auto* Symbols = reinterpret_cast<Elf64_Sym*>(Bytes + SymOff);
        Symbols[1] = Elf64_Sym{1, ELF64_ST_INFO(STB_GLOBAL, STT_FUNC), 0, 1, 0x1000, 16};
        Symbols[2] = Elf64_Sym{7, ELF64_ST_INFO(STB_GLOBAL, STT_FUNC), 0, 1, 0x1010, 16};
        Symbols[3] = Elf64_Sym{12, ELF64_ST_INFO(STB_WEAK, STT_OBJECT), 0, 2, 0x2000, 8};
    }
    ~TFakeImage() { munmap(Bytes, Size); }
    TFakeImage(const TFakeImage&) = delete;
    TFakeImage& operator=(const TFakeImage&) = delete;

    std::uintptr_t Base() const { return reinterpret_cast<std::uintptr_t>(Bytes); }
    Elf64_Ehdr& Header() { return *reinterpret_cast<Elf64_Ehdr*>(Bytes); }
    Elf64_Phdr& Program(int I) { return reinterpret_cast<Elf64_Phdr*>(Bytes + PhOff)[I]; }
    Elf64_Dyn& Dynamic(int I) { return reinterpret_cast<Elf64_Dyn*>(Bytes + DynOff)[I]; }
    Elf64_Sym& Symbol(int I) { return reinterpret_cast<Elf64_Sym*>(Bytes + SymOff)[I]; }
    std::uint32_t& HashWord(int I) { return reinterpret_cast<std::uint32_t*>(Bytes + HashOff)[I]; }
};

} // namespace

TEST(ElfExportsTest, DamagedOrHostileImagesAreRefusedWithoutFaulting) {
    {
        TFakeImage Image;
        TElfExports Exports;
        ASSERT_TRUE(Exports.Load(Image.Base()));
        EXPECT_EQ(Exports.Exports().size(), 3u);
        EXPECT_EQ(Exports.AddressOf("beta"), Image.Base() + 0x1010);
        EXPECT_EQ(Exports.NearestBelow(Image.Base() + 0x1fff)->Name, "beta");
        EXPECT_EQ(Exports.At(Image.Base() + 0x2000)->Name, "gamma");
    }
    // Each damage on its own: the image or its exports are refused.
    const std::vector<std::pair<const char*, void (*)(TFakeImage&)>> Refused = {
        {"not ELF", [](TFakeImage& I) { I.Bytes[1] = 'X'; }},
        {"32-bit", [](TFakeImage& I) { I.Header().e_ident[EI_CLASS] = ELFCLASS32; }},
        {"program headers out of the image", [](TFakeImage& I) { I.Header().e_phoff = 0x7ffff000; }},
        {"far too many program headers", [](TFakeImage& I) { I.Header().e_phnum = 60000; }},
        {"wrong program header size", [](TFakeImage& I) { I.Header().e_phentsize = 32; }},
        {"segment of 2^63 bytes", [](TFakeImage& I) { I.Program(0).p_memsz = std::uint64_t{1} << 63; }},
        {"dynamic section outside", [](TFakeImage& I) { I.Program(1).p_vaddr = 0x100000; }},
        {"symbol table outside", [](TFakeImage& I) { I.Dynamic(1).d_un.d_ptr = 0x7fffffff0000; }},
        {"string table larger than the image", [](TFakeImage& I) { I.Dynamic(3).d_un.d_val = 1ull << 40; }},
        {"symbol count beyond the image", [](TFakeImage& I) { I.HashWord(1) = 0x40000000; }},
        {"other symbol entry size", [](TFakeImage& I) { I.Dynamic(4).d_un.d_val = 16; }},
        {"no hash table", [](TFakeImage& I) { I.Dynamic(0).d_tag = DT_DEBUG; }},
    };
    for (const auto& [What, Damage] : Refused) {
        TFakeImage Image;
        Damage(Image);
        TElfExports Exports;
        EXPECT_FALSE(Exports.Load(Image.Base())) << What;
        EXPECT_TRUE(Exports.Exports().empty()) << What;
        EXPECT_EQ(GetProcAddressEx(Image.Base(), "alpha"), 0u) << What;
    }
    // Damaged symbols are left out; the others stay.
    {
        TFakeImage Image;
        Image.Symbol(1).st_name = 0x7fffffff;      // name beyond the strings
        Image.Symbol(2).st_value = 0x7fff00000000; // address beyond the image
        TElfExports Exports;
        ASSERT_TRUE(Exports.Load(Image.Base()));
        ASSERT_EQ(Exports.Exports().size(), 1u);
        EXPECT_EQ(Exports.Exports()[0].Name, "gamma");
    }
    // Strings without their terminator at the end of the table.
    {
        TFakeImage Image;
        Image.Dynamic(3).d_un.d_val = 15; // cuts "gamma"
        TElfExports Exports;
        ASSERT_TRUE(Exports.Load(Image.Base()));
        EXPECT_EQ(Exports.AddressOf("gamma"), 0u);
        EXPECT_NE(Exports.AddressOf("beta"), 0u);
    }
    // Tables in a part of the image that is not mapped: the reads fail, nothing faults.
    {
        TFakeImage Image;
        ASSERT_EQ(munmap(Image.Bytes + 4096, 4096), 0);
        Image.Dynamic(1).d_un.d_ptr = 4096;
        TElfExports Exports;
        EXPECT_FALSE(Exports.Load(Image.Base()));
    }
    // A GNU hash table whose chain never ends, and one with a bucket count beyond the image.
    {
        TFakeImage Image;
        Image.Dynamic(0).d_tag = DT_GNU_HASH;
        Image.Dynamic(0).d_un.d_ptr = 0x1000;
        auto* Gnu = reinterpret_cast<std::uint32_t*>(Image.Bytes + 0x1000);
        Gnu[0] = 1; // buckets
        Gnu[1] = 1; // first hashed symbol
        Gnu[2] = 0; // bloom words
        Gnu[4] = 1; // the bucket starts at symbol 1
        for (std::size_t I = 5; I < (TFakeImage::Size - 0x1000) / 4; ++I)
            Gnu[I] = 2; // chain entries without the end bit, to the end of the image
        TElfExports Exports;
        EXPECT_FALSE(Exports.Load(Image.Base()));
        Gnu[0] = 0x10000000;
        EXPECT_FALSE(Exports.Load(Image.Base()));
        // Well formed: three hashed symbols, the chain ends at the third.
        Gnu[0] = 1;
        Gnu[5] = 2;
        Gnu[6] = 2;
        Gnu[7] = 3;
        ASSERT_TRUE(Exports.Load(Image.Base()));
        EXPECT_EQ(Exports.Exports().size(), 3u);
    }
}
