// kroexceptbench: what the crash reporter adds to each C++ throw of a program that links it. The reporter's throw
// hook records the throw's site and the return addresses of the calls it is made in (RecordThrow), so that an
// exception a handler catches can be reported along the way it was thrown; that record is taken on every throw,
// whether it is ever reported or not. Measured here beside a throw and its catch through the same number of calls,
// made with the C++ runtime's own throw (this program does not put the reporter's hook in).
//
//   kroexceptbench [Google Benchmark options]

#include "KroThrowSite.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <stdexcept>
#include <typeinfo>

namespace {

// Each level does something after its call, so that it keeps a frame of its own.
__attribute__((noinline)) void ThrowAt(int Depth) {
    if (Depth == 0)
        throw std::runtime_error("benchmark");
    ThrowAt(Depth - 1);
    benchmark::ClobberMemory();
}

const std::runtime_error Thrown("benchmark");

__attribute__((noinline)) void RecordAt(int Depth) {
    if (Depth == 0) {
        // As the hook records a throw: the thrower's return address and stack position.
        RecordThrow(&Thrown, &typeid(Thrown), reinterpret_cast<std::uintptr_t>(__builtin_return_address(0)),
                    reinterpret_cast<std::uintptr_t>(__builtin_frame_address(0)) + 16);
        return;
    }
    RecordAt(Depth - 1);
    benchmark::ClobberMemory();
}

// A throw through Depth calls, caught where they started.
void ThrowAndCatch(benchmark::State& State) {
    const auto Depth = static_cast<int>(State.range(0));
    for (auto _ : State) {
        try {
            ThrowAt(Depth);
        } catch (const std::exception& Error) {
            benchmark::DoNotOptimize(&Error);
        }
    }
}

// The reporter's record of a throw made Depth calls deep.
void RecordThrowPath(benchmark::State& State) {
    const auto Depth = static_cast<int>(State.range(0));
    for (auto _ : State)
        RecordAt(Depth);
}

BENCHMARK(ThrowAndCatch)->Arg(8)->Arg(32)->Arg(64)->Unit(benchmark::kMicrosecond);
BENCHMARK(RecordThrowPath)->Arg(8)->Arg(32)->Arg(64)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
