#include "KroMailMessage.h"

#include "KroCrypt.h"
#include "KroMailSink.h"
#include "KroPercentEncode.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::size_t BlockSize = 57; // 76 base64 characters per line

class TFile final {
public:
    // Only a regular file counts: a folder or a device of that name is no attachment.
    explicit TFile(const std::string& Path) : Handle(Path.empty() ? -1 : open(Path.c_str(), O_RDONLY | O_CLOEXEC)) {
        struct stat Status;
        if (Handle >= 0 && (fstat(Handle, &Status) != 0 || !S_ISREG(Status.st_mode))) {
            close(Handle);
            Handle = -1;
        }
    }
    ~TFile() {
        if (Handle >= 0)
            close(Handle);
    }
    TFile(const TFile&) = delete;
    TFile& operator=(const TFile&) = delete;

    bool IsOpen() const noexcept { return Handle >= 0; }

    // Fills Buffer as far as the file goes; -1 on a read error.
    std::ptrdiff_t ReadFull(char* Buffer, std::size_t Size) noexcept {
        std::size_t Done = 0;
        while (Done < Size) {
            const ssize_t Count = read(Handle, Buffer + Done, Size - Done);
            if (Count < 0 && errno == EINTR)
                continue;
            if (Count < 0)
                return -1;
            if (Count == 0)
                break;
            Done += static_cast<std::size_t>(Count);
        }
        return static_cast<std::ptrdiff_t>(Done);
    }

private:
    int Handle;
};

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

bool WriteAttachment(TMailSink& Sink, TFile& File, const std::string& Path) {
    char Buffer[BlockSize * 64];
    bool HeaderSent = false;
    bool LineSent = false;
    for (;;) {
        const std::ptrdiff_t Count = File.ReadFull(Buffer, sizeof Buffer);
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
    TFile Attachment(AttachmentPath);
    std::string Head = "TO: " + HeaderAddress(Recipient) + "\r\n";
    if (!Sender.empty())
        Head += "FROM: " + HeaderAddress(Sender) + "\r\n";
    Head += "SUBJECT: " + EncodedSubject(Subject) + "\r\n";
    if (!Attachment.IsOpen()) {
        Head += "\r\n";
        return Sink.Write(Head) && Sink.Write(Body);
    }
    Head.append("MIME-Version: 1.0\r\n");
    Head.append("Content-Type: multipart/mixed; boundary=\"").append(MailBoundary).append("\"\r\n\r\n");
    Head.append("This is a multi-part message in MIME format.\r\n\r\n");
    Head.append("--").append(MailBoundary).append("\r\n\r\n");
    if (!Sink.Write(Head) || !Sink.Write(Body) || !Sink.Write("\r\n") ||
        !WriteAttachment(Sink, Attachment, AttachmentPath))
        return false;
    return Sink.Write("--" + std::string(MailBoundary) + "--\r\n");
}
