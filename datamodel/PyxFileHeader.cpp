#include "PyxFileHeader.h"

#include <algorithm>
#include <cstring>
#include <string>

int16_t HeaderVersion(const TPyxFileHeader& Header) {
    int16_t V;
    std::memcpy(&V, Header.data() + 9, 2);
    return V;
}

TPyxFileHeader ReadFileHeader(TPyxFileStream& Stream, const char* FileName, std::initializer_list<int> Accepted) {
    TPyxFileHeader H{};
    Stream.Read(H.data(), 12);
    const std::string Invalid = std::string(FileName) + " doesn't seem to be a valid Pyx data file.";
    // The three characters after the dot must read "dat" exactly; a character outside ASCII never does.
    static const uint8_t Expected[] = {0x2E, 0x00, 'd', 0x00, 'a', 0x00, 't', 0x00};
    if (H[0] != 0 || std::memcmp(H.data() + 1, Expected, sizeof Expected) != 0 || H[11] != 0)
        throw EFileCorruptError(Invalid);
    int16_t Version = HeaderVersion(H);
    if (std::find(Accepted.begin(), Accepted.end(), Version) == Accepted.end())
        throw EFileCorruptError(Invalid + "\r\nUnknown File Version: " + std::to_string(Version));
    return H;
}
