#include "KroDisAsm.h"
#include "KroLiveDisAsm.h"
#include "KroStackTrace.h"
#include "KroThreadContext.h"

#include <gtest/gtest.h>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <dlfcn.h>
#include <fstream>
#include <map>
#include <pthread.h>
#include <sstream>
#include <string>
#include <thread>
#include <tuple>
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

__attribute__((noinline)) void SignalsNobody() {
    pthread_kill(pthread_self(), 0); // trace-mark: SignalsNobody
    Sink.fetch_add(1);
}

__attribute__((noinline)) void TraceHidingLinelessEntries(std::vector<TStackTraceEntry>& Entries, std::string& Text) {
    TStackTraceRequest Request;
    Request.HideWithoutLines = true;
    Request.Entries = &Entries;
    ComputeStackTrace(Request, Text); // trace-mark: TraceHidingLinelessEntries
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
                Entry.FunctionName + (Entry.Inlined ? " (inlined)\n" : "\n");
    return Text;
}

// The position of the first entry of a function that was not inlined: the innermost call's own.
std::ptrdiff_t FirstCall(const std::vector<TStackTraceEntry>& Entries) {
    for (std::size_t I = 0; I < Entries.size(); ++I)
        if (!Entries[I].Inlined)
            return static_cast<std::ptrdiff_t>(I);
    return -1;
}

// The line of each "trace-mark: Name" comment of this file.
std::map<std::string, std::int32_t> MarkedLines() {
    std::map<std::string, std::int32_t> Marks;
    std::ifstream Source(__FILE__);
    std::string Line;
    for (std::int32_t Number = 1; std::getline(Source, Line); ++Number)
        if (const std::size_t At = Line.find("// trace-mark: "); At != std::string::npos)
            Marks[Line.substr(At + 15)] = Number;
    return Marks;
}

// Names listed in this order, each in this program and this unit at the line of its mark.
void ExpectCallsInOrder(const std::vector<TStackTraceEntry>& Entries, const std::vector<std::string>& Names) {
    static const std::map<std::string, std::int32_t> Marks = MarkedLines();
    std::ptrdiff_t Previous = -1;
    for (const std::string& Name : Names) {
        const std::ptrdiff_t At = FindEntry(Entries, "KroTraceTest::" + Name + "(");
        ASSERT_GE(At, 0) << Name << " missing from\n" << Listing(Entries);
        EXPECT_GT(At, Previous) << Name << " out of order in\n" << Listing(Entries);
        const TStackTraceEntry& Entry = Entries[static_cast<std::size_t>(At)];
        EXPECT_EQ(Entry.ModuleName, "kroexcept_tests");
        EXPECT_EQ(Entry.UnitName, "StackTraceTest") << Name;
        ASSERT_EQ(Marks.count(Name), 1u) << Name;
        EXPECT_EQ(Entry.Line, Marks.at(Name)) << Name << " in\n" << Listing(Entries);
        Previous = At;
    }
}

TEST(StackTraceTest, TracesTheCallingThreadFromTheCallOfTheTracer) {
    std::vector<TStackTraceEntry> Entries;
    std::string Text;
    Level1(Entries, Text);
    // The innermost call is the tracer's, on the line of that call.
    ExpectCallsInOrder(Entries, {"Level3", "Level2", "Level1"});
    ASSERT_EQ(FindEntry(Entries, "Level3"), FirstCall(Entries)) << Listing(Entries);
    // The first call is the call of the tracer itself, as every further one is its level's call, not the
    // instruction after it.
    TFunctionInfo Info;
    AnalyzeFunction(reinterpret_cast<std::uintptr_t>(&Level3), Info);
    const auto Tracer = reinterpret_cast<std::uintptr_t>(
        static_cast<void (*)(const TStackTraceRequest&, std::string&)>(&ComputeStackTrace));
    const std::uintptr_t First = Entries[static_cast<std::size_t>(FirstCall(Entries))].Address;
    bool AtTheCall = false;
    for (const TExternalBranch& Branch : Info.ExternalBranches)
        AtTheCall |= Branch.IsCall && Branch.TargetAddress == Tracer && Branch.InstructionStart == First;
    EXPECT_TRUE(AtTheCall) << Listing(Entries);
    const std::ptrdiff_t Test = FindEntry(Entries, "TracesTheCallingThreadFromTheCallOfTheTracer_Test::TestBody()");
    EXPECT_GT(Test, FindEntry(Entries, "Level1")) << Listing(Entries);
    EXPECT_GT(FindEntry(Entries, "main"), Test) << Listing(Entries);
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
    for (const TStackTraceEntry& Entry : Entries)
        EXPECT_FALSE(Entry.FunctionName.ends_with("TestBody()"))
            << "a call of the tracing thread: " << Listing(Entries);
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
    EXPECT_EQ(FindEntry(HandlerEntries, "TraceInHandler"), FirstCall(HandlerEntries)) << Listing(HandlerEntries);
    // The C library's raise lies between the handler and the code that raised.
    const std::ptrdiff_t Raise = FindEntry(HandlerEntries, "raise");
    ASSERT_GE(Raise, 0) << Listing(HandlerEntries);
    EXPECT_EQ(HandlerEntries[static_cast<std::size_t>(Raise)].ModuleName, "libc.so.6");
    EXPECT_LT(Raise, FindEntry(HandlerEntries, "RaisingLevel2"));
}

