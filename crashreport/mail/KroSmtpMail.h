#pragma once

#include <cstdint>
#include <string>
#include <string_view>

struct TDnsConfig;

// Sends one mail over SMTP to Server on Port, or, when Server is empty, to the mail exchanger of Recipient's domain
// found with the resolver of Dns. The dialogue: greeting, EHLO (HELO when refused), AUTH LOGIN with Account and
// Password when either is set (the send fails when the server offers no LOGIN), MAIL FROM (the recipient when Sender
// is empty), RCPT TO, DATA with the message of WriteMailMessage, and QUIT once the greeting was answered. True only
// when every step got its expected reply. A mail with neither subject nor body is not sent (false), nor one without
// recipient, or with a line break in an address.
bool SendSmtpMail(std::string_view Sender, std::string_view Recipient, std::string_view Subject, std::int32_t Port,
                  std::string_view Password, std::string_view Account, std::string_view Server,
                  const std::string& AttachmentFile, std::string_view Body, const TDnsConfig& Dns);
