#include "KroMapFileText.h"

#include "KroMapFileModule.h"

#include <cstdint>
#include <vector>

namespace {

bool HexDigits(std::string_view Line, std::size_t From, std::size_t Count, std::uint32_t& Value) {
    if (From + Count > Line.size() || Count == 0)
        return false;
    Value = 0;
    for (std::size_t I = From; I < From + Count; ++I) {
        const char C = Line[I];
        int Digit = 0;
        if (C >= '0' && C <= '9')
            Digit = C - '0';
        else if (C >= 'A' && C <= 'F')
            Digit = C - 'A' + 10;
        else if (C >= 'a' && C <= 'f')
            Digit = C - 'a' + 10;
        else
            return false;
        Value = Value << 4 | static_cast<std::uint32_t>(Digit);
    }
    return true;
}

bool CharAt(std::string_view Line, std::size_t At, char C) {
    return At < Line.size() && Line[At] == C;
}

// "0001:00001000 00000200 C=CODE     S=.text    G=(none)   M=Unit     ACBP=A9"
void SegmentLine(TMapFile& Map, std::string_view Line) {
    std::uint32_t Segment = 0;
    std::uint32_t Start = 0;
    std::uint32_t Length = 0;
    if (Line.size() <= 72 || !CharAt(Line, 4, ':') || !CharAt(Line, 13, ' ') || !CharAt(Line, 22, ' ') ||
        !CharAt(Line, 23, 'C') || !CharAt(Line, 24, '=') || !HexDigits(Line, 0, 4, Segment) ||
        !HexDigits(Line, 5, 8, Start) || !HexDigits(Line, 14, 8, Length) || (Segment != 1 && Segment != 2))
        return;
    std::string_view Name = Line.substr(0, Line.rfind(' '));
    while (!Name.empty() && Name.back() == ' ')
        Name.remove_suffix(1);
    const std::size_t Mark = Name.find_last_of("=\\|");
    if (Mark != std::string_view::npos)
        Name.remove_prefix(Mark + 1);
    const bool Code = Segment == 1;
    Map.AppendSegment(Code, Map.Absolute(Code, Start), static_cast<std::int32_t>(Length), Name);
}

// A public waits until every segment is read: its unit comes from the segment that holds it.
struct TPendingPublic final {
    bool Code = true;
    std::string Name;
    std::uintptr_t Address = 0;
};

// "0001:00000010       Unit.Function" or "0001:00000010       Unit.Method(Params)"
void PublicLine(const TMapFile& Map, std::string_view Line, std::vector<TPendingPublic>& Publics) {
    std::uint32_t Segment = 0;
    std::uint32_t Offset = 0;
    if (Line.size() <= 13 || !CharAt(Line, 4, ':') || !HexDigits(Line, 0, 4, Segment) ||
        !HexDigits(Line, 5, 8, Offset) || (Segment != 1 && Segment != 2))
        return;
    std::string_view Name;
    if (Line.back() == ')') {
        const std::size_t Open = Line.rfind('(');
        const std::size_t Blank =
            Open == std::string_view::npos || Open < 13 ? std::string_view::npos : Line.rfind(' ', Open);
        if (Blank != std::string_view::npos && Blank >= 13)
            Name = Line.substr(Blank + 1, Open - Blank - 1);
    } else {
        const std::size_t Blank = Line.rfind(' ');
        if (Blank != std::string_view::npos && Blank >= 13)
            Name = Line.substr(Blank + 1);
    }
    if (Name.empty())
        return;
    const bool Code = Segment == 1;
    Publics.push_back(TPendingPublic{Code, std::string(Name), Map.Absolute(Code, Offset)});
}

// "    12 0001:00000010    13 0001:00000018 ..."
void LineNumbersLine(TMapFile& Map, std::string_view Line, std::uintptr_t& LastAddress, bool& HaveLast) {
    struct TPair {
        std::int32_t Line;
        std::uint32_t Offset;
    };
    std::vector<TPair> Pairs;
    std::size_t At = 0;
    while (true) {
        while (At < Line.size() && Line[At] == ' ')
            ++At;
        if (At >= Line.size())
            break;
        std::int64_t Number = 0;
        const std::size_t Digits = At;
        while (At < Line.size() && Line[At] >= '0' && Line[At] <= '9' && Number < 0x7FFFFFFF)
            Number = Number * 10 + (Line[At++] - '0');
        std::uint32_t Segment = 0;
        std::uint32_t Offset = 0;
        if (At == Digits || !CharAt(Line, At, ' ') || !HexDigits(Line, At + 1, 4, Segment) ||
            !CharAt(Line, At + 5, ':') || !HexDigits(Line, At + 6, 8, Offset))
            return; // a malformed line counts as not read
        if (Segment == 1)
            Pairs.push_back(TPair{static_cast<std::int32_t>(Number), Offset});
        At += 5 + 9;
    }
    for (const TPair& P : Pairs) {
        const std::uintptr_t Address = Map.Absolute(true, P.Offset);
        if (HaveLast && Address <= LastAddress)
            continue;
        Map.AddLine(P.Line, Address);
        LastAddress = Address;
        HaveLast = true;
    }
}

// "Program entry point at 0001:00001234"
void EntryPointLine(TMapFile& Map, std::string_view Line) {
    std::uint32_t Offset = 0;
    if (Line.size() > 34 && CharAt(Line, 27, ':') && HexDigits(Line, 28, 8, Offset))
        Map.SetEntryPoint(Map.Absolute(true, Offset));
}

} // namespace

