#include "KroBugReport.h"
#include "KroExceptSettings.h"
#include "KroException.h"
#include "KroFaultSignals.h"
#include "KroThreadContext.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <unistd.h>

namespace {

std::string Hex(pid_t Id) {
    char Text[16];
    std::snprintf(Text, sizeof Text, "$%x", static_cast<unsigned>(Id));
    return Text;
}

// A thread that waits until the test lets it go.
class TWaitingThread final {
public:
    TWaitingThread()
        : Thread([this] {
              Id = CurrentThreadId();
              std::unique_lock<std::mutex> Lock(Mutex);
              Condition.wait(Lock, [this] { return Done; });
          }) {
        while (Id == 0)
            std::this_thread::yield();
    }
    ~TWaitingThread() {
        {
            std::lock_guard<std::mutex> Lock(Mutex);
            Done = true;
        }
        Condition.notify_all();
        Thread.join();
    }
    std::atomic<pid_t> Id{0};

private:
    std::mutex Mutex;
    std::condition_variable Condition;
    bool Done = false;
    std::thread Thread;
};

// The fault is the point: the sanitizers must let it reach the fault handler.
__attribute__((no_sanitize("undefined"))) std::string FaultingListing(std::uintptr_t, std::uintptr_t, std::int32_t,
                                                                      bool) {
    *static_cast<volatile int*>(nullptr) = 1;
    return "never";
}

[[noreturn]] void UnexpectedFault(const TFaultRecord&) {
    _exit(97);
}

TEST(BugReportCompositionTest, AnExceptionReportHasItsSectionsInOrder) {
    const KroException Exception("Something broke!!");
    TWaitingThread Other;
    TBugReportRequest Request;
    Request.Object = TExceptObject::Of(Exception);
    Request.ExceptAddr = reinterpret_cast<std::uintptr_t>(&ReportMessageText);
    std::string Report;
    CreateBugReport(Request, Report);

    const std::size_t Class = Report.find("exception class   : KroException\r\n");
    const std::size_t Message = Report.find("exception message : Something broke!.\r\n\r\n");
    const std::size_t Failing = Report.find("\r\n\r\nthread " + Hex(CurrentThreadId()) + ":\r\n");
    const std::size_t Others = Report.find("\r\n\r\nthread " + Hex(Other.Id) + ":\r\n");
    const std::size_t Modules = Report.find("\r\n\r\nmodules:\r\n");
    ASSERT_NE(Class, std::string::npos) << Report;
    EXPECT_LT(Report.find("KroExcept version : 2.6a\r\n"), Class);
    EXPECT_LT(Class, Message);
    EXPECT_LT(Message, Failing);
    EXPECT_LT(Failing, Others);
    EXPECT_LT(Others, Modules);
    EXPECT_NE(Report.find(" kroexcept_tests ", Modules), std::string::npos);
    for (std::size_t I = 0; I < Report.size(); ++I) {
        if (Report[I] == '\n') {
            ASSERT_EQ(Report[I - 1], '\r') << "at " << I;
        }
    }
}

TEST(BugReportCompositionTest, AFrozenReportLeavesItsCallerOutButNeverTheMainThread) {
    const auto Saved = ExceptSettings.DisAsmCallback;
    ExceptSettings.DisAsmCallback = nullptr;
    std::string FromWorker;
    pid_t Worker = 0;
    std::thread([&] {
        Worker = CurrentThreadId();
        TBugReportRequest Request;
        Request.Frozen = true;
        Request.HiddenThread = Worker;
        CreateBugReport(Request, FromWorker);
    }).join();
    EXPECT_EQ(FromWorker.find("exception message : The application seems to be frozen.\r\n\r\nthread " + Hex(getpid()) +
                              ":\r\n"),
              FromWorker.find("exception message : "))
        << FromWorker;
    EXPECT_EQ(FromWorker.find("thread " + Hex(Worker) + ":"), std::string::npos);
    EXPECT_EQ(FromWorker.find("exception class"), std::string::npos);

    if (CurrentThreadId() == getpid()) {
        std::string FromMain;
        TBugReportRequest Request;
        Request.Frozen = true;
        Request.HiddenThread = getpid();
        CreateBugReport(Request, FromMain);
        EXPECT_NE(FromMain.find("\r\n\r\nthread " + Hex(getpid()) + ":\r\n"), std::string::npos) << FromMain;
    }
    ExceptSettings.DisAsmCallback = Saved;
}

TEST(BugReportCompositionTest, AFaultWhileComposingEndsTheReportWithItsNote) {
    const bool Installed = FaultHandlersInstalled();
    if (!Installed) {
        ASSERT_TRUE(InstallFaultHandlers(&UnexpectedFault));
    }
    const auto Saved = ExceptSettings.DisAsmCallback;
    ExceptSettings.DisAsmCallback = &FaultingListing;
    const KroException Exception("Broken");
    TBugReportRequest Request;
    Request.Object = TExceptObject::Of(Exception);
    Request.ExceptAddr = reinterpret_cast<std::uintptr_t>(&ReportMessageText);
    std::string Report;
    CreateBugReport(Request, Report);
    ExceptSettings.DisAsmCallback = Saved;
    if (!Installed)
        RemoveFaultHandlers();

    // What was composed stays: the header, the exception, the threads and the modules.
    EXPECT_NE(Report.find("exception message : Broken.\r\n"), std::string::npos);
    EXPECT_NE(Report.find("\r\n\r\nmodules:\r\n"), std::string::npos);
    const std::string Note = "\r\n\r\nAn exception occurred during composing the bug report. $";
    const std::size_t At = Report.rfind(Note);
    ASSERT_NE(At, std::string::npos) << Report;
    EXPECT_EQ(Report.find_first_not_of("0123456789abcdef", At + Note.size()), std::string::npos);
    EXPECT_EQ(Report.find("disassembling:"), std::string::npos);
}

} // namespace
