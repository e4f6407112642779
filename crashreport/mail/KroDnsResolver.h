#pragma once

#include "KroDnsMessage.h"
#include "KroDnsQuery.h"

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Where the resolver asks.
struct TDnsConfig {
    std::string_view RootServers;                  // IPv4 addresses separated by commas; other entries are skipped
    std::uint16_t Port = 53;                       // of every name server asked
    const char* HostsFile = "/etc/hosts";          // the system's host table
    const char* ResolverFile = "/etc/resolv.conf"; // the system's name servers, asked last
};

// Finds mail exchangers and host addresses with DNS questions of its own over UDP, starting at the root name servers
// and following the referrals, so that neither the system's resolver library nor a working local name server is
// needed. One resolver serves one send: the addresses it learns from the replies' additional records are kept for its
// later questions, and its questions are bounded in number (40) and in time (60 seconds in all, 5 seconds per wait).
class TDnsResolver final {
public:
    explicit TDnsResolver(const TDnsConfig& Config);

    // The host name of the mail server of Address's domain (the text after its first "@", without a final ">"), or
    // empty. The domain's zone (its last two labels) is asked of the root servers for its name servers; the
    // referrals are followed for at most ten rounds; the zone's name servers are then asked for the mail exchangers
    // of the domain, and of the zone when the domain has none. Of several exchangers the one with the lowest
    // preference is taken.
    std::string LookupMxServers(std::string_view Address);

    // The IPv4 address (network byte order) of a host: a dotted address as it stands, else the hosts file, the
    // addresses learned so far, the iterative lookup from the roots (aliases followed), and last the system's name
    // servers asked for recursion.
    bool ResolveHost(std::string_view Name, std::uint32_t& Address);

private:
    static constexpr int MaxQueries = 40;
    static constexpr int WaitMs = 5000;
    static constexpr std::chrono::seconds TimeBudget{60};
    static constexpr int MaxReferralRounds = 10;
    // How deep name servers without addresses are themselves looked up.
    static constexpr int MaxDepth = 2;

    bool Ask(std::string_view Name, const TDnsServers& Servers, std::uint16_t Type, bool Recursion, TDnsReply& Reply);
    TDnsServers ServersOf(const TDnsNames& Names, int Depth);
    bool ResolveFromRoots(std::string_view Name, int Depth, std::uint32_t& Address);
    void Learn(std::string_view Name, std::uint32_t Address) noexcept;
    bool Recall(std::string_view Name, std::uint32_t& Address) const noexcept;

    TDnsConfig Config;
    TDnsServers Roots;
    std::array<TDnsAddress, 64> Known{}; // a ring: the oldest go first
    std::size_t KnownCount = 0;
    std::size_t KnownNext = 0;
    int QueriesLeft = MaxQueries;
    std::chrono::steady_clock::time_point Deadline;
};
