#include "KroDisAsmImageReader.h"

#include <cstring>

void TKroImageCodeReader::AddSegment(std::uint64_t Address, const unsigned char* Bytes, std::size_t Size) {
    if (Size == 0 || Address + Size < Address)
        return;
    Segments.push_back({Address, Bytes, Size});
}

void TKroImageCodeReader::AddZeroSegment(std::uint64_t Address, std::uint64_t Size) {
    if (Size == 0 || Address + Size < Address)
        return;
    Segments.push_back({Address, nullptr, Size});
}

void TKroImageCodeReader::AddName(std::uint64_t Address, const std::string& Name) {
    if (!Name.empty())
        Names.emplace(Address, Name);
}

const TKroImageCodeReader::TSegment* TKroImageCodeReader::SegmentOf(std::uint64_t Address) const {
    for (const TSegment& Segment : Segments)
        if (Address >= Segment.Address && Address - Segment.Address < Segment.Size)
            return &Segment;
    return nullptr;
}

bool TKroImageCodeReader::Read(std::uint64_t Address, void* Dest, std::size_t Count) const {
    auto* Out = static_cast<unsigned char*>(Dest);
    // A read may run from one segment into the next when they are adjacent.
    while (Count > 0) {
        const TSegment* Segment = SegmentOf(Address);
        if (Segment == nullptr)
            return false;
        const std::uint64_t Offset = Address - Segment->Address;
        const std::size_t Piece =
            Count < Segment->Size - Offset ? Count : static_cast<std::size_t>(Segment->Size - Offset);
        if (Segment->Bytes == nullptr)
            std::memset(Out, 0, Piece);
        else
            std::memcpy(Out, Segment->Bytes + Offset, Piece);
        Out += Piece;
        Address += Piece;
        Count -= Piece;
    }
    return true;
}

bool TKroImageCodeReader::CodeRange(std::uint64_t Address, std::uint64_t& Begin, std::uint64_t& End) const {
    const TSegment* Segment = SegmentOf(Address);
    if (Segment == nullptr)
        return false;
    Begin = Segment->Address;
    End = Segment->Address + Segment->Size;
    return true;
}

bool TKroImageCodeReader::NameOf(std::uint64_t Address, std::string& Name, std::string& Module) const {
    Module.clear();
    const auto Found = Names.find(Address);
    if (Found == Names.end()) {
        Name.clear();
        return false;
    }
    Name = Found->second;
    return true;
}

bool TKroImageCodeReader::AddressOf(const std::string& Name, std::uint64_t& Address) const {
    for (const auto& [Where, Text] : Names)
        if (Text == Name) {
            Address = Where;
            return true;
        }
    return false;
}
