#pragma once

#include <string_view>

// Whether the machine is connected to a network: the kernel's IPv4 routing table (RouteTable, /proc/net/route in its
// format) holds a route that is up on an interface other than the loopback. False when the table cannot be read.
bool IsOnline(const char* RouteTable);

// Whether a host is this machine itself ("localhost" or an address of 127.0.0.0/8): reaching it needs no network.
bool IsLoopbackHost(std::string_view Host);
