#include "KroDnsSystemFiles.h"

#include "KroDnsQuery.h"
#include "KroFileRead.h"
#include "KroStrings.h"

#include <arpa/inet.h>
#include <string>

namespace {

// These files are small; a larger one is read only so far.
constexpr std::size_t MaxFileSize = 256 * 1024;

std::string ReadSmallFile(const char* Path) {
    std::string Text;
    KroReadFile(Path, Text, MaxFileSize);
    return Text;
}

bool IsBlank(char C) noexcept {
    return C == ' ' || C == '\t' || C == '\r';
}

// Calls Visit(word, index in its line) for each blank-separated word of each line, comments ("#" or ";" to the end
// of the line) left out; Visit returns false to end the whole walk.
template <typename TVisit> void ForEachWord(std::string_view Text, TVisit Visit) {
    while (!Text.empty()) {
        std::size_t End = Text.find('\n');
        std::string_view Line = Text.substr(0, End);
        Text = End == std::string_view::npos ? std::string_view() : Text.substr(End + 1);
        Line = Line.substr(0, Line.find_first_of("#;"));
        int Index = 0;
        while (!Line.empty()) {
            std::size_t Start = 0;
            while (Start < Line.size() && IsBlank(Line[Start]))
                ++Start;
            std::size_t Stop = Start;
            while (Stop < Line.size() && !IsBlank(Line[Stop]))
                ++Stop;
            if (Stop > Start && !Visit(Line.substr(Start, Stop - Start), Index++))
                return;
            Line.remove_prefix(Stop);
        }
    }
}

} // namespace

bool ParseIpv4Address(std::string_view Text, std::uint32_t& Address) noexcept {
    // inet_pton takes exactly four decimal parts, which is the dotted form we accept.
    char Buffer[16];
    if (Text.empty() || Text.size() >= sizeof Buffer)
        return false;
    Text.copy(Buffer, Text.size());
    Buffer[Text.size()] = '\0';
    in_addr Parsed{};
    if (inet_pton(AF_INET, Buffer, &Parsed) != 1)
        return false;
    Address = Parsed.s_addr;
    return true;
}

bool LookupHostsFile(const char* Path, std::string_view Name, std::uint32_t& Address) {
    if (!Name.empty() && Name.back() == '.')
        Name.remove_suffix(1);
    if (Name.empty())
        return false;
    const std::string Text = ReadSmallFile(Path);
    bool Found = false;
    std::uint32_t LineAddress = 0;
    bool LineUsable = false;
    ForEachWord(Text, [&](std::string_view Word, int Index) {
        if (Index == 0)
            LineUsable = ParseIpv4Address(Word, LineAddress);
        else if (LineUsable && EqualsIgnoreCase(Word, Name)) {
            Address = LineAddress;
            Found = true;
            return false;
        }
        return true;
    });
    return Found;
}

void ReadResolverConfig(const char* Path, TDnsServers& Servers) {
    const std::string Text = ReadSmallFile(Path);
    bool NameServerLine = false;
    ForEachWord(Text, [&](std::string_view Word, int Index) {
        if (Index == 0)
            NameServerLine = Word == "nameserver";
        else if (Index == 1 && NameServerLine) {
            std::uint32_t Address;
            if (ParseIpv4Address(Word, Address))
                Servers.Add(Address);
        }
        return true;
    });
}
