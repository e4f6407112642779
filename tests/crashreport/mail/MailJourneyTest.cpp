#include "KroActionOwner.h"
#include "KroMailMessage.h"
#include "KroReportFile.h"
#include "KroSendBugReport.h"

#include "MailPeersTestSupport.h"
#include "SystemToolsTestSupport.h"

#include <gtest/gtest.h>

#include <climits>
#include <unistd.h>

using mailpeers::ReadWholeFile;
using mailpeers::TMailPeers;
using mailpeers::WriteScript;
using mailpeers::WriteWholeFile;

namespace {

class TRecordingOwner final : public TActionOwner {
public:
    struct TMessage {
        std::string Caption;
        std::string Text;
        TMessageIcon Icon;
    };

    void ShowMessage(std::string_view Caption, std::string_view Text, TMessageIcon Icon) override {
        Messages.push_back({std::string(Caption), std::string(Text), Icon});
    }
    void DropTopmost() override { ++Dropped; }

    std::vector<TMessage> Messages;
    int Dropped = 0;
};

std::vector<std::string> Lines(const std::string& Text) {
    std::vector<std::string> Result;
    std::istringstream Stream(Text);
    for (std::string Line; std::getline(Stream, Line);)
        Result.push_back(Line);
    return Result;
}

std::string HostName() {
    char Name[HOST_NAME_MAX + 1] = {};
    gethostname(Name, sizeof Name - 1);
    return Name;
}

// A report with what mail transports get wrong: lines that start with a dot or are one, and the bytes a mailto URL
// must escape.
const std::string CrashReport = "date/time          : 2024-05-06, 12:00:00\r\n"
                                "exception message  : Access violation & more; a=b\tc, f\xc3\xbcr 100%\r\n"
                                ".\r\n"
                                "..two dots\r\n"
                                ".leading dot\r\n"
                                "last line without end";

class MailJourneyTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Peers.Ready()) << "the loopback peers did not start (python3 and tests/crashreport/mailpeers.py)";
        Folder = Peers.Folder.Path;
        ReportFile = Folder / "bugreport-mail.txt";
        Settings = BuiltInSettings;
        Settings.MailAddress = "bugs@crashtest.example";
        Settings.MailSubject = "Pyx Bug Report: crash & burn";
        Settings.BugReportFile.Assign(ReportFile.string());
        Settings.MailViaDirectSmtp = true;
        Settings.MailViaSmtpServer = false;
        Settings.MailViaMapi = false;
        Settings.MailViaMailto = false;
        Settings.DnsRootServers = "127.0.0.1";
        Settings.DnsPort = Peers.DnsPort;
        Settings.DirectSmtpPort = Peers.SmtpPorts.at("plain");
        Settings.SmtpServer = "127.0.0.1";

        // A machine without network: only the loopback routes. The peers are on this machine, so the SMTP ways
        // still go.
        WriteWholeFile(Folder / "route", "Iface\tDestination\tGateway\tFlags\tRefCnt\tUse\tMetric\tMask\n");
        WriteWholeFile(Folder / "hosts", "127.0.0.1 localhost\n");
        WriteWholeFile(Folder / "resolv.conf", "");
        SendmailPath = (Folder / "sendmail").string();
        OpenerPath = (Folder / "xdg-open").string();
        RoutePath = (Folder / "route").string();
        HostsPath = (Folder / "hosts").string();
        ResolverPath = (Folder / "resolv.conf").string();
        System.Sendmail = SendmailPath.c_str();
        System.MailtoOpener = OpenerPath.c_str();
        System.RouteTable = RoutePath.c_str();
        System.HostsFile = HostsPath.c_str();
        System.ResolverFile = ResolverPath.c_str();
    }

    void GoOnline() {
        WriteWholeFile(Folder / "route", "Iface\tDestination\tGateway\tFlags\tRefCnt\tUse\tMetric\tMask\n"
                                         "eth0\t00000000\t010200C0\t0003\t0\t0\t0\t00000000\n");
    }

    // A local mailer that keeps its arguments and its input and ends with ExitCode.
    void InstallSendmail(int ExitCode) {
        WriteScript(SendmailPath, "#!/bin/sh\nprintf '%s\\n' \"$@\" > '" + (Folder / "sendmail.args").string() +
                                      "'\ncat > '" + (Folder / "sendmail.input").string() + "'\nexit " +
                                      std::to_string(ExitCode) + "\n");
    }
    // A mailto opener that keeps the URL.
    void InstallOpener(int ExitCode) {
        WriteScript(OpenerPath, "#!/bin/sh\nprintf '%s' \"$1\" > '" + (Folder / "opener.url").string() + "'\nexit " +
                                    std::to_string(ExitCode) + "\n");
    }

    TMailPeers Peers;
    std::filesystem::path Folder;
    std::filesystem::path ReportFile;
    TExceptSettings Settings;
    TMailSystem System;
    std::string SendmailPath, OpenerPath, RoutePath, HostsPath, ResolverPath;
    TRecordingOwner Owner;
};

} // namespace

