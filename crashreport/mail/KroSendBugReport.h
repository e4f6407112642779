#pragma once

#include "KroExceptSettings.h"
#include "KroMailSystem.h"

#include <cstdint>
#include <string>
#include <string_view>

class TActionOwner;

// The results of SendBugReport.
inline constexpr std::int32_t MailFailed = 0;
inline constexpr std::int32_t MailSent = 1;
inline constexpr std::int32_t MailCancelled = 2;

// The sender of mailed reports: MailFrom when set, else "KroExcept" with the recipient's address in angle brackets,
// else empty.
std::string MailSender(const TExceptSettings& Settings);

// Mails Report (the body) with MailSubject, trying the ways the settings allow in their order until one sends:
// SMTP to the recipient's own mail exchanger (on DirectSmtpPort), SMTP through SmtpServer with its account, the local
// mailer, and, when not Silent, the user's mail client with a mailto URL. The SMTP ways need the machine online,
// unless their servers are on this machine. The SMTP ways and the local mailer carry the report file as attachment
// (AttachBugReport); when the way that sent carried it and DeleteAttachment is set, the file is deleted. Unless
// Silent, the owner shows SendOkText after an SMTP send and SendFailText when nothing was sent, with BoxTitle as
// caption (without an owner nothing is shown). Returns MailFailed, MailSent or MailCancelled.
std::int32_t SendBugReport(std::string_view Report, TActionOwner* Owner, bool Silent, const TExceptSettings& Settings,
                           const TMailSystem& System);
