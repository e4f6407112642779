#include "SampleRandom.h"

#include <stdexcept>
#include <unordered_set>

namespace wb {

uint64_t TSampleRandom::Next() {
    uint64_t Z = (State_ += 0x9E3779B97F4A7C15ULL);
    Z = (Z ^ (Z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    Z = (Z ^ (Z >> 27)) * 0x94D049BB133111EBULL;
    return Z ^ (Z >> 31);
}

int32_t TSampleRandom::Int(int32_t Low, int32_t High) {
    const auto Span = static_cast<uint64_t>(static_cast<int64_t>(High) - Low + 1);
    return static_cast<int32_t>(Low + static_cast<int64_t>(Next() % Span));
}

std::vector<int32_t> TSampleRandom::Distinct(std::size_t Count, int32_t Low, int32_t High) {
    if (static_cast<int64_t>(High) - Low + 1 < static_cast<int64_t>(Count))
        throw std::invalid_argument("not enough distinct numbers in the range");
    std::unordered_set<int32_t> Seen;
    std::vector<int32_t> Result;
    while (Result.size() < Count) {
        const int32_t Value = Int(Low, High);
        if (Seen.insert(Value).second)
            Result.push_back(Value);
    }
    return Result;
}

} // namespace wb