TEST_F(MailJourneyTest, DirectSmtpDeliversTheReportAndItsFileToTheRecipientsMailExchanger) {
    ASSERT_TRUE(SaveBugReport(CrashReport, true, Settings));
    const std::string Saved = ReadWholeFile(ReportFile);

    EXPECT_EQ(SendBugReport(CrashReport, &Owner, false, Settings, System), MailSent);

    // The envelope, after the lookup took the exchanger of lowest preference (the other has no server).
    EXPECT_EQ(Lines(Peers.File("plain-1.log")),
              (std::vector<std::string>{"C: EHLO " + HostName(), "C: MAIL FROM:<bugs@crashtest.example>",
                                        "C: RCPT TO:<bugs@crashtest.example>", "C: DATA",
                                        "D: " + std::to_string(Peers.File("plain-1.eml").size()), "C: QUIT"}));
    // The headers, the encoded subject and the MIME frame, byte for byte; the body and the attachment as a mail
    // reader decodes them.
    const std::string Mail = Peers.File("plain-1.eml");
    const std::string Head = "TO: <bugs@crashtest.example>\r\n"
                             "FROM: KroExcept <bugs@crashtest.example>\r\n"
                             "SUBJECT: =?ISO-8859-1?Q?Pyx=20Bug=20Report=3A=20crash=20=26=20burn?=\r\n"
                             "MIME-Version: 1.0\r\n"
                             "Content-Type: multipart/mixed; boundary=\"CrashReport SMTP Boundary\"\r\n"
                             "\r\n"
                             "This is a multi-part message in MIME format.\r\n"
                             "\r\n"
                             "--CrashReport SMTP Boundary\r\n"
                             "Content-Type: text/plain; charset=UTF-8\r\n"
                             "Content-Transfer-Encoding: quoted-printable\r\n"
                             "\r\n";
    ASSERT_EQ(Mail.substr(0, Head.size()), Head);
    const std::string PartHead = "\r\n--CrashReport SMTP Boundary\r\n"
                                 "Content-Type: application/octet-stream; name=\"bugreport-mail.txt\"\r\n"
                                 "Content-Transfer-Encoding: base64\r\n"
                                 "Content-Disposition: attachment; filename=\"bugreport-mail.txt\"\r\n"
                                 "\r\n";
    const std::size_t Part = Mail.find(PartHead, Head.size());
    ASSERT_NE(Part, std::string::npos) << Mail;
    // The text travels in 7-bit lines of at most 76 characters, whatever bytes the report holds.
    for (const std::string& Line : Lines(Mail.substr(Head.size(), Part - Head.size()))) {
        EXPECT_LE(Line.size(), 77u) << Line; // and the CR of its line break
        EXPECT_TRUE(std::all_of(Line.begin(), Line.end(), [](char C) { return C > 0 && C < 127; })) << Line;
    }
    const std::string Tail = "--CrashReport SMTP Boundary--\r\n";
    ASSERT_EQ(Mail.substr(Mail.size() - Tail.size()), Tail);
    const std::size_t Files = Part + PartHead.size();
    const std::vector<std::string> Base64 = Lines(Mail.substr(Files, Mail.size() - Files - Tail.size()));
    ASSERT_EQ(Base64.size(), (Saved.size() + 56) / 57);
    for (std::size_t I = 0; I + 1 < Base64.size(); ++I)
        EXPECT_EQ(Base64[I], Base64[I].substr(0, 76) + "\r") << "line " << I;
    EXPECT_EQ(Peers.File("plain-1.body"), CrashReport);
    EXPECT_EQ(Peers.File("plain-1.attachment"), Saved);

    // The file went with the mail, so it is deleted; the user is told the mail went.
    EXPECT_FALSE(std::filesystem::exists(ReportFile));
    ASSERT_EQ(Owner.Messages.size(), 1u);
    EXPECT_EQ(Owner.Messages[0].Caption, "kroexcept_tests");
    EXPECT_EQ(Owner.Messages[0].Text, "The mail was sent successfully.");
    EXPECT_EQ(Owner.Messages[0].Icon, TActionOwner::TMessageIcon::Information);

    // The lookup walked down from the root without asking anyone to recurse, then looked up the exchanger.
    const std::vector<std::string> Questions = Lines(Peers.File("dns.log"));
    const std::vector<std::string> Expected = {
        "127.0.0.1 crashtest.example 2 it",    "127.0.0.2 crashtest.example 2 it",
        "127.0.0.3 crashtest.example 2 it",    "127.0.0.3 crashtest.example 15 it",
        "127.0.0.1 mx.crashtest.example 1 it", "127.0.0.2 mx.crashtest.example 1 it",
        "127.0.0.3 mx.crashtest.example 1 it"};
    EXPECT_EQ(Questions, Expected);
}

