#pragma once

#include "KroMapFile.h"

#include <cstdint>
#include <memory>
#include <string>

// The debug maps of the process's modules, read once per module file and kept. Maps are shared: a map the cache
// drops (its file changed on disk) stays alive for whoever still holds it. Any thread may ask: the cache has a lock
// of its own that it only tries, so that a thread paused by the reporter while it held the lock never makes the
// reporter wait; a thread that finds the cache busy gets a map read for it alone.

// The map of the module that holds Address (0: the program's own module). The address must lie in a mapped region
// that belongs to a module file; otherwise, or when the module has no readable map, an empty invalid map.
std::shared_ptr<const TMapFile> GetMapFileOfAddress(std::uintptr_t Address);

// Frees every cached map (maps still held elsewhere live on until released). Waits for the cache's lock: not for
// the report path.
void ClearMapCache();

// The disassembler's name for an address: the public that starts exactly there, empty when none does.
std::string MapSymbolNameOfAddress(std::uintptr_t Address);

// The module file that holds Address and where its first byte lies, from the process's own list of mappings.
bool FindModuleOfAddress(std::uintptr_t Address, std::string& FileName, std::uintptr_t& ModuleHandle);
