#include "KroMapFile.h"

#include <algorithm>
#include <cctype>
#include <limits>

namespace {

// The binary debug information puts each segment in its place as it comes (it extends the one it put last), which
// costs time in proportion to the segments already there. Real programs have a few thousand units; beyond this many
// a source is no real map, and further segments are left out so that reading it stays quick.
constexpr std::size_t MaxPlacedSegments = 8192;

bool SameText(std::string_view A, std::string_view B) {
    return A.size() == B.size() && std::equal(A.begin(), A.end(), B.begin(), [](char X, char Y) {
               return std::tolower(static_cast<unsigned char>(X)) == std::tolower(static_cast<unsigned char>(Y));
           });
}

// The linker of the text and binary sources writes names as "@Unit@Class@Method$qqr..." ; the unit is the text
// between the first two "@", the name the rest up to the first "$" with "@" read as ".". False for any other name.
bool SplitMangledName(std::string& Name, std::string& Unit) {
    if (Name.size() < 3 || Name[0] != '@')
        return false;
    const std::size_t Second = Name.find('@', 2);
    if (Second == std::string::npos)
        return false;
    Unit = Name.substr(1, Second - 1);
    std::string Rest = Name.substr(Second + 1);
    const std::size_t Dollar = Rest.find('$');
    bool Destructor = false;
    if (Dollar != std::string::npos) {
        Destructor = Dollar + 2 < Rest.size() && Rest[Dollar + 2] == 'd';
        Rest.resize(Dollar);
    }
    std::replace(Rest.begin(), Rest.end(), '@', '.');
    if (!Rest.empty() && Rest.back() == '.')
        Rest += Destructor ? "Destroy" : "Create";
    Name = Rest;
    return true;
}

// The binary search of the lookups: the last item whose address is at or below Address, with its successor's
// address as the end of its reach (the last item reaches to Limit).
template <typename Item>
const Item* ItemOfAddress(const std::vector<Item>& Items, std::uintptr_t Address, std::uintptr_t Limit) {
    auto After = std::upper_bound(Items.begin(), Items.end(), Address,
                                  [](std::uintptr_t A, const Item& I) { return A < I.Address; });
    if (After == Items.begin())
        return nullptr;
    if (After == Items.end() && Address >= Limit)
        return nullptr;
    return &*(After - 1);
}

} // namespace

std::uintptr_t TMapFile::Absolute(bool Code, std::int64_t Offset) const {
    return (Code ? ModuleLayout.CodeStart : ModuleLayout.DataStart) + static_cast<std::uintptr_t>(Offset);
}

std::pair<std::size_t, std::size_t> TMapFile::KindRange(bool Code) const {
    const auto FirstData =
        std::partition_point(SegmentList.begin(), SegmentList.end(), [](const TMfSegment& S) { return S.Code; });
    const auto Split = static_cast<std::size_t>(FirstData - SegmentList.begin());
    return Code ? std::make_pair(std::size_t{0}, Split) : std::make_pair(Split, SegmentList.size());
}

void TMapFile::AddSegment(bool Code, std::uintptr_t Start, std::int32_t Length, std::string_view UnitName) {
    if (SegmentList.size() >= MaxPlacedSegments)
        return;
    const std::size_t Dot = UnitName.rfind('.');
    if (Dot != std::string_view::npos)
        UnitName = UnitName.substr(0, Dot);
    const auto [First, Last] = KindRange(Code);
    const auto At = std::upper_bound(SegmentList.begin() + static_cast<std::ptrdiff_t>(First),
                                     SegmentList.begin() + static_cast<std::ptrdiff_t>(Last), Start,
                                     [](std::uintptr_t A, const TMfSegment& S) { return A < S.Start; });
    LastInserted = static_cast<std::size_t>(At - SegmentList.begin());
    SegmentList.insert(At, TMfSegment{true, Code, Start, Length, std::string(UnitName)});
}

void TMapFile::AppendSegment(bool Code, std::uintptr_t Start, std::int32_t Length, std::string_view UnitName) {
    const std::size_t Dot = UnitName.rfind('.');
    if (Dot != std::string_view::npos)
        UnitName = UnitName.substr(0, Dot);
    SegmentList.push_back(TMfSegment{true, Code, Start, Length, std::string(UnitName)});
}

const TMfSegment* TMapFile::SegmentOfKind(bool Code, std::uintptr_t Address) const {
    const auto [First, Last] = KindRange(Code);
    const auto Begin = SegmentList.begin() + static_cast<std::ptrdiff_t>(First);
    const auto End = SegmentList.begin() + static_cast<std::ptrdiff_t>(Last);
    const auto After =
        std::upper_bound(Begin, End, Address, [](std::uintptr_t A, const TMfSegment& S) { return A < S.Start; });
    if (After == Begin)
        return nullptr;
    const TMfSegment& S = *(After - 1);
    return S.Length > 0 && Address - S.Start < static_cast<std::uint32_t>(S.Length) ? &S : nullptr;
}