TEST_F(MailJourneyTest, TheConfiguredServerIsFoundByItsAliasAndLoggedIntoWithAuthLogin) {
    ASSERT_TRUE(SaveBugReport(CrashReport, true, Settings));
    Settings.MailViaDirectSmtp = false;
    Settings.MailViaSmtpServer = true;
    Settings.SmtpServer = "relay.crashtest.example";
    Settings.SmtpPort = Peers.SmtpPorts.at("auth");
    Settings.SmtpAccount = "reporter";
    Settings.SmtpPassword = "s3cret";
    Settings.MailAddress = "Bug Desk <bugs@crashtest.example>";
    Settings.MailFrom = "Pyx Tester <tester@crashtest.example>";
    Settings.MailSubject = "Bug Report f\xc3\xbcr Pyx";
    Settings.AttachBugReport = false;

    // Offline, a server known by name is not tried: it cannot be told from the name that it is on this machine.
    EXPECT_EQ(SendBugReport(CrashReport, &Owner, true, Settings, System), MailFailed);
    EXPECT_FALSE(Peers.Exists("dns.log"));

    GoOnline();
    EXPECT_EQ(SendBugReport(CrashReport, &Owner, false, Settings, System), MailSent);
    EXPECT_EQ(
        Lines(Peers.File("auth-1.log")),
        (std::vector<std::string>{"C: EHLO " + HostName(), "C: AUTH LOGIN", "U: reporter", "P: s3cret",
                                  "C: MAIL FROM:<tester@crashtest.example>", "C: RCPT TO:<bugs@crashtest.example>",
                                  "C: DATA", "D: " + std::to_string(Peers.File("auth-1.eml").size()), "C: QUIT"}));
    // Without attachment the text follows the headers; display names stay; a UTF-8 subject says so.
    const std::string Head = "TO: Bug Desk <bugs@crashtest.example>\r\n"
                             "FROM: Pyx Tester <tester@crashtest.example>\r\n"
                             "SUBJECT: =?UTF-8?Q?Bug=20Report=20f=C3=BCr=20Pyx?=\r\n"
                             "MIME-Version: 1.0\r\n"
                             "Content-Type: text/plain; charset=UTF-8\r\n"
                             "Content-Transfer-Encoding: quoted-printable\r\n"
                             "\r\n";
    EXPECT_EQ(Peers.File("auth-1.eml").substr(0, Head.size()), Head);
    // The transport ends the data with a line break.
    EXPECT_EQ(Peers.File("auth-1.body"), CrashReport + "\r\n");
    // The file did not go with the mail, so it stays.
    EXPECT_TRUE(std::filesystem::exists(ReportFile));

    // A wrong password is refused, and so is the send.
    Settings.SmtpPassword = "wrong";
    EXPECT_EQ(SendBugReport(CrashReport, &Owner, false, Settings, System), MailFailed);
    const std::vector<std::string> Refused = Lines(Peers.File("auth-2.log"));
    EXPECT_EQ(Refused.back(), "C: QUIT");
    EXPECT_EQ(std::count(Refused.begin(), Refused.end(), "C: DATA"), 0);
    ASSERT_EQ(Owner.Messages.size(), 2u);
    EXPECT_EQ(Owner.Messages[1].Text, "Sorry, sending the mail didn't work.");
    EXPECT_EQ(Owner.Messages[1].Icon, TActionOwner::TMessageIcon::Error);
}

