#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The mailto URL is cut to this length (mail clients and their command lines do not take arbitrarily long ones).
inline constexpr std::size_t MailtoUrlMax = 32766;

// "mailto:" + recipient + "?subject=" + subject + "&body=" + body, each escaped over MailtoEscapeSet (the recipient
// keeps its "@"). A URL over MailtoUrlMax bytes loses the end of its body, cut before a whole escape and before a
// whole UTF-8 character, never inside one.
std::string MailtoUrl(std::string_view Recipient, std::string_view Subject, std::string_view Body);

// Hands the mail to the user's registered mail client: Opener (xdg-open) is started with the mailto URL. True when it
// took the URL: it ended with code 0, or it is still running after a few seconds (it then runs the mail client
// itself). A mail with neither subject nor body is not handed on.
bool SendMailtoMail(std::string_view Recipient, std::string_view Subject, std::string_view Body, const char* Opener);
