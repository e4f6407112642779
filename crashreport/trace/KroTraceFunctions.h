#pragma once

#include "KroTraceDecoder.h"
#include "KroTraceModules.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// The stack tracer's cache of analysed functions: each is analysed once per process; whether it is known to lie on a
// trace path (approved) or was shown wrong (rejected) carries over from trace to trace.

struct TTraceFunction {
    std::int32_t Module = -1;
    std::string Name;
    TTraceFunctionInfo Info;
    bool Approved = false;
    bool Rejected = false;

    // A stand-in without extent, made for an address that could not be analysed.
    bool Pseudo() const noexcept { return Info.Areas.empty(); }
    // Whether a code area holds Address as a return address may (start < Address <= end + 1).
    bool Holds(std::uintptr_t Address) const noexcept;
};

// The call a return address (or an exact address) was found behind.
struct TCallMatch {
    std::uintptr_t CallSite = 0;
    std::uintptr_t Target = 0;
    bool ExactMatch = false; // the call's target is known
};

// The functions a throw, an abort or an assertion raises through on this platform: an exception address that is the
// return address of a call of one of them counts as that call.
bool IsRaiseFunctionName(std::string_view Name) noexcept;

class TTraceFunctions final {
public:
    explicit TTraceFunctions(TTraceModules& Modules) : Modules(Modules) {}

    std::size_t Count() const noexcept { return Rows.size(); }
    TTraceFunction& operator[](std::int32_t Index) { return Rows[static_cast<std::size_t>(Index)]; }
    const TTraceFunction& operator[](std::int32_t Index) const { return Rows[static_cast<std::size_t>(Index)]; }

    // The cached function that starts at Start, -1 for none.
    std::int32_t Find(std::uintptr_t Start) const;
    // The function at Start, analysed when it is not cached yet and entered with Name (else its public's or export's
    // name); the targets of its jumps out are analysed the same way. With Force a function that cannot be analysed
    // is entered as a stand-in. -1 when it cannot be analysed.
    std::int32_t Analyze(std::uintptr_t Start, const std::string* Name, std::int32_t Module, bool Force, bool Approve);
    // Approves the function and, transitively, every cached function its jumps out lead to.
    void Approve(std::int32_t Function);
    // The first approved, not rejected function whose code holds Address; -1 for none.
    std::int32_t ApprovedHolding(std::uintptr_t Address) const;

    // Whether Address lies right behind a call of Function (Exact: on an instruction of it), and which call. For an
    // exact address, a call of a raise function whose return address is Expected moves Address there.
    bool CallCheck(std::int32_t Function, std::uintptr_t Expected, std::uintptr_t& Address, bool Exact,
                   TCallMatch& Match);

    // The name of the function that starts at Address: its public's in the module's map, else its export's.
    std::string NameAt(std::uintptr_t Address);

    void Clear();

private:
    std::int32_t AnalyzeDepth(std::uintptr_t Start, const std::string* Name, std::int32_t Module, bool Force,
                              bool Approve, int Depth);

    TTraceModules& Modules;
    std::vector<TTraceFunction> Rows;
    std::unordered_map<std::uintptr_t, std::int32_t> ByStart;
};
