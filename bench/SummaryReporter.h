#pragma once

#include "BenchWorlds.h"

#include <benchmark/benchmark.h>

#include <map>
#include <optional>
#include <ostream>
#include <string>

namespace bench {

// The console reporter, which also keeps every benchmark's time per operation so that the ratios to the raw
// baselines, the growth from one world size to the next and the targets can be printed after the run.
class TSummaryReporter final : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& Runs) override;

    // Seconds per operation of "Name/People", if it ran.
    std::optional<double> Seconds(const std::string& Name, int People) const;
    // The table of figures and ratios, the fresh-process loads (by world size, when probed), the memory figures of
    // the largest world against FilesBytes, its files' total size, and which targets are met.
    void PrintSummary(std::ostream& Out, const std::map<int, TResident>& Fresh, uint64_t FilesBytes) const;

private:
    struct TFigure {
        double Sum = 0;
        int Runs = 0;
        std::optional<double> Median;
    };
    std::map<std::string, TFigure> Figures_;
};

} // namespace bench
