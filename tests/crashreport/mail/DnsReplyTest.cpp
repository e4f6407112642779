#include "KroDnsMessage.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <random>
#include <string>
#include <vector>

namespace {

using TBytes = std::vector<std::uint8_t>;

void Put16(TBytes& Bytes, std::uint16_t Value) {
    Bytes.push_back(static_cast<std::uint8_t>(Value >> 8));
    Bytes.push_back(static_cast<std::uint8_t>(Value));
}

void PutName(TBytes& Bytes, std::string_view Name) {
    while (!Name.empty()) {
        const std::size_t Dot = Name.find('.');
        const std::string_view Label = Name.substr(0, Dot);
        Bytes.push_back(static_cast<std::uint8_t>(Label.size()));
        Bytes.insert(Bytes.end(), Label.begin(), Label.end());
        Name = Dot == std::string_view::npos ? std::string_view() : Name.substr(Dot + 1);
    }
    Bytes.push_back(0);
}

// A reply to the query BuildDnsQuery makes, its records added by the test.
struct TReply {
    TBytes Bytes;
    std::size_t CountsAt = 6;

    TReply(std::uint16_t Id, std::string_view Name, std::uint16_t Type, std::uint8_t Code = 0) {
        std::uint8_t Query[DnsMessageMax];
        const std::size_t Length = BuildDnsQuery(Query, Id, Name, Type, false);
        Bytes.assign(Query, Query + Length);
        Bytes[2] = 0x84; // a reply, authoritative
        Bytes[3] = Code;
    }
    void Count(int Section) {
        const std::size_t At = CountsAt + 2 * static_cast<std::size_t>(Section);
        const std::uint16_t Value = static_cast<std::uint16_t>((Bytes[At] << 8 | Bytes[At + 1]) + 1);
        Bytes[At] = static_cast<std::uint8_t>(Value >> 8);
        Bytes[At + 1] = static_cast<std::uint8_t>(Value);
    }
    // A record with a name as data; Section 0 answer, 1 authority, 2 additional.
    void AddName(int Section, std::string_view Owner, std::uint16_t Type, std::string_view Target,
                 std::uint16_t Class = DnsClassIN, int Preference = -1) {
        PutName(Bytes, Owner);
        Put16(Bytes, Type);
        Put16(Bytes, Class);
        Put16(Bytes, 0);
        Put16(Bytes, 300);
        TBytes Data;
        if (Preference >= 0)
            Put16(Data, static_cast<std::uint16_t>(Preference));
        PutName(Data, Target);
        Put16(Bytes, static_cast<std::uint16_t>(Data.size()));
        Bytes.insert(Bytes.end(), Data.begin(), Data.end());
        Count(Section);
    }
    void AddAddress(int Section, std::string_view Owner, const char* Address) {
        PutName(Bytes, Owner);
        Put16(Bytes, DnsTypeA);
        Put16(Bytes, DnsClassIN);
        Put16(Bytes, 0);
        Put16(Bytes, 300);
        Put16(Bytes, 4);
        in_addr Parsed{};
        inet_pton(AF_INET, Address, &Parsed);
        const auto* Raw = reinterpret_cast<const std::uint8_t*>(&Parsed.s_addr);
        Bytes.insert(Bytes.end(), Raw, Raw + 4);
        Count(Section);
    }
    TDnsReplyKind Parse(std::uint16_t Id, std::string_view Name, std::uint16_t Type, TDnsReply& Reply) const {
        return ParseDnsReply(Bytes.data(), Bytes.size(), Id, Name, Type, Reply);
    }
};

std::uint32_t Ipv4(const char* Text) {
    in_addr Parsed{};
    inet_pton(AF_INET, Text, &Parsed);
    return Parsed.s_addr;
}

} // namespace

