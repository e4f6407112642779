#pragma once

#include <cstdint>
#include <vector>

namespace wb {

// A small deterministic generator (splitmix64), so a seed gives the same world with any standard library.
class TSampleRandom final {
public:
    explicit TSampleRandom(uint64_t Seed) : State_(Seed) {}

    uint64_t Next();
    int32_t Int(int32_t Low, int32_t High); // inclusive
    uint8_t Byte(int Low, int High) { return static_cast<uint8_t>(Int(Low, High)); }
    int16_t Short(int Low, int High) { return static_cast<int16_t>(Int(Low, High)); }
    bool Chance(int Percent) { return Int(0, 99) < Percent; }
    // Count different numbers from Low..High, in random order.
    std::vector<int32_t> Distinct(std::size_t Count, int32_t Low, int32_t High);

private:
    uint64_t State_;
};

} // namespace wb
