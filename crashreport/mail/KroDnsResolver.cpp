#include "KroDnsResolver.h"

#include "KroDnsSystemFiles.h"
#include "KroStrings.h"

namespace {

std::string_view WithoutFinalDot(std::string_view Name) noexcept {
    if (!Name.empty() && Name.back() == '.')
        Name.remove_suffix(1);
    return Name;
}

// The last two labels of a domain: the zone whose name servers the lookup looks for.
std::string_view ZoneOf(std::string_view Domain) noexcept {
    const std::size_t Last = Domain.rfind('.');
    if (Last == std::string_view::npos || Last == 0)
        return Domain;
    const std::size_t Before = Domain.rfind('.', Last - 1);
    return Before == std::string_view::npos ? Domain : Domain.substr(Before + 1);
}

} // namespace

TDnsResolver::TDnsResolver(const TDnsConfig& Config)
    : Config(Config), Deadline(std::chrono::steady_clock::now() + TimeBudget) {
    std::string_view List = Config.RootServers;
    while (!List.empty()) {
        const std::size_t Comma = List.find(',');
        std::string_view Entry = List.substr(0, Comma);
        List = Comma == std::string_view::npos ? std::string_view() : List.substr(Comma + 1);
        while (!Entry.empty() && Entry.front() == ' ')
            Entry.remove_prefix(1);
        while (!Entry.empty() && Entry.back() == ' ')
            Entry.remove_suffix(1);
        std::uint32_t Address;
        if (ParseIpv4Address(Entry, Address))
            Roots.Add(Address);
    }
}

bool TDnsResolver::Ask(std::string_view Name, const TDnsServers& Servers, std::uint16_t Type, bool Recursion,
                       TDnsReply& Reply) {
    Reply = TDnsReply{};
    const auto Left =
        std::chrono::duration_cast<std::chrono::milliseconds>(Deadline - std::chrono::steady_clock::now()).count();
    if (QueriesLeft <= 0 || Left <= 0 || Servers.Count == 0)
        return false;
    --QueriesLeft;
    if (!QueryDnsServer(Name, Servers, Config.Port, Type, Recursion, static_cast<int>(Left < WaitMs ? Left : WaitMs),
                        Reply))
        return false;
    for (std::size_t I = 0; I < Reply.Glue.Count; ++I)
        Learn(Reply.Glue.Items[I].Name.View(), Reply.Glue.Items[I].Address);
    return true;
}

void TDnsResolver::Learn(std::string_view Name, std::uint32_t Address) noexcept {
    std::uint32_t Old;
    if (Recall(Name, Old) && Old == Address)
        return;
    Known[KnownNext].Name.Assign(Name);
    Known[KnownNext].Address = Address;
    KnownNext = (KnownNext + 1) % Known.size();
    if (KnownCount < Known.size())
        ++KnownCount;
}

bool TDnsResolver::Recall(std::string_view Name, std::uint32_t& Address) const noexcept {
    for (std::size_t I = 0; I < KnownCount; ++I)
        if (EqualsIgnoreCase(Known[I].Name.View(), Name)) {
            Address = Known[I].Address;
            return true;
        }
    return false;
}

TDnsServers TDnsResolver::ServersOf(const TDnsNames& Names, int Depth) {
    TDnsServers Servers;
    std::uint32_t Address;
    for (std::size_t I = 0; I < Names.Count; ++I)
        if (ParseIpv4Address(Names[I], Address) || Recall(Names[I], Address))
            Servers.Add(Address);
    // Servers named without their addresses: look up a couple of them, no more, since each costs a whole walk from
    // the roots.
    for (std::size_t I = 0; Servers.Count == 0 && I < Names.Count && I < 2; ++I)
        if (ResolveFromRoots(Names[I], Depth + 1, Address))
            Servers.Add(Address);
    return Servers;
}

bool TDnsResolver::ResolveFromRoots(std::string_view Name, int Depth, std::uint32_t& Address) {
    if (Depth > MaxDepth)
        return false;
    TDnsName Current;
    Current.Assign(WithoutFinalDot(Name));
    TDnsServers Servers = Roots;
    int Aliases = 0;
    for (int Round = 0; Round <= MaxReferralRounds + 1; ++Round) {
        TDnsReply Reply;
        if (!Ask(Current.View(), Servers, DnsTypeA, false, Reply))
            return false;
        if (Reply.AnswerAddresses.Find(Current.View(), Address)) {
            Learn(Name, Address);
            return true;
        }
        if (!Reply.Alias.Empty()) {
            if (++Aliases > 4)
                return false;
            Current = Reply.Alias;
            Servers = Roots;
            continue;
        }
        if (Reply.Authorities.Count == 0)
            return false;
        Servers = ServersOf(Reply.Authorities, Depth);
        if (Servers.Count == 0)
            return false;
    }
    return false;
}

bool TDnsResolver::ResolveHost(std::string_view Name, std::uint32_t& Address) {
    Name = WithoutFinalDot(Name);
    if (Name.empty())
        return false;
    if (ParseIpv4Address(Name, Address) || LookupHostsFile(Config.HostsFile, Name, Address) || Recall(Name, Address) ||
        ResolveFromRoots(Name, 0, Address))
        return true;
    TDnsServers Resolvers;
    ReadResolverConfig(Config.ResolverFile, Resolvers);
    TDnsReply Reply;
    return Ask(Name, Resolvers, DnsTypeA, true, Reply) && Reply.AnswerAddresses.Find(Name, Address);
}

std::string TDnsResolver::LookupMxServers(std::string_view Address) {
    std::string_view Domain = Address;
    const std::size_t At = Domain.find('@');
    if (At != std::string_view::npos)
        Domain.remove_prefix(At + 1);
    if (!Domain.empty() && Domain.back() == '>')
        Domain.remove_suffix(1);
    Domain = WithoutFinalDot(Domain);
    if (Domain.empty())
        return {};
    const std::string_view Zone = ZoneOf(Domain);

    TDnsReply Reply;
    if (!Ask(Zone, Roots, DnsTypeNS, false, Reply) || Reply.Authorities.Count == 0)
        return {};
    Ask(Zone, ServersOf(Reply.Authorities, 0), DnsTypeNS, false, Reply);
    for (int Round = 0; Round < MaxReferralRounds && Reply.Answers.Count == 0 && Reply.Authorities.Count > 0; ++Round)
        Ask(Zone, ServersOf(Reply.Authorities, 0), DnsTypeNS, false, Reply);
    const TDnsNames ZoneServers = Reply.Answers.Count > 0 ? Reply.Answers : Reply.Authorities;
    if (ZoneServers.Count == 0)
        return {};
    const TDnsServers Servers = ServersOf(ZoneServers, 0);
    if (Ask(Domain, Servers, DnsTypeMX, false, Reply) && Reply.Answers.Count > 0)
        return std::string(Reply.Answers[0]);
    if (!EqualsIgnoreCase(Domain, Zone) && Ask(Zone, Servers, DnsTypeMX, false, Reply) && Reply.Answers.Count > 0)
        return std::string(Reply.Answers[0]);
    return {};
}
