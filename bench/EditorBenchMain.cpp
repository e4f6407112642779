// pyxeditorbench: the editor's figures on the generated worlds, beside the data model's own: Load Data in the main
// window against the model's load, listing and searching all people in a list view, a keystroke of incremental
// search, and the memory a first Load Data leaves in a fresh process against the model's alone. It runs offscreen;
// Google Benchmark's options apply (--benchmark_filter=ShowAll/300000, ...); --no-memory skips the memory probes.

#include "BenchWorlds.h"
#include "EditorBenchmarks.h"
#include "SummaryReporter.h"

#include "PyxApplication.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <map>
#include <string>

namespace {

std::string Milliseconds(std::optional<double> Seconds) {
    if (!Seconds)
        return "-";
    char Text[32];
    std::snprintf(Text, sizeof Text, "%.1f ms", *Seconds * 1000.0);
    return Text;
}

std::string Times(double Value) {
    char Text[32];
    std::snprintf(Text, sizeof Text, "%.2fx", Value);
    return Text;
}

void PrintSummary(const bench::TSummaryReporter& Reporter, const std::map<int, bench::TResident>& Model,
                  const std::map<int, bench::TResident>& Editor) {
    const int Large = bench::WorldSizes().back();
    std::cout << "\nEditor summary (medians per operation):\n";
    for (int People : bench::WorldSizes()) {
        const auto Reload = Reporter.Seconds("ModelReload", People);
        const auto Load = Reporter.Seconds("EditorLoad", People);
        std::cout << "  " << People << " persons: Load Data " << Milliseconds(Load) << " against the model's "
                  << Milliseconds(Reload) << (Load && Reload ? " (" + Times(*Load / *Reload) + ")" : std::string())
                  << "; ShowAll " << Milliseconds(Reporter.Seconds("ShowAll", People)) << ", Search "
                  << Milliseconds(Reporter.Seconds("Search", People)) << ", keystroke "
                  << Milliseconds(Reporter.Seconds("KeystrokeHit", People)) << " (no match "
                  << Milliseconds(Reporter.Seconds("KeystrokeMiss", People)) << "); person focus "
                  << Milliseconds(Reporter.Seconds("PersonFocus", People)) << ", unchanged Confirm "
                  << Milliseconds(Reporter.Seconds("PersonConfirm", People)) << ", Delete Person "
                  << Milliseconds(Reporter.Seconds("PersonDelete", People)) << "\n";
    }
    const auto M = Model.find(Large);
    const auto E = Editor.find(Large);
    if (M != Model.end() && E != Editor.end()) {
        std::cout << "  First load in a fresh process, " << Large << " persons: editor "
                  << Milliseconds(E->second.LoadSeconds) << ", model " << Milliseconds(M->second.LoadSeconds) << " ("
                  << Times(E->second.LoadSeconds / M->second.LoadSeconds) << ")\n"
                  << "  Resident memory after it: editor " << E->second.Current / 1000000 << " MB, model "
                  << M->second.Current / 1000000 << " MB ("
                  << Times(static_cast<double>(E->second.Current) / static_cast<double>(M->second.Current))
                  << "); peak editor " << E->second.Peak / 1000000 << " MB, model " << M->second.Peak / 1000000
                  << " MB\n";
    }
}

} // namespace

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
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The probes fork before this process has an application object of its own.
    std::map<int, bench::TResident> Model, Editor;
    if (Memory) {
        try {
            const int Large = bench::WorldSizes().back();
            Model[Large] = bench::ResidentAfterLoad(Large);
            Editor[Large] = bench::EditorResidentAfterLoad(Large);
        } catch (const std::exception& E) {
            std::cerr << E.what() << '\n';
            return 1;
        }
    }
    TPyxApplication Application(argc, argv);
    bench::RegisterEditorBenchmarks();
    bench::TSummaryReporter Reporter;
    benchmark::RunSpecifiedBenchmarks(&Reporter);
    bench::ReleaseEditor();
    PrintSummary(Reporter, Model, Editor);
    benchmark::Shutdown();
    return 0;
}
