#pragma once

#include "KroStrings.h"

#include <string>
#include <string_view>

// Every byte of Text that is in Set becomes Escape and its value as two upper-case hexadecimal digits; the others are
// kept.
std::string PercentEncode(std::string_view Text, const TCharSet& Set, char Escape);

// What a mailto URL escapes in its subject and body: every byte outside the unreserved characters of URIs ("A"-"Z",
// "a"-"z", "0"-"9", "-", ".", "_", "~"), so that "&", ";", "=", "#", "?", blanks, control bytes and non-ASCII bytes
// reach the mail client as they were.
TCharSet MailtoEscapeSet();

// What the encoded word of the SMTP subject escapes: every byte but "0"-"9", "A"-"Z" and "a"-"z".
TCharSet SubjectEscapeSet();
