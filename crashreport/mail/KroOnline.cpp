#include "KroOnline.h"

#include "KroDnsSystemFiles.h"
#include "KroStrings.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr unsigned RouteUpFlag = 0x0001;

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
    // the C library's streams share a lock that one of them may hold.
    const int Table = open(RouteTable, O_RDONLY | O_CLOEXEC);
    if (Table < 0)
        return false;
    char Buffer[4096];
    std::size_t Held = 0;
    bool Online = false;
    bool Header = true;
    bool Skipping = false; // the rest of a line longer than the buffer
    while (!Online) {
        const ssize_t Read = read(Table, Buffer + Held, sizeof Buffer - 1 - Held);
        if (Read < 0 && errno == EINTR)
            continue;
        if (Read <= 0)
            break;
        Held += static_cast<std::size_t>(Read);
        std::size_t Start = 0;
        for (std::size_t End = 0; End < Held && !Online; ++End) {
            if (Buffer[End] != '\n')
                continue;
            Buffer[End] = '\0';
            if (!Header && !Skipping)
                Online = RouteUp(Buffer + Start);
            Header = Skipping = false;
            Start = End + 1;
        }
        Held -= Start;
        std::memmove(Buffer, Buffer + Start, Held);
        if (Held == sizeof Buffer - 1) { // no route's line is this long
            Held = 0;
            Skipping = true;
        }
    }
    if (!Online && Held > 0 && !Header && !Skipping) { // a last line without its line feed
        Buffer[Held] = '\0';
        Online = RouteUp(Buffer);
    }
    close(Table);
    return Online;
}

bool IsLoopbackHost(std::string_view Host) {
    if (!Host.empty() && Host.back() == '.')
        Host.remove_suffix(1);
    std::uint32_t Address;
    if (ParseIpv4Address(Host, Address))
        return (ntohl(Address) >> 24) == 127;
    return EqualsIgnoreCase(Host, "localhost");
}
