// kromap [-i] FILE ADDRESS...: resolves addresses of a program through its embedded debug map, as the crash reporter
// does, and prints "ADDRESS unit function line" per address ("?" for what the map does not know); with -i, each
// followed by the functions inlined at the address, innermost first, one "  unit function line" each.
#include "KroMapFile.h"
#include "KroMapFileModule.h"
#include "KroMapFileSources.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr const char* Usage = "usage: kromap [-i] FILE ADDRESS...\n"
                              "Prints for each ADDRESS (a hexadecimal virtual address of FILE, with or without 0x)\n"
                              "the unit, function and source line that FILE's debug map gives for it:\n"
                              "  ADDRESS unit function line\n"
                              "with ? for a field the map cannot resolve. With -i each such line is followed by the\n"
                              "functions inlined at the address, innermost first, each at the line where the\n"
                              "address stands in it:\n"
                              "    unit function line\n";

const char* OrUnknown(const std::string& Text) {
    return Text.empty() ? "?" : Text.c_str();
}

bool ParseAddress(const std::string& Text, std::uintptr_t& Address) {
    std::string Digits = Text;
    if (Digits.size() > 2 && Digits[0] == '0' && (Digits[1] == 'x' || Digits[1] == 'X'))
        Digits = Digits.substr(2);
    if (Digits.empty() || Digits.size() > 16 || Digits.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
        return false;
    Address = static_cast<std::uintptr_t>(std::strtoull(Digits.c_str(), nullptr, 16));
    return true;
}

} // namespace

int main(int Argc, char** Argv) {
    std::vector<std::string> Args(Argv + 1, Argv + Argc);
    if (Args.size() == 1 && (Args[0] == "--help" || Args[0] == "-h")) {
        std::fputs(Usage, stdout);
        return 0;
    }
    const bool Inlined = !Args.empty() && Args[0] == "-i";
    if (Inlined)
        Args.erase(Args.begin());
    for (const std::string& A : Args)
        if (A.size() > 1 && A[0] == '-') {
            std::fprintf(stderr, "kromap: unknown option %s\n%s", A.c_str(), Usage);
            return 2;
        }
    if (Args.size() < 2) {
        std::fprintf(stderr, "kromap: expected a file and at least one address\n%s", Usage);
        return 2;
    }
    std::vector<std::uintptr_t> Addresses;
    for (std::size_t I = 1; I < Args.size(); ++I) {
        std::uintptr_t Address = 0;
        if (!ParseAddress(Args[I], Address)) {
            std::fprintf(stderr, "kromap: not a hexadecimal address: %s\n", Args[I].c_str());
            return 2;
        }
        Addresses.push_back(Address);
    }
    const std::string& File = Args[0];
    std::uintptr_t Handle = 0;
    if (!LinkedModuleHandle(File, Handle)) {
        std::fprintf(stderr, "kromap: %s: cannot read it as an ELF program\n", File.c_str());
        return 1;
    }
    const auto Map = CreateMapFile(true, Handle, File);
    if (!Map->Valid()) {
        std::fprintf(stderr, "kromap: %s: has no debug map\n", File.c_str());
        return 1;
    }
    for (const std::uintptr_t Address : Addresses) {
        const TMfSegment* Segment = Map->GetSegmentOfAddress(Address);
        const TMfPublic* Public = Map->GetPublicOfAddress(Address);
        const std::int32_t Line = Map->GetLineOfAddress(Address);
        std::printf("0x%jx %s %s %s\n", static_cast<std::uintmax_t>(Address),
                    Segment != nullptr && !Segment->UnitName.empty() ? Segment->UnitName.c_str() : "?",
                    Public != nullptr && !Public->Name.empty() ? Public->Name.c_str() : "?",
                    Line != 0 ? std::to_string(Line).c_str() : "?");
        if (Inlined)
            for (const TMfInlineFrame& Frame : Map->GetInlinedFramesOfAddress(Address))
                std::printf("  %s %s %s\n", OrUnknown(Frame.UnitName), OrUnknown(Frame.FunctionName),
                            Frame.Line != 0 ? std::to_string(Frame.Line).c_str() : "?");
    }
    return std::ferror(stdout) != 0 ? 1 : 0;
}
