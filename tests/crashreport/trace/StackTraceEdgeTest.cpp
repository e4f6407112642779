#include "KroCallBefore.h"
#include "KroStackTrace.h"
#include "KroStackTracer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <csignal>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <ucontext.h>
#include <vector>

// Return addresses of real call sites, for stacks the tests lay out themselves.
namespace KroTraceEdge {

std::atomic<int> Sink{0};

__attribute__((noinline)) std::uintptr_t ReturnAddressOfCall() {
    Sink.fetch_add(1);
    return reinterpret_cast<std::uintptr_t>(__builtin_return_address(0));
}

#define KRO_CALL_SITE(NAME)                                                                                            \
    __attribute__((noinline)) std::uintptr_t NAME() {                                                                  \
        const std::uintptr_t Site = ReturnAddressOfCall();                                                             \
        Sink.fetch_add(1);                                                                                             \
        return Site;                                                                                                   \
    }
KRO_CALL_SITE(ChainSite1)
KRO_CALL_SITE(ChainSite2)
KRO_CALL_SITE(ChainSite3)
KRO_CALL_SITE(ChainSite4)
KRO_CALL_SITE(ChainSite5)
KRO_CALL_SITE(ChainSite6)
KRO_CALL_SITE(CrashSite)

std::string PingPongText;
std::vector<TStackTraceEntry> PingPongEntries;

// Clears the stack below the caller, so that values left there by earlier calls cannot pose as return addresses.
__attribute__((noinline)) void WipeStackBelow() {
    volatile char Area[256 * 1024];
    std::memset(const_cast<char*>(Area), 0, sizeof Area);
}

__attribute__((noinline)) void Pong(int Depth);

__attribute__((noinline)) void Ping(int Depth) {
    if (Depth == 0) {
        TStackTraceRequest Request;
        Request.Entries = &PingPongEntries;
        ComputeStackTrace(Request, PingPongText);
    } else
        Pong(Depth - 1);
    Sink.fetch_add(1);
}

__attribute__((noinline)) void Pong(int Depth) {
    Ping(Depth);
    Sink.fetch_add(1);
}

__attribute__((noinline)) void TracedWithOffsets(bool ShowOffsets) {
    TStackTraceRequest Request;
    Request.ShowRelativeOffsets = ShowOffsets;
    Request.Entries = &PingPongEntries;
    ComputeStackTrace(Request, PingPongText);
    Sink.fetch_add(1);
}

} // namespace KroTraceEdge

namespace {

using namespace KroTraceEdge;

// A stack laid out by hand: 8-byte words, frames placed from the top down like a real one.
class TFakeStack {
public:
    explicit TFakeStack(std::size_t Words) : Words(Words, 0) {}

    std::uintptr_t Begin() const { return reinterpret_cast<std::uintptr_t>(Words.data()); }
    std::uintptr_t End() const { return Begin() + Words.size() * 8; }
    std::uintptr_t AddressOf(std::size_t Word) const { return Begin() + Word * 8; }

