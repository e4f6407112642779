// pyxbench: the data model's load, save, sort and search on generated worlds of 2,000, 30,000 and 300,000 persons,
// each beside a raw read or write of the same bytes, the memory a loaded world holds, and a summary of the ratios
// and targets. Google Benchmark's options apply (--benchmark_filter=Load, --benchmark_repetitions=5, ...);
// --no-memory skips the memory probe.

#include "BenchWorlds.h"
#include "ModelBenchmarks.h"
#include "SummaryReporter.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <filesystem>
#include <iostream>
#include <map>

int main(int argc, char** argv) {
    bool Memory = true;
    int Kept = 1;
    for (int I = 1; I < argc; ++I) {
        if (std::strcmp(argv[I], "--no-memory") == 0)
            Memory = false;
        else
            argv[Kept++] = argv[I];
    }
    argc = Kept;
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 2;

    for (int People : bench::WorldSizes())
        if (!std::filesystem::exists(bench::WorldDir(People) + "people_db.dat")) {
            std::cerr << "The benchmark world " << bench::WorldDir(People)
                      << " is missing; build the benchworlds target (cmake --build --preset release).\n";
            return 1;
        }

    // First, while this process is still small: the memory a freshly loaded large world holds.
    const int Large = bench::WorldSizes().back();
    const uint64_t FilesBytes = bench::TotalSize(bench::DataFiles(bench::WorldDir(Large)));
    // One child process per world size loads it into a fresh heap: the memory the large world holds, and the
    // time of a first load, when every page is new to the process.
    std::map<int, bench::TResident> Fresh;
    if (Memory) {
        try {
            for (int People : bench::WorldSizes())
                Fresh[People] = bench::ResidentAfterLoad(People);
        } catch (const std::exception& E) {
            std::cerr << E.what() << '\n';
            return 1;
        }
    }

    bench::RegisterModelBenchmarks();
    bench::TSummaryReporter Reporter;
    benchmark::RunSpecifiedBenchmarks(&Reporter);
    Reporter.PrintSummary(std::cout, Fresh, FilesBytes);
    benchmark::Shutdown();
    return 0;
}
