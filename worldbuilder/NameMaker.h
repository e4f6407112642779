#pragma once

#include "SampleRandom.h"

#include <string>

namespace wb {

// Invents names from syllables. A style stands for one naming tradition, so that the persons, cities and clubs of
// one nation sound alike and those of different nations do not. Names are not guaranteed to be distinct.
class TNameMaker final {
public:
    static constexpr int StyleCount = 8;

    explicit TNameMaker(TSampleRandom& Random) : Random_(Random) {}

    std::u16string FirstName(int Style);
    std::u16string SecondName(int Style);
    std::u16string CommonName(int Style);
    std::u16string NationName(int Style);
    std::u16string CityName(int Style);

private:
    TSampleRandom& Random_;
};

} // namespace wb
