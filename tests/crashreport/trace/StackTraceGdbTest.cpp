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

namespace {

// One frame of gdb's backtrace, as tests/crashreport/trace/gdb_frames.py prints it.
struct TGdbFrame {
    int Thread = 0;
    std::string Kind; // "normal", "inline", "tailcall" (reconstructed by gdb), "sigtramp" (a signal return), "other"
    std::uintptr_t Pc = 0;
    std::string Name;
};

// Runs a probe under gdb and prints, once it stops (SIGTRAP), every frame of every thread.
std::string RunProbeUnderGdb(const std::string& Probe, const std::string& Mode) {
    return RunCommand("ASAN_OPTIONS=detect_leaks=0 timeout 60 gdb -batch -nx -x " + std::string(KROEXCEPT_GDB_FRAMES) +
                      " -ex 'set backtrace past-main on' -ex 'handle all nostop noprint pass' -ex run -ex frames "
                      "--args " +
                      Probe + " " + Mode + " 2>&1");
}

// Every real frame of gdb's backtrace of the thread that holds Anchor (the call that is traced; empty: the
// innermost frame), from that frame outward, appears in the trace in the same order, and the trace lists nothing
// else. A caller's entry is the call that returns where gdb's frame resumes (within an instruction's length); the
// frame a signal interrupted stands exactly where gdb's stands. The anchor frame itself is the same function (the
// trace was made at another call in it), or with an empty Anchor the same place (a paused thread's, give or take the
// restart of the system call it waits in).
void ExpectTheRealFramesOfGdb(const std::string& Output, const std::string& Anchor, const std::string& Label) {
    std::vector<TGdbFrame> Frames;
    std::vector<std::pair<std::uintptr_t, std::string>> Entries;
    // The functions inlined where each entry stands, innermost first.
    std::vector<std::vector<std::string>> EntriesInlined;
    std::vector<std::string> Pending;
    const std::regex GdbLine(R"(^GDBFRAME (\d+) \d+ (\w+) ([0-9a-f]+) (.*)$)");
    const std::regex EntryLine(R"(^(ENTRY|INLINED) ([0-9a-f]+) (.*)$)");
    std::size_t From = 0;
    while (From < Output.size()) {
        std::size_t To = Output.find('\n', From);
        if (To == std::string::npos)
            To = Output.size();
        const std::string Line = Output.substr(From, To - From);
        From = To + 1;
        std::smatch Match;
        if (std::regex_match(Line, Match, GdbLine))
            Frames.push_back(TGdbFrame{std::stoi(Match[1].str()), Match[2].str(),
                                       std::stoull(Match[3].str(), nullptr, 16), Match[4].str()});
        else if (std::regex_match(Line, Match, EntryLine) && Match[1].str() == "INLINED")
            Pending.push_back(Match[3].str());
        else if (std::regex_match(Line, Match, EntryLine)) {
            Entries.emplace_back(std::stoull(Match[2].str(), nullptr, 16), Match[3].str());
            EntriesInlined.push_back(std::move(Pending));
            Pending.clear();
        }
    }
    ASSERT_FALSE(Entries.empty()) << Label << "\n" << Output;
    // The thread: the one whose backtrace holds the anchor, or (without one) whose innermost frame the trace's first
    // entry stands at.
    int Thread = -1;
    std::size_t First = 0;
    for (std::size_t I = 0; I < Frames.size() && Thread < 0; ++I) {
        const bool Innermost = I == 0 || Frames[I - 1].Thread != Frames[I].Thread;
        if (Anchor.empty() ? Innermost && Frames[I].Pc >= Entries[0].first && Frames[I].Pc - Entries[0].first <= 2
                           : Frames[I].Kind == "normal" && Frames[I].Name.find(Anchor) != std::string::npos) {
            Thread = Frames[I].Thread;
            First = I;
        }
    }
    ASSERT_GE(Thread, 0) << Label << ": gdb shows no frame of " << (Anchor.empty() ? "the traced place" : Anchor)
                         << "\n"
                         << Output;
    // gdb's real frames from the anchor on; a frame after the kernel's signal return stands where it was interrupted.
    // The functions gdb lists as inlined where each real frame stands, innermost first.
    std::vector<std::pair<TGdbFrame, bool>> Real;
    std::vector<std::vector<std::string>> RealInlined;
    std::vector<std::string> Inlined;
    bool Interrupted = false;
    // The anchor's own inlined functions stand where gdb stopped, not where the trace was made.
    std::size_t AnchorStart = First;
    while (!Anchor.empty() && AnchorStart > 0 && Frames[AnchorStart - 1].Thread == Thread &&
           Frames[AnchorStart - 1].Kind == "inline")
        --AnchorStart;
    for (std::size_t I = AnchorStart; I < Frames.size() && Frames[I].Thread == Thread; ++I) {
        if (Frames[I].Kind == "sigtramp")
            Interrupted = true;
        if (Frames[I].Kind == "inline")
            Inlined.push_back(Frames[I].Name);
        if (Frames[I].Kind == "inline" || Frames[I].Kind == "tailcall" || Frames[I].Kind == "sigtramp")
            continue;
        Real.emplace_back(Frames[I], Interrupted);
        RealInlined.push_back(std::move(Inlined));
        Inlined.clear();
        Interrupted = false;
    }
    std::string Listing = Label + "\ngdb:\n";
    for (std::size_t I = 0; I < Real.size(); ++I) {
        for (const std::string& Name : RealInlined[I])
            Listing += "    (inlined) " + Name + "\n";
        char Line[64];
        std::snprintf(Line, sizeof Line, "  %lx%s ", static_cast<unsigned long>(Real[I].first.Pc),
                      Real[I].second ? " (exact)" : "");
        Listing += Line + Real[I].first.Name + "\n";
    }
    Listing += "trace:\n";
    for (std::size_t I = 0; I < Entries.size(); ++I) {
        for (const std::string& Name : EntriesInlined[I])
            Listing += "    (inlined) " + Name + "\n";
        char Line[64];
        std::snprintf(Line, sizeof Line, "  %lx ", static_cast<unsigned long>(Entries[I].first));
        Listing += Line + Entries[I].second + "\n";
    }
    ASSERT_EQ(Entries.size(), Real.size()) << Listing;
    if (Anchor.empty())
        EXPECT_TRUE(Real[0].first.Pc >= Entries[0].first && Real[0].first.Pc - Entries[0].first <= 2) << Listing;
    else
        EXPECT_NE(Entries[0].second.find(Anchor), std::string::npos) << Listing;
    for (std::size_t I = 1; I < Real.size(); ++I) {
        const std::uintptr_t Pc = Real[I].first.Pc;
        const std::uintptr_t Address = Entries[I].first;
        if (Real[I].second)
            EXPECT_EQ(Address, Pc) << "frame " << I << "\n" << Listing;
        else
            EXPECT_TRUE(Address < Pc && Pc - Address <= 15) << "frame " << I << "\n" << Listing;
    }
    // Each frame of the program lists the functions inlined where it stands as gdb does: as many, in the same
    // order, each named as gdb names it (gdb leaves out the parameters). (gdb knows those of the libraries whose
    // debug information is installed; the trace names a library's frames by its exports alone.)
    for (std::size_t I = Anchor.empty() ? 0 : 1; I < Real.size(); ++I) {
        if (Entries[I].second.rfind("kroexcept_trace_probe", 0) != 0)
            continue;
        ASSERT_EQ(EntriesInlined[I].size(), RealInlined[I].size()) << "frame " << I << "\n" << Listing;
        for (std::size_t F = 0; F < RealInlined[I].size(); ++F)
            EXPECT_NE(EntriesInlined[I][F].find(RealInlined[I][F]), std::string::npos) << "frame " << I << "\n"
                                                                                       << Listing;
    }
}

// The probe as the project builds it, and as programs that link the reporter often are: optimised, without frame
// pointers.
const char* const Probes[] = {KROEXCEPT_TRACE_PROBE, KROEXCEPT_TRACE_PROBE_O2};

TEST(StackTraceGdbTest, ATraceOfTheCallingThreadHasEveryFrameOfGdbsAndNoOther) {
    if (RunCommand("command -v gdb").empty())
        GTEST_SKIP() << "gdb is not installed";
    for (const char* Probe : Probes)
        ExpectTheRealFramesOfGdb(RunProbeUnderGdb(Probe, ""), "Probe3", Probe);
}

TEST(StackTraceGdbTest, FramesOfFunctionsTheCLibraryKeepsToItselfAreListedAsGdbShowsThem) {
    if (RunCommand("command -v gdb").empty())
        GTEST_SKIP() << "gdb is not installed";
    for (const char* Probe : Probes)
        ExpectTheRealFramesOfGdb(RunProbeUnderGdb(Probe, "sort"), "TraceAndStop", Probe);
}

TEST(StackTraceGdbTest, ATraceInsideASignalHandlerGoesOnWhereTheSignalStruck) {
    if (RunCommand("command -v gdb").empty())
        GTEST_SKIP() << "gdb is not installed";
    for (const char* Probe : Probes)
        ExpectTheRealFramesOfGdb(RunProbeUnderGdb(Probe, "signal"), "TraceAndStop", Probe);
}

TEST(StackTraceGdbTest, APausedThreadWaitingInTheCLibraryHasEveryFrameOfGdbsAndNoOther) {
    if (RunCommand("command -v gdb").empty())
        GTEST_SKIP() << "gdb is not installed";
    for (const char* Probe : Probes)
        ExpectTheRealFramesOfGdb(RunProbeUnderGdb(Probe, "wait"), "", Probe);
}

} // namespace