// addr2line -f -C -i's frames for each address of this program, innermost first: (function, unit, line).
using TOracleFrame = std::tuple<std::string, std::string, std::int32_t>;
std::vector<std::vector<TOracleFrame>> Addr2Line(const std::vector<std::uintptr_t>& Addresses) {
    Dl_info Info{};
    if (dladdr(reinterpret_cast<void*>(&Level1), &Info) == 0)
        return {};
    std::string Command = "addr2line -a -f -C -i -e /proc/" + std::to_string(getpid()) + "/exe";
    char Hex[32];
    for (const std::uintptr_t Address : Addresses) {
        std::snprintf(Hex, sizeof Hex, " %lx",
                      static_cast<unsigned long>(Address - reinterpret_cast<std::uintptr_t>(Info.dli_fbase)));
        Command += Hex;
    }
    std::vector<std::vector<TOracleFrame>> Result;
    FILE* Pipe = popen(Command.c_str(), "r");
    if (Pipe == nullptr)
        return {};
    char Function[4096];
    char Line[4096];
    while (std::fgets(Function, sizeof Function, Pipe) != nullptr) {
        if (std::strncmp(Function, "0x", 2) == 0) {
            Result.emplace_back();
            continue;
        }
        if (Result.empty() || std::fgets(Line, sizeof Line, Pipe) == nullptr)
            break;
        std::string Text(Line);
        const std::size_t Colon = Text.rfind(':');
        const std::size_t Slash = Text.rfind('/', Colon);
        std::string File = Text.substr(Slash == std::string::npos ? 0 : Slash + 1,
                                       Colon - (Slash == std::string::npos ? 0 : Slash + 1));
        if (const std::size_t Dot = File.rfind('.'); Dot != std::string::npos)
            File.resize(Dot);
        std::string Name(Function);
        Name.erase(Name.find_last_not_of('\n') + 1);
        Result.back().emplace_back(Name, File, std::atoi(Text.c_str() + Colon + 1));
    }
    pclose(Pipe);
    return Result;
}

TEST(StackTraceTest, UnitsAndLinesAgreeWithAddr2Line) {
    std::vector<TStackTraceEntry> Entries;
    std::string Text;
    Level1(Entries, Text);
    // The entries of this program by address: those of inlined functions, then the one they were inlined into.
    std::vector<std::uintptr_t> Addresses;
    std::vector<std::vector<const TStackTraceEntry*>> Checked;
    for (const TStackTraceEntry& Entry : Entries)
        if (Entry.ModuleName == "kroexcept_tests" && Entry.Line != 0) {
            if (Addresses.empty() || Addresses.back() != Entry.Address) {
                Addresses.push_back(Entry.Address);
                Checked.emplace_back();
            }
            Checked.back().push_back(&Entry);
        }
    ASSERT_GE(Checked.size(), 4u) << Listing(Entries);
    const auto Oracle = Addr2Line(Addresses);
    if (Oracle.empty())
        GTEST_SKIP() << "addr2line could not be run";
    ASSERT_EQ(Oracle.size(), Checked.size());
    for (std::size_t I = 0; I < Checked.size(); ++I) {
        ASSERT_EQ(Checked[I].size(), Oracle[I].size()) << Listing(Entries);
        for (std::size_t F = 0; F < Checked[I].size(); ++F) {
            EXPECT_EQ(Checked[I][F]->UnitName, std::get<1>(Oracle[I][F])) << Checked[I][F]->FunctionName;
            EXPECT_EQ(Checked[I][F]->Line, std::get<2>(Oracle[I][F])) << Checked[I][F]->FunctionName;
            // Each function is inlined into the next but the last.
            EXPECT_EQ(Checked[I][F]->Inlined, F + 1 < Checked[I].size()) << Listing(Entries);
        }
    }
}

