#pragma once

#include "PyxSupportClasses.h"

#include <array>
#include <initializer_list>

using TPyxFileHeader = std::array<uint8_t, 12>;

// Reads and checks the 12-byte header every data file starts with: a zero byte, ".dat" in UTF-16LE, the int16
// version and a zero byte. A bad header or a version outside Accepted raises EFileCorruptError naming FileName.
TPyxFileHeader ReadFileHeader(TPyxFileStream& Stream, const char* FileName, std::initializer_list<int> Accepted);

// The version a header carries.
int16_t HeaderVersion(const TPyxFileHeader& Header);
