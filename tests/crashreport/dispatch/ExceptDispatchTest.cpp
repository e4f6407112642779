#include "KroExceptHandlers.h"
#include "KroExceptHistory.h"
#include "KroExceptSettings.h"
#include "KroExceptThread.h"
#include "KroHandlerWindows.h"
#include "KroReportException.h"
#include "KroRestartHandOver.h"
#include "KroThreadContext.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <string>
#include <thread>
#include <unistd.h>

// Exception classes as a program of the runtime that ends operations silently has them.
class EAbort : public std::exception {};
class EQuietAbort : public EAbort {};
class ESkipped : public std::runtime_error {
public:
    ESkipped() : std::runtime_error("skipped") {}
};

namespace {

// What the exception handler saw, and in which thread.
struct TSeen {
    int Calls = 0;
    std::string Report;
    pid_t Thread = 0;
    bool ServedByReporter = false;
};
TSeen Seen;
THandlerWindow ReporterWindow = 0;
std::uint32_t ReporterMessage = 0;

void RecordingHandler(bool, const TExceptObject&, std::uintptr_t, std::string& Report, bool&, bool& Handled) {
    ++Seen.Calls;
    Seen.Report = Report;
    Seen.Thread = CurrentThreadId();
    if (ReporterWindow != 0) {
        // The reporting thread waits for its report: a call to it must still be served.
        std::intptr_t Answer = 0;
        Seen.ServedByReporter =
            SendHandlerMessage(ReporterWindow, ReporterMessage, 0, 0, 5000, false, &Answer) && Answer == 42;
    }
    // Taken over: no automatic action and no box.
    Handled = true;
}

class ExceptDispatchTest : public ::testing::Test {
protected:
    void SetUp() override {
        Saved = ExceptSettings;
        ExceptSettings.ShowExceptBox = false;
        ExceptSettings.AutoSave = false;
        ExceptSettings.AutoMail = false;
        ExceptSettings.PauseThreads = false;
        ExceptSettings.ListAllThreads = false;
        ExceptSettings.AutoRestart = 0;
        ExceptSettings.AutoClose = 0;
        ExceptionHistory().fill(0);
        Seen = TSeen{};
        ExceptHandlerLists().Except.push_back({false, &RecordingHandler});
    }
    void TearDown() override {
        ExceptHandlerLists() = TExceptHandlerLists{};
        ExceptSettings = Saved;
        ExceptionHistory().fill(0);
        ReporterWindow = 0;
    }

    static void Handle(const TExceptObject& Object) {
        TExceptionRequest Request;
        Request.Object = Object;
        Request.ExceptAddr = reinterpret_cast<std::uintptr_t>(&Handle);
        Request.ThreadId = CurrentThreadId();
        HandleExceptionRequest(Request);
    }

    static int HistoryCount() {
        int Count = 0;
        for (const std::int64_t Time : ExceptionHistory())
            Count += Time != 0 ? 1 : 0;
        return Count;
    }

