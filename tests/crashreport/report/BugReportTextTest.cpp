#include "KroBugReport.h"
#include "KroFaultCodes.h"
#include "KroReportHeader.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <string>
#include <unistd.h>

namespace {

TEST(BugReportTextTest, AMessageKeepsAtMostOneTrailingStopAndGetsOneMore) {
    EXPECT_EQ(ReportMessageText("Error"), "Error.");
    EXPECT_EQ(ReportMessageText("Error."), "Error..");
    EXPECT_EQ(ReportMessageText("Error!!!"), "Error!.");
    EXPECT_EQ(ReportMessageText("Error.!."), "Error..");
    EXPECT_EQ(ReportMessageText(std::string("Error\0\0", 7)), std::string("Error\0.", 7));
    EXPECT_EQ(ReportMessageText("..."), "..");
}

TEST(BugReportTextTest, UpTimeShowsTheTwoLargestPartsWithTheirUnits) {
    EXPECT_EQ(UpTimeText(3 * 86400 + 3600 + 59), "3 days 1 hour ");
    EXPECT_EQ(UpTimeText(86400), "1 day ");
    EXPECT_EQ(UpTimeText(2 * 3600 + 5 * 60 + 7), "2 hours 5 minutes ");
    EXPECT_EQ(UpTimeText(3600 + 1), "1 hour ");
    EXPECT_EQ(UpTimeText(61), "1 minute 1 second ");
    EXPECT_EQ(UpTimeText(5), "5 seconds ");
    EXPECT_EQ(UpTimeText(0), "");
}

TEST(BugReportTextTest, TimesAreWrittenAsYearMonthDayHourMinuteInLocalTime) {
    constexpr std::int64_t March15At0905 = 1079341500; // 2004-03-15 09:05 UTC
    EXPECT_EQ(FormatReportTime(March15At0905, 0), "2004-03-15 09:05");
    EXPECT_EQ(FormatReportTime(March15At0905, 2 * 3600), "2004-03-15 11:05");
    EXPECT_EQ(FormatReportTime(March15At0905, -10 * 3600), "2004-03-14 23:05");
    EXPECT_EQ(FormatReportTime(951782400, 0), "2000-02-29 00:00");
    EXPECT_EQ(FormatReportTime(-1, 0), "1969-12-31 23:59");
}

TEST(BugReportTextTest, TheHeaderHasItsLabelsInOrderEachLineEndingInCrLf) {
    TReportHeaderFacts Facts;
    Facts.ComputerName = "box";
    Facts.UserName = "pat";
    Facts.OperatingSystem = "Linux build 1";
    Facts.SystemLanguage = "English";
    Facts.ProgramPath = "/opt/pyx/pyxpregame";
    Facts.ProgramName = "pyxpregame";
    Facts.ModulePath = "/opt/pyx/pyxpregame";
    Facts.CommandLine = "pyxpregame -x";
    Facts.ModuleDateTime = "2004-03-15 09:05";
    Facts.Version = "0.10.4.0";
    Facts.SystemMount = "/";
    Facts.ProgramMount = "/";
    const std::string Header = ComposeBugReportHeader(Facts, 1079341500);
    const char* Labels[] = {"date/time         : 2004-03-15 09:05\r\n",
                            "computer name     : box\r\n",
                            "user name         : pat\r\n",
                            "operating system  : Linux build 1\r\n",
                            "system language   : English\r\n",
                            "system up time    : ",
                            "physical memory   : ",
                            "free disk space   : (/) ",
                            "process id        : $",
                            "command line      : pyxpregame -x\r\n",
                            "executable        : pyxpregame\r\n",
                            "exec. date/time   : 2004-03-15 09:05\r\n",
                            "version           : 0.10.4.0\r\n",
                            "KroExcept version : 2.6a\r\n"};
    std::size_t At = 0;
    for (const char* Label : Labels) {
        const std::size_t Found = Header.find(Label, At);
        ASSERT_NE(Found, std::string::npos) << Label << " missing or out of order in\n" << Header;
        At = Found;
    }
    EXPECT_EQ(Header.find("current module"), std::string::npos);
    EXPECT_EQ(Header.substr(Header.size() - 2), "\r\n");
    for (std::size_t I = 0; I < Header.size(); ++I) {
        if (Header[I] == '\n') {
            ASSERT_EQ(Header[I - 1], '\r');
        }
    }

    // A module other than the program is named, with its own date label; another file system's space follows.
    Facts.ModulePath = "/opt/pyx/libpyx.so";
    Facts.ProgramMount = "/opt";
    Facts.SystemLanguage.clear();
    const std::string Library = ComposeBugReportHeader(Facts, 1079341500);
    EXPECT_NE(Library.find("current module    : /opt/pyx/libpyx.so\r\nmodule date/time  : "), std::string::npos);
    EXPECT_EQ(Library.find("system language"), std::string::npos);
    EXPECT_EQ(Library.find("exec. date/time"), std::string::npos);
}

TEST(BugReportTextTest, FaultsGetTheCodesAndTextsOfTheirKind) {
    TFaultRecord Fault;
    Fault.Signal = SIGSEGV;
    EXPECT_EQ(FaultExceptionCode(Fault), ExceptionAccessViolation);
    Fault.StackOverflow = true;
    EXPECT_EQ(FaultExceptionCode(Fault), ExceptionStackOverflow);
    EXPECT_EQ(ExceptionCodeText(ExceptionStackOverflow, Fault, "x"), "Stack overflow");
    Fault = {};
    Fault.Signal = SIGFPE;
    Fault.SignalCode = FPE_INTDIV;
    EXPECT_EQ(ExceptionCodeText(FaultExceptionCode(Fault), Fault, ""), "Division by zero");
    Fault.SignalCode = FPE_FLTOVF;
    EXPECT_EQ(ExceptionCodeText(FaultExceptionCode(Fault), Fault, ""), "Floating point overflow");
    Fault.SignalCode = FPE_FLTINV;
    EXPECT_EQ(ExceptionCodeText(FaultExceptionCode(Fault), Fault, ""), "Invalid floating point operation");
    Fault.Signal = SIGILL;
    Fault.SignalCode = ILL_PRVOPC;
    EXPECT_EQ(ExceptionCodeText(FaultExceptionCode(Fault), Fault, ""), "Privileged instruction");
    // Kinds without a text of their own are named as Linux names the signal.
    Fault.SignalCode = ILL_ILLOPN;
    EXPECT_EQ(ExceptionCodeText(FaultExceptionCode(Fault), Fault, ""), "Illegal instruction (SIGILL)");
    Fault.Signal = SIGTRAP;
    Fault.SignalCode = TRAP_BRKPT;
    EXPECT_EQ(FaultText(Fault, ""), "Trace/breakpoint trap (SIGTRAP)");
    // A code no signal gives keeps the general text.
    EXPECT_EQ(ExceptionCodeText(0xE0000001, Fault, ""), "External exception E0000001");
}

TEST(BugReportTextTest, ASentSignalNamesItsSenderAndNoFault) {
    TFaultRecord Fault;
    Fault.Signal = SIGSEGV;
    Fault.SignalCode = SI_USER;
    Fault.Address = 0x55d0a1b2c3d4;
    Fault.DataAddress = 0x3e800001234; // what si_addr holds for a sent signal: the sender, not an address
    Fault.Sender = getpid() + 1;
    std::strcpy(Fault.SenderCommand, "bash");
    EXPECT_EQ(FaultOrigin(Fault), TSignalOrigin::OtherProcess);
    EXPECT_EQ(FaultText(Fault, "pyxpregame"),
              "Signal SIGSEGV (Segmentation fault) sent by process " + std::to_string(getpid() + 1) + " (bash)");
    Fault.SenderCommand[0] = '\0';
    Fault.Signal = SIGBUS;
    Fault.SignalCode = SI_QUEUE;
    EXPECT_EQ(FaultText(Fault, ""), "Signal SIGBUS (Bus error) sent by process " + std::to_string(getpid() + 1));
    // raise() and abort() send to their own thread: the program's own signal.
    Fault.Signal = SIGABRT;
    Fault.SignalCode = SI_TKILL;
    Fault.Sender = getpid();
    EXPECT_EQ(FaultOrigin(Fault), TSignalOrigin::Program);
    EXPECT_EQ(FaultText(Fault, ""), "Signal SIGABRT (Aborted) raised by the program itself");
    // The kernel's own signals (a general protection fault is SI_KERNEL) are faults.
    Fault.Signal = SIGSEGV;
    Fault.SignalCode = SI_KERNEL;
    Fault.Sender = 0;
    EXPECT_EQ(FaultOrigin(Fault), TSignalOrigin::Fault);
    EXPECT_EQ(SignalName(SIGRTMIN + 2), "SIGRTMIN+2");
    EXPECT_EQ(SignalName(200), "signal 200");
}

TEST(BugReportTextTest, AnAccessViolationNamesAddressModuleKindAndTarget) {
    TFaultRecord Fault;
    Fault.Signal = SIGSEGV;
    Fault.Address = 0x55d0a1b2c3d4;
    Fault.DataAddress = 0x10;
    Fault.Write = true;
    EXPECT_EQ(ExceptionCodeText(ExceptionAccessViolation, Fault, "pyxpregame"),
              "Access violation at address $55D0A1B2C3D4 in module 'pyxpregame'. Write of address $10");
    Fault.Write = false;
    Fault.DataAddress = 0;
    EXPECT_EQ(ExceptionCodeText(ExceptionAccessViolation, Fault, "libc.so.6"),
              "Access violation at address $55D0A1B2C3D4 in module 'libc.so.6'. Read of address $0");
    // Code outside every module (a call through a wild pointer) has no module to name.
    EXPECT_EQ(ExceptionCodeText(ExceptionAccessViolation, Fault, ""), "Access Violation");
}

} // namespace
