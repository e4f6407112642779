#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// One SMTP connection: commands out, whole replies in. Every wait is bounded: the connection within 10 seconds, each
// reply within 7 seconds however many packets it comes in, each piece of at most 1024 bytes sent within 7 seconds.
class TSmtpSession final {
public:
    static constexpr int ConnectWaitMs = 10000;
    static constexpr int ReplyWaitMs = 7000;
    static constexpr std::size_t PieceSize = 1024;
    // A longer reply is no SMTP server's.
    static constexpr std::size_t MaxReply = 16384;

    TSmtpSession() = default;
    ~TSmtpSession();
    TSmtpSession(const TSmtpSession&) = delete;
    TSmtpSession& operator=(const TSmtpSession&) = delete;

    // Connects over TCP to an IPv4 address (network byte order).
    bool Connect(std::uint32_t Address, std::uint16_t Port);
    void Close() noexcept;

    // Sends Text in pieces of at most PieceSize bytes; false when a piece cannot be sent.
    bool SendText(std::string_view Text);

    // Reads one whole reply, all lines of a multi-line reply ("250-..." up to "250 ..."), into LastReply; true when
    // it is well formed and its code is ExpectedCode.
    bool ReadReply(std::string_view ExpectedCode);

    // Sends Line and CR LF (an empty Line is an empty line: an empty account name in base64), then reads the reply.
    bool Command(std::string_view Line, std::string_view ExpectedCode);

    const std::string& LastReply() const noexcept { return Reply; }

private:
    int Socket = -1;
    std::string Reply;   // the last reply, its lines ended by CR LF
    std::string Pending; // bytes received behind it
};

// Whether an EHLO reply offers the LOGIN authentication: a line whose text (behind the code and its separator) starts
// with "AUTH " or "AUTH=" and names LOGIN among its mechanisms, all without regard to case.
bool OffersLoginAuth(std::string_view Reply);