TEST_F(MailJourneyTest, RepliesTornIntoPacketsAndMultiLineRepliesAreReadWhole) {
    // 54 bytes of report make a 58-byte file: one full base64 line and one of four characters. A lone LF in the body
    // becomes CR LF, and the dot behind it is doubled all the same.
    std::string Report = "date/time: torn replies\r\nfirst\n.second\r\n";
    Report += std::string(54 - Report.size(), 'x');
    ASSERT_TRUE(SaveBugReport(Report, true, Settings));
    Settings.MailViaDirectSmtp = false;
    Settings.MailViaSmtpServer = true;
    Settings.SmtpPort = Peers.SmtpPorts.at("split");
    Settings.SmtpAccount = "reporter";
    Settings.SmtpPassword = "s3cret";

    EXPECT_EQ(SendBugReport(Report, &Owner, false, Settings, System), MailSent);
    const std::vector<std::string> Log = Lines(Peers.File("split-1.log"));
    ASSERT_GE(Log.size(), 4u);
    EXPECT_EQ(Log[1], "C: AUTH LOGIN"); // found in the second AUTH line of a reply that came in pieces
    EXPECT_EQ(Log.back(), "C: QUIT");
    const std::string Mail = Peers.File("split-1.eml");
    std::string Normalised = Report;
    Normalised.replace(Normalised.find("first\n"), 6, "first\r\n");
    EXPECT_EQ(Peers.File("split-1.body"), Normalised);
    EXPECT_EQ(Peers.File("split-1.attachment"), Report + "\r\n\r\n");
    const std::size_t Part = Mail.find("filename=\"bugreport-mail.txt\"\r\n\r\n");
    ASSERT_NE(Part, std::string::npos);
    const std::vector<std::string> Base64 = Lines(Mail.substr(Part + 33));
    ASSERT_EQ(Base64.size(), 3u);
    EXPECT_EQ(Base64[0].size(), 77u); // 76 characters and the CR
    EXPECT_EQ(Base64[1], "Cg==\r");   // the last byte, the LF of the separator
    EXPECT_EQ(Base64[2], "--CrashReport SMTP Boundary--\r");
}

TEST_F(MailJourneyTest, AServerWithoutLoginRefusesCredentialsAndOneWithoutEhloIsGreetedWithHelo) {
    Settings.MailViaDirectSmtp = false;
    Settings.MailViaSmtpServer = true;
    Settings.SmtpPort = Peers.SmtpPorts.at("plain");
    Settings.SmtpAccount = "reporter";
    EXPECT_EQ(SendBugReport(CrashReport, nullptr, true, Settings, System), MailFailed);
    EXPECT_EQ(Lines(Peers.File("plain-1.log")), (std::vector<std::string>{"C: EHLO " + HostName(), "C: QUIT"}));

    Settings.SmtpPort = Peers.SmtpPorts.at("helo");
    EXPECT_EQ(SendBugReport(CrashReport, nullptr, true, Settings, System), MailFailed);
    EXPECT_EQ(Lines(Peers.File("helo-1.log")),
              (std::vector<std::string>{"C: EHLO " + HostName(), "C: HELO " + HostName(), "C: QUIT"}));

    Settings.SmtpAccount = "";
    EXPECT_EQ(SendBugReport(CrashReport, nullptr, true, Settings, System), MailSent);
    const std::vector<std::string> Log = Lines(Peers.File("helo-2.log"));
    ASSERT_EQ(Log.size(), 7u);
    EXPECT_EQ(Log[1], "C: HELO " + HostName());
    EXPECT_EQ(Log[2], "C: MAIL FROM:<bugs@crashtest.example>");
    EXPECT_EQ(Peers.File("helo-2.eml").substr(0, 4), "TO: ");
}

