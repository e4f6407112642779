// Traces itself three calls deep, prints the trace's entries, and stops with SIGTRAP one call further in, so that a
// debugger's backtrace of the same stack can be compared with the trace.
#include "KroStackTrace.h"

#include <atomic>
#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

namespace KroProbe {

std::atomic<int> Sink{0};

__attribute__((noinline)) void Probe3(int Depth) {
    std::vector<TStackTraceEntry> Entries;
    std::string Text;
    TStackTraceRequest Request;
    Request.Entries = &Entries;
    ComputeStackTrace(Request, Text);
    for (const TStackTraceEntry& Entry : Entries)
        std::printf("TRACE %s|%d|%s\n", Entry.ModuleName.c_str(), Entry.Line, Entry.FunctionName.c_str());
    std::fflush(stdout);
    raise(SIGTRAP);
    Sink.fetch_add(Depth);
}

__attribute__((noinline)) void Probe2(int Depth) {
    Probe3(Depth + 1);
    Sink.fetch_add(1);
}

__attribute__((noinline)) void Probe1(int Depth) {
    Probe2(Depth + 1);
    Sink.fetch_add(1);
}

} // namespace KroProbe

int main() {
    KroProbe::Probe1(0);
    return KroProbe::Sink.load() > 0 ? 0 : 1;
}
