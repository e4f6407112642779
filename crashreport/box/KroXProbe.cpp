#include "KroXProbe.h"

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

using TClock = std::chrono::steady_clock;

int MsLeft(TClock::time_point Deadline) {
    const auto Left = std::chrono::duration_cast<std::chrono::milliseconds>(Deadline - TClock::now()).count();
    return Left > 0 ? static_cast<int>(Left) : 0;
}

// Connects without blocking past the deadline; -1 on failure.
int ConnectWithin(int Family, const sockaddr* Address, socklen_t Length, TClock::time_point Deadline) {
    const int Fd = socket(Family, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (Fd < 0)
        return -1;
    if (connect(Fd, Address, Length) == 0)
        return Fd;
    if (errno == EINPROGRESS) {
        pollfd Poll{Fd, POLLOUT, 0};
        int Error = 0;
        socklen_t ErrorLength = sizeof Error;
        if (poll(&Poll, 1, MsLeft(Deadline)) == 1 && getsockopt(Fd, SOL_SOCKET, SO_ERROR, &Error, &ErrorLength) == 0 &&
            Error == 0)
            return Fd;
    }
    close(Fd);
    return -1;
}

// Sends a connection set-up without authorisation and waits for the first byte of any answer (success, failure or
// "authenticate" all prove a live server).
bool SetupAnswered(int Fd, TClock::time_point Deadline) {
    // Byte order 'l' (little endian), protocol 11.0, no authorisation name or data.
    const unsigned char Setup[12] = {'l', 0, 11, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    std::size_t Sent = 0;
    while (Sent < sizeof Setup) {
        pollfd Poll{Fd, POLLOUT, 0};
        if (poll(&Poll, 1, MsLeft(Deadline)) != 1)
            return false;
        const ssize_t Count = send(Fd, Setup + Sent, sizeof Setup - Sent, MSG_NOSIGNAL);
        if (Count <= 0 && errno != EAGAIN)
            return false;
        if (Count > 0)
            Sent += static_cast<std::size_t>(Count);
    }
    for (;;) {
        pollfd Poll{Fd, POLLIN, 0};
        if (poll(&Poll, 1, MsLeft(Deadline)) != 1)
            return false;
        unsigned char Byte;
        const ssize_t Count = recv(Fd, &Byte, 1, 0);
        if (Count == 1)
            return true;
        if (Count == 0 || errno != EAGAIN)
            return false;
    }
}

bool ProbeSocket(int Family, const sockaddr* Address, socklen_t Length, TClock::time_point Deadline, bool& Reached) {
    const int Fd = ConnectWithin(Family, Address, Length, Deadline);
    if (Fd < 0)
        return false;
    Reached = true;
    const bool Answered = SetupAnswered(Fd, Deadline);
    close(Fd);
    return Answered;
}

bool ProbeLocal(unsigned Number, TClock::time_point Deadline) {
    char Path[64];
    std::snprintf(Path, sizeof Path, "/tmp/.X11-unix/X%u", Number);
    bool Reached = false;
    // As the X library does: the abstract socket first, then the one in the file system.
    for (const bool Abstract : {true, false}) {
        sockaddr_un Address{};
        Address.sun_family = AF_UNIX;
        const std::size_t Offset = Abstract ? 1 : 0;
        std::memcpy(Address.sun_path + Offset, Path, std::strlen(Path));
        const socklen_t Length =
            static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + Offset + std::strlen(Path) + (Abstract ? 0 : 1));
        if (ProbeSocket(AF_UNIX, reinterpret_cast<const sockaddr*>(&Address), Length, Deadline, Reached))
            return true;
        if (Reached)
            return false; // a server took the connection and did not answer: do not try the other socket's luck
    }
    return false;
}

bool ProbeTcp(const char* Host, unsigned Number, TClock::time_point Deadline) {
    const unsigned short Port = static_cast<unsigned short>(6000 + Number);
    bool Reached = false;
    sockaddr_in V4{};
    V4.sin_family = AF_INET;
    V4.sin_port = htons(Port);
    sockaddr_in6 V6{};
    V6.sin6_family = AF_INET6;
    V6.sin6_port = htons(Port);
    if (std::strcmp(Host, "localhost") == 0) {
        V4.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        V6.sin6_addr = in6addr_loopback;
        return ProbeSocket(AF_INET, reinterpret_cast<const sockaddr*>(&V4), sizeof V4, Deadline, Reached) ||
               (!Reached &&
                ProbeSocket(AF_INET6, reinterpret_cast<const sockaddr*>(&V6), sizeof V6, Deadline, Reached));
    }
    if (inet_pton(AF_INET, Host, &V4.sin_addr) == 1)
        return ProbeSocket(AF_INET, reinterpret_cast<const sockaddr*>(&V4), sizeof V4, Deadline, Reached);
    if (inet_pton(AF_INET6, Host, &V6.sin6_addr) == 1)
        return ProbeSocket(AF_INET6, reinterpret_cast<const sockaddr*>(&V6), sizeof V6, Deadline, Reached);
    return true; // a host name: looking it up could load name-service modules, so leave it to the X library
}

} // namespace

bool XServerAnswers(const char* DisplayName, int TimeoutMs) noexcept {
    if (DisplayName == nullptr || DisplayName[0] == '\0')
        return false;
    if (DisplayName[0] == '/')
        return true; // a socket path of its own form: the X library knows it, we do not
    const char* Colon = std::strrchr(DisplayName, ':');
    if (Colon == nullptr || Colon[1] < '0' || Colon[1] > '9')
        return false;
    unsigned Number = 0;
    for (const char* Digit = Colon + 1; *Digit >= '0' && *Digit <= '9' && Number < 100000; ++Digit)
        Number = Number * 10 + static_cast<unsigned>(*Digit - '0');
    // "[protocol/]host:n"; an empty host or "unix" is the local socket. Brackets may enclose an IPv6 address.
    char Host[256] = {};
    const char* HostStart = DisplayName;
    if (const char* Slash = std::strchr(DisplayName, '/'); Slash != nullptr && Slash < Colon)
        HostStart = Slash + 1;
    std::size_t HostLength = static_cast<std::size_t>(Colon - HostStart);
    if (HostLength > 0 && HostStart[HostLength - 1] == ':')
        return true; // "host::n", the old DECnet form: not ours to probe
    if (HostLength >= 2 && HostStart[0] == '[' && HostStart[HostLength - 1] == ']') {
        ++HostStart;
        HostLength -= 2;
    }
    if (HostLength >= sizeof Host)
        return true;
    std::memcpy(Host, HostStart, HostLength);
    const TClock::time_point Deadline = TClock::now() + std::chrono::milliseconds(TimeoutMs);
    if (HostLength == 0 || std::strcmp(Host, "unix") == 0)
        return ProbeLocal(Number, Deadline);
    return ProbeTcp(Host, Number, Deadline);
}
