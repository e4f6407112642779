#include "KroOnline.h"

#include "KroDnsSystemFiles.h"
#include "KroStrings.h"

#include <arpa/inet.h>
#include <cstdio>
#include <cstring>

namespace {

constexpr unsigned RouteUp = 0x0001;

} // namespace

bool IsOnline(const char* RouteTable) {
    if (RouteTable == nullptr)
        return false;
    std::FILE* Table = std::fopen(RouteTable, "re");
    if (Table == nullptr)
        return false;
    char Line[512];
    bool Online = false;
    bool Header = true;
    while (!Online && std::fgets(Line, sizeof Line, Table) != nullptr) {
        if (Header) { // the column names
            Header = false;
            continue;
        }
        char Interface[64];
        unsigned Destination = 0, Gateway = 0, Flags = 0;
        if (std::sscanf(Line, "%63s %x %x %x", Interface, &Destination, &Gateway, &Flags) == 4)
            Online = (Flags & RouteUp) != 0 && std::strcmp(Interface, "lo") != 0;
    }
    std::fclose(Table);
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
