#pragma once

#include "KroMapFile.h"

#include <cstddef>
#include <cstdint>
#include <string>

// The linker's binary debug information (signature "FB09" or "FB0A"): its modules with their segments, its public
// symbols and its source line tables. Every directory, subsection, record and offset is checked against the buffer;
// whatever does not fit is skipped.

// False (Map untouched) when the buffer does not start with the signature.
bool ReadBinaryDebugInfo(TMapFile& Map, const std::uint8_t* Data, std::size_t Size);

// Looks for the binary debug information of a module: the file beside it with the extension ".tds", or the module
// file itself when it has that extension. True when one was found and read; the map is then valid.
bool ReadBinaryDebugInfoBeside(TMapFile& Map, const std::string& ModuleFileName);
