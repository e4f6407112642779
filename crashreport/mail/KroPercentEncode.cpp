#include "KroPercentEncode.h"

namespace {

bool IsAlphanumeric(std::size_t Byte) noexcept {
    return (Byte >= '0' && Byte <= '9') || (Byte >= 'A' && Byte <= 'Z') || (Byte >= 'a' && Byte <= 'z');
}

} // namespace

std::string PercentEncode(std::string_view Text, const TCharSet& Set, char Escape) {
    static constexpr char Hex[] = "0123456789ABCDEF";
    std::string Result;
    Result.reserve(Text.size());
    for (const char C : Text) {
        const auto Byte = static_cast<unsigned char>(C);
        if (Set[Byte])
            Result.append(1, Escape).append(1, Hex[Byte >> 4]).append(1, Hex[Byte & 15]);
        else
            Result += C;
    }
    return Result;
}

TCharSet MailtoEscapeSet() {
    TCharSet Set;
    for (std::size_t Byte = 0; Byte < 256; ++Byte)
        Set[Byte] = !IsAlphanumeric(Byte) && Byte != '-' && Byte != '.' && Byte != '_' && Byte != '~';
    return Set;
}

TCharSet SubjectEscapeSet() {
    TCharSet Set;
    for (std::size_t Byte = 0; Byte < 256; ++Byte)
        Set[Byte] = !IsAlphanumeric(Byte);
    return Set;
}
