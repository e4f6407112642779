#include "KroOnline.h"

#include "KroDnsSystemFiles.h"
#include "KroFileRead.h"
#include "KroStrings.h"

#include <arpa/inet.h>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

constexpr unsigned RouteUpFlag = 0x0001;
// Far more than any machine's routes fill; what lies beyond is not looked at.
constexpr std::size_t MaxTableBytes = 1 << 20;

// Whether a line of the table (after its column names) is a route that is up, on an interface other than the loopback.
bool RouteUp(const char* Line) {
    char Interface[64];
    unsigned Destination = 0, Gateway = 0, Flags = 0;
    return std::sscanf(Line, "%63s %x %x %x", Interface, &Destination, &Gateway, &Flags) == 4 &&
           (Flags & RouteUpFlag) != 0 && std::strcmp(Interface, "lo") != 0;
}

} // namespace

bool IsOnline(const char* RouteTable) {
    if (RouteTable == nullptr)
        return false;
    // Read with plain system calls: the question is asked while a report has the program's other threads paused, and
    // the C library's streams share a lock that one of them may hold. What cannot be read counts as no route.
    std::string Table;
    KroReadFile(RouteTable, Table, MaxTableBytes);
    // The first line holds the column names; the last may lack its line feed.
    for (std::size_t Start = Table.find('\n'); Start != std::string::npos;) {
        ++Start;
        const std::size_t End = Table.find('\n', Start);
        if (RouteUp(Table.substr(Start, End == std::string::npos ? std::string::npos : End - Start).c_str()))
            return true;
        Start = End;
    }
    return false;
}

bool IsLoopbackHost(std::string_view Host) {
    if (!Host.empty() && Host.back() == '.')
        Host.remove_suffix(1);
    std::uint32_t Address;
    if (ParseIpv4Address(Host, Address))
        return (ntohl(Address) >> 24) == 127;
    return EqualsIgnoreCase(Host, "localhost");
}