TEST(DnsReplyTest, QueryCarriesTheIdOneQuestionAndRefusesNamesNoServerCouldHold) {
    std::uint8_t Query[DnsMessageMax];
    const std::size_t Length = BuildDnsQuery(Query, 0xbeef, "mx.Example.org.", DnsTypeMX, false);
    const std::uint8_t Expected[] = {0xbe, 0xef, 0,   0,   0,   1,   0,   0, 0,   0,   0,   0, 2, 'm', 'x', 7,
                                     'E',  'x',  'a', 'm', 'p', 'l', 'e', 3, 'o', 'r', 'g', 0, 0, 15,  0,   1};
    ASSERT_EQ(Length, sizeof Expected);
    EXPECT_TRUE(std::equal(Expected, Expected + sizeof Expected, Query));
    EXPECT_EQ(BuildDnsQuery(Query, 1, "example.org", DnsTypeNS, true), 29u);
    EXPECT_EQ(Query[2], 0x01); // recursion desired only when asked

    EXPECT_EQ(BuildDnsQuery(Query, 1, "a..b", DnsTypeA, false), 0u);
    EXPECT_EQ(BuildDnsQuery(Query, 1, std::string(64, 'a') + ".org", DnsTypeA, false), 0u);
    EXPECT_EQ(BuildDnsQuery(Query, 1, "bad name.org", DnsTypeA, false), 0u);
    std::string Long;
    for (int I = 0; I < 5; ++I)
        Long += std::string(50, 'x') + ".";
    Long += "org"; // 259 bytes in wire form
    EXPECT_EQ(BuildDnsQuery(Query, 1, Long, DnsTypeA, false), 0u);
}

TEST(DnsReplyTest, TakesOnlyRecordsOfTheAskedTypeClassAndNameWithGlueForNamedServersOnly) {
    TReply Reply(77, "example.org", DnsTypeMX);
    Reply.AddName(0, "example.org", DnsTypeMX, "backup.example.org", DnsClassIN, 20);
    Reply.AddName(0, "example.org", DnsTypeMX, "chaos.example.org", 3, 1);          // class CH
    Reply.AddName(0, "other.org", DnsTypeMX, "foreign.example.org", DnsClassIN, 1); // another name
    Reply.AddName(0, "example.org", DnsTypeNS, "ns.example.org");                   // another type
    Reply.AddName(0, "example.org", DnsTypeMX, "mx.example.org", DnsClassIN, 10);
    Reply.AddName(1, "org", DnsTypeNS, "ns.org-servers.net");
    Reply.AddName(1, "elsewhere.net", DnsTypeNS, "ns.elsewhere.net"); // not a zone our name lies in
    Reply.AddAddress(2, "mx.example.org", "192.0.2.10");
    Reply.AddAddress(2, "unrelated.example.org", "192.0.2.66");

    TDnsReply Parsed;
    ASSERT_EQ(Reply.Parse(77, "EXAMPLE.org", DnsTypeMX, Parsed), TDnsReplyKind::Accepted);
    ASSERT_EQ(Parsed.Answers.Count, 2u);
    EXPECT_EQ(Parsed.Answers[0], "mx.example.org"); // lowest preference first
    EXPECT_EQ(Parsed.Answers[1], "backup.example.org");
    ASSERT_EQ(Parsed.Authorities.Count, 1u);
    EXPECT_EQ(Parsed.Authorities[0], "ns.org-servers.net");
    std::uint32_t Address = 0;
    EXPECT_TRUE(Parsed.Glue.Find("mx.example.org", Address));
    EXPECT_EQ(Address, Ipv4("192.0.2.10"));
    EXPECT_FALSE(Parsed.Glue.Find("unrelated.example.org", Address));
}

