#pragma once

#include <string>
#include <string_view>

class TMailSink;

// The mail of a bug report as the SMTP ways and the local mailer send it: the headers "TO:", "FROM:" and "SUBJECT:",
// then the body alone, or, with an attachment, a MIME multipart message whose first part is the body and whose second
// is the file in base64 lines of 57 bytes each. The body is UTF-8 text in quoted-printable, and says so.

// The boundary between the MIME parts.
inline constexpr std::string_view MailBoundary = "CrashReport SMTP Boundary";

// An address for a header: enclosed in "<" ">" unless it already holds a "<" (then it keeps its display name).
std::string HeaderAddress(std::string_view Address);

// An address for "MAIL FROM:" and "RCPT TO:": enclosed in "<" ">" when it holds no "<", else its part from the "<" to
// the first ">" after it (a missing ">" is added).
std::string EnvelopeAddress(std::string_view Address);

// The subject as an encoded word: every byte but "0"-"9", "A"-"Z" and "a"-"z" as "=" and two hexadecimal digits, so
// that a blank is "=20". Labelled ISO-8859-1 while the subject is plain ASCII; our texts are UTF-8, so a subject with
// other bytes is labelled UTF-8 and shows as written.
std::string EncodedSubject(std::string_view Subject);

// Text in quoted-printable: bytes outside printable ASCII, "=" and a blank that ends a line as "=" and two
// hexadecimal digits; every line break (CR LF, or a lone CR or LF) as CR LF; lines longer than 76 characters broken
// by a soft break ("=" at the line's end).
std::string QuotedPrintable(std::string_view Text);

// Writes the whole message. Sender may be empty: then there is no "FROM:" header (the local mailer puts in the user).
// An AttachmentPath that is empty or names no readable file leaves the attachment out; a file of 0 bytes gives the
// multipart frame without the file's part. False when the sink failed or the file could not be read to its end.
bool WriteMailMessage(TMailSink& Sink, std::string_view Recipient, std::string_view Sender, std::string_view Subject,
                      std::string_view Body, const std::string& AttachmentPath);