TEST_F(MailJourneyTest, FailedWaysFallThroughToTheMailClientWhichLeavesTheFile) {
    ASSERT_TRUE(SaveBugReport(CrashReport, true, Settings));
    Settings.MailAddress = "bugs@nomx.example"; // no mail exchanger
    Settings.MailViaSmtpServer = true;
    Settings.SmtpPort = Peers.SmtpPorts.at("refuse");
    Settings.MailViaMapi = true;
    Settings.MailViaMailto = true;
    InstallSendmail(75); // a mailer that cannot take mail now
    InstallOpener(0);

    EXPECT_EQ(SendBugReport(CrashReport, &Owner, false, Settings, System), MailSent);
    EXPECT_TRUE(std::filesystem::exists(ReportFile)); // the mail client got no file
    EXPECT_TRUE(Owner.Messages.empty());
    EXPECT_EQ(Owner.Dropped, 1);

    const std::vector<std::string> Questions = Lines(Peers.File("dns.log"));
    EXPECT_NE(std::find(Questions.begin(), Questions.end(), "127.0.0.3 nomx.example 15 it"), Questions.end());
    EXPECT_EQ(Lines(Peers.File("refuse-1.log")),
              (std::vector<std::string>{"C: EHLO " + HostName(), "C: MAIL FROM:<bugs@nomx.example>",
                                        "C: RCPT TO:<bugs@nomx.example>", "C: QUIT"}));
    // The local mailer got the recipient and the whole message, attachment included, with its own line ends.
    EXPECT_EQ(ReadWholeFile(Folder / "sendmail.args"), "-i\n--\nbugs@nomx.example\n");
    const std::string Input = ReadWholeFile(Folder / "sendmail.input");
    const std::string Head = "TO: <bugs@nomx.example>\n"
                             "FROM: KroExcept <bugs@nomx.example>\n"
                             "SUBJECT: =?ISO-8859-1?Q?Pyx=20";
    EXPECT_EQ(Input.substr(0, Head.size()), Head);
    EXPECT_NE(Input.find("\n.\n..two dots\n.leading dot\n"), std::string::npos);
    EXPECT_NE(Input.find("Content-Disposition: attachment; filename=\"bugreport-mail.txt\"\n"), std::string::npos);
    EXPECT_EQ(Input.find('\r'), std::string::npos);
    // The mail client got everything outside the unreserved characters escaped.
    EXPECT_EQ(ReadWholeFile(Folder / "opener.url"),
              "mailto:bugs@nomx.example?subject=Pyx%20Bug%20Report%3A%20crash%20%26%20burn&body="
              "date%2Ftime%20%20%20%20%20%20%20%20%20%20%3A%202024-05-06%2C%2012%3A00%3A00%0D%0A"
              "exception%20message%20%20%3A%20Access%20violation%20%26%20more%3B%20a%3Db%09c%2C%20f%C3%BCr%20100%25"
              "%0D%0A.%0D%0A..two%20dots%0D%0A.leading%20dot%0D%0Alast%20line%20without%20end");
}

TEST_F(MailJourneyTest, TheLocalMailerCarriesTheFileAwayWithoutAMessage) {
    ASSERT_TRUE(SaveBugReport(CrashReport, true, Settings));
    Settings.MailViaDirectSmtp = false;
    Settings.MailViaMapi = true;
    Settings.MailViaMailto = true;
    InstallSendmail(0);
    InstallOpener(0);
    EXPECT_EQ(SendBugReport(CrashReport, &Owner, false, Settings, System), MailSent);
    EXPECT_FALSE(std::filesystem::exists(ReportFile));
    EXPECT_TRUE(Owner.Messages.empty());
    EXPECT_FALSE(std::filesystem::exists(Folder / "opener.url"));
    EXPECT_NE(ReadWholeFile(Folder / "sendmail.input").find("--CrashReport SMTP Boundary--\n"), std::string::npos);
}

