#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One function that the compiler inlined where an address lies, as a trace lists it: the function, and the unit and
// line at which the code of the address stands in it.
struct TMfInlineFrame final {
    std::string FunctionName;
    std::string UnitName;  // without path and extension; empty when unknown
    std::int32_t Line = 0; // 0 when unknown
};

// The code that a module's functions hold inlined: which calls were inlined where, nested to any depth, and the
// source lines of the inlined code itself. The map's segments and lines name an address by its outermost function
// (the call site of the outermost inlined call); this names the calls within.
class TMapInlines final {
public:
    // An inlined call: the code from Start up to End came from the function Function, inlined at the unit File and
    // line Line of the function one level further out.
    struct TCall final {
        std::uintptr_t Start = 0;
        std::uintptr_t End = 0; // exclusive
        std::uint32_t Function = 0;
        std::uint32_t File = 0;
        std::int32_t Line = 0;
    };
    // A source line of inlined code: it reaches from Address up to the next row.
    struct TRow final {
        std::uintptr_t Address = 0;
        std::uint32_t File = 0;
        std::int32_t Line = 0;
    };

    bool Empty() const { return CallsByDepth.empty(); }
    std::size_t Depths() const { return CallsByDepth.size(); }
    const std::vector<TCall>& CallsAtDepth(std::size_t Depth) const { return CallsByDepth[Depth - 1]; }
    const std::vector<TRow>& Rows() const { return RowList; }

    // Filling, for the packed map's reader. Unit names lose their extension as the segments' do. A call or row that
    // names a function or unit beyond the tables is refused (false).
    void SetNames(std::vector<std::string> Functions, std::vector<std::string> Units);
    bool AddCall(std::size_t Depth, const TCall& Call); // Depth 1: inlined into the function itself
    bool AddRow(const TRow& Row);
    // Orders what was added for the lookups; calls of one depth that overlap an earlier one are dropped.
    void Finish();
    void Clear();

    // The inlined functions at Address, innermost first: the innermost at the address's own line, each further one
    // at the line where it called the one before. The outermost function, which holds them all, is not among them.
    // Empty when the address lies in no inlined code.
    std::vector<TMfInlineFrame> FramesOf(std::uintptr_t Address) const;

private:
    std::string FunctionOf(std::uint32_t Index) const;
    std::string UnitOf(std::uint32_t Index) const;

    std::vector<std::vector<TCall>> CallsByDepth; // [depth - 1], each sorted by start
    std::vector<TRow> RowList;                    // sorted by address
    std::vector<std::string> FunctionNames;
    std::vector<std::string> UnitNames;
};
