// exceptbox_demo: shows the crash reporter's exception box with a generated report, so that tests (and people) can
// drive it. Every action the box fires is written to standard output as "action N", the box's result as "result N".
//
//   exceptbox_demo [--lines N] [--bytes N] [--message TEXT] [--error-text TEXT] [--focused-button N] [--frozen]
//   [--frozen-answer-ms N]
//   [--cant-continue]
//                  [--auto-continue SECONDS] [--report-at-once] [--all-buttons] [--no-close] [--no-animation]
//                  [--no-clipboard] [--hostile] [--count-dlopen]
//   exceptbox_demo --copy TEXT --hold-ms N       the clipboard writer alone, then waits
//   exceptbox_demo --progress --hold-ms N        the stack tracer's progress popup, held at 50 %
#include "KroClipboard.h"
#include "KroConsoleOutput.h"
#include "KroExceptBox.h"
#include "KroMessageBox.h"
#include "KroProgressBar.h"

#include <X11/Xlib.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <string>
#include <thread>
#include <unistd.h>

namespace {

std::atomic<int> DlopenCalls{0};
std::atomic<bool> CountDlopen{false};
int FrozenAnswerMs = 0;

void Say(const std::string& Line) {
    WriteConsoleText(Line + "\n");
}

std::string GenerateReport(long Lines, long Bytes) {
    std::string Report = "date/time          : 2024-05-17, 14:02:33, 123ms\r\n"
                         "computer name      : testhost\r\n"
                         "exception message  : Access violation at address $4A1F2 in module 'pyxpregame'.\r\n"
                         "city               : Zürich — naïve café ✓\r\n"
                         "\r\n"
                         "main thread ($1f4):\r\n";
    for (long I = 0; I < Lines || static_cast<long>(Report.size()) < Bytes; ++I) {
        char Line[160];
        std::snprintf(
            Line, sizeof Line,
            "%08lx +%03lx pyxpregame  PyxDatabase      %5ld  TPyxDatabase::LoadTable\tframe %ld of the trace\r\n",
            0x401000 + I * 0x37, I % 0x200, 100 + I, I);
        Report += Line;
    }
    Report += "end of report";
    return Report;
}

bool FireActionHandlers(const TExceptBoxRequest&, std::int32_t Action) {
    Say("action " + std::to_string(Action));
    return false;
}

std::int32_t SendBugReport(std::string_view, TKroXWindow* Owner, bool) {
    Say("send");
    ShowKroMessageBox(Owner, "exceptbox_demo", ExceptSettings.SendFailText.View(), TKroMessageIcon::Error);
    Say("send done");
    return 0;
}

void PostFrozenProbe(std::uintptr_t BoxId) {
    if (FrozenAnswerMs <= 0)
        return;
    // Stands for the main thread answering once it lives again.
    std::thread([BoxId] {
        std::this_thread::sleep_for(std::chrono::milliseconds(FrozenAnswerMs));
        CloseExceptionBox(BoxId);
    }).detach();
}

} // namespace

// Counts the libraries the box would load while it shows (none may be: the loader's lock may be held).
extern "C" void* dlopen(const char* File, int Mode) {
    using TDlopen = void* (*)(const char*, int);
    static const auto Next = reinterpret_cast<TDlopen>(dlsym(RTLD_NEXT, "dlopen"));
    if (CountDlopen.load())
        DlopenCalls.fetch_add(1);
    return Next(File, Mode);
}

