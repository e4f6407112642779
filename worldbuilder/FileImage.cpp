#include "FileImage.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>

namespace wb {

std::size_t TFileImage::At(const std::string& Name) const {
    const auto It = Offsets.find(Name);
    if (It == Offsets.end())
        throw std::out_of_range("no part named \"" + Name + "\" in the file image");
    return It->second;
}

std::string TFileImage::Locate(std::size_t Offset) const {
    // Among the parts starting at or before Offset take the latest start; at equal starts the longer name is the
    // more specific one ("Clubs[0]" inside "Clubs" never shares its start, but "Block[0]" and "Block[0].Cities" do).
    const std::string* Best = nullptr;
    std::size_t BestStart = 0;
    for (const auto& [Name, Start] : Offsets) {
        if (Start > Offset)
            continue;
        if (Best == nullptr || Start > BestStart || (Start == BestStart && Name.size() > Best->size())) {
            Best = &Name;
            BestStart = Start;
        }
    }
    if (Best == nullptr)
        return "byte " + std::to_string(Offset);
    return *Best + " + " + std::to_string(Offset - BestStart);
}

std::string IndexedName(const std::string& Name, std::size_t Index) {
    return Name + "[" + std::to_string(Index) + "]";
}

static std::string Hex(unsigned Value) {
    char Text[8];
    std::snprintf(Text, sizeof Text, "0x%02x", Value);
    return Text;
}

std::string DescribeDifference(const TFileImage& Expected, const std::vector<uint8_t>& Actual) {
    const auto& Want = Expected.Data();
    const std::size_t Common = std::min(Want.size(), Actual.size());
    std::size_t At = 0;
    while (At < Common && Want[At] == Actual[At])
        ++At;
    if (At == Common && Want.size() == Actual.size())
        return {};
    std::ostringstream Out;
    Out << "first difference at byte " << At << " (" << Expected.Locate(At) << "): ";
    Out << "expected " << (At < Want.size() ? Hex(Want[At]) : std::string("end of file"));
    Out << ", got " << (At < Actual.size() ? Hex(Actual[At]) : std::string("end of file"));
    Out << "; sizes " << Want.size() << " expected, " << Actual.size() << " actual";
    return Out.str();
}

std::vector<uint8_t> ReadFileBytes(const std::string& Path) {
    std::ifstream In(Path, std::ios::binary);
    if (!In)
        throw std::runtime_error("cannot open " + Path);
    return {std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>()};
}

} // namespace wb
