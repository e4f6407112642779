#include "KroMailMessage.h"
#include "KroMailto.h"
#include "KroPercentEncode.h"

#include <gtest/gtest.h>

TEST(MailtoTest, EverythingOutsideTheUnreservedCharactersIsEscaped) {
    EXPECT_EQ(MailtoUrl("bugs@example.org", "a&b;c=d", "x\ty \xc3\xa9 #?+%<>\"\r\n-._~Zz9"),
              "mailto:bugs@example.org?subject=a%26b%3Bc%3Dd"
              "&body=x%09y%20%C3%A9%20%23%3F%2B%25%3C%3E%22%0D%0A-._~Zz9");
    // The recipient keeps its "@" but nothing that would end it.
    EXPECT_EQ(MailtoUrl("Desk <bugs@example.org>?cc=x", "", ""),
              "mailto:Desk%20%3Cbugs@example.org%3E%3Fcc%3Dx?subject=&body=");
    EXPECT_EQ(PercentEncode("Bug Report", SubjectEscapeSet(), '='), "Bug=20Report");
    EXPECT_EQ(EncodedSubject("Bug Report"), "=?ISO-8859-1?Q?Bug=20Report?=");
}

TEST(MailtoTest, ALongUrlIsCutBeforeAWholeEscapeAndAWholeCharacter) {
    const std::string Prefix = "mailto:a@b.c?subject=s&body=";
    // Plain text fills the URL to its limit exactly.
    EXPECT_EQ(MailtoUrl("a@b.c", "s", std::string(40000, 'x')),
              Prefix + std::string(MailtoUrlMax - Prefix.size(), 'x'));
    // An escape that would pass the limit is left out whole; so is a character of several bytes.
    for (std::size_t Room = 0; Room < 20; ++Room) {
        const std::string Body = std::string(MailtoUrlMax - Prefix.size() - Room, 'x') + "\xe2\x82\xac\xe2\x82\xac";
        const std::string Url = MailtoUrl("a@b.c", "s", Body);
        const std::string Tail = Url.substr(MailtoUrlMax - Room);
        EXPECT_EQ(Tail, Room >= 18 ? "%E2%82%AC%E2%82%AC" : Room >= 9 ? "%E2%82%AC" : "") << Room;
    }
}
