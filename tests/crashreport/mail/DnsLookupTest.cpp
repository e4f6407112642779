#include "KroDnsResolver.h"
#include "KroOnline.h"

#include "MailPeersTestSupport.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>

using mailpeers::TMailPeers;
using mailpeers::WriteWholeFile;

namespace {

std::string AddressText(std::uint32_t Address) {
    char Text[INET_ADDRSTRLEN] = {};
    in_addr Parsed{};
    Parsed.s_addr = Address;
    inet_ntop(AF_INET, &Parsed, Text, sizeof Text);
    return Text;
}

std::vector<std::string> Lines(const std::string& Text) {
    std::vector<std::string> Result;
    std::istringstream Stream(Text);
    for (std::string Line; std::getline(Stream, Line);)
        Result.push_back(Line);
    return Result;
}

} // namespace

TEST(DnsLookupTest, MailExchangersAreFoundFromTheRootDownAndHostileOrMissingAnswersGiveNothing) {
    TMailPeers Peers;
    ASSERT_TRUE(Peers.Ready());
    const auto Hosts = Peers.Folder.Path / "hosts";
    WriteWholeFile(Hosts, "# a host table\n192.0.2.7   printer.lan printer  # the printer\n::1 ip6-only.lan\n");
    const auto Resolvers = Peers.Folder.Path / "resolv.conf";
    WriteWholeFile(Resolvers, "search lan\nnameserver 127.0.0.1\n");
    TDnsConfig Config;
    Config.RootServers = " 127.0.0.1 , not-an-address";
    Config.Port = static_cast<std::uint16_t>(Peers.DnsPort);
    const std::string HostsText = Hosts.string(), ResolversText = Resolvers.string();
    Config.HostsFile = HostsText.c_str();
    Config.ResolverFile = "/nonexistent/resolv.conf";

    struct TCase {
        const char* Address;
        const char* Exchanger;
    };
    const TCase Cases[] = {
        {"bugs@crashtest.example", "mx.crashtest.example"},             // the lowest preference, though listed second
        {"Desk <bugs@mail.crashtest.example>", "mx.crashtest.example"}, // no exchanger of its own: the zone's
        {"bugs@noglue.example", "mx.crashtest.example"},                // its name server looked up first
        {"bugs@spoof.example", "mx.crashtest.example"},                 // not the forged reply's, nor the chaos class's
        {"bugs@nomx.example", ""},
        {"bugs@loop.example", ""}, // the exchanger's name points at itself
        {"bugs@cut.example", ""},  // the record runs past the datagram
        {"bugs@nowhere.invalid", ""},
        {"no-domain@", ""},
    };
    for (const TCase& Case : Cases) {
        TDnsResolver Resolver(Config);
        EXPECT_EQ(Resolver.LookupMxServers(Case.Address), Case.Exchanger) << Case.Address;
    }

    TDnsResolver Resolver(Config);
    std::uint32_t Address = 0;
    ASSERT_TRUE(Resolver.ResolveHost("relay.crashtest.example.", Address)); // an alias of mx
    EXPECT_EQ(AddressText(Address), "127.0.0.1");
    ASSERT_TRUE(Resolver.ResolveHost("PRINTER", Address));
    EXPECT_EQ(AddressText(Address), "192.0.2.7");
    ASSERT_TRUE(Resolver.ResolveHost("10.1.2.3", Address));
    EXPECT_EQ(AddressText(Address), "10.1.2.3");
    // Known only to a name server that recurses: found once the system's name servers are configured.
    EXPECT_FALSE(Resolver.ResolveHost("smtp.corp.internal", Address));
    Config.ResolverFile = ResolversText.c_str();
    TDnsResolver WithResolvers(Config);
    ASSERT_TRUE(WithResolvers.ResolveHost("smtp.corp.internal", Address));
    EXPECT_EQ(AddressText(Address), "127.0.0.1");

    // Only the system's name servers were asked to recurse.
    for (const std::string& Line : Lines(Peers.File("dns.log")))
        EXPECT_TRUE(Line.ends_with(" it") || Line == "127.0.0.1 smtp.corp.internal 1 rd") << Line;
}

TEST(DnsLookupTest, OnlineMeansARouteThatIsUpOutsideTheLoopback) {
    mailpeers::TTempFolder Folder;
    const auto Table = Folder.Path / "route";
    const std::string Header = "Iface\tDestination\tGateway \tFlags\tRefCnt\tUse\tMetric\tMask\t\tMTU\tWindow\tIRTT\n";
    WriteWholeFile(Table, Header + "lo\t0000007F\t00000000\t0001\t0\t0\t0\t000000FF\t0\t0\t0\n");
    EXPECT_FALSE(IsOnline(Table.c_str()));
    WriteWholeFile(Table, Header + "eth0\t000200C0\t00000000\t0000\t0\t0\t0\t00FFFFFF\t0\t0\t0\n");
    EXPECT_FALSE(IsOnline(Table.c_str())); // down
    WriteWholeFile(Table, Header + "wlan0\t000200C0\t00000000\t0001\t0\t0\t0\t00FFFFFF\t0\t0\t0\n");
    EXPECT_TRUE(IsOnline(Table.c_str()));
    EXPECT_FALSE(IsOnline((Folder.Path / "missing").c_str()));
    // A table longer than one read, its one route that is up last and without its line feed.
    std::string Long = Header;
    for (int Route = 0; Route < 200; ++Route)
        Long += "eth" + std::to_string(Route) + "\t000200C0\t00000000\t0000\t0\t0\t0\t00FFFFFF\t0\t0\t0\n";
    WriteWholeFile(Table, Long);
    EXPECT_FALSE(IsOnline(Table.c_str()));
    WriteWholeFile(Table, Long + "wlan0\t000200C0\t00000000\t0001\t0\t0\t0\t00FFFFFF\t0\t0\t0");
    EXPECT_TRUE(IsOnline(Table.c_str()));

    EXPECT_TRUE(IsLoopbackHost("127.0.0.1") && IsLoopbackHost("127.8.9.10") && IsLoopbackHost("LocalHost."));
    EXPECT_FALSE(IsLoopbackHost("128.0.0.1") || IsLoopbackHost("localhost.example") || IsLoopbackHost(""));
}
