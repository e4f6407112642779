#include <gtest/gtest.h>

#include <cstdio>
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

    // gdb: "#3  0x0000... in KroProbe::Probe2 (Depth=1) at .../StackTraceProbe.cpp:29"
    std::vector<TFrame> Gdb;
    const std::regex GdbFrame(R"(^#\d+\s+(?:0x[0-9a-f]+ in )?(\S+) \(.*\) at \S*StackTraceProbe\.cpp:(\d+)$)");
    // The trace: "TRACE module|line|function(arguments)"
    std::vector<TFrame> Traced;
    const std::regex TraceEntry(R"(^TRACE kroexcept_trace_probe\|(\d+)\|([^(]+)(\(.*)?$)");
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
    ASSERT_GE(Gdb.size(), 4u) << Output;
    ASSERT_EQ(Traced.size(), Gdb.size()) << Output;
    // The innermost frame stands at the tracer's call in the trace and at the raise in gdb's backtrace; every frame
    // further out is the same call.
    EXPECT_EQ(Traced[0].first, Gdb[0].first);
    EXPECT_LT(Traced[0].second, Gdb[0].second);
    for (std::size_t I = 1; I < Gdb.size(); ++I)
        EXPECT_EQ(Traced[I], Gdb[I]) << "frame " << I << "\n" << Output;
}

} // namespace
