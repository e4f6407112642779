#include "ModelBenchmarks.h"

#include "BenchWorlds.h"
#include "PyxDatabase.h"
#include "RawFiles.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace bench {

namespace {

// One loaded world at a time: the benchmarks of one size run together, and holding all three would only make the
// large one slower.
TPyxDatabase& LoadedWorld(int People) {
    static int LoadedPeople = -1;
    static std::unique_ptr<TPyxDatabase> Db;
    if (LoadedPeople != People) {
        Db.reset();
        Db = std::make_unique<TPyxDatabase>();
        Db->Load(WorldDir(People));
        LoadedPeople = People;
    }
    return *Db;
}

// What a save of the world writes: its files' names and sizes, from one save made beforehand.
const std::vector<TDataFile>& SavedFiles(int People) {
    static int SavedPeople = -1;
    static std::vector<TDataFile> Files;
    if (SavedPeople != People) {
        const std::string Dir = OutDir(People, "save");
        LoadedWorld(People).Save(Dir);
        Files = DataFiles(Dir);
        SavedPeople = People;
    }
    return Files;
}

void SetBytes(benchmark::State& State, uint64_t Bytes) {
    State.SetBytesProcessed(static_cast<int64_t>(State.iterations()) * static_cast<int64_t>(Bytes));
}

void RawReadBench(benchmark::State& State, int People) {
    const std::string Dir = WorldDir(People);
    const auto Files = DataFiles(Dir);
    for (auto _ : State)
        benchmark::DoNotOptimize(RawRead(Dir, Files));
    SetBytes(State, TotalSize(Files));
}

void LoadBench(benchmark::State& State, int People) {
    const std::string Dir = WorldDir(People);
    for (auto _ : State) {
        auto Db = std::make_unique<TPyxDatabase>();
        Db->Load(Dir);
        State.PauseTiming();
        Db.reset();
        State.ResumeTiming();
    }
    SetBytes(State, TotalSize(DataFiles(Dir)));
}

void RawWriteBench(benchmark::State& State, int People, bool Durable) {
    const auto& Files = SavedFiles(People);
    const std::string Dir = OutDir(People, Durable ? "rawdurable" : "raw");
    for (auto _ : State)
        RawWrite(Dir, Files, Durable);
    SetBytes(State, TotalSize(Files));
}

void SaveBench(benchmark::State& State, int People) {
    TPyxDatabase& Db = LoadedWorld(People);
    const std::string Dir = OutDir(People, "save");
    for (auto _ : State)
        Db.Save(Dir);
    SetBytes(State, TotalSize(SavedFiles(People)));
}

void SortAllBench(benchmark::State& State, int People) {
    TPyxDatabase& Db = LoadedWorld(People);
    for (auto _ : State)
        Db.SortAll();
}

// The search as the editor runs it: Matches over every person in list order, through SearchMatches, which
// fetches the names a few persons ahead.
void SearchBench(benchmark::State& State, int People) {
    TPyxDatabase& Db = LoadedWorld(People);
    const std::u16string Text = SearchText;
    int64_t Found = 0;
    for (auto _ : State) {
        Found = 0;
        Db.People.SearchMatches(Text, [&](int32_t, TPyxObject*, bool Matched) { Found += Matched ? 1 : 0; });
        benchmark::DoNotOptimize(Found);
    }
    State.counters["matches"] = static_cast<double>(Found);
    State.counters["people"] = static_cast<double>(Db.People.Count());
}

// The same search by calling Matches on one person after the other, without fetching ahead: what SearchMatches
// gains.
void SearchEachBench(benchmark::State& State, int People) {
    TPyxDatabase& Db = LoadedWorld(People);
    const std::u16string Text = SearchText;
    int64_t Found = 0;
    for (auto _ : State) {
        Found = 0;
        Db.People.ForEach([&](const TPyxPerson* P) { Found += P->Matches(Text) ? 1 : 0; });
        benchmark::DoNotOptimize(Found);
    }
    State.counters["matches"] = static_cast<double>(Found);
}

} // namespace

void RegisterModelBenchmarks() {
    for (int People : WorldSizes()) {
        auto Register = [&](const char* Name, auto Fn) {
            return benchmark::RegisterBenchmark((std::string(Name) + "/" + std::to_string(People)).c_str(),
                                                [People, Fn](benchmark::State& State) { Fn(State, People); })
                ->Unit(benchmark::kMillisecond)
                ->UseRealTime()
                ->MinTime(1.0);
        };
        Register("RawRead", RawReadBench);
        Register("Load", LoadBench);
        Register("RawWrite", [](benchmark::State& S, int N) { RawWriteBench(S, N, false); });
        Register("RawWriteDurable", [](benchmark::State& S, int N) { RawWriteBench(S, N, true); });
        Register("Save", SaveBench);
        Register("SortAll", SortAllBench);
        Register("Search", SearchBench);
        Register("SearchEach", SearchEachBench);
    }
}

} // namespace bench
