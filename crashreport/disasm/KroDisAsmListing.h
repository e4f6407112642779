#pragma once

#include "KroDisAsmDecoder.h"
#include "KroDisAsmTypes.h"

#include <set>
#include <string>
#include <vector>

// The listing of an analysed function, as the bug report's disassembly section shows it: its areas in address
// order with labels, case tables as "dd" lines, rule lines after returns and jumps (full labels), "»" on the line
// of the exception address, and only the context around that line when a context is asked for.
class TKroFunctionListing final {
public:
    explicit TKroFunctionListing(const TKroDecoder& Decoder) : Decoder(Decoder) {}

    void Compose(const TFunctionInfo& Info, std::uint64_t ExceptAddress, std::int32_t ContextLines, bool FullLabels,
                 std::string& Text) const;

private:
    struct TLine {
        std::string Text;
        bool Exception = false;
    };

    std::string LabelOf(const TFunctionInfo& Info, std::uint64_t Address) const;
    void ListCode(const TFunctionInfo& Info, const TCodeArea& Area, const std::set<std::uint64_t>& CodeStarts,
                  std::uint64_t ExceptAddress, bool FullLabels, std::vector<TLine>& Lines) const;
    void ListTable(const TFunctionInfo& Info, const TCodeArea& Area, bool FullLabels, std::vector<TLine>& Lines) const;
    void Separator(std::uint64_t Address, std::vector<TLine>& Lines) const;
    void Line(std::vector<TLine>& Lines, std::uint64_t Address, const std::string& Text) const;

    const TKroDecoder& Decoder;
};
