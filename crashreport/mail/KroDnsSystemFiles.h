#pragma once

#include <cstdint>
#include <string_view>

struct TDnsServers;

// The system resolver's own files, read by the reporter itself: the system's resolver library may load modules and
// take locks that a paused thread holds, so the reporter never calls it.

// Reads an IPv4 address in dotted form ("127.0.0.1"); Address is in network byte order.
bool ParseIpv4Address(std::string_view Text, std::uint32_t& Address) noexcept;

// The IPv4 address the hosts file (/etc/hosts in its format) gives Name, without regard to case. False when the file
// cannot be read or does not name it.
bool LookupHostsFile(const char* Path, std::string_view Name, std::uint32_t& Address);

// Adds the IPv4 "nameserver" addresses of a resolver configuration (/etc/resolv.conf in its format) to Servers.
void ReadResolverConfig(const char* Path, TDnsServers& Servers);