    // A frame whose return address lies at Word, its saved frame pointer below it pointing at the frame of the
    // return address at CallerWord (none when CallerWord is 0).
    void Frame(std::size_t Word, std::uintptr_t ReturnAddress, std::size_t CallerWord) {
        Words[Word] = ReturnAddress;
        Words[Word - 1] = CallerWord != 0 ? AddressOf(CallerWord - 1) : 0;
    }
    std::vector<std::uint64_t> Words;
};

struct TTraced {
    std::string Text;
    std::vector<TStackItem> Items;
    std::vector<TStackTraceEntry> Entries;
};

TTraced TraceFake(const TFakeStack& Stack, std::uintptr_t Crash, bool ShowOffsets = false) {
    TTraceModules Modules;
    TTraceFunctions Functions(Modules);
    EXPECT_TRUE(Modules.Refresh());
    TTraced Result;
    TStackTraceRequest Request;
    Request.HasExceptionAddress = true;
    Request.OsException = true;
    Request.ExceptionAddress = Crash;
    Request.ShowRelativeOffsets = ShowOffsets;
    Request.Entries = &Result.Entries;
    TStackTracer Tracer(Modules, Functions, Request);
    Result.Text = Tracer.Run(Stack.Begin(), Stack.End(), Crash);
    Result.Items = Tracer.StackItems();
    return Result;
}

std::vector<std::uintptr_t> ChainSites() {
    return {ChainSite1(), ChainSite2(), ChainSite3(), ChainSite4(), ChainSite5(), ChainSite6()};
}

// Frames of Count chained calls, the oldest at the top, with a word of locals between them.
TFakeStack ChainOf(std::size_t Count) {
    TFakeStack Stack(64);
    const std::vector<std::uintptr_t> Sites = ChainSites();
    std::size_t Caller = 0;
    for (std::size_t I = 0; I < Count; ++I) {
        const std::size_t Word = 60 - I * 4;
        Stack.Frame(Word, Sites[I], Caller);
        Caller = Word;
    }
    return Stack;
}

TEST(StackTraceEdgeTest, AStackWithoutReturnAddressesGivesTheCrashAlone) {
    TFakeStack Stack(256);
    for (std::size_t I = 0; I < Stack.Words.size(); ++I)
        Stack.Words[I] = I * 0x1111; // numbers, no code addresses
    const std::uintptr_t Crash = CrashSite();
    const TTraced Traced = TraceFake(Stack, Crash);
    // One call; where the crash lies in code the compiler inlined, the inlined functions at the same address first.
    ASSERT_FALSE(Traced.Entries.empty()) << Traced.Text;
    for (std::size_t I = 0; I < Traced.Entries.size(); ++I) {
        EXPECT_EQ(Traced.Entries[I].Inlined, I + 1 < Traced.Entries.size()) << Traced.Text;
        EXPECT_EQ(Traced.Entries[I].Address, Traced.Entries[0].Address) << Traced.Text;
    }
    EXPECT_NE(Traced.Entries.back().FunctionName.find("CrashSite"), std::string::npos);
}

TEST(StackTraceEdgeTest, AChainOfSixAnchorsItsFirstFourAndOneOfFiveNothing) {
    const TTraced Six = TraceFake(ChainOf(6), CrashSite());
    ASSERT_EQ(Six.Items.size(), 7u) << Six.Text;
    for (std::size_t I = 0; I < 6; ++I)
        EXPECT_EQ(Six.Items[I].Anchored, I < 4) << "item " << I;
    EXPECT_TRUE(Six.Items[6].Anchored) << "the crash is always certain";
    EXPECT_EQ(Six.Items[3].FrameSuccessor, -1) << "the chain ends before its last two";
    EXPECT_EQ(Six.Items[1].FramePredecessor, 0);

    const TTraced Five = TraceFake(ChainOf(5), CrashSite());
    ASSERT_EQ(Five.Items.size(), 6u) << Five.Text;
    for (std::size_t I = 0; I < 5; ++I) {
        EXPECT_FALSE(Five.Items[I].Anchored) << "item " << I;
        EXPECT_EQ(Five.Items[I].FramePredecessor, -1);
    }
}

TEST(StackTraceEdgeTest, OnlyTheOldestFrameChainAnchors) {
    // Six chained frames at the top, and below them six more chained among themselves: chance, not the thread's.
    TFakeStack Stack(128);
    const std::vector<std::uintptr_t> Sites = ChainSites();
    std::size_t Caller = 0;
    for (std::size_t I = 0; I < 6; ++I) {
        Stack.Frame(124 - I * 4, Sites[I], Caller);
        Caller = 124 - I * 4;
    }
    Caller = 0;
    for (std::size_t I = 0; I < 6; ++I) {
        Stack.Frame(60 - I * 4, Sites[I], Caller);
        Caller = 60 - I * 4;
    }
    const TTraced Traced = TraceFake(Stack, CrashSite());
    ASSERT_EQ(Traced.Items.size(), 13u);
    for (std::size_t I = 6; I < 12; ++I) {
        EXPECT_FALSE(Traced.Items[I].Anchored) << "item " << I;
        EXPECT_EQ(Traced.Items[I].FramePredecessor, -1);
    }
    EXPECT_TRUE(Traced.Items[0].Anchored);
}

TEST(StackTraceEdgeTest, AShortChainBelowTheThreadsOwnDoesNotKeepItFromAnchoring) {
    // Two chained frames at the top (start-up code whose frame pointers chain by chance), then the program's six.
    TFakeStack Stack(128);
    const std::vector<std::uintptr_t> Sites = ChainSites();
    Stack.Frame(124, Sites[4], 0);
    Stack.Frame(120, Sites[5], 124);
    std::size_t Caller = 0;
    for (std::size_t I = 0; I < 6; ++I) {
        Stack.Frame(100 - I * 4, Sites[I], Caller);
        Caller = 100 - I * 4;
    }
    const TTraced Traced = TraceFake(Stack, CrashSite());
    ASSERT_EQ(Traced.Items.size(), 9u);
    EXPECT_FALSE(Traced.Items[0].Anchored);
    EXPECT_FALSE(Traced.Items[1].Anchored);
    for (std::size_t I = 2; I < 6; ++I)
        EXPECT_TRUE(Traced.Items[I].Anchored) << "item " << I;
}

TEST(StackTraceEdgeTest, AValueBehindCallBytesInDataIsNoReturnAddress) {
    // Heap memory that holds the bytes of a call: a pointer behind them passes the call-before test, but data is no
    // code a call returns to.
    std::vector<std::uint8_t> Data(64, 0x90);
    Data[16] = 0xE8;
    const std::uintptr_t BehindCall = reinterpret_cast<std::uintptr_t>(Data.data()) + 21;
    ASSERT_TRUE(FollowsCall(BehindCall));
    TFakeStack Stack(64);
    Stack.Words[40] = BehindCall;
    Stack.Words[30] = ChainSite1();
    const TTraced Traced = TraceFake(Stack, CrashSite());
    ASSERT_EQ(Traced.Items.size(), 2u) << Traced.Text;
    EXPECT_NE(Traced.Items[0].Address, BehindCall);
}

TEST(StackTraceEdgeTest, ACrashInUnmappedMemoryKeepsItsEntry) {
    // A call through a wild pointer: the thread stood at an address where nothing is mapped.
    TFakeStack Stack(64);
    const std::uintptr_t Wild = 0x10000;
    const TTraced Traced = TraceFake(Stack, Wild);
    ASSERT_EQ(Traced.Entries.size(), 1u) << Traced.Text;
    EXPECT_EQ(Traced.Entries[0].Address, Wild);
    EXPECT_EQ(Traced.Entries[0].ModuleName, "???");
    EXPECT_EQ(Traced.Text.substr(0, 17), "000000010000 ??? ");
}

TEST(StackTraceEdgeTest, ATraceMovesTheProgressOfItsAreaToTheEnd) {
    static std::vector<std::int32_t> Shown;
    struct TRecorder final : TProgressPopup {
        void SetPosition(std::int32_t Permille) override { Shown.push_back(Permille); }
    };
    static std::int64_t Now = 0;
    Shown.clear();
    SetProgressPopupFactory([]() -> std::unique_ptr<TProgressPopup> { return std::make_unique<TRecorder>(); });
    {
        TTraceProgress Progress([] { return Now; });
        Progress.AddArea(1000);
        Now = 1000; // the trace is slow from its start
        std::string Text;
        TStackTraceRequest Request;
        Request.Progress = &Progress;
        ComputeStackTrace(Request, Text);
        EXPECT_FALSE(Text.empty());
    }
    SetProgressPopupFactory(nullptr);
    ASSERT_GE(Shown.size(), 3u);
    EXPECT_EQ(Shown.front(), 0);
    EXPECT_EQ(Shown.back(), 1000);
    EXPECT_TRUE(std::is_sorted(Shown.begin(), Shown.end()));
}

TEST(StackTraceEdgeTest, ARecursionOfTwoFunctionsGivesOnePair) {
    PingPongEntries.clear();
    WipeStackBelow();
    Ping(12);
    std::size_t Pings = 0, Pongs = 0;
    for (const TStackTraceEntry& Entry : PingPongEntries) {
        Pings += Entry.FunctionName.find("KroTraceEdge::Ping") != std::string::npos;
        Pongs += Entry.FunctionName.find("KroTraceEdge::Pong") != std::string::npos;
    }
    // The tracer's call in Ping, then one Pong calling Ping and one Ping calling Pong.
    EXPECT_EQ(Pings, 2u) << PingPongText;
    EXPECT_EQ(Pongs, 1u) << PingPongText;
    std::vector<std::string> Calls; // the functions that were not inlined
    for (const TStackTraceEntry& Entry : PingPongEntries)
        if (!Entry.Inlined)
            Calls.push_back(Entry.FunctionName);
    ASSERT_GE(Calls.size(), 3u);
    EXPECT_NE(Calls[1].find("Pong"), std::string::npos) << PingPongText;
}

TEST(StackTraceEdgeTest, RelativeOffsetsShowTheFunctionStartAndTheOffset) {
    PingPongEntries.clear();
    WipeStackBelow();
    TracedWithOffsets(true);
    const std::string Text = PingPongText;
    const std::vector<TStackTraceEntry> Entries = PingPongEntries;
    ASSERT_GE(Entries.size(), 3u) << Text;
    std::vector<std::string> Lines;
    for (std::size_t From = 0;;) {
        const std::size_t To = Text.find("\r\n", From);
        Lines.push_back(Text.substr(From, To == std::string::npos ? To : To - From));
        if (To == std::string::npos)
            break;
        From = To + 2;
    }
    ASSERT_EQ(Lines.size(), Entries.size());
    // The offset column is as wide as the widest offset, plus its "+" and a blank.
    std::size_t Widest = 0;
    for (const TStackTraceEntry& Entry : Entries)
        if (Entry.FunctionStart != 0 && Entry.FunctionStart < Entry.Address)
            Widest = std::max(Widest, [&] {
                char Hex[32];
                return static_cast<std::size_t>(std::snprintf(
                    Hex, sizeof Hex, "%lx", static_cast<unsigned long>(Entry.Address - Entry.FunctionStart)));
            }());
    for (std::size_t I = 0; I < Lines.size(); ++I) {
        const TStackTraceEntry& Entry = Entries[I];
        const bool Relative = Entry.FunctionStart != 0 && Entry.FunctionStart < Entry.Address;
        char Expected[64];
        std::snprintf(Expected, sizeof Expected, "%012lx +%0*lx ",
                      static_cast<unsigned long>(Relative ? Entry.FunctionStart : Entry.Address),
                      static_cast<int>(Widest),
                      static_cast<unsigned long>(Relative ? Entry.Address - Entry.FunctionStart : 0));
        EXPECT_EQ(Lines[I].substr(0, std::strlen(Expected)), Expected) << Text;
    }
    // Without the option the same trace shows the addresses themselves.
    TracedWithOffsets(false);
    ASSERT_FALSE(PingPongEntries.empty());
    char First[32];
    std::snprintf(First, sizeof First, "%012lx ", static_cast<unsigned long>(PingPongEntries[0].Address));
    EXPECT_EQ(PingPongText.substr(0, std::strlen(First)), First);
    EXPECT_EQ(PingPongText.find(" +"), std::string::npos);
}

// The C library's return path from signal handlers, as the kernel is given it.
std::uintptr_t SignalReturnPath() {
    struct sigaction Action {};
    struct sigaction Previous {};
    Action.sa_handler = [](int) {};
    sigemptyset(&Action.sa_mask);
    sigaction(SIGUSR2, &Action, &Previous);
    struct sigaction Installed {};
    sigaction(SIGUSR2, &Previous, &Installed);
    return reinterpret_cast<std::uintptr_t>(Installed.sa_restorer);
}

TEST(StackTraceEdgeTest, ASignalFrameOffersTheInterruptedLocationAndAStaleOneNothing) {
    const std::uintptr_t Return = SignalReturnPath();
    ASSERT_NE(Return, 0u);
    const std::uintptr_t Interrupted = ChainSite2();
    const std::size_t Registers = offsetof(ucontext_t, uc_mcontext.gregs) / 8;

    // A handler's frame at word 10; the interrupted code's stack starts at word 200.
    TFakeStack Stack(256);
    Stack.Words[10] = Return;
    Stack.Words[11 + Registers + REG_RIP] = Interrupted;
    Stack.Words[11 + Registers + REG_RSP] = Stack.AddressOf(200);
    Stack.Words[11 + Registers + 3] = ChainSite1(); // a register that happens to hold a return address
    const TTraced Live = TraceFake(Stack, CrashSite());
    ASSERT_EQ(Live.Items.size(), 2u) << Live.Text;
    EXPECT_TRUE(Live.Items[0].Anchored);
    EXPECT_TRUE(Live.Items[0].AtInstruction);
    EXPECT_FALSE(Live.Items[0].Exact) << "the walk goes on into the handler";
    EXPECT_EQ(Live.Items[0].Callers.Links.size(), 1u);
    EXPECT_EQ(Live.Items[0].Callers.Links[0].CallSite, Interrupted);

    // The same words where the interrupted stack would lie below the frame: an old handler's return address.
    Stack.Words[11 + Registers + REG_RSP] = Stack.AddressOf(5);
    const TTraced Stale = TraceFake(Stack, CrashSite());
    for (const TStackItem& Item : Stale.Items)
        EXPECT_FALSE(Item.AtInstruction && !Item.Exact) << Stale.Text;
}

TEST(StackTraceEdgeTest, AnUnreadableStackGivesAnEmptyTrace) {
    TStackTraceRequest Request;
    Request.StackBegin = 0x1000;
    Request.StackEnd = 0x3000;
    Request.HasExceptionAddress = true;
    Request.ExceptionAddress = CrashSite();
    std::string Text = "not cleared";
    ComputeStackTrace(Request, Text);
    EXPECT_EQ(Text, "");
}

TEST(StackTraceEdgeTest, HostileStacksGiveBoundedResults) {
    // Return addresses, frame pointers into the stack (loops among them included) and noise, at random.
    std::mt19937_64 Random(20);
    const std::vector<std::uintptr_t> Sites = ChainSites();
    for (int Round = 0; Round < 100; ++Round) {
        TFakeStack Stack(512);
        for (std::size_t I = 0; I < Stack.Words.size(); ++I) {
            switch (Random() % 4) {
            case 0:
                Stack.Words[I] = Sites[Random() % Sites.size()] + (Random() % 3 == 0 ? Random() % 64 : 0);
                break;
            case 1:
                Stack.Words[I] = Stack.AddressOf(Random() % Stack.Words.size()) - 8 * (Random() % 2);
                break;
            case 2:
                Stack.Words[I] = Random();
                break;
            default:
                Stack.Words[I] = 0;
            }
        }
        const TTraced Traced = TraceFake(Stack, Round % 2 == 0 ? CrashSite() : 0x10);
        EXPECT_LE(Traced.Entries.size(), Stack.Words.size() + 1);
        EXPECT_EQ(Traced.Text.find("Internal error"), std::string::npos) << Traced.Text;
    }
}

} // namespace
