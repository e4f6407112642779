#include "KroSendBugReport.h"

#include "KroActionOwner.h"
#include "KroDnsResolver.h"
#include "KroDnsSystemFiles.h"
#include "KroMailMessage.h"
#include "KroMailto.h"
#include "KroOnline.h"
#include "KroReportFileName.h"
#include "KroSendmail.h"
#include "KroSmtpMail.h"

#include <sys/stat.h>
#include <unistd.h>

namespace {

bool IsRegularFile(const std::string& Path) {
    struct stat Status;
    return !Path.empty() && stat(Path.c_str(), &Status) == 0 && S_ISREG(Status.st_mode);
}

// Whether every root server the direct way starts at is on this machine (a test's, say): it needs no network then.
bool RootsAreLocal(std::string_view Roots) {
    bool Any = false;
    while (!Roots.empty()) {
        const std::size_t Comma = Roots.find(',');
        std::string_view Entry = Roots.substr(0, Comma);
        Roots = Comma == std::string_view::npos ? std::string_view() : Roots.substr(Comma + 1);
        while (!Entry.empty() && Entry.front() == ' ')
            Entry.remove_prefix(1);
        while (!Entry.empty() && Entry.back() == ' ')
            Entry.remove_suffix(1);
        std::uint32_t Address;
        if (!ParseIpv4Address(Entry, Address))
            continue;
        if (!IsLoopbackHost(Entry))
            return false;
        Any = true;
    }
    return Any;
}

bool ValidPort(std::int32_t Port) noexcept {
    return Port > 0 && Port <= 65535;
}

} // namespace

std::string MailSender(const TExceptSettings& Settings) {
    if (!Settings.MailFrom.empty())
        return std::string(Settings.MailFrom);
    if (Settings.MailAddress.Empty())
        return {};
    return "KroExcept " + EnvelopeAddress(Settings.MailAddress.View());
}

std::int32_t SendBugReport(std::string_view Report, TActionOwner* Owner, bool Silent, const TExceptSettings& Settings,
                           const TMailSystem& System) {
    const std::string_view Recipient = Settings.MailAddress.View();
    const std::string_view Subject = Settings.MailSubject.View();
    const std::string Sender = MailSender(Settings);
    std::string Attachment;
    if (Settings.AttachBugReport) {
        Attachment = BugReportFilePath(Settings);
        if (!IsRegularFile(Attachment))
            Attachment.clear();
    }
    TDnsConfig Dns;
    Dns.RootServers = Settings.DnsRootServers;
    Dns.Port = ValidPort(Settings.DnsPort) ? static_cast<std::uint16_t>(Settings.DnsPort) : 53;
    Dns.HostsFile = System.HostsFile;
    Dns.ResolverFile = System.ResolverFile;
    const bool Online = IsOnline(System.RouteTable);

    std::int32_t Result = MailFailed;
    bool SentBySmtp = false;
    bool CarriedAttachment = false;
    if (!Recipient.empty() && Settings.MailViaDirectSmtp && (Online || RootsAreLocal(Settings.DnsRootServers)) &&
        SendSmtpMail(Sender, Recipient, Subject, Settings.DirectSmtpPort, "", "", "", Attachment, Report, Dns)) {
        Result = MailSent;
        SentBySmtp = CarriedAttachment = true;
    }
    if (Result == MailFailed && !Recipient.empty() && Settings.MailViaSmtpServer && !Settings.SmtpServer.Empty() &&
        (Online || IsLoopbackHost(Settings.SmtpServer.View())) &&
        SendSmtpMail(Sender, Recipient, Subject, Settings.SmtpPort, Settings.SmtpPassword.View(),
                     Settings.SmtpAccount.View(), Settings.SmtpServer.View(), Attachment, Report, Dns)) {
        Result = MailSent;
        SentBySmtp = CarriedAttachment = true;
    }
    if (Result == MailFailed && Settings.MailViaMapi) {
        Result = SendMapiMail(Recipient, Subject, Report, Silent, Attachment, Sender, System.Sendmail);
        CarriedAttachment = Result == MailSent;
    }
    if (Result == MailFailed && Settings.MailViaMailto && !Silent) {
        // The mail client cannot be given a file: the report goes as the body only, and the file stays.
        if (Owner != nullptr)
            Owner->DropTopmost();
        if (SendMailtoMail(Recipient, Subject, Report, System.MailtoOpener))
            Result = MailSent;
    }

    if (!Silent && Owner != nullptr) {
        const std::string Caption = ExpandAppName(Settings.BoxTitle.View());
        if (SentBySmtp)
            Owner->ShowMessage(Caption, Settings.SendOkText.View(), TActionOwner::TMessageIcon::Information);
        else if (Result == MailFailed)
            Owner->ShowMessage(Caption, Settings.SendFailText.View(), TActionOwner::TMessageIcon::Error);
    }
    if (Result == MailSent && CarriedAttachment && !Attachment.empty() && Settings.DeleteAttachment) {
        // A file's own permissions do not stand in the way of deleting it here, so there is nothing to clear first.
        unlink(Attachment.c_str());
    }
    return Result;
}
