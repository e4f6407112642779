#include "KroCrypt.h"
#include "KroExceptSettings.h"

#include <gtest/gtest.h>

#include <algorithm>

TEST(SettingsTest, BuiltInRecordCarriesTheProgramsValues) {
    const TExceptSettings& S = BuiltInSettings;
    // {00BB2763-6A77-11D0-A535-00C04FD7D062} in its binary form.
    EXPECT_EQ(S.Marker, (std::array<std::uint8_t, 16>{0x63, 0x27, 0xbb, 0x00, 0x77, 0x6a, 0xd0, 0x11, 0xa5, 0x35, 0x00,
                                                      0xc0, 0x4f, 0xd7, 0xd0, 0x62}));
    EXPECT_TRUE(S.ShowExceptBox && S.PauseThreads && S.AutoClipboard);
    EXPECT_FALSE(S.AutoSave || S.AutoMail || S.AutoContinue);
    EXPECT_EQ(S.AutoRestart, 0);
    EXPECT_EQ(S.AutoClose, 0);
    EXPECT_EQ(S.AutoButtonDelay, 60);
    EXPECT_EQ(S.MailFrom, "");
    EXPECT_EQ(S.MailAddress.View(), KROEXCEPT_MAIL_ADDRESS);
    EXPECT_NE(S.MailAddress.View().find('@'), std::string_view::npos);
    EXPECT_EQ(S.MailSubject.View(), "Pyx Pregame Editor 0.10 Alpha 4 Bug Report");
    EXPECT_TRUE(S.AttachBugReport && S.DeleteAttachment);
    EXPECT_TRUE(S.MailViaDirectSmtp && S.MailViaMapi && S.MailViaMailto);
    EXPECT_FALSE(S.MailViaSmtpServer);
    EXPECT_TRUE(S.SmtpServer.Empty() && S.SmtpAccount.Empty() && S.SmtpPassword.Empty());
    EXPECT_EQ(S.SmtpPort, 25);
    EXPECT_EQ(S.SendOkText.View(), "The mail was sent successfully.");
    EXPECT_EQ(S.SendFailText.View(), "Sorry, sending the mail didn't work.");
    EXPECT_EQ(S.BugReportFile.View(), "bugreport.txt");
    EXPECT_EQ(S.BugReportFileMaxSize, 50000);
    EXPECT_EQ(S.BoxTitle.View(), "%appname%");
    EXPECT_EQ(S.ErrorText.View(), "An error occurred in the application. Please mail the bug report.");
    EXPECT_EQ(S.FrozenText.View(), "The application seems to be frozen.");
    const char* Captions[] = {
        "mail bug report",  "", "", "show bug report", "continue application", "restart application",
        "close application"};
    for (int Action = eaMailBugReport; Action <= eaCloseApplication; ++Action)
        EXPECT_EQ(S.ButtonCaptions[Action].View(), Captions[Action]);
    // An empty caption means no button: this program's box has mail, show, continue, restart and close.
    EXPECT_EQ(std::count_if(S.ButtonCaptions.begin(), S.ButtonCaptions.end(), [](auto& C) { return !C.Empty(); }), 5);
    EXPECT_EQ(S.FocusedButton, eaMailBugReport);
    EXPECT_FALSE(S.ShowReportAtOnce);
    EXPECT_TRUE(S.ListAllThreads && S.ListModules);
    EXPECT_FALSE(S.TraceFlagA || S.TraceFlagB || S.DisAsmFlag);
    EXPECT_EQ(S.DisAsmCount, 5);
    EXPECT_TRUE(S.ShowCommandLine && S.AnimatedButtons && S.ConsoleOutput);
    EXPECT_EQ(S.SkipClasses, "");
    EXPECT_EQ(S.DisAsmCallback, nullptr);
    EXPECT_TRUE(S.Enabled && S.InstallHooks);
    EXPECT_EQ(S.FreezeTimeout, 0);
    EXPECT_EQ(S.VersionVariable, 0u);
    EXPECT_EQ(S.HookAddresses, (std::array<std::uintptr_t, 15>{}));
    EXPECT_EQ(S.DnsRootServers, "198.41.0.4,193.0.14.129");
    EXPECT_EQ(S.DnsPort, 53);
    EXPECT_EQ(S.DirectSmtpPort, 25);
}

TEST(SettingsTest, ThisProgramsRecordIsGeneratedFromTheTableWithItsOwnRecipient) {
    EXPECT_EQ(ExceptSettings.MailAddress.View(), "kroexcept-tests@localhost");
    EXPECT_EQ(ExceptSettings.MailSubject.View(), "kroexcept tests Bug Report");
    TExceptSettings Expected = BuiltInSettings;
    Expected.MailAddress = "kroexcept-tests@localhost";
    Expected.MailSubject = "kroexcept tests Bug Report";
    EXPECT_TRUE(ExceptSettings == Expected);

    // A record built in a test: short texts assigned at run time are cut to their field.
    TExceptSettings Own = BuiltInSettings;
    Own.AutoClose = 30;
    Own.FrozenText.Assign(std::string(200, 'z'));
    EXPECT_EQ(Own.FrozenText.View(), std::string(103, 'z'));
    EXPECT_FALSE(Own == BuiltInSettings);
}

TEST(SettingsTest, StartUpConvertsAddressesAndDeciphersOnlyAStoredPassword) {
    TExceptSettings S = BuiltInSettings;
    S.VersionVariable = 0x40;
    S.HookAddresses[0] = 0x100;
    ConvertSettingsAddresses(S, 0x7f0000000000);
    EXPECT_EQ(S.VersionVariable, 0x7f0000000040u);
    EXPECT_EQ(S.HookAddresses[0], 0x7f0000000100u);
    EXPECT_EQ(S.HookAddresses[1], 0u);

    S = BuiltInSettings;
    S.VersionVariable = 0x40;
    S.HookAddresses[0] = 0x100;
    S.InstallHooks = false;
    ConvertSettingsAddresses(S, 0x1000);
    EXPECT_EQ(S.VersionVariable, 0x1040u);
    EXPECT_EQ(S.HookAddresses[0], 0x100u);

    S = BuiltInSettings;
    S.SmtpServer = "mail.example.org";
    DecipherSmtpPassword(S);
    EXPECT_TRUE(S.SmtpPassword.Empty());

    // Stored the other way round: padded and enciphered under the account, then padded and enciphered under the
    // server. Counter mode enciphers and deciphers alike.
    const auto PadAndCipher = [](std::string Text, std::string_view Password, std::uint32_t Iv) {
        const std::size_t Pad = 8 - Text.size() % 8;
        Text.append(Pad, static_cast<char>(Pad));
        BlowfishCipherBuffer(Text.data(), Text.size(), true, false, Iv, 0, Password);
        return Text;
    };
    S.SmtpServer = "mail.example.org";
    S.SmtpAccount = "reporter";
    const std::string Stored =
        PadAndCipher(PadAndCipher("s3cret password", "reporter", SmtpPasswordIv2), "mail.example.org", SmtpPasswordIv1);
    ASSERT_LE(Stored.size(), 75u);
    S.SmtpPassword.Assign(Stored);
    DecipherSmtpPassword(S);
    EXPECT_EQ(S.SmtpPassword.View(), "s3cret password");
}
