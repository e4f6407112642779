#include "KroDnsQuery.h"

#include "KroFileHandle.h"

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <netinet/in.h>
#include <poll.h>
#include <sys/random.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// The query's identifier is random, so that an off-path sender cannot guess which replies we would take.
std::uint16_t RandomId() noexcept {
    std::uint16_t Id = 0;
    if (getrandom(&Id, sizeof Id, GRND_NONBLOCK) == sizeof Id)
        return Id;
    // No entropy yet (early boot): the clock's low bits are still better than a constant.
    const auto Now = std::chrono::steady_clock::now().time_since_epoch().count();
    return static_cast<std::uint16_t>(Now ^ (Now >> 16) ^ getpid());
}

bool Told(const TDnsReply& Reply) noexcept {
    return Reply.Answers.Count > 0 || Reply.AnswerAddresses.Count > 0 || !Reply.Alias.Empty() ||
           Reply.Authorities.Count > 0;
}

} // namespace

void TDnsServers::Add(std::uint32_t Address) noexcept {
    for (std::size_t I = 0; I < Count; ++I)
        if (Items[I] == Address)
            return;
    if (Count < Capacity)
        Items[Count++] = Address;
}

bool QueryDnsServer(std::string_view Name, const TDnsServers& Servers, std::uint16_t Port, std::uint16_t Type,
                    bool Recursion, int WaitMs, TDnsReply& Reply) {
    Reply = TDnsReply{};
    const std::uint16_t Id = RandomId();
    std::uint8_t Query[DnsMessageMax];
    const std::size_t QueryLength = BuildDnsQuery(Query, Id, Name, Type, Recursion);
    if (QueryLength == 0 || Servers.Count == 0)
        return false;
    const TKroFileHandle Socket(socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    if (!Socket.IsOpen())
        return false;
    sockaddr_in Local{};
    Local.sin_family = AF_INET;
    if (bind(Socket.Get(), reinterpret_cast<const sockaddr*>(&Local), sizeof Local) != 0)
        return false;

    std::size_t Waiting = 0;
    for (std::size_t I = 0; I < Servers.Count; ++I) {
        sockaddr_in To{};
        To.sin_family = AF_INET;
        To.sin_port = htons(Port);
        To.sin_addr.s_addr = Servers.Items[I];
        if (sendto(Socket.Get(), Query, QueryLength, MSG_NOSIGNAL, reinterpret_cast<const sockaddr*>(&To), sizeof To) ==
            static_cast<ssize_t>(QueryLength))
            ++Waiting;
    }

    using TClock = std::chrono::steady_clock;
    auto Deadline = TClock::now() + std::chrono::milliseconds(WaitMs);
    while (Waiting > 0) {
        const auto Left = std::chrono::duration_cast<std::chrono::milliseconds>(Deadline - TClock::now()).count();
        if (Left <= 0)
            return false;
        pollfd Poll{Socket.Get(), POLLIN, 0};
        const int Ready = poll(&Poll, 1, static_cast<int>(Left));
        if (Ready < 0 && errno == EINTR)
            continue;
        if (Ready <= 0)
            return false;
        std::uint8_t Datagram[DnsMessageMax];
        sockaddr_in From{};
        socklen_t FromLength = sizeof From;
        const ssize_t Received =
            recvfrom(Socket.Get(), Datagram, sizeof Datagram, 0, reinterpret_cast<sockaddr*>(&From), &FromLength);
        if (Received < 0) {
            // An unreachable port reported by an earlier send; the other servers may still answer.
            if (errno == EAGAIN || errno == EINTR || errno == ECONNREFUSED || errno == EHOSTUNREACH ||
                errno == ENETUNREACH)
                continue;
            return false;
        }
        bool Asked = false;
        for (std::size_t I = 0; I < Servers.Count && !Asked; ++I)
            Asked =
                From.sin_family == AF_INET && From.sin_addr.s_addr == Servers.Items[I] && From.sin_port == htons(Port);
        if (!Asked)
            continue;
        const TDnsReplyKind Kind = ParseDnsReply(Datagram, static_cast<std::size_t>(Received), Id, Name, Type, Reply);
        if (Kind == TDnsReplyKind::Foreign)
            continue;
        if (Kind == TDnsReplyKind::Accepted && Told(Reply))
            return true;
        Reply = TDnsReply{};
        --Waiting;
        Deadline = TClock::now() + std::chrono::milliseconds(WaitMs);
    }
    return false;
}
