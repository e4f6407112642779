#pragma once

#include "KroMapFile.h"

#include <cstdint>
#include <string>
#include <vector>

// Reading a module file for its debug map. Every header, count and offset of the file is checked against the file
// before it is used: a damaged or hostile module gives "nothing found", never a fault or a huge allocation.

// The name of the non-allocated section that carries a module's packed debug map.
inline constexpr const char* EmbeddedMapSectionName = ".kroexcept";

// The module's code, data and entry point from its ELF program headers, made absolute for a module whose first
// byte (the ELF header) lies at ModuleHandle. The code is the executable loadable segment, the data the writable one.
bool ReadModuleLayout(const std::string& FileName, std::uintptr_t ModuleHandle, TModuleLayout& Layout);

// Where the module's first byte lies when it is loaded where it was linked (a position-independent file: 0).
bool LinkedModuleHandle(const std::string& FileName, std::uintptr_t& ModuleHandle);

// The content of the module's embedded map section, empty when it has none.
std::vector<std::uint8_t> ReadEmbeddedMap(const std::string& FileName);

// No map source is larger than this.
inline constexpr std::size_t MaxMapSourceSize = 256u << 20;

// A whole regular file (at most MaxSize bytes); empty when it cannot be read or is larger.
std::vector<std::uint8_t> ReadWholeFile(const std::string& FileName, std::size_t MaxSize = MaxMapSourceSize);

// The file name without the extension of its last path component ("/a.b/c" stays "/a.b/c").
std::string FileNameWithoutExtension(const std::string& FileName);
