#include "KroMapFilePacked.h"

#include "KroCrypt.h"
#include "KroMapFileInlinePart.h"
#include "KroMapFileStream.h"
#include "KroStrings.h"
#include "KroZip.h"

#include <algorithm>
#include <cstring>

namespace {

void PutInt32(std::vector<std::uint8_t>& Out, std::int32_t Value) {
    const auto U = static_cast<std::uint32_t>(Value);
    for (int I = 0; I < 4; ++I)
        Out.push_back(static_cast<std::uint8_t>(U >> (8 * I)));
}

void PutPackedInt(std::vector<std::uint8_t>& Out, std::int64_t Value) {
    if (Value >= -127 && Value <= 127) {
        Out.push_back(static_cast<std::uint8_t>(static_cast<std::int8_t>(Value)));
        return;
    }
    Out.push_back(0x80);
    PutInt32(Out, static_cast<std::int32_t>(Value));
}

void PutPackedString(std::vector<std::uint8_t>& Out, const std::string& Text) {
    const std::size_t Length = std::min<std::size_t>(Text.size(), 255);
    Out.push_back(static_cast<std::uint8_t>(Length));
    Out.insert(Out.end(), Text.begin(), Text.begin() + static_cast<std::ptrdiff_t>(Length));
}

std::int32_t GetInt32(const std::uint8_t* P) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(P[0]) | static_cast<std::uint32_t>(P[1]) << 8 |
                                     static_cast<std::uint32_t>(P[2]) << 16 | static_cast<std::uint32_t>(P[3]) << 24);
}

// The smallest number of bytes one item of each part takes: a count beyond Remaining / this is a lie.
constexpr std::size_t MinSegmentBytes = 9;
constexpr std::size_t MinPublicBytes = 2;
constexpr std::size_t MinLineBytes = 2;

bool ReadSegments(TMiniStream& Stream, TMapFile& Map) {
    std::int32_t Count = 0;
    if (!Stream.ReadInt32(Count) || Count < 0 || static_cast<std::size_t>(Count) > Stream.Remaining() / MinSegmentBytes)
        return false;
    Map.Reserve(static_cast<std::size_t>(Count), 0, 0);
    for (std::int32_t I = 0; I < Count; ++I) {
        std::int32_t Start = 0;
        std::int32_t Length = 0;
        std::string Unit;
        if (!Stream.ReadInt32(Start) || !Stream.ReadInt32(Length) || !Stream.ReadPackedString(Unit))
            return false;
        Map.AppendSegment(true, Map.Absolute(true, Start), Length, Unit);
    }
    return true;
}

bool ReadPublics(TMiniStream& Stream, TMapFile& Map) {
    std::int32_t Count = 0;
    if (!Stream.ReadInt32(Count) || Count < 0 || static_cast<std::size_t>(Count) > Stream.Remaining() / MinPublicBytes)
        return false;
    Map.Reserve(0, static_cast<std::size_t>(Count), 0);
    std::int64_t Offset = 0;
    for (std::int32_t I = 0; I < Count; ++I) {
        std::string Name;
        std::int32_t Value = 0;
        if (!Stream.ReadPackedString(Name) || !(I == 0 ? Stream.ReadInt32(Value) : Stream.ReadPackedInt(Value)))
            return false;
        Offset = I == 0 ? Value : Offset + Value;
        Map.AddPublic(TMapFile::TSource::Packed, true, std::move(Name), Map.Absolute(true, Offset));
    }
    return true;
}

bool ReadLines(TMiniStream& Stream, TMapFile& Map) {
    std::int32_t Count = 0;
    if (!Stream.ReadInt32(Count) || Count < 0)
        return false;
    if (Count == 0)
        return true;
    std::int32_t Line = 0;
    std::int32_t First = 0;
    if (!Stream.ReadInt32(Line) || !Stream.ReadInt32(First) ||
        static_cast<std::size_t>(Count - 1) > Stream.Remaining() / MinLineBytes)
        return false;
    Map.Reserve(0, 0, static_cast<std::size_t>(Count));
    std::int64_t LineNumber = Line;
    std::int64_t Offset = First;
    Map.AddLine(Line, Map.Absolute(true, Offset));
    for (std::int32_t I = 1; I < Count; ++I) {
        std::int32_t LineDelta = 0;
        std::int32_t AddressDelta = 0;
        if (!Stream.ReadPackedInt(LineDelta) || !Stream.ReadPackedInt(AddressDelta))
            return false;
        LineNumber += LineDelta;
        Offset += AddressDelta;
        Map.AddLine(static_cast<std::int32_t>(LineNumber), Map.Absolute(true, Offset));
    }
    return true;
}

// The six letters both halves of the map key start with.
constexpr std::string_view MapKeyLetters = "PyxKro";

} // namespace