void ReadTextMap(TMapFile& Map, std::string_view Text) {
    enum class TSection { None, Segments, Publics, Lines };
    TSection Section = TSection::None;
    bool SectionStarted = false;
    std::uintptr_t LastLineAddress = 0;
    bool HaveLastLine = false;
    std::vector<TPendingPublic> Publics;
    std::size_t From = 0;
    while (From < Text.size()) {
        std::size_t To = Text.find('\n', From);
        if (To == std::string_view::npos)
            To = Text.size();
        std::string_view Line = Text.substr(From, To - From);
        From = To + 1;
        if (!Line.empty() && Line.back() == '\r')
            Line.remove_suffix(1);
        while (!Line.empty() && (Line.front() == ' ' || Line.front() == '\t'))
            Line.remove_prefix(1);

        if (Line.empty()) {
            if (SectionStarted)
                Section = TSection::None;
            continue;
        }
        if (Line.find("Detailed map of segments") != std::string_view::npos) {
            Section = TSection::Segments;
            SectionStarted = false;
            continue;
        }
        if (Line.find("Publics by Value") != std::string_view::npos) {
            Section = TSection::Publics;
            SectionStarted = false;
            continue;
        }
        if (Line.find("Line numbers for ") != std::string_view::npos && Line.find('(') != std::string_view::npos &&
            Line.find(')') != std::string_view::npos) {
            Section = TSection::Lines;
            SectionStarted = false;
            continue;
        }
        if (Line.find("Program entry point at ") != std::string_view::npos) {
            EntryPointLine(Map, Line);
            continue;
        }
        SectionStarted = Section != TSection::None;
        switch (Section) {
        case TSection::Segments:
            SegmentLine(Map, Line);
            break;
        case TSection::Publics:
            PublicLine(Map, Line, Publics);
            break;
        case TSection::Lines:
            LineNumbersLine(Map, Line, LastLineAddress, HaveLastLine);
            break;
        case TSection::None:
            break;
        }
    }
    Map.OrderSegments();
    for (TPendingPublic& Public : Publics)
        Map.AddPublic(TMapFile::TSource::TextMap, Public.Code, std::move(Public.Name), Public.Address);
    Map.Finish(false);
}

bool ReadTextMapFile(TMapFile& Map, const std::string& FileName) {
    const std::vector<std::uint8_t> Content = ReadWholeFile(FileName);
    if (Content.empty())
        return false;
    ReadTextMap(Map, std::string_view(reinterpret_cast<const char*>(Content.data()), Content.size()));
    Map.SetValid(true);
    Map.SetSourceFileName(FileName);
    return true;
}
