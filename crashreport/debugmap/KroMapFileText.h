#pragma once

#include "KroMapFile.h"

#include <string>
#include <string_view>

// The linker's detailed text map (a ".map" file beside the module): its segments, its publics by value, its line
// numbers and its entry point. A line that does not have the expected shape, or holds a malformed number, is
// skipped alone.
void ReadTextMap(TMapFile& Map, std::string_view Text);

// Reads the text map file into Map. False when the file cannot be read; otherwise the map is valid and the file is
// its source, whatever the parse found.
bool ReadTextMapFile(TMapFile& Map, const std::string& FileName);
