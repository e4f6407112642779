#pragma once

#include "KroShortText.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

// The crash reporter's settings: every decision it makes at run time is read from one record built into the program.
// Nothing comes from a file, the environment or the command line.
//
// `ExceptSettings` is the process's record; the reporter reads its fields directly. Its values are those of
// `BuiltInSettings` below (the one table), unless the program's build target asked for others with the CMake function
// `kroexcept_settings(TARGET FIELD VALUE ...)`, which generates that target's record from the table. Tests build
// records of their own by copying `BuiltInSettings` and changing fields.
//
// Written at run time: `FocusedButton` (by the exception box), `DisAsmCallback` (by the disassembler's link module),
// `SmtpPassword` (deciphered once at start-up) and the address fields (converted once at start-up). Every other field
// is constant.
//
// Texts are the system's bytes (UTF-8). In `BoxTitle`, `BugReportFile` and the box texts "%appname%" stands for the
// program's file name and "%exceptMsg%" for the exception's message.

// Writes the report's disassembly section: the function that starts at FunctionAddress, with the line of
// ExceptAddress marked, cut to ContextLines lines before and after it (0: the whole function), with labels for every
// branch target when FullLabels is set. An empty text leaves the section out. Called on the exception thread with the
// other threads paused: it must not wait for any lock they may hold.
using TDisAsmCallback = std::string (*)(std::uintptr_t FunctionAddress, std::uintptr_t ExceptAddress,
                                        std::int32_t ContextLines, bool FullLabels);

// The action codes of the exception box's buttons, in their order; also the index into `ButtonCaptions`.
enum TExceptAction : std::int32_t {
    eaMailBugReport = 0,
    eaSaveBugReport = 1,
    eaPrintBugReport = 2,
    eaShowBugReport = 3,
    eaContinueApplication = 4,
    eaRestartApplication = 5,
    eaCloseApplication = 6,
};

struct TExceptSettings {
    // Heads the record so that a build step can find it in a binary; the reporter never reads it.
    std::array<std::uint8_t, 16> Marker;
    bool ShowExceptBox;       // show the exception box for a reported exception
    bool PauseThreads;        // pause every other thread while an exception is handled
    bool AutoSave;            // save the report to the report file without asking
    bool AutoMail;            // mail the report without asking
    bool AutoClipboard;       // copy the report to the clipboard when a box carrying it opens and when it is shown
    bool AutoContinue;        // make "continue" the default, counting-down button when the application can continue
    std::int32_t AutoRestart; // restart by itself: 0 never, 1 always, N > 1 when the last ten exceptions fell within
                              // N seconds
    std::int32_t AutoClose;   // close by itself, by the same rule
    std::int32_t AutoButtonDelay; // seconds the default button counts down before it presses itself; 0: no countdown
    std::string_view MailFrom;    // sender of mailed reports; empty: "KroExcept" with the recipient's address
    TShortText<75> MailAddress;   // recipient of mailed reports
    TShortText<51> MailSubject;
    bool AttachBugReport;   // attach the report file (when it exists) to the mail
    bool DeleteAttachment;  // delete the attached report file after a successful send
    bool MailViaDirectSmtp; // way 1: SMTP straight to the recipient's mail exchanger
    bool MailViaSmtpServer; // way 2: SMTP through SmtpServer
    bool MailViaMapi;       // way 3: the local sendmail
    bool MailViaMailto;     // way 4: the registered "mailto" handler
    TShortText<51> SmtpServer;
    std::int32_t SmtpPort;
    TShortText<51> SmtpAccount;                   // account name for SMTP authentication
    TShortText<75> SmtpPassword;                  // stored enciphered; deciphered in place at start-up when not empty
    TShortText<203> SendOkText;                   // message after a successful interactive send
    TShortText<203> SendFailText;                 // message after a failed interactive send
    TShortText<255> BugReportFile;                // report file; relative to the program's folder unless absolute
    std::int32_t BugReportFileMaxSize;            // size cap of the report file in bytes; 0: each save overwrites
    TShortText<103> BoxTitle;                     // caption of the exception box
    TShortText<203> ErrorText;                    // box text for an exception
    TShortText<103> FrozenText;                   // box text and report message for a frozen application
    std::array<TShortText<31>, 7> ButtonCaptions; // by TExceptAction; an empty caption: no such button
    std::int32_t FocusedButton;                   // action code of the box's default button; kept from box to box
    bool ShowReportAtOnce;                        // open the box with the report visible (and no "show" button)
    bool ListAllThreads;                          // trace every thread, not only the failing and the main thread
    bool ListModules;                             // append the "modules:" section
    bool TraceFlagA; // stack tracer: hide entries without line numbers once an entry with a line number is listed
    bool TraceFlagB; // stack tracer: show each entry as its function start, "+" and the offset
    bool DisAsmFlag; // handed to DisAsmCallback as FullLabels
    std::int32_t DisAsmCount;     // handed to DisAsmCallback as ContextLines
    bool ShowCommandLine;         // write the "command line" line when the program got arguments
    bool AnimatedButtons;         // animate the box's buttons (and run the countdown)
    bool ConsoleOutput;           // in a program without a display, write the texts to standard output instead of a box
    std::string_view SkipClasses; // comma-separated exception class names that get an empty report
    TDisAsmCallback DisAsmCallback; // null until the disassembler's link module installs itself
    bool Enabled;                   // crash reporting on: exception thread, call queue and thread-creation hook
    std::int32_t FreezeTimeout;     // milliseconds without answer from the main thread before it counts as frozen;
                                    // 0: no watchdog
    // An offset from the program's load address (absolute after start-up; 0: not set) of a pointer to a
    // zero-terminated version text for the report's "version" line; 0: the file version is shown.
    std::uintptr_t VersionVariable;
    bool InstallHooks; // hook the runtime's exception paths (together with Enabled)
    // Offsets of runtime routines to patch, converted like VersionVariable. The reporter hooks through signals and
    // interposition and patches no code, so every entry stays 0 (not present, nothing patched).
    std::array<std::uintptr_t, 15> HookAddresses;
    // Where the mail transports find their peers (tests point them at servers of their own on loopback). The direct
    // SMTP way looks up the recipient's mail exchanger starting at DnsRootServers (IPv4 addresses separated by commas;
    // any other entry is skipped), asks every name server on DnsPort, and delivers on DirectSmtpPort.
    std::string_view DnsRootServers;
    std::int32_t DnsPort;
    std::int32_t DirectSmtpPort;