    TExceptSettings Saved{};
};

TEST_F(ExceptDispatchTest, AbortsProduceNothingWhileTheirDescendantsAndSkippedClassesAreHandled) {
    const EAbort Abort;
    Handle(TExceptObject::Of(Abort));
    EXPECT_EQ(Seen.Calls, 0) << "an EAbort reaches no handler";
    EXPECT_EQ(HistoryCount(), 0) << "an EAbort takes no place in the history";

    const EQuietAbort Quiet;
    Handle(TExceptObject::Of(Quiet));
    EXPECT_EQ(Seen.Calls, 1);
    EXPECT_EQ(HistoryCount(), 1);
    EXPECT_NE(Seen.Report.find("exception class   : EQuietAbort\r\n"), std::string::npos) << Seen.Report;

    ExceptSettings.SkipClasses = " ESkipped , EOther ";
    const ESkipped Skipped;
    Handle(TExceptObject::Of(Skipped));
    EXPECT_EQ(Seen.Calls, 2) << "a skipped class still goes through the handlers";
    EXPECT_TRUE(Seen.Report.empty()) << "with an empty report";
    EXPECT_EQ(HistoryCount(), 2);
}

TEST_F(ExceptDispatchTest, TheRulesAreDueAtTheTenthReportWithinTheirSeconds) {
    EXPECT_FALSE(AutoActionDue(0));
    EXPECT_TRUE(AutoActionDue(1));
    for (int I = 0; I < 9; ++I)
        RecordExceptionTime();
    EXPECT_FALSE(AutoActionDue(30)) << "nine reports are not ten";
    RecordExceptionTime();
    EXPECT_TRUE(AutoActionDue(30)) << "the tenth within 30 s";
    // The oldest of the ten lies 31 s back.
    ExceptionHistory()[9] = CurrentTimeSeconds() - 31;
    EXPECT_FALSE(AutoActionDue(30));
    EXPECT_TRUE(AutoActionDue(40));
    // The newest entry comes first and the oldest drops out.
    const std::int64_t Newest = ExceptionHistory()[0];
    RecordExceptionTime();
    EXPECT_GE(ExceptionHistory()[0], Newest);
    EXPECT_EQ(ExceptionHistory()[1], Newest);
    EXPECT_TRUE(AutoActionDue(30)) << "the old entry dropped out";
    // Counted from 1601: now is far beyond 1970's distance from it.
    EXPECT_GT(CurrentTimeSeconds(), 11644473600LL + 1700000000LL);
}

TEST_F(ExceptDispatchTest, TheExceptionThreadMakesTheReportWhileTheReporterServesItsQueue) {
    ASSERT_TRUE(StartExceptionThread(&HandleExceptionRequest));
    pid_t Reporter = 0;
    bool CanContinue = false;
    std::thread Worker([&] {
        Reporter = CurrentThreadId();
        ReporterMessage = RegisterMsgHandler(
            [](THandlerWindow, std::uint32_t, std::uintptr_t, std::intptr_t& Result, std::intptr_t) { Result = 42; },
            0);
        ReporterWindow = GetHandlerWindow();
        const std::runtime_error Error("dispatched");
        CanContinue = ReportException(false, TExceptObject::Of(Error), 0, 0, true);
    });
    Worker.join();
    StopExceptionThread();
    ASSERT_EQ(Seen.Calls, 1);
    EXPECT_NE(Seen.Thread, Reporter) << "the report is made on the exception thread";
    EXPECT_NE(Seen.Thread, CurrentThreadId());
    EXPECT_TRUE(Seen.ServedByReporter) << "the waiting reporter serves calls to its own queue";
    EXPECT_TRUE(CanContinue);
    EXPECT_NE(Seen.Report.find("exception message : dispatched.\r\n"), std::string::npos) << Seen.Report;
    EXPECT_EQ(HistoryCount(), 1);

    // Without the exception thread the report is made in place.
    ReporterWindow = 0;
    const std::runtime_error Error("in place");
    ReportException(false, TExceptObject::Of(Error), 0, 0, true);
    EXPECT_EQ(Seen.Calls, 2);
    EXPECT_EQ(Seen.Thread, CurrentThreadId());
}

TEST(ExceptPipeTest, ARequestIsReadWholeHoweverThePipeSplitsIt) {
    int Pipe[2];
    ASSERT_EQ(pipe(Pipe), 0);
    const char Record[16] = {'r', 'e', 'q', 'u', 'e', 's', 't', ' ', 'i', 'n', ' ', 'p', 'a', 'r', 't', 's'};
    std::thread Writer([&] {
        for (std::size_t Done = 0; Done < sizeof Record; Done += 5) {
            const std::size_t Piece = std::min<std::size_t>(5, sizeof Record - Done);
            ASSERT_EQ(write(Pipe[1], Record + Done, Piece), static_cast<ssize_t>(Piece));
            std::this_thread::sleep_for(std::chrono::milliseconds(30));
        }
        // A record cut short by the writer's end.
        ASSERT_EQ(write(Pipe[1], Record, 7), 7);
        close(Pipe[1]);
    });
    char Read[16] = {};
    EXPECT_TRUE(ReadWhole(Pipe[0], Read, sizeof Read));
    EXPECT_EQ(std::string(Read, sizeof Read), std::string(Record, sizeof Record));
    EXPECT_FALSE(ReadWhole(Pipe[0], Read, sizeof Read)) << "a short record is no request";
    Writer.join();
    close(Pipe[0]);
}

} // namespace