TEST(DnsReplyTest, AnAliasChainLeadsToTheAddressOfItsEnd) {
    TReply Reply(5, "smtp.example.org", DnsTypeA);
    Reply.AddName(0, "smtp.example.org", DnsTypeCNAME, "relay.example.net");
    Reply.AddAddress(0, "decoy.example.net", "192.0.2.66");
    Reply.AddAddress(0, "relay.example.net", "192.0.2.25");
    TDnsReply Parsed;
    ASSERT_EQ(Reply.Parse(5, "smtp.example.org", DnsTypeA, Parsed), TDnsReplyKind::Accepted);
    EXPECT_EQ(Parsed.Alias.View(), "relay.example.net");
    std::uint32_t Address = 0;
    ASSERT_TRUE(Parsed.AnswerAddresses.Find("smtp.example.org", Address));
    EXPECT_EQ(Address, Ipv4("192.0.2.25"));
    EXPECT_EQ(Parsed.AnswerAddresses.Count, 1u);
}

TEST(DnsReplyTest, RepliesToOtherQueriesAreForeignAndErrorsAreNoAnswers) {
    TReply Reply(1000, "example.org", DnsTypeMX);
    Reply.AddName(0, "example.org", DnsTypeMX, "mx.example.org", DnsClassIN, 10);
    TDnsReply Parsed;
    EXPECT_EQ(Reply.Parse(1001, "example.org", DnsTypeMX, Parsed), TDnsReplyKind::Foreign);
    EXPECT_EQ(Reply.Parse(1000, "example.net", DnsTypeMX, Parsed), TDnsReplyKind::Foreign);
    EXPECT_EQ(Reply.Parse(1000, "example.org", DnsTypeNS, Parsed), TDnsReplyKind::Foreign);
    TReply Query = Reply;
    Query.Bytes[2] = 0x00; // a query, not a reply
    EXPECT_EQ(Query.Parse(1000, "example.org", DnsTypeMX, Parsed), TDnsReplyKind::Foreign);
    EXPECT_EQ(ParseDnsReply(Reply.Bytes.data(), 11, 1000, "example.org", DnsTypeMX, Parsed), TDnsReplyKind::Foreign);

    TReply Missing(1000, "example.org", DnsTypeMX, 3); // NXDOMAIN
    EXPECT_EQ(Missing.Parse(1000, "example.org", DnsTypeMX, Parsed), TDnsReplyKind::Error);
    EXPECT_EQ(Parsed.ResponseCode, 3);
    EXPECT_EQ(Parsed.Answers.Count, 0u);
}

