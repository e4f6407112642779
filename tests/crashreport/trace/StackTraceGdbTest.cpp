#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <initializer_list>
#include <regex>
#include <string>
#include <utility>
#include <vector>

namespace {

using TFrame = std::pair<std::string, int>; // function without its arguments, line

std::string RunCommand(const std::string& Command) {
    std::string Output;
    FILE* Pipe = popen(Command.c_str(), "r");
    if (Pipe == nullptr)
        return Output;
    char Buffer[4096];
    while (std::fgets(Buffer, sizeof Buffer, Pipe) != nullptr)
        Output += Buffer;
    pclose(Pipe);
    return Output;
}

TEST(StackTraceGdbTest, TheProgramsFramesAgreeWithGdbsBacktrace) {
    if (RunCommand("command -v gdb").empty())
        GTEST_SKIP() << "gdb is not installed";
    // The sanitizers' leak check cannot stop a program that a debugger traces.
    const std::string Output =
        RunCommand("ASAN_OPTIONS=detect_leaks=0 timeout 60 gdb -batch -nx -ex run -ex bt --args " +
                   std::string(KROEXCEPT_TRACE_PROBE) + " 2>&1");

    // gdb: "#3  0x0000... in KroProbe::Probe2 (Depth=1) at .../StackTraceProbe.cpp:29"; a function that holds
    // inlined code stands at the same address as the inlined function listed before it, and gdb gives no address:
    // "#4  KroProbe::Probe2 (Depth=1) at .../StackTraceProbe.cpp:29".
    std::vector<TFrame> Gdb;
    const std::regex GdbFrame(R"(^#\d+\s+(?:0x[0-9a-f]+ in )?(\S+) \(.*\) at \S*StackTraceProbe\.cpp:(\d+)$)");
    // The trace: "TRACE module|unit|line|function(arguments)"
    std::vector<TFrame> Traced;
    const std::regex TraceEntry(R"(^TRACE kroexcept_trace_probe\|[^|]*\|(\d+)\|([^(]+)(\(.*)?$)");
    std::size_t From = 0;
    while (From < Output.size()) {
        std::size_t To = Output.find('\n', From);
        if (To == std::string::npos)
            To = Output.size();
        const std::string Line = Output.substr(From, To - From);
        From = To + 1;
        std::smatch Match;
        if (std::regex_match(Line, Match, GdbFrame))
            Gdb.emplace_back(Match[1].str(), std::stoi(Match[2].str()));
        else if (std::regex_match(Line, Match, TraceEntry) && std::stoi(Match[1].str()) != 0)
            Traced.emplace_back(Match[2].str(), std::stoi(Match[1].str()));
    }
    ASSERT_GE(Gdb.size(), 5u) << Output;
    ASSERT_EQ(Traced.size(), Gdb.size()) << Output;
    // The inlined function is listed as gdb lists it, before the function it was inlined into.
    const auto Inlined =
        std::find_if(Traced.begin(), Traced.end(), [](const TFrame& F) { return F.first == "KroProbe::ProbeInlined"; });
    ASSERT_NE(Inlined, Traced.end()) << Output;
    ASSERT_NE(Inlined + 1, Traced.end()) << Output;
    EXPECT_EQ((Inlined + 1)->first, "KroProbe::Probe2") << Output;
    // The innermost frame stands at the tracer's call in the trace and at the raise in gdb's backtrace; every frame
    // further out is the same call.
    EXPECT_EQ(Traced[0].first, Gdb[0].first);
    EXPECT_LT(Traced[0].second, Gdb[0].second);
    for (std::size_t I = 1; I < Gdb.size(); ++I)
        EXPECT_EQ(Traced[I], Gdb[I]) << "frame " << I << "\n" << Output;
}

// A unit as the trace names it: the file's name without folder and extension.
std::string UnitOf(const std::string& Path) {
    std::string Name = Path.substr(Path.rfind('/') + 1);
    const std::size_t Dot = Name.rfind('.');
    return Dot == std::string::npos ? Name : Name.substr(0, Dot);
}

TEST(StackTraceGdbTest, AWorkerWaitingInTheCLibraryHasTheFramesOfGdbsBacktrace) {
    if (RunCommand("command -v gdb").empty())
        GTEST_SKIP() << "gdb is not installed";
    const std::string Output =
        // The signal that pauses the waiter for its trace goes to the program; the probe's SIGTRAP stops it.
        RunCommand("ASAN_OPTIONS=detect_leaks=0 timeout 60 gdb -batch -nx -ex 'handle all nostop noprint pass' -ex run "
                   "-ex 'info proc mappings' -ex 'thread apply all bt' --args " +
                   std::string(KROEXCEPT_TRACE_PROBE) + " wait 2>&1");

    // Where the program lies: gdb names the C library's frames with their source lines too, when it has their
    // debug information, and the trace gives lines only within the program.
    std::uintptr_t ProgramStart = UINTPTR_MAX;
    std::uintptr_t ProgramEnd = 0;
    const std::string Probe = std::string(KROEXCEPT_TRACE_PROBE);
    const std::regex Mapping(R"(^\s*0x([0-9a-f]+)\s+0x([0-9a-f]+)\s.*\s(\S+)$)");
    // gdb's backtrace of the waiting thread: the program's frames, as (unit, line); the thread's section is the one
    // that holds the waiter. The waiter holds the standard library's wait inlined, so gdb lists it without an
    // address ("#6  KroProbe::Waiter2 () at ..."): it is found by its name.
    const std::size_t Waiter = Output.find(" KroProbe::Waiter2 (");
    ASSERT_NE(Waiter, std::string::npos) << Output;
    const std::size_t SectionStart = Output.rfind("\nThread ", Waiter);
    ASSERT_NE(SectionStart, std::string::npos) << Output;
    std::size_t SectionEnd = Output.find("\nThread ", Waiter);
    if (SectionEnd == std::string::npos)
        SectionEnd = Output.size();
    const std::string Section = Output.substr(SectionStart, SectionEnd - SectionStart);
    std::vector<TFrame> Gdb;
    bool GdbHasTheLibrarysWait = false;
    // A frame without an address stands at the address of the one before it.
    const std::regex GdbFrame(R"(^#\d+\s+(?:0x([0-9a-f]+) in )?.* at (\S+):(\d+)$)");
    std::uintptr_t FrameAddress = 0;
    // The trace: "TRACE module|unit|line|function(arguments)"
    std::vector<TFrame> Traced;
    std::ptrdiff_t TracedWait = -1;
    std::ptrdiff_t FirstOwn = -1;
    std::ptrdiff_t Entry = 0;
    const std::regex TraceEntry(R"(^TRACE ([^|]*)\|([^|]*)\|(\d+)\|(.*)$)");
    for (const std::string* Text : {&Output, &Section}) {
        std::size_t From = 0;
        while (From < Text->size()) {
            std::size_t To = Text->find('\n', From);
            if (To == std::string::npos)
                To = Text->size();
            const std::string Line = Text->substr(From, To - From);
            From = To + 1;
            std::smatch Match;
            if (Text == &Section) {
                if (std::regex_match(Line, Match, GdbFrame)) {
                    if (Match[1].matched)
                        FrameAddress = std::stoull(Match[1].str(), nullptr, 16);
                    const std::uintptr_t Address = FrameAddress;
                    if (Address >= ProgramStart && Address < ProgramEnd)
                        Gdb.emplace_back(UnitOf(Match[2].str()), std::stoi(Match[3].str()));
                }
                GdbHasTheLibrarysWait |= Line.find("pthread_cond_wait") != std::string::npos;
            } else if (std::regex_match(Line, Match, Mapping) && Match[3].str() == Probe) {
                ProgramStart = std::min<std::uintptr_t>(ProgramStart, std::stoull(Match[1].str(), nullptr, 16));
                ProgramEnd = std::max<std::uintptr_t>(ProgramEnd, std::stoull(Match[2].str(), nullptr, 16));
            } else if (std::regex_match(Line, Match, TraceEntry)) {
                if (Match[1].str() == "libc.so.6" && Match[4].str().rfind("pthread_cond_wait", 0) == 0)
                    TracedWait = Entry;
                if (Match[1].str() == "kroexcept_trace_probe" && std::stoi(Match[3].str()) != 0) {
                    if (FirstOwn < 0)
                        FirstOwn = Entry;
                    Traced.emplace_back(Match[2].str(), std::stoi(Match[3].str()));
                }
                ++Entry;
            }
        }
    }
    ASSERT_LT(ProgramStart, ProgramEnd) << Output;
    ASSERT_TRUE(GdbHasTheLibrarysWait) << Section;
    // The standard library's wait inlined into the waiter, the waiter and its caller, as gdb has them.
    ASSERT_GE(Gdb.size(), 3u) << Section;
    EXPECT_EQ(Traced, Gdb) << Output;
    // The C library's wait comes first, then the program's own frames.
    EXPECT_GE(TracedWait, 0) << Output;
    EXPECT_LT(TracedWait, FirstOwn) << Output;
}

} // namespace
