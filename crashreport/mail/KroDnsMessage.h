#pragma once

#include "KroShortText.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

// The DNS messages of the mail-exchanger lookup: the one-question query we send over UDP, and the reading of a reply.
//
// A reply comes from the network, so it is read as hostile: every read is bounded by the datagram, a name follows at
// most 16 compression pointers, each pointing inside the datagram, and only records of the class and type asked for
// (and of the name asked for) are taken. Nothing here allocates.

inline constexpr std::uint16_t DnsTypeA = 1;
inline constexpr std::uint16_t DnsTypeNS = 2;
inline constexpr std::uint16_t DnsTypeCNAME = 5;
inline constexpr std::uint16_t DnsTypeMX = 15;
inline constexpr std::uint16_t DnsClassIN = 1;

// The largest datagram sent or read; we never offer more.
inline constexpr std::size_t DnsMessageMax = 512;

// Compression pointers a name may follow before it counts as a loop.
inline constexpr int DnsMaxPointerHops = 16;

// A domain name in dotted text form without the final dot (the root is empty).
using TDnsName = TShortText<255>;

// Up to Capacity distinct names (compared without regard to case), in the order they were added; more are dropped.
struct TDnsNames {
    static constexpr std::size_t Capacity = 16;
    std::array<TDnsName, Capacity> Items{};
    std::size_t Count = 0;

    void Add(std::string_view Name) noexcept;
    bool Contains(std::string_view Name) const noexcept;
    std::string_view operator[](std::size_t Index) const noexcept { return Items[Index].View(); }
};

// A name with its IPv4 address (network byte order).
struct TDnsAddress {
    TDnsName Name;
    std::uint32_t Address = 0;
};

struct TDnsAddresses {
    static constexpr std::size_t Capacity = 16;
    std::array<TDnsAddress, Capacity> Items{};
    std::size_t Count = 0;

    void Add(std::string_view Name, std::uint32_t Address) noexcept;
    // The first address of Name; false when there is none.
    bool Find(std::string_view Name, std::uint32_t& Address) const noexcept;
};

// What a reply said about the question.
struct TDnsReply {
    std::uint8_t ResponseCode = 0;
    // Names from the answer records of the type asked: name servers (NS), mail exchangers (MX, ordered by preference,
    // lowest first). Empty for an A question.
    TDnsNames Answers;
    // Addresses from the answer records of an A question.
    TDnsAddresses AnswerAddresses;
    // The name the question's name is an alias of (a CNAME answer), when the reply gave one.
    TDnsName Alias;
    // Name servers of the authority section for a zone the question lies in: a referral.
    TDnsNames Authorities;
    // Addresses of the additional section for names of Answers or Authorities (glue).
    TDnsAddresses Glue;
};

enum class TDnsReplyKind {
    Foreign,  // not an answer to our query (other id, no reply flag, other question): keep waiting
    Damaged,  // our query's answer, but a record runs past the datagram or is malformed: nothing of it is used
    Error,    // our query's answer with a non-zero response code
    Accepted, // our query's answer, read whole
};

// Writes the query into Buffer: the identifier, recursion desired only when asked, one question of Type and class IN.
// Returns its length, or 0 when Name is no valid domain name (an empty label, a label over 63 bytes, over 255 bytes
// in all, or a byte no host name has).
std::size_t BuildDnsQuery(std::uint8_t (&Buffer)[DnsMessageMax], std::uint16_t Id, std::string_view Name,
                          std::uint16_t Type, bool Recursion) noexcept;

// Reads a reply to the query BuildDnsQuery made from Id, Name and Type. Reply is reset first; it is filled only for a
// result of Accepted.
TDnsReplyKind ParseDnsReply(const std::uint8_t* Data, std::size_t Size, std::uint16_t Id, std::string_view Name,
                            std::uint16_t Type, TDnsReply& Reply) noexcept;

// Reads the possibly compressed name at Offset into Name. On success Offset moves behind the name's bytes at that
// place (behind the first pointer when it has one). False for a name that runs past Size, follows more than
// DnsMaxPointerHops pointers, points outside the datagram, uses a reserved label type or is longer than 255 bytes.
bool ReadDnsName(const std::uint8_t* Data, std::size_t Size, std::size_t& Offset, TDnsName& Name) noexcept;

// Whether Name equals Zone or lies below it (every name lies below the root, the empty zone). Without regard to case.
bool DnsNameInZone(std::string_view Name, std::string_view Zone) noexcept;
