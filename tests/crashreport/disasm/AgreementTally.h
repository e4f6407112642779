#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <vector>

// A difference between objdump's text and ours that a comparison accepts: objdump's mnemonic ("pf*" for every
// mnemonic starting "pf"), what differs (as MeaningDifference says it) and why.
struct TKnownDifference {
    const char* Mnemonic;
    const char* Difference;
    const char* Why;
};

// Counts the instructions whose text agrees with objdump's, operand by operand, and tallies the others by kind:
// objdump's mnemonic and what differs.
class TAgreementTally final {
public:
    // Where names the instruction in the examples (its address, or its bytes).
    void Compare(const std::string& ObjdumpText, const std::string& OurText, bool Bits64, const std::string& Where);

    std::size_t Instructions() const { return Compared; }
    double Rate() const;

    // Prints the figures; fails for every kind that is not among Known and for a rate below Least.
    void Expect(const std::string& What, const std::vector<TKnownDifference>& Known, double Least) const;

private:
    struct TKind {
        std::size_t Count = 0;
        std::string Example;
    };
    std::size_t Compared = 0;
    std::size_t Agreeing = 0;
    std::map<std::string, TKind> Kinds; // "mnemonic: difference"
};