    bool operator==(const TExceptSettings&) const noexcept = default;
};

// The recipient of mailed reports, fixed when the program is built (the CMake cache variable KROEXCEPT_MAIL_ADDRESS).
#ifndef KROEXCEPT_MAIL_ADDRESS
#define KROEXCEPT_MAIL_ADDRESS "bugreport@pyxpregame.example"
#endif

// The one table: the values this program carries.
inline constexpr TExceptSettings BuiltInSettings = {
    .Marker = {0x63, 0x27, 0xbb, 0x00, 0x77, 0x6a, 0xd0, 0x11, 0xa5, 0x35, 0x00, 0xc0, 0x4f, 0xd7, 0xd0, 0x62},
    .ShowExceptBox = true,
    .PauseThreads = true,
    .AutoSave = false,
    .AutoMail = false,
    .AutoClipboard = true,
    .AutoContinue = false,
    .AutoRestart = 0,
    .AutoClose = 0,
    .AutoButtonDelay = 60,
    .MailFrom = "",
    .MailAddress = KROEXCEPT_MAIL_ADDRESS,
    .MailSubject = "Pyx Pregame Editor 0.10 Alpha 4 Bug Report",
    .AttachBugReport = true,
    .DeleteAttachment = true,
    .MailViaDirectSmtp = true,
    .MailViaSmtpServer = false,
    .MailViaMapi = true,
    .MailViaMailto = true,
    .SmtpServer = "",
    .SmtpPort = 25,
    .SmtpAccount = "",
    .SmtpPassword = "",
    .SendOkText = "The mail was sent successfully.",
    .SendFailText = "Sorry, sending the mail didn't work.",
    .BugReportFile = "bugreport.txt",
    .BugReportFileMaxSize = 50000,
    .BoxTitle = "%appname%",
    .ErrorText = "An error occurred in the application. Please mail the bug report.",
    .FrozenText = "The application seems to be frozen.",
    .ButtonCaptions = {"mail bug report", "", "", "show bug report", "continue application", "restart application",
                       "close application"},
    .FocusedButton = eaMailBugReport,
    .ShowReportAtOnce = false,
    .ListAllThreads = true,
    .ListModules = true,
    .TraceFlagA = false,
    .TraceFlagB = false,
    .DisAsmFlag = false,
    .DisAsmCount = 5,
    .ShowCommandLine = true,
    .AnimatedButtons = true,
    .ConsoleOutput = true,
    .SkipClasses = "",
    .DisAsmCallback = nullptr,
    .Enabled = true,
    .FreezeTimeout = 0,
    .VersionVariable = 0,
    .InstallHooks = true,
    .HookAddresses = {},
    .DnsRootServers = "198.41.0.4,193.0.14.129", // a.root-servers.net and k.root-servers.net
    .DnsPort = 53,
    .DirectSmtpPort = 25,
};

// The process's record (see above).
extern TExceptSettings ExceptSettings;

// Start-up: adds LoadAddress to VersionVariable always, and to every HookAddresses entry when Enabled and
// InstallHooks are both set; entries that are 0 stay 0.
void ConvertSettingsAddresses(TExceptSettings& Settings, std::uintptr_t LoadAddress) noexcept;

// Start-up: deciphers a non-empty SmtpPassword in place, first under SmtpServer with SmtpPasswordIv1, then under
// SmtpAccount with SmtpPasswordIv2 (counter mode, padding removed after each), and keeps at most 75 bytes. A build
// step that stores a password enciphers it the other way round with the same initial values.
inline constexpr std::uint32_t SmtpPasswordIv1 = 0x6b726f31;
inline constexpr std::uint32_t SmtpPasswordIv2 = 0x6b726f32;
void DecipherSmtpPassword(TExceptSettings& Settings);