int main(int Argc, char** Argv) {
    long Lines = 200, Bytes = 0, HoldMs = 0;
    std::string Message = "Access violation at address $4A1F2 in module 'pyxpregame'. Read of address $0";
    std::string CopyText;
    bool Hostile = false, Progress = false, Copy = false;
    TExceptSettings& Settings = ExceptSettings;
    TExceptBoxRequest Request;
    TExceptBoxServices Services;
    Services.FireActionHandlers = FireActionHandlers;
    Services.SendBugReport = SendBugReport;
    Services.PostFrozenProbe = PostFrozenProbe;
    for (int I = 1; I < Argc; ++I) {
        const std::string Arg = Argv[I];
        const auto Next = [&]() -> std::string { return I + 1 < Argc ? Argv[++I] : ""; };
        if (Arg == "--lines")
            Lines = std::atol(Next().c_str());
        else if (Arg == "--bytes")
            Bytes = std::atol(Next().c_str());
        else if (Arg == "--message")
            Message = Next();
        else if (Arg == "--error-text")
            Settings.ErrorText.Assign(Next());
        else if (Arg == "--focused-button")
            Settings.FocusedButton = std::atoi(Next().c_str());
        else if (Arg == "--frozen")
            Request.Frozen = true;
        else if (Arg == "--frozen-answer-ms")
            FrozenAnswerMs = std::atoi(Next().c_str());
        else if (Arg == "--cant-continue")
            Request.CanContinue = false;
        else if (Arg == "--auto-continue") {
            Settings.AutoContinue = true;
            Settings.AutoButtonDelay = std::atoi(Next().c_str());
        } else if (Arg == "--report-at-once")
            Settings.ShowReportAtOnce = true;
        else if (Arg == "--all-buttons") {
            Settings.ButtonCaptions[eaSaveBugReport].Assign("save bug report");
            Settings.ButtonCaptions[eaPrintBugReport].Assign("print bug report");
        } else if (Arg == "--no-close")
            Settings.ButtonCaptions[eaCloseApplication].Assign("");
        else if (Arg == "--no-animation")
            Settings.AnimatedButtons = false;
        else if (Arg == "--no-clipboard")
            Settings.AutoClipboard = false;
        else if (Arg == "--hostile")
            Hostile = true;
        else if (Arg == "--count-dlopen")
            CountDlopen = true;
        else if (Arg == "--copy") {
            Copy = true;
            CopyText = Next();
        } else if (Arg == "--progress")
            Progress = true;
        else if (Arg == "--hold-ms")
            HoldMs = std::atol(Next().c_str());
        else {
            std::fprintf(stderr, "unknown option %s\n", Arg.c_str());
            return 2;
        }
    }
    if (Copy) {
        CopyToClipboard(CopyText);
        Say("copied");
        std::this_thread::sleep_for(std::chrono::milliseconds(HoldMs));
        return 0;
    }
    if (Progress) {
        auto Bar = TProgressBar::Create();
        if (!Bar) {
            Say("no display");
            return 1;
        }
        for (int Position = 0; Position <= 500; Position += 25) {
            Bar->SetPosition(Position);
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        Say("progress 500");
        const auto Until = std::chrono::steady_clock::now() + std::chrono::milliseconds(HoldMs);
        while (std::chrono::steady_clock::now() < Until) {
            Bar->SetPosition(500);
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return 0;
    }

    const std::string Report = GenerateReport(Lines, Bytes);
    Request.Message = Message;
    Request.Report = Report;
    std::int32_t Result = 0;
    const auto ShowBox = [&] {
        DlopenCalls = 0;
        Result = RunExceptionBox(Settings, Request, Services);
    };
    if (Hostile) {
        // The program's own state as a crash may leave it: another thread holds the standard output's lock and its
        // own X connection's lock for ever, and the box runs on a thread of its own meanwhile.
        std::atomic<bool> Held{false};
        std::thread([&Held] {
            flockfile(stdout);
            if (Display* Own = XOpenDisplay(nullptr))
                XLockDisplay(Own);
            Held = true;
            for (;;)
                pause();
        }).detach();
        while (!Held)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        std::thread Worker(ShowBox);
        Worker.join();
    } else {
        ShowBox();
    }
    if (CountDlopen)
        Say("dlopen " + std::to_string(DlopenCalls.load()));
    Say("result " + std::to_string(Result));
    // Leave without running the exit handlers: in the hostile run a thread holds the standard output's lock.
    _exit(0);
}