void TMapFile::AddPublic(TSource Source, bool Code, std::string Name, std::uintptr_t Address) {
    if (Source == TSource::Packed) {
        // Our own maps hold demangled C++ names: no unit prefix to split off, and a function named like its file
        // (main in main.cpp) is no unit initialization, so the linker-map rules below do not apply.
        PublicList.push_back(TMfPublic{true, Code, std::move(Name), Address});
        return;
    }
    // Names like "@$xp$..." are the compiler's type information, not functions.
    if (Name.size() >= 6 && Name[0] == '@' && Name[1] == '$' && Name[2] == 'x' && Name[4] == '$')
        return;
    std::string SplitUnit;
    const bool WasSplit = SplitMangledName(Name, SplitUnit);
    const TMfSegment* Holder = SegmentOfKind(Code, Address);
    if (Holder != nullptr && Name == Holder->UnitName)
        Name = "initialization";
    else if (Holder != nullptr && WasSplit && !SameText(SplitUnit, Holder->UnitName))
        Name = SplitUnit + "." + Name;

    if (Source == TSource::BinaryDebugInfo) {
        // The binary source knows units only by their segments; a public stretches the unit opened last up to
        // itself, and one that no segment holds opens a unit of its own.
        TMfSegment* Current = LastInserted < SegmentList.size() ? &SegmentList[LastInserted] : nullptr;
        if (Current != nullptr && Current->Code == Code && Current->Start <= Address &&
            Current->Start + static_cast<std::uint32_t>(std::max(Current->Length, 0)) < Address &&
            Address - Current->Start <= static_cast<std::uintptr_t>(std::numeric_limits<std::int32_t>::max()))
            Current->Length = static_cast<std::int32_t>(Address - Current->Start);
        if (Holder == nullptr && (Current == nullptr || Current->UnitName != SplitUnit))
            AddSegment(Code, Address, 0, SplitUnit);
    }
    PublicList.push_back(TMfPublic{true, Code, std::move(Name), Address});
}

void TMapFile::AddLine(std::int32_t LineNumber, std::uintptr_t Address) {
    LineList.push_back(TMfLine{LineNumber, Address});
}

void TMapFile::OrderSegments() {
    const auto ByKindAndStart = [](const TMfSegment& A, const TMfSegment& B) {
        return A.Code != B.Code ? A.Code : A.Start < B.Start;
    };
    if (!std::is_sorted(SegmentList.begin(), SegmentList.end(), ByKindAndStart))
        std::stable_sort(SegmentList.begin(), SegmentList.end(), ByKindAndStart);
}

void TMapFile::Finish(bool TrimSegments) {
    const auto ByAddress = [](const auto& A, const auto& B) { return A.Address < B.Address; };
    if (!std::is_sorted(PublicList.begin(), PublicList.end(), ByAddress))
        std::stable_sort(PublicList.begin(), PublicList.end(), ByAddress);
    if (!std::is_sorted(LineList.begin(), LineList.end(), ByAddress))
        std::stable_sort(LineList.begin(), LineList.end(), ByAddress);
    OrderSegments();
    InlineCode.Finish();
    if (!TrimSegments)
        return;
    for (std::size_t I = 0; I + 1 < SegmentList.size(); ++I) {
        TMfSegment& S = SegmentList[I];
        const TMfSegment& Next = SegmentList[I + 1];
        if (S.Code == Next.Code && Next.Start > S.Start &&
            S.Start + static_cast<std::uint32_t>(std::max(S.Length, 0)) > Next.Start)
            S.Length = static_cast<std::int32_t>(Next.Start - S.Start - 1);
    }
}

void TMapFile::Clear() {
    LastInserted = static_cast<std::size_t>(-1);
    SegmentList.clear();
    PublicList.clear();
    LineList.clear();
    InlineCode.Clear();
}

void TMapFile::Reserve(std::size_t Segments, std::size_t Publics, std::size_t Lines) {
    SegmentList.reserve(Segments);
    PublicList.reserve(Publics);
    LineList.reserve(Lines);
}

const TMfSegment* TMapFile::GetSegmentOfAddress(std::uintptr_t Address) const {
    const TMfSegment* Segment = SegmentOfKind(true, Address);
    return Segment != nullptr ? Segment : SegmentOfKind(false, Address);
}

const TMfPublic* TMapFile::GetPublicOfAddress(std::uintptr_t Address) const {
    return ItemOfAddress(PublicList, Address, ModuleLayout.CodeEnd);
}

std::int32_t TMapFile::GetLineOfAddress(std::uintptr_t Address) const {
    const TMfLine* Line = ItemOfAddress(LineList, Address, ModuleLayout.CodeEnd);
    const TMfSegment* Segment = Line == nullptr ? nullptr : GetSegmentOfAddress(Address);
    if (Segment == nullptr || Line->Address < Segment->Start ||
        Line->Address - Segment->Start > static_cast<std::uint32_t>(Segment->Length))
        return 0;
    return Line->LineNumber;
}

std::uintptr_t TMapFile::GetAddressOfPublic(std::string_view Unit, std::string_view Name, bool Code, bool Exact) const {
    std::uintptr_t Found = 0;
    for (const TMfSegment& S : SegmentList) {
        if (S.Code != Code || !SameText(S.UnitName, Unit))
            continue;
        const std::uintptr_t End = S.Start + static_cast<std::uint32_t>(std::max(S.Length, 0));
        auto P = std::lower_bound(PublicList.begin(), PublicList.end(), S.Start,
                                  [](const TMfPublic& Pub, std::uintptr_t A) { return Pub.Address < A; });
        for (; P != PublicList.end() && P->Address <= End; ++P)
            if (P->Code == Code && (Exact ? P->Name == Name : SameText(P->Name, Name))) {
                Found = P->Address;
                break;
            }
    }
    return Found;
}

std::string TMapFile::GetSymbolNameAt(std::uintptr_t Address) const {
    const TMfPublic* P = GetPublicOfAddress(Address);
    return P != nullptr && P->Address == Address ? P->Name : std::string();
}

std::vector<TMfInlineFrame> TMapFile::GetInlinedFramesOfAddress(std::uintptr_t Address) const {
    if (Address >= ModuleLayout.CodeEnd)
        return {};
    return InlineCode.FramesOf(Address);
}
