#include "KroZip.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <limits>

namespace {

constexpr std::size_t HeaderSize = 12;
// Deflate cannot expand data by more than about 1032 to 1; a stated length above that is a lie.
constexpr std::uint64_t MaxExpansion = 1032;
// No map of ours comes near this; it keeps a crafted map from claiming a gigabyte of zeros.
constexpr std::uint64_t MaxUnpacked = 256u << 20;
constexpr std::uint32_t ZlibChunk = 1u << 30;

std::uint32_t ReadLe32(const std::uint8_t* P) {
    return static_cast<std::uint32_t>(P[0]) | static_cast<std::uint32_t>(P[1]) << 8 |
           static_cast<std::uint32_t>(P[2]) << 16 | static_cast<std::uint32_t>(P[3]) << 24;
}

void WriteLe32(std::uint8_t* P, std::uint32_t Value) {
    for (int I = 0; I < 4; ++I)
        P[I] = static_cast<std::uint8_t>(Value >> (8 * I));
}

} // namespace

std::uint32_t Crc32Of(const std::uint8_t* Data, std::size_t Size) {
    uLong Crc = crc32(0L, Z_NULL, 0);
    while (Size > 0) {
        const auto Piece = static_cast<uInt>(std::min<std::size_t>(Size, ZlibChunk));
        Crc = crc32(Crc, Data, Piece);
        Data += Piece;
        Size -= Piece;
    }
    return static_cast<std::uint32_t>(Crc);
}

std::vector<std::uint8_t> InflateWithCrc(const std::uint8_t* Data, std::size_t Size) {
    std::vector<std::uint8_t> Out;
    if (Data == nullptr || Size <= HeaderSize)
        return Out;
    const auto Stated = static_cast<std::int32_t>(ReadLe32(Data));
    const std::uint32_t ExpectedCrc = ReadLe32(Data + 4);
    const std::size_t StreamSize = Size - HeaderSize;
    if (Stated <= 0 || static_cast<std::uint64_t>(Stated) > StreamSize * MaxExpansion + 64 ||
        static_cast<std::uint64_t>(Stated) > MaxUnpacked)
        return Out;

    z_stream Stream{};
    if (inflateInit2(&Stream, -MAX_WBITS) != Z_OK)
        return Out;
    // Grow the output as the stream delivers, so a short stream with a large stated length costs nothing.
    const auto Limit = static_cast<std::size_t>(Stated);
    const std::uint8_t* In = Data + HeaderSize;
    std::size_t InLeft = StreamSize;
    int Result = Z_OK;
    while (Result == Z_OK && Out.size() < Limit) {
        const std::size_t Produced = Out.size();
        Out.resize(std::min(Limit, std::max<std::size_t>(Produced * 2, 64 * 1024)));
        Stream.next_out = Out.data() + Produced;
        Stream.avail_out = static_cast<uInt>(std::min<std::size_t>(Out.size() - Produced, ZlibChunk));
        const std::size_t InPiece = std::min<std::size_t>(InLeft, ZlibChunk);
        Stream.next_in = const_cast<Bytef*>(In);
        Stream.avail_in = static_cast<uInt>(InPiece);
        Result = inflate(&Stream, Z_NO_FLUSH);
        const std::size_t Consumed = InPiece - Stream.avail_in;
        In += Consumed;
        InLeft -= Consumed;
        Out.resize(Out.size() - Stream.avail_out);
        if (Result == Z_BUF_ERROR && InLeft > 0 && Out.size() < Limit)
            Result = Z_OK; // output space was short; go round again
    }
    inflateEnd(&Stream);
    const bool Broken = Result != Z_OK && Result != Z_STREAM_END;
    if (Broken || Crc32Of(Out.data(), Out.size()) != ExpectedCrc)
        Out.clear();
    Out.shrink_to_fit();
    return Out;
}

std::vector<std::uint8_t> DeflateWithCrc(const std::uint8_t* Data, std::size_t Size) {
    std::vector<std::uint8_t> Out;
    if (Size > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()))
        return Out;
    z_stream Stream{};
    if (deflateInit2(&Stream, Z_BEST_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 9, Z_DEFAULT_STRATEGY) != Z_OK)
        return Out;
    Out.resize(HeaderSize + deflateBound(&Stream, static_cast<uLong>(Size)));
    WriteLe32(Out.data(), static_cast<std::uint32_t>(Size));
    WriteLe32(Out.data() + 4, Crc32Of(Data, Size));
    WriteLe32(Out.data() + 8, 0);
    Stream.next_in = const_cast<Bytef*>(Data);
    Stream.avail_in = static_cast<uInt>(Size);
    Stream.next_out = Out.data() + HeaderSize;
    Stream.avail_out = static_cast<uInt>(Out.size() - HeaderSize);
    const int Result = deflate(&Stream, Z_FINISH);
    deflateEnd(&Stream);
    if (Result != Z_STREAM_END)
        return {};
    Out.resize(HeaderSize + Stream.total_out);
    return Out;
}
