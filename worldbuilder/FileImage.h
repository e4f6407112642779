#pragma once

#include "Bytes.h"

#include <cstddef>
#include <map>
#include <string>
#include <vector>

namespace wb {

// The bytes of one data file and where each part of it starts. Keys are the table and section names as the game
// names them ("Clubs", "Person Languages"), records as "Clubs[3]", and file-specific parts documented with each
// writer. A table's offset points at its int32 count, a record's at its first byte.
struct TFileImage {
    TBytes Bytes;
    std::map<std::string, std::size_t> Offsets;

    const std::vector<uint8_t>& Data() const { return Bytes.Data(); }
    std::size_t Size() const { return Bytes.Size(); }
    std::size_t At(const std::string& Name) const; // throws std::out_of_range naming the missing key
    void Mark(const std::string& Name) { Offsets[Name] = Bytes.Size(); }
    // The most specific named part that contains Offset, as "Clubs[3] + 17".
    std::string Locate(std::size_t Offset) const;
};

std::string IndexedName(const std::string& Name, std::size_t Index);

// Empty when Actual equals the image; otherwise where and how the bytes first differ, for test failure messages.
std::string DescribeDifference(const TFileImage& Expected, const std::vector<uint8_t>& Actual);

std::vector<uint8_t> ReadFileBytes(const std::string& Path);

} // namespace wb
