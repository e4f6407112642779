#include "KroStackTrace.h"
#include "KroThreadContext.h"

#include <gtest/gtest.h>

#include <atomic>
#include <csignal>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

// Functions with known nesting, traced from inside. They are not inlined and each does something after its call, so
// that every level keeps a frame of its own with a return address into it.
namespace KroTraceTest {

std::atomic<int> Sink{0};

__attribute__((noinline)) void Level3(std::vector<TStackTraceEntry>& Entries, std::string& Text) {
    TStackTraceRequest Request;
    Request.Entries = &Entries;
    ComputeStackTrace(Request, Text); // trace-mark: Level3
    Sink.fetch_add(1);
}

__attribute__((noinline)) void Level2(std::vector<TStackTraceEntry>& Entries, std::string& Text) {
    Level3(Entries, Text); // trace-mark: Level2
    Sink.fetch_add(1);
}

__attribute__((noinline)) void Level1(std::vector<TStackTraceEntry>& Entries, std::string& Text) {
    Level2(Entries, Text); // trace-mark: Level1
    Sink.fetch_add(1);
}

// A worker that blocks in read() two levels down until the test writes to its pipe.
__attribute__((noinline)) void BlockedReader(int Fd) {
    char Byte = 0;
    [[maybe_unused]] const ssize_t Read = read(Fd, &Byte, 1); // trace-mark: BlockedReader
    Sink.fetch_add(1);
}

__attribute__((noinline)) void BlockedWorker(int Fd) {
    BlockedReader(Fd); // trace-mark: BlockedWorker
    Sink.fetch_add(1);
}

std::string HandlerText;
std::vector<TStackTraceEntry> HandlerEntries;

__attribute__((noinline)) void TraceInHandler(int) {
    TStackTraceRequest Request;
    Request.Entries = &HandlerEntries;
    ComputeStackTrace(Request, HandlerText); // trace-mark: TraceInHandler
    Sink.fetch_add(1);
}

__attribute__((noinline)) void RaisingLevel2() {
    raise(SIGUSR1); // trace-mark: RaisingLevel2
    Sink.fetch_add(1);
}

__attribute__((noinline)) void RaisingLevel1() {
    RaisingLevel2(); // trace-mark: RaisingLevel1
    Sink.fetch_add(1);
}

} // namespace KroTraceTest

namespace {

using namespace KroTraceTest;

// The position of the first entry whose function name holds Name, -1 for none.
std::ptrdiff_t FindEntry(const std::vector<TStackTraceEntry>& Entries, const std::string& Name) {
    for (std::size_t I = 0; I < Entries.size(); ++I)
        if (Entries[I].FunctionName.find(Name) != std::string::npos)
            return static_cast<std::ptrdiff_t>(I);
    return -1;
}

std::string Listing(const std::vector<TStackTraceEntry>& Entries) {
    std::string Text;
    for (const TStackTraceEntry& Entry : Entries)
        Text += Entry.ModuleName + " | " + Entry.UnitName + " | " + std::to_string(Entry.Line) + " | " +
                Entry.FunctionName + "\n";
    return Text;
}

// Names listed in this order, each in the program's own module, the first of them the first entry.
void ExpectCallsInOrder(const std::vector<TStackTraceEntry>& Entries, const std::vector<std::string>& Names) {
    std::ptrdiff_t Previous = -1;
    for (const std::string& Name : Names) {
        const std::ptrdiff_t At = FindEntry(Entries, Name);
        ASSERT_GE(At, 0) << Name << " missing from\n" << Listing(Entries);
        EXPECT_GT(At, Previous) << Name << " out of order in\n" << Listing(Entries);
        EXPECT_EQ(Entries[static_cast<std::size_t>(At)].ModuleName, "kroexcept_tests");
        Previous = At;
    }
}

TEST(StackTraceTest, TracesTheCallingThreadFromTheCallOfTheTracer) {
    std::vector<TStackTraceEntry> Entries;
    std::string Text;
    Level1(Entries, Text);
    ExpectCallsInOrder(Entries, {"Level3", "Level2", "Level1"});
    EXPECT_EQ(FindEntry(Entries, "Level3"), 0) << Listing(Entries);
    // One line per entry, in the columns of the report.
    std::size_t Lines = 1;
    for (std::size_t At = 0; (At = Text.find("\r\n", At)) != std::string::npos; At += 2)
        ++Lines;
    EXPECT_EQ(Lines, Entries.size());
    EXPECT_NE(Text.find(Entries[0].FunctionName), std::string::npos);
}

TEST(StackTraceTest, TracesAWorkerBlockedInTheCLibrary) {
    int Pipe[2];
    ASSERT_EQ(pipe(Pipe), 0);
    std::atomic<pid_t> Worker{0};
    std::thread Thread([&] {
        Worker = CurrentThreadId();
        BlockedWorker(Pipe[0]);
    });
    while (Worker == 0)
        std::this_thread::yield();
    // Give it time to block in read().
    std::string Text;
    std::vector<TStackTraceEntry> Entries;
    for (int Try = 0; Try < 100 && FindEntry(Entries, "BlockedReader") < 0; ++Try) {
        usleep(20000);
        TStackTraceRequest Request;
        Request.Entries = &Entries;
        Text = TraceOtherThread(Worker, Request);
    }
    ASSERT_EQ(write(Pipe[1], "x", 1), 1);
    Thread.join();
    close(Pipe[0]);
    close(Pipe[1]);

    ExpectCallsInOrder(Entries, {"BlockedReader", "BlockedWorker"});
    // Where the worker waits: in the C library, named by its export.
    ASSERT_FALSE(Entries.empty());
    EXPECT_EQ(Entries[0].ModuleName, "libc.so.6") << Listing(Entries);
    EXPECT_NE(Entries[0].FunctionName.find("read"), std::string::npos) << Listing(Entries);
    EXPECT_EQ(FindEntry(Entries, "TracesAWorkerBlockedInTheCLibrary"), -1) << "the tracing thread's calls";
}

TEST(StackTraceTest, TracesFromInsideASignalHandler) {
    struct sigaction Action {};
    struct sigaction Previous {};
    Action.sa_handler = TraceInHandler;
    sigemptyset(&Action.sa_mask);
    ASSERT_EQ(sigaction(SIGUSR1, &Action, &Previous), 0);
    HandlerEntries.clear();
    RaisingLevel1();
    sigaction(SIGUSR1, &Previous, nullptr);

    ExpectCallsInOrder(HandlerEntries, {"TraceInHandler", "RaisingLevel2", "RaisingLevel1"});
    EXPECT_EQ(FindEntry(HandlerEntries, "TraceInHandler"), 0);
    // The C library's raise lies between the handler and the code that raised.
    const std::ptrdiff_t Raise = FindEntry(HandlerEntries, "raise");
    ASSERT_GE(Raise, 0) << Listing(HandlerEntries);
    EXPECT_EQ(HandlerEntries[static_cast<std::size_t>(Raise)].ModuleName, "libc.so.6");
    EXPECT_LT(Raise, FindEntry(HandlerEntries, "RaisingLevel2"));
}

TEST(StackTraceTest, AThreadThatHasEndedGivesTheUnreadableTrace) {
    std::atomic<pid_t> Ended{0};
    std::thread Thread([&] { Ended = CurrentThreadId(); });
    Thread.join();
    EXPECT_EQ(TraceOtherThread(Ended, TStackTraceRequest{}), UnreadableThreadTrace);
    EXPECT_EQ(TraceOtherThread(CurrentThreadId(), TStackTraceRequest{}), UnreadableThreadTrace);
}

} // namespace
