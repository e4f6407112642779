#include "AgreementTally.h"

#include "OperandMeaning.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

namespace {

bool Matches(const TKnownDifference& Known, const std::string& Mnemonic, const std::string& Difference) {
    const std::string Pattern = Known.Mnemonic;
    const bool Prefix = !Pattern.empty() && Pattern.back() == '*';
    const bool SameMnemonic =
        Prefix ? Mnemonic.rfind(Pattern.substr(0, Pattern.size() - 1), 0) == 0 : Mnemonic == Pattern;
    return SameMnemonic && Difference == Known.Difference;
}

} // namespace

void TAgreementTally::Compare(const std::string& ObjdumpText, const std::string& OurText, bool Bits64,
                              const std::string& Where) {
    ++Compared;
    const TInstructionMeaning Theirs = ObjdumpMeaning(ObjdumpText, Bits64);
    const TInstructionMeaning Mine = OurMeaning(OurText, Bits64);
    const std::string Difference = MeaningDifference(Theirs, Mine);
    if (Difference.empty()) {
        ++Agreeing;
        return;
    }
    TKind& Kind = Kinds[Theirs.Mnemonic + ": " + Difference];
    if (Kind.Count++ == 0)
        Kind.Example = Where + ": '" + ObjdumpText + "' against '" + OurText + "'";
}

double TAgreementTally::Rate() const {
    return Compared == 0 ? 0 : 100.0 * static_cast<double>(Agreeing) / static_cast<double>(Compared);
}

void TAgreementTally::Expect(const std::string& What, const std::vector<TKnownDifference>& Known, double Least) const {
    std::printf("%s: %zu instructions, %.3f %% agree in mnemonic and operands\n", What.c_str(), Compared, Rate());
    std::vector<std::pair<std::size_t, std::string>> ByCount;
    for (const auto& [Kind, Found] : Kinds)
        ByCount.emplace_back(Found.Count, Kind);
    std::sort(ByCount.rbegin(), ByCount.rend());
    std::size_t Unknown = 0;
    for (const auto& [Count, Kind] : ByCount) {
        const std::size_t Colon = Kind.find(": ");
        const std::string Mnemonic = Kind.substr(0, Colon);
        const std::string Difference = Kind.substr(Colon + 2);
        const auto Named = std::find_if(Known.begin(), Known.end(), [&](const TKnownDifference& Entry) {
            return Matches(Entry, Mnemonic, Difference);
        });
        if (Named != Known.end())
            std::printf("  %6zu %s (%s): %s\n", Count, Kind.c_str(), Named->Why, Kinds.at(Kind).Example.c_str());
        else if (++Unknown <= 20)
            ADD_FAILURE() << What << ": " << Count << " x " << Kind << ", e.g. " << Kinds.at(Kind).Example;
    }
    EXPECT_GT(Compared, 0u) << What;
    EXPECT_GE(Rate(), Least) << What;
}
