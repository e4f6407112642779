#pragma once

#include "KroMapFile.h"

#include <cstdint>
#include <memory>
#include <string>

// Where a module's debug map comes from: the first source that works of the map embedded in the module file, the
// linker's binary debug information (a ".tds" file), the linker's text map (".map") and a packed map file (".kro")
// beside the module.

// With Load false an empty, invalid map; otherwise the module's layout is read from its file (ModuleHandle is where
// its first byte lies in memory) and the sources are tried in order.
std::unique_ptr<TMapFile> CreateMapFile(bool Load, std::uintptr_t ModuleHandle, const std::string& ModuleFileName);