TEST(StackTraceTest, AnExceptionRaisedThroughARaiseFunctionIsListedAtTheRaisingCall) {
    static const std::map<std::string, std::int32_t> Marks = MarkedLines();
    SignalsNobody(); // binds the call's import
    TFunctionInfo Info;
    AnalyzeFunction(reinterpret_cast<std::uintptr_t>(&SignalsNobody), Info);
    std::uintptr_t Call = 0, Return = 0;
    for (const TExternalBranch& Branch : Info.ExternalBranches)
        if (Branch.IsCall && Branch.TargetAddress == reinterpret_cast<std::uintptr_t>(&pthread_kill)) {
            Call = Branch.InstructionStart;
            Return = Branch.NextInstruction;
        }
    ASSERT_NE(Call, 0u) << "the disassembler found no call of pthread_kill";

    // The exception address of a raised exception is the return address of the raising call: the crash is listed
    // at that call, and the report's disassembly marks it.
    std::vector<TStackTraceEntry> Entries;
    std::string Text;
    std::uintptr_t FunctionEntry = 1, Highlight = 1;
    TStackTraceRequest Request;
    Request.ExceptionAddress = Return;
    Request.HasExceptionAddress = true;
    Request.Entries = &Entries;
    Request.FunctionEntry = &FunctionEntry;
    Request.HighlightAddress = &Highlight;
    ComputeStackTrace(Request, Text);
    ASSERT_FALSE(Entries.empty());
    EXPECT_EQ(Entries[0].Address, Call) << Listing(Entries);
    EXPECT_EQ(Entries[0].Line, Marks.at("SignalsNobody"));
    EXPECT_NE(Entries[0].FunctionName.find("SignalsNobody"), std::string::npos);
    EXPECT_EQ(FunctionEntry, reinterpret_cast<std::uintptr_t>(&SignalsNobody));
    EXPECT_EQ(Highlight, Call);

    // A fault at that address is where the thread stood: the instruction after the call.
    Request.OsException = true;
    ComputeStackTrace(Request, Text);
    ASSERT_FALSE(Entries.empty());
    EXPECT_EQ(Entries[0].Address, Return) << Listing(Entries);
}

TEST(StackTraceTest, HidingEntriesWithoutLinesKeepsThoseBeforeTheFirstLine) {
    std::vector<TStackTraceEntry> Entries;
    std::string Text;
    TraceHidingLinelessEntries(Entries, Text);
    ASSERT_GE(Entries.size(), 2u) << Text;
    ASSERT_GE(FirstCall(Entries), 0) << Text;
    EXPECT_NE(Entries[static_cast<std::size_t>(FirstCall(Entries))].FunctionName.find("TraceHidingLinelessEntries"),
              std::string::npos);
    for (const TStackTraceEntry& Entry : Entries)
        EXPECT_NE(Entry.Line, 0) << Listing(Entries);
    // The test framework's and the C library's calls have no lines: without the option they are listed.
    std::vector<TStackTraceEntry> All;
    TStackTraceRequest Request;
    Request.Entries = &All;
    ComputeStackTrace(Request, Text);
    EXPECT_GT(All.size(), Entries.size());
}

TEST(StackTraceTest, AThreadThatHasEndedGivesTheUnreadableTrace) {
    std::atomic<pid_t> Ended{0};
    std::thread Thread([&] { Ended = CurrentThreadId(); });
    Thread.join();
    EXPECT_EQ(TraceOtherThread(Ended, TStackTraceRequest{}), UnreadableThreadTrace);
    EXPECT_EQ(TraceOtherThread(CurrentThreadId(), TStackTraceRequest{}), UnreadableThreadTrace);
}

} // namespace
