#include "SummaryReporter.h"

#include <cstdio>
#include <optional>
#include <vector>

namespace bench {

namespace {

std::string Format(const char* Pattern, double Value) {
    char Text[64];
    std::snprintf(Text, sizeof Text, Pattern, Value);
    return Text;
}

std::string Time(std::optional<double> Seconds) {
    if (!Seconds)
        return "-";
    const double Ms = *Seconds * 1000.0;
    return Format(Ms < 10 ? "%.2f ms" : "%.0f ms", Ms);
}

std::string Ratio(std::optional<double> A, std::optional<double> B) {
    if (!A || !B || *B <= 0)
        return "";
    return Format("%.1fx", *A / *B);
}

std::string Pad(const std::string& Text, std::size_t Width) {
    return Text.size() >= Width ? Text + " " : Text + std::string(Width - Text.size(), ' ');
}

std::string Met(bool Ok) {
    return Ok ? "met" : "MISSED";
}

} // namespace

void TSummaryReporter::ReportRuns(const std::vector<Run>& Runs) {
    for (const Run& R : Runs) {
        if (R.error_occurred)
            continue;
        const double Seconds = R.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(R.time_unit);
        TFigure& Figure = Figures_[R.run_name.function_name];
        if (R.run_type == Run::RT_Aggregate) {
            if (R.aggregate_name == "median")
                Figure.Median = Seconds;
        } else {
            Figure.Sum += Seconds;
            ++Figure.Runs;
        }
    }
    ConsoleReporter::ReportRuns(Runs);
}

std::optional<double> TSummaryReporter::Seconds(const std::string& Name, int People) const {
    const auto It = Figures_.find(Name + "/" + std::to_string(People));
    if (It == Figures_.end())
        return std::nullopt;
    if (It->second.Median)
        return It->second.Median;
    if (It->second.Runs == 0)
        return std::nullopt;
    return It->second.Sum / It->second.Runs;
}

void TSummaryReporter::PrintSummary(std::ostream& Out, const std::map<int, TResident>& Fresh,
                                    uint64_t FilesBytes) const {
    const auto& Sizes = WorldSizes();
    const int Large = Sizes.back();
    const int Middle = Sizes.size() > 1 ? Sizes[Sizes.size() - 2] : Large;
    struct TRow {
        const char* Label;
        const char* Name;
        const char* Baseline; // ratio to this benchmark, if any
    };
    const std::vector<TRow> Rows = {
        {"Raw read", "RawRead", nullptr},        {"Load", "Load", "RawRead"},
        {"Raw write", "RawWrite", nullptr},      {"Raw write, durable", "RawWriteDurable", nullptr},
        {"Save", "Save", "RawWriteDurable"},     {"SortAll", "SortAll", nullptr},
        {"Search (Matches)", "Search", nullptr}, {"  one by one", "SearchEach", nullptr}};

    Out << "\nSummary: time per operation; (n.nx) is the ratio to the raw baseline of the same bytes\n";
    Out << Pad("", 20);
    for (int People : Sizes)
        Out << Pad(std::to_string(People) + " persons", 24);
    Out << Large << " / " << Middle << "\n";
    for (const TRow& Row : Rows) {
        Out << Pad(Row.Label, 20);
        for (int People : Sizes) {
            const auto Own = Seconds(Row.Name, People);
            std::string Cell = Time(Own);
            if (Row.Baseline && Own)
                Cell += " (" + Ratio(Own, Seconds(Row.Baseline, People)) + ")";
            Out << Pad(Cell, 24);
        }
        Out << Ratio(Seconds(Row.Name, Large), Seconds(Row.Name, Middle)) << "\n";
    }
    if (!Fresh.empty()) {
        auto FreshLoad = [&](int People) -> std::optional<double> {
            const auto It = Fresh.find(People);
            return It == Fresh.end() ? std::nullopt : std::optional<double>(It->second.LoadSeconds);
        };
        Out << Pad("First load, fresh", 20);
        for (int People : Sizes)
            Out << Pad(Time(FreshLoad(People)), 24);
        Out << Ratio(FreshLoad(Large), FreshLoad(Middle)) << "\n";
    }
    Out << "Save against a raw write without syncing: ";
    for (int People : Sizes)
        Out << Ratio(Seconds("Save", People), Seconds("RawWrite", People)) << " ";
    Out << "\n";
    const auto LargeFresh = Fresh.find(Large);
    const TResident* Memory = LargeFresh == Fresh.end() ? nullptr : &LargeFresh->second;
    if (Memory) {
        const double Files = static_cast<double>(FilesBytes);
        Out << "Memory after loading " << Large << " persons: files " << Format("%.1f MB", Files / 1e6)
            << ", peak resident " << Format("%.1f MB", static_cast<double>(Memory->Peak) / 1e6) << " ("
            << Format("%.2fx", static_cast<double>(Memory->Peak) / Files) << "), resident "
            << Format("%.1f MB", static_cast<double>(Memory->Current) / 1e6) << " ("
            << Format("%.2fx", static_cast<double>(Memory->Current) / Files) << ")\n";
    }

    Out << "\nTargets at " << Large << " persons:\n";
    auto Check = [&](const std::string& Text, std::optional<bool> Ok) {
        Out << "  " << Pad(Text, 60) << (Ok ? Met(*Ok) : std::string("not measured")) << "\n";
    };
    auto Within = [&](const char* Name, const char* Baseline, double Factor, double Limit) -> std::optional<bool> {
        const auto Own = Seconds(Name, Large), Base = Seconds(Baseline, Large);
        if (!Own || !Base)
            return std::nullopt;
        return *Own <= Factor * *Base && *Own < Limit;
    };
    auto Under = [&](const char* Name, double Limit) -> std::optional<bool> {
        const auto Own = Seconds(Name, Large);
        return Own ? std::optional<bool>(*Own < Limit) : std::nullopt;
    };
    Check("Load within 6x the raw read and under 0.6 s", Within("Load", "RawRead", 6, 0.6));
    Check("Save within 6x the durable raw write and under 0.6 s", Within("Save", "RawWriteDurable", 6, 0.6));
    Check("Search over all persons under 20 ms", Under("Search", 0.020));
    Check("SortAll under 100 ms", Under("SortAll", 0.100));
    Check("Peak resident memory after loading under 3x the files",
          Memory ? std::optional<bool>(static_cast<double>(Memory->Peak) < 3.0 * static_cast<double>(FilesBytes))
                 : std::nullopt);
    std::optional<bool> Linear;
    for (const char* Name : {"Load", "Save", "SortAll", "Search"}) {
        const auto A = Seconds(Name, Large), B = Seconds(Name, Middle);
        if (A && B)
            Linear = Linear.value_or(true) && *A <= 12.0 * *B;
    }
    Check("Load, Save, SortAll, Search at " + std::to_string(Large) + " within 12x of " + std::to_string(Middle),
          Linear);
}

} // namespace bench
