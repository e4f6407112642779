#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The third way of mailing: the local mailer's sendmail command (Sendmail, usually /usr/sbin/sendmail), fed the
// same message as the SMTP ways, attachment included, with the recipient's address as its argument. It has no
// dialogue, so Silent changes nothing and the user never cancels.
// Returns 0 when the mail was not handed over (no mailer, no recipient, an empty mail, the mailer refused it or did
// not finish within 30 seconds) and 1 when the mailer accepted it.
std::int32_t SendMapiMail(std::string_view Recipient, std::string_view Subject, std::string_view Body, bool Silent,
                          const std::string& AttachmentFile, std::string_view Sender, const char* Sendmail);
