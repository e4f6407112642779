#include "KroMailMessage.h"

#include "KroCrypt.h"
#include "KroFileHandle.h"
#include "KroFileRead.h"
#include "KroMailSink.h"
#include "KroPercentEncode.h"

#include <algorithm>
#include <fcntl.h>
#include <sys/stat.h>

namespace {

constexpr std::size_t BlockSize = 57; // 76 base64 characters per line

// Only a regular file counts: a folder or a device of that name is no attachment.
TKroFileHandle OpenAttachment(const std::string& Path) {
    TKroFileHandle File(Path.empty() ? -1 : open(Path.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat Status;
    if (File.IsOpen() && (fstat(File.Get(), &Status) != 0 || !S_ISREG(Status.st_mode)))
        File.Close();
    return File;
}

// The file name for the part's headers: without its folder, and without bytes that would end the quoted text.
std::string PartFileName(std::string_view Path) {
    const std::size_t Slash = Path.rfind('/');
    std::string Name(Slash == std::string_view::npos ? Path : Path.substr(Slash + 1));
    for (char& C : Name)
        if (C == '"' || C == '\\' || static_cast<unsigned char>(C) < 0x20)
            C = '_';
    return Name;
}

bool IsPlainAscii(std::string_view Text) noexcept {
    for (const char C : Text)
        if (static_cast<unsigned char>(C) >= 0x80)
            return false;
    return true;
}

// Quoted-printable lines hold at most this many characters, the "=" of a soft line break included.
constexpr std::size_t QuotedLineLength = 76;

// The headers that say what the text is: the report is UTF-8, and in quoted-printable every line stays short and
// every byte 7-bit, which any mail server carries unchanged.
constexpr std::string_view TextPartHeaders = "Content-Type: text/plain; charset=UTF-8\r\n"
                                             "Content-Transfer-Encoding: quoted-printable\r\n";

bool WriteAttachment(TMailSink& Sink, const TKroFileHandle& File, const std::string& Path) {
    char Buffer[BlockSize * 64];
    bool HeaderSent = false;
    bool LineSent = false;
    for (;;) {
        const std::ptrdiff_t Count = KroReadFull(File.Get(), Buffer, sizeof Buffer);
        if (Count < 0) {
            if (LineSent)
                Sink.Write("\r\n");
            return false;
        }
        if (Count == 0)
            return true;
        std::string Text;
        if (!HeaderSent) {
            const std::string Name = PartFileName(Path);
            Text.append("--").append(MailBoundary).append("\r\n");
            Text.append("Content-Type: application/octet-stream; name=\"").append(Name).append("\"\r\n");
            Text.append("Content-Transfer-Encoding: base64\r\n");
            Text.append("Content-Disposition: attachment; filename=\"").append(Name).append("\"\r\n\r\n");
            HeaderSent = true;
        }
        for (std::ptrdiff_t Offset = 0; Offset < Count; Offset += BlockSize) {
            const std::ptrdiff_t Length = std::min<std::ptrdiff_t>(BlockSize, Count - Offset);
            Text.append(Base64Encode(Buffer + Offset, Length)).append("\r\n");
        }
        if (!Sink.Write(Text))
            return false;
        LineSent = true;
        if (static_cast<std::size_t>(Count) < sizeof Buffer)
            return true;
    }
}

} // namespace

std::string QuotedPrintable(std::string_view Text) {
    static constexpr char Hex[] = "0123456789ABCDEF";
    std::string Result;
    Result.reserve(Text.size() + Text.size() / 8);
    std::size_t LineLength = 0;
    for (std::size_t At = 0; At < Text.size(); ++At) {
        const auto Byte = static_cast<unsigned char>(Text[At]);
        if (Byte == '\r' || Byte == '\n') {
            if (Byte == '\r' && At + 1 < Text.size() && Text[At + 1] == '\n')
                ++At;
            Result += "\r\n";
            LineLength = 0;
            continue;
        }
        // A blank at the end of a line would be lost on the way: it is written as its code.
        const bool LineEnds = At + 1 == Text.size() || Text[At + 1] == '\r' || Text[At + 1] == '\n';
        const bool Plain = (Byte >= 33 && Byte <= 126 && Byte != '=') || ((Byte == ' ' || Byte == '\t') && !LineEnds);
        const std::size_t Width = Plain ? 1 : 3;
        if (LineLength + Width > QuotedLineLength - 1) {
            Result += "=\r\n";
            LineLength = 0;
        }
        if (Plain)
            Result += static_cast<char>(Byte);
        else {
            Result += '=';
            Result += Hex[Byte >> 4];
            Result += Hex[Byte & 15];
        }
        LineLength += Width;
    }
    return Result;
}

std::string HeaderAddress(std::string_view Address) {
    if (Address.find('<') != std::string_view::npos)
        return std::string(Address);
    return "<" + std::string(Address) + ">";
}

std::string EnvelopeAddress(std::string_view Address) {
    const std::size_t Open = Address.find('<');
    if (Open == std::string_view::npos)
        return "<" + std::string(Address) + ">";
    const std::size_t Close = Address.find('>', Open);
    if (Close == std::string_view::npos)
        return std::string(Address.substr(Open)) + ">";
    return std::string(Address.substr(Open, Close - Open + 1));
}

std::string EncodedSubject(std::string_view Subject) {
    const std::string_view Charset = IsPlainAscii(Subject) ? "ISO-8859-1" : "UTF-8";
    return "=?" + std::string(Charset) + "?Q?" + PercentEncode(Subject, SubjectEscapeSet(), '=') + "?=";
}

bool WriteMailMessage(TMailSink& Sink, std::string_view Recipient, std::string_view Sender, std::string_view Subject,
                      std::string_view Body, const std::string& AttachmentPath) {
    const TKroFileHandle Attachment = OpenAttachment(AttachmentPath);
    std::string Head = "TO: " + HeaderAddress(Recipient) + "\r\n";
    if (!Sender.empty())
        Head += "FROM: " + HeaderAddress(Sender) + "\r\n";
    Head += "SUBJECT: " + EncodedSubject(Subject) + "\r\n";
    Head.append("MIME-Version: 1.0\r\n");
    const std::string Text = QuotedPrintable(Body);
    if (!Attachment.IsOpen()) {
        Head.append(TextPartHeaders).append("\r\n");
        return Sink.Write(Head) && Sink.Write(Text);
    }
    Head.append("Content-Type: multipart/mixed; boundary=\"").append(MailBoundary).append("\"\r\n\r\n");
    Head.append("This is a multi-part message in MIME format.\r\n\r\n");
    Head.append("--").append(MailBoundary).append("\r\n");
    Head.append(TextPartHeaders).append("\r\n");
    if (!Sink.Write(Head) || !Sink.Write(Text) || !Sink.Write("\r\n") ||
        !WriteAttachment(Sink, Attachment, AttachmentPath))
        return false;
    return Sink.Write("--" + std::string(MailBoundary) + "--\r\n");
}