TEST_F(MailJourneyTest, AMailWithNeitherSubjectNorBodyIsNotSentAndTheFileStays) {
    ASSERT_TRUE(SaveBugReport(CrashReport, true, Settings));
    Settings.MailSubject = "";
    Settings.MailViaSmtpServer = true;
    Settings.MailViaMapi = true;
    Settings.MailViaMailto = true;
    InstallSendmail(0);
    InstallOpener(0);
    EXPECT_EQ(SendBugReport("", &Owner, false, Settings, System), MailFailed);
    EXPECT_TRUE(std::filesystem::exists(ReportFile));
    EXPECT_TRUE(Peers.Received().empty()); // no server was even greeted
    EXPECT_FALSE(std::filesystem::exists(Folder / "sendmail.args"));
    EXPECT_FALSE(std::filesystem::exists(Folder / "opener.url"));
    ASSERT_EQ(Owner.Messages.size(), 1u);
    EXPECT_EQ(Owner.Messages[0].Icon, TActionOwner::TMessageIcon::Error);
}

TEST_F(MailJourneyTest, ASilentSendNeverStartsTheMailClientNorShowsAMessage) {
    Settings.MailAddress = "bugs@nomx.example";
    Settings.MailViaMailto = true;
    InstallOpener(0);
    EXPECT_EQ(SendBugReport(CrashReport, &Owner, true, Settings, System), MailFailed);
    EXPECT_FALSE(std::filesystem::exists(Folder / "opener.url"));
    EXPECT_TRUE(Owner.Messages.empty());
    EXPECT_EQ(Owner.Dropped, 0);

    // Without a recipient and sender the SMTP ways are skipped and the sender stays empty.
    Settings.MailAddress = "";
    EXPECT_EQ(MailSender(Settings), "");
    EXPECT_EQ(SendBugReport(CrashReport, &Owner, true, Settings, System), MailFailed);
    EXPECT_TRUE(Peers.Received().empty());
}

TEST_F(MailJourneyTest, AServerThatNeverAnswersOrNeverStopsIsGivenUp) {
    Settings.MailViaDirectSmtp = false;
    Settings.MailViaSmtpServer = true;
    for (const char* Mode : {"mute", "flood"}) {
        Settings.SmtpPort = Peers.SmtpPorts.at(Mode);
        const auto Start = std::chrono::steady_clock::now();
        EXPECT_EQ(SendBugReport(CrashReport, nullptr, true, Settings, System), MailFailed) << Mode;
        // Within the reply time of 7 seconds, with room for a loaded machine.
        EXPECT_LT(std::chrono::steady_clock::now() - Start, std::chrono::seconds(20)) << Mode;
    }
}

TEST(MailTextTest, QuotedPrintableTextIsReadBackByPythonsDecoder) {
    // Every byte value, blanks before line ends and at the end, a "=", lines far longer than a mail line, and each
    // kind of line break.
    std::string Text;
    for (int Byte = 0; Byte < 256; ++Byte)
        if (Byte != '\r' && Byte != '\n')
            Text += static_cast<char>(Byte);
    Text += " \t \r\n" + std::string(200, 'x') + "=\r" + std::string(150, '\xc3') + "\n" + std::string(80, ' ') +
            "\r\n\r\nend \t";
    const std::string Encoded = QuotedPrintable(Text);
    for (const std::string& Line : Lines(Encoded)) {
        EXPECT_LE(Line.size(), 77u) << Line; // and the CR of its line break
        EXPECT_TRUE(std::all_of(Line.begin(), Line.end(), [](char C) { return C > 0 && C < 127; })) << Line;
    }
    const std::filesystem::path File =
        std::filesystem::temp_directory_path() / ("kroexcept-qp-" + std::to_string(getpid()) + ".txt");
    WriteWholeFile(File, Encoded);
    const std::string Decoded =
        kt::CommandOutput("python3 -c 'import quopri,sys; "
                          "sys.stdout.buffer.write(quopri.decodestring(open(sys.argv[1], \"rb\").read()))' " +
                          File.string());
    std::filesystem::remove(File);
    // Every line break comes back as CR LF, the rest byte for byte.
    std::string Expected;
    for (std::size_t At = 0; At < Text.size(); ++At)
        if (Text[At] == '\r' || Text[At] == '\n') {
            Expected += "\r\n";
            At += Text[At] == '\r' && At + 1 < Text.size() && Text[At + 1] == '\n' ? 1 : 0;
        } else
            Expected += Text[At];
    EXPECT_EQ(Decoded, Expected);
}
