#pragma once

#include "KroDnsMessage.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

// IPv4 addresses of name servers (network byte order), at most Capacity; more are dropped.
struct TDnsServers {
    static constexpr std::size_t Capacity = 16;
    std::array<std::uint32_t, Capacity> Items{};
    std::size_t Count = 0;

    void Add(std::uint32_t Address) noexcept;
};

// One DNS question over UDP to a list of name servers, all asked at once on Port. Each wait for a reply lasts up to
// WaitMs; every reply to our query counts down the servers still to answer, and the first that names answers, an
// alias or authorities ends the waiting. Datagrams from addresses we did not ask, and replies that do not answer our
// query (its random identifier and its question), are passed over without ending the wait they arrived in.
// True when a reply told something (it is in Reply); false on time-out, when every server answered with nothing, or
// when no query could be sent.
bool QueryDnsServer(std::string_view Name, const TDnsServers& Servers, std::uint16_t Port, std::uint16_t Type,
                    bool Recursion, int WaitMs, TDnsReply& Reply);
