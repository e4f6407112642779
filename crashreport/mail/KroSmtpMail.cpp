#include "KroSmtpMail.h"

#include "KroCrypt.h"
#include "KroDnsResolver.h"
#include "KroMailMessage.h"
#include "KroSmtpDataWriter.h"
#include "KroSmtpSession.h"

#include <climits>
#include <unistd.h>

namespace {

std::string ComputerName() {
    char Name[HOST_NAME_MAX + 1] = {};
    if (gethostname(Name, sizeof Name - 1) != 0 || Name[0] == '\0')
        return "localhost";
    return Name;
}

bool HasLineBreak(std::string_view Text) noexcept {
    return Text.find_first_of("\r\n") != std::string_view::npos;
}

} // namespace

bool SendSmtpMail(std::string_view Sender, std::string_view Recipient, std::string_view Subject, std::int32_t Port,
                  std::string_view Password, std::string_view Account, std::string_view Server,
                  const std::string& AttachmentFile, std::string_view Body, const TDnsConfig& Dns) {
    // An empty mail would be accepted by the server and count as sent: the report would seem delivered, and its file
    // deleted, with nothing in it.
    if (Recipient.empty() || (Subject.empty() && Body.empty()) || Port <= 0 || Port > 65535)
        return false;
    if (HasLineBreak(Sender) || HasLineBreak(Recipient) || HasLineBreak(Account) || HasLineBreak(Password))
        return false;

    TDnsResolver Resolver(Dns);
    std::string Host(Server);
    if (Host.empty())
        Host = Resolver.LookupMxServers(Recipient);
    std::uint32_t Address;
    if (Host.empty() || !Resolver.ResolveHost(Host, Address))
        return false;

    TSmtpSession Session;
    if (!Session.Connect(Address, static_cast<std::uint16_t>(Port)) || !Session.ReadReply("220"))
        return false;
    const std::string Computer = ComputerName();
    bool Hello = Session.Command("EHLO " + Computer, "250");
    const bool LoginOffered = Hello && OffersLoginAuth(Session.LastReply());
    if (!Hello)
        Hello = Session.Command("HELO " + Computer, "250");
    if (!Hello)
        return false;

    bool Ok = true;
    if (!Account.empty() || !Password.empty())
        Ok = LoginOffered && Session.Command("AUTH LOGIN", "334") && Session.Command(Base64Encode(Account), "334") &&
             Session.Command(Base64Encode(Password), "235");
    const std::string_view From = Sender.empty() ? Recipient : Sender;
    Ok = Ok && Session.Command("MAIL FROM:" + EnvelopeAddress(From), "250") &&
         Session.Command("RCPT TO:" + EnvelopeAddress(Recipient), "250") && Session.Command("DATA", "354");
    if (Ok) {
        TSmtpDataWriter Data(Session);
        if (!WriteMailMessage(Data, Recipient, From, Subject, Body, AttachmentFile) || !Data.Finish()) {
            // The data was cut short (the file could not be read, or the connection failed): ending it with "."
            // would deliver a broken mail, so the connection is dropped and the server discards what it got.
            return false;
        }
        Ok = Session.ReadReply("250");
    }
    const bool Quit = Session.Command("QUIT", "221");
    return Ok && Quit;
}
