#include "KroMailto.h"

#include "KroChildProcess.h"
#include "KroPercentEncode.h"

namespace {

// How long the opener may take to say it found no mail client.
constexpr int OpenerWaitMs = 5000;

// The bytes of the UTF-8 character at Offset: a lead byte with its continuation bytes, else the one byte.
std::size_t CharacterLength(std::string_view Text, std::size_t Offset) noexcept {
    const auto Lead = static_cast<unsigned char>(Text[Offset]);
    std::size_t Length = Lead >= 0xf0 ? 4 : Lead >= 0xe0 ? 3 : Lead >= 0xc0 ? 2 : 1;
    std::size_t Have = 1;
    while (Have < Length && Offset + Have < Text.size() &&
           (static_cast<unsigned char>(Text[Offset + Have]) & 0xc0) == 0x80)
        ++Have;
    return Have;
}

} // namespace

std::string MailtoUrl(std::string_view Recipient, std::string_view Subject, std::string_view Body) {
    const TCharSet Escaped = MailtoEscapeSet();
    TCharSet AddressEscaped = Escaped;
    AddressEscaped['@'] = false;
    std::string Url = "mailto:" + PercentEncode(Recipient, AddressEscaped, '%') +
                      "?subject=" + PercentEncode(Subject, Escaped, '%') + "&body=";
    Url.reserve(MailtoUrlMax);
    for (std::size_t Offset = 0; Offset < Body.size();) {
        const std::string_view Character = Body.substr(Offset, CharacterLength(Body, Offset));
        std::size_t Encoded = 0;
        for (const char C : Character)
            Encoded += Escaped[static_cast<unsigned char>(C)] ? 3 : 1;
        if (Url.size() + Encoded > MailtoUrlMax)
            break;
        Url += PercentEncode(Character, Escaped, '%');
        Offset += Character.size();
    }
    if (Url.size() > MailtoUrlMax)
        Url.resize(MailtoUrlMax); // only with a recipient and subject far beyond their fields' sizes
    return Url;
}

bool SendMailtoMail(std::string_view Recipient, std::string_view Subject, std::string_view Body, const char* Opener) {
    if (Subject.empty() && Body.empty())
        return false;
    std::string Url = MailtoUrl(Recipient, Subject, Body);
    std::string Program = Opener == nullptr ? "" : Opener;
    char* Arguments[] = {Program.data(), Url.data(), nullptr};
    TChildProcess Child;
    if (!Child.Start(Opener, Arguments, false))
        return false;
    int ExitCode = 0;
    return !Child.Wait(OpenerWaitMs, ExitCode) || ExitCode == 0;
}
