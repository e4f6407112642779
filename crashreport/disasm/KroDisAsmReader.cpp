#include "KroDisAsmReader.h"

std::size_t TKroCodeReader::ReadSome(std::uint64_t Address, void* Dest, std::size_t Count) const {
    if (Read(Address, Dest, Count))
        return Count;
    // Bytes up to the first hole: halve the piece until a read succeeds, then go on behind it.
    auto* Out = static_cast<unsigned char*>(Dest);
    std::size_t Done = 0;
    std::size_t Piece = Count;
    while (Done < Count && Piece > 0) {
        if (Piece > Count - Done)
            Piece = Count - Done;
        if (Read(Address + Done, Out + Done, Piece))
            Done += Piece;
        else
            Piece /= 2;
    }
    return Done;
}