TEST(DnsReplyTest, HostileNamesAndRecordsAreRefusedWithoutReadingPastTheDatagram) {
    TDnsName Name;
    // A pointer to itself, and two pointers to each other.
    {
        const std::uint8_t Loop[] = {0xc0, 0x00};
        std::size_t Offset = 0;
        EXPECT_FALSE(ReadDnsName(Loop, sizeof Loop, Offset, Name));
        const std::uint8_t PingPong[] = {0xc0, 0x02, 0xc0, 0x00};
        EXPECT_FALSE(ReadDnsName(PingPong, sizeof PingPong, Offset, Name));
    }
    // A chain of pointers: 16 are followed, the 17th is one too many.
    auto Chain = [](int Hops) {
        TBytes Bytes = {1, 'a', 0};
        for (int I = 0; I < Hops; ++I) {
            const std::size_t Previous = I == 0 ? 0 : Bytes.size() - 2;
            Bytes.push_back(static_cast<std::uint8_t>(0xc0 | Previous >> 8));
            Bytes.push_back(static_cast<std::uint8_t>(Previous));
        }
        return Bytes;
    };
    TBytes Sixteen = Chain(16), Seventeen = Chain(17);
    std::size_t Offset = Sixteen.size() - 2;
    ASSERT_TRUE(ReadDnsName(Sixteen.data(), Sixteen.size(), Offset, Name));
    EXPECT_EQ(Name.View(), "a");
    EXPECT_EQ(Offset, Sixteen.size()); // behind the first pointer
    Offset = Seventeen.size() - 2;
    EXPECT_FALSE(ReadDnsName(Seventeen.data(), Seventeen.size(), Offset, Name));

    // A pointer past the end, a pointer cut in half, a label running past the end, no final zero, a reserved label
    // type, a label with a dot in it, and a name of over 255 bytes made of pointers to long labels.
    const TBytes Bad[] = {{0xc0, 0x09}, {0xc0}, {5, 'a', 'b'}, {1, 'a'}, {0x41, 'a', 0}, {3, 'a', '.', 'b', 0}};
    for (const TBytes& Bytes : Bad) {
        Offset = 0;
        EXPECT_FALSE(ReadDnsName(Bytes.data(), Bytes.size(), Offset, Name));
    }
    TBytes Long;
    for (int I = 0; I < 5; ++I) {
        Long.push_back(60);
        Long.insert(Long.end(), 60, 'x');
    }
    Long.push_back(0);
    Offset = 0;
    EXPECT_FALSE(ReadDnsName(Long.data(), Long.size(), Offset, Name));

    // A reply whose record claims more data than the datagram holds, and one whose exchanger name loops.
    TReply Cut(9, "example.org", DnsTypeMX);
    Cut.AddName(0, "example.org", DnsTypeMX, "mx.example.org", DnsClassIN, 10);
    Cut.Bytes.resize(Cut.Bytes.size() - 3);
    TDnsReply Parsed;
    EXPECT_EQ(Cut.Parse(9, "example.org", DnsTypeMX, Parsed), TDnsReplyKind::Damaged);
    TReply Looping(9, "example.org", DnsTypeMX);
    Looping.AddName(0, "example.org", DnsTypeMX, "", DnsClassIN, 10);
    const std::size_t NameAt = Looping.Bytes.size() - 1;
    Looping.Bytes.back() = 0xc0;
    Looping.Bytes.push_back(static_cast<std::uint8_t>(NameAt));
    Looping.Bytes[NameAt - 3] += 1; // the record's data length now covers the pointer
    EXPECT_EQ(Looping.Parse(9, "example.org", DnsTypeMX, Parsed), TDnsReplyKind::Damaged);
    EXPECT_EQ(Parsed.Answers.Count, 0u);
}

TEST(DnsReplyTest, DamagedCopiesOfAReplyNeverCrashTheReaderNorYieldUnboundedNames) {
    TReply Reply(4242, "example.org", DnsTypeNS);
    Reply.AddName(0, "example.org", DnsTypeNS, "a.ns.example.org");
    Reply.AddName(0, "example.org", DnsTypeNS, "b.ns.example.org");
    Reply.AddName(1, "example.org", DnsTypeNS, "c.ns.example.net");
    Reply.AddAddress(2, "a.ns.example.org", "192.0.2.1");
    std::mt19937 Random(2024);
    int Accepted = 0;
    for (int Round = 0; Round < 20000; ++Round) {
        TBytes Bytes = Reply.Bytes;
        const int Changes = 1 + static_cast<int>(Random() % 6);
        for (int I = 0; I < Changes; ++I) {
            const std::size_t At = 12 + Random() % (Bytes.size() - 12);
            switch (Random() % 3) {
            case 0:
                Bytes[At] = static_cast<std::uint8_t>(Random());
                break;
            case 1:
                Bytes[At] = static_cast<std::uint8_t>(0xc0 | (Random() & 1));
                break;
            default:
                Bytes.resize(At);
                break;
            }
            if (Bytes.size() <= 12)
                break;
        }
        TDnsReply Parsed;
        if (ParseDnsReply(Bytes.data(), Bytes.size(), 4242, "example.org", DnsTypeNS, Parsed) ==
            TDnsReplyKind::Accepted) {
            ++Accepted;
            EXPECT_LE(Parsed.Answers.Count, TDnsNames::Capacity);
            for (std::size_t I = 0; I < Parsed.Answers.Count; ++I)
                EXPECT_LE(Parsed.Answers[I].size(), 253u);
        }
    }
    EXPECT_GT(Accepted, 0); // some damage leaves a readable reply
}