std::string DeriveMapKey(std::int32_t BodyLength) {
    const auto Length = static_cast<std::uint32_t>(BodyLength);
    std::string Plain = std::string(MapKeyLetters) + UpperCaseText(IntToHexPadded(Length, 7, '0')) +
                        std::string(MapKeyLetters) + CardinalToTextPadded(Length, 8, '0');
    Plain += Plain;
    std::string Key = Plain;
    LegacyEncipher(Key, Plain);
    return Key;
}

bool ReadPackedMap(TMapFile& Map, const std::uint8_t* Data, std::size_t Size) {
    if (Data == nullptr || Size <= PackedMapHeaderSize || std::memcmp(Data, PackedMapMagic, PackedMapMagicSize) != 0)
        return false;
    const std::int32_t BodyLength = GetInt32(Data + PackedMapMagicSize);
    const std::int32_t Version = GetInt32(Data + PackedMapMagicSize + 4);
    if (Version != PackedMapVersion || BodyLength <= 0 ||
        static_cast<std::size_t>(BodyLength) > Size - PackedMapHeaderSize)
        return false;

    Map.SetValid(true);
    Map.Clear();
    std::vector<std::uint8_t> Body(Data + PackedMapHeaderSize, Data + PackedMapHeaderSize + BodyLength);
    LegacyDecipher(Body.data(), Body.size(), DeriveMapKey(BodyLength));
    TMiniStream Stream(InflateWithCrc(Body.data(), Body.size()));
    Body = {};
    if (!ReadSegments(Stream, Map) || !ReadPublics(Stream, Map) || !ReadLines(Stream, Map)) {
        Map.Clear();
        return true;
    }
    // After the lines: nothing, the entry point, or the entry point (-1: none) and the inlined code.
    std::int32_t Entry = 0;
    if (Stream.Remaining() == 4 && Stream.ReadInt32(Entry)) {
        Map.SetEntryPoint(Map.Absolute(true, Entry));
    } else if (Stream.Remaining() > 4 && Stream.ReadInt32(Entry)) {
        if (!ReadInlinePart(Stream, Map)) {
            Map.Clear();
            return true;
        }
        if (Entry != -1)
            Map.SetEntryPoint(Map.Absolute(true, Entry));
    }
    Map.Finish(false);
    return true;
}

std::vector<std::uint8_t> EncodeMapContent(const TPackedMapContent& Content) {
    std::vector<std::uint8_t> Out;
    PutInt32(Out, static_cast<std::int32_t>(Content.Segments.size()));
    for (const auto& S : Content.Segments) {
        PutInt32(Out, S.Start);
        PutInt32(Out, S.Length);
        PutPackedString(Out, S.Unit);
    }
    PutInt32(Out, static_cast<std::int32_t>(Content.Publics.size()));
    for (std::size_t I = 0; I < Content.Publics.size(); ++I) {
        const auto& P = Content.Publics[I];
        PutPackedString(Out, P.Name);
        if (I == 0)
            PutInt32(Out, P.Offset);
        else
            PutPackedInt(Out, static_cast<std::int64_t>(P.Offset) - Content.Publics[I - 1].Offset);
    }
    PutInt32(Out, static_cast<std::int32_t>(Content.Lines.size()));
    for (std::size_t I = 0; I < Content.Lines.size(); ++I) {
        const auto& L = Content.Lines[I];
        if (I == 0) {
            PutInt32(Out, L.LineNumber);
            PutInt32(Out, L.Offset);
        } else {
            PutPackedInt(Out, static_cast<std::int64_t>(L.LineNumber) - Content.Lines[I - 1].LineNumber);
            PutPackedInt(Out, static_cast<std::int64_t>(L.Offset) - Content.Lines[I - 1].Offset);
        }
    }
    if (!Content.Inlines.Calls.empty()) {
        PutInt32(Out, Content.EntryPoint.value_or(-1));
        WriteInlinePart(Out, Content.Inlines);
    } else if (Content.EntryPoint) {
        PutInt32(Out, *Content.EntryPoint);
    }
    return Out;
}

std::vector<std::uint8_t> PackMapBytes(const std::vector<std::uint8_t>& Unpacked) {
    std::vector<std::uint8_t> Body = DeflateWithCrc(Unpacked.data(), Unpacked.size());
    LegacyEncipher(Body.data(), Body.size(), DeriveMapKey(static_cast<std::int32_t>(Body.size())));
    std::vector<std::uint8_t> Out(PackedMapMagic, PackedMapMagic + PackedMapMagicSize);
    PutInt32(Out, static_cast<std::int32_t>(Body.size()));
    PutInt32(Out, PackedMapVersion);
    Out.insert(Out.end(), Body.begin(), Body.end());
    return Out;
}

std::vector<std::uint8_t> PackMap(const TPackedMapContent& Content) {
    return PackMapBytes(EncodeMapContent(Content));
}
