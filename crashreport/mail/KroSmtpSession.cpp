#include "KroSmtpSession.h"

#include "KroStrings.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

using TClock = std::chrono::steady_clock;

int MillisecondsLeft(TClock::time_point Deadline) noexcept {
    const auto Left = std::chrono::duration_cast<std::chrono::milliseconds>(Deadline - TClock::now()).count();
    return Left > 0 ? static_cast<int>(Left) : 0;
}

// Waits for Events on Socket until Deadline; false on time-out or error.
bool WaitFor(int Socket, short Events, TClock::time_point Deadline) noexcept {
    for (;;) {
        const int Left = MillisecondsLeft(Deadline);
        if (Left == 0)
            return false;
        pollfd Poll{Socket, Events, 0};
        const int Ready = poll(&Poll, 1, Left);
        if (Ready < 0 && errno == EINTR)
            continue;
        return Ready > 0 && (Poll.revents & (Events | POLLERR | POLLHUP)) != 0;
    }
}

bool IsDigit(char C) noexcept {
    return C >= '0' && C <= '9';
}

} // namespace

TSmtpSession::~TSmtpSession() {
    Close();
}

void TSmtpSession::Close() noexcept {
    if (Socket >= 0)
        close(Socket);
    Socket = -1;
    Pending.clear();
}

bool TSmtpSession::Connect(std::uint32_t Address, std::uint16_t Port) {
    Close();
    Socket = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (Socket < 0)
        return false;
    sockaddr_in To{};
    To.sin_family = AF_INET;
    To.sin_port = htons(Port);
    To.sin_addr.s_addr = Address;
    if (connect(Socket, reinterpret_cast<const sockaddr*>(&To), sizeof To) == 0)
        return true;
    if (errno != EINPROGRESS || !WaitFor(Socket, POLLOUT, TClock::now() + std::chrono::milliseconds(ConnectWaitMs))) {
        Close();
        return false;
    }
    int Error = 0;
    socklen_t Length = sizeof Error;
    if (getsockopt(Socket, SOL_SOCKET, SO_ERROR, &Error, &Length) != 0 || Error != 0) {
        Close();
        return false;
    }
    return true;
}

bool TSmtpSession::SendText(std::string_view Text) {
    if (Socket < 0)
        return false;
    while (!Text.empty()) {
        std::string_view Piece = Text.substr(0, PieceSize);
        const auto Deadline = TClock::now() + std::chrono::milliseconds(ReplyWaitMs);
        while (!Piece.empty()) {
            const ssize_t Sent = send(Socket, Piece.data(), Piece.size(), MSG_NOSIGNAL);
            if (Sent > 0) {
                Piece.remove_prefix(static_cast<std::size_t>(Sent));
                continue;
            }
            if (Sent < 0 && errno == EINTR)
                continue;
            if (Sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK) && WaitFor(Socket, POLLOUT, Deadline))
                continue;
            return false;
        }
        Text.remove_prefix(std::min(Text.size(), PieceSize));
    }
    return true;
}

bool TSmtpSession::ReadReply(std::string_view ExpectedCode) {
    Reply.clear();
    if (Socket < 0)
        return false;
    const auto Deadline = TClock::now() + std::chrono::milliseconds(ReplyWaitMs);
    for (;;) {
        // Take the complete lines received so far; the reply ends with a line whose code is followed by a blank or
        // by nothing.
        for (std::size_t End; (End = Pending.find('\n')) != std::string::npos;) {
            std::string_view Line(Pending.data(), End);
            if (!Line.empty() && Line.back() == '\r')
                Line.remove_suffix(1);
            const bool WellFormed = Line.size() >= 3 && IsDigit(Line[0]) && IsDigit(Line[1]) && IsDigit(Line[2]) &&
                                    (Line.size() == 3 || Line[3] == ' ' || Line[3] == '-');
            const bool Last = WellFormed && (Line.size() == 3 || Line[3] == ' ');
            Reply.append(Line).append("\r\n");
            const std::string Code(Line.substr(0, 3));
            Pending.erase(0, End + 1);
            if (!WellFormed)
                return false;
            if (Last)
                return !ExpectedCode.empty() && Code.compare(0, ExpectedCode.size(), ExpectedCode) == 0 &&
                       Reply.compare(0, ExpectedCode.size(), ExpectedCode) == 0;
        }
        if (Reply.size() + Pending.size() > MaxReply || !WaitFor(Socket, POLLIN, Deadline))
            return false;
        char Buffer[PieceSize];
        const ssize_t Count = recv(Socket, Buffer, sizeof Buffer, 0);
        if (Count < 0 && (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK))
            continue;
        if (Count <= 0)
            return false;
        Pending.append(Buffer, static_cast<std::size_t>(Count));
    }
}

bool TSmtpSession::Command(std::string_view Line, std::string_view ExpectedCode) {
    if (!SendText(std::string(Line) + "\r\n"))
        return false;
    return ReadReply(ExpectedCode);
}

bool OffersLoginAuth(std::string_view Reply) {
    std::string Text(Reply);
    for (char& C : Text)
        if (C == '=')
            C = ' ';
    std::string_view Rest = Text;
    while (!Rest.empty()) {
        const std::size_t End = Rest.find("\r\n");
        const std::string_view Line = Rest.substr(0, End);
        Rest = End == std::string_view::npos ? std::string_view() : Rest.substr(End + 2);
        if (Line.size() < 9 || !StartsWithText("AUTH ", Line.substr(4)))
            continue;
        const std::string Mechanisms = " " + std::string(Line.substr(9)) + " ";
        if (FindSubText(" LOGIN ", Mechanisms, 0, static_cast<std::ptrdiff_t>(Mechanisms.size()), true) >= 0)
            return true;
    }
    return false;
}
