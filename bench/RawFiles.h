#pragma once

#include "BenchWorlds.h"

#include <cstdint>
#include <string>
#include <vector>

namespace bench {

// The raw read baseline: reads every file of Dir into memory in one call, as the data model's stream does, and
// touches every byte. Returns the sum of the bytes, so that the work cannot be optimised away.
uint64_t RawRead(const std::string& Dir, const std::vector<TDataFile>& Files);

// The raw write baseline: writes files of the given names and sizes into Dir, through a 64 KiB buffer as the data
// model's stream does. With Durable each file goes to a temporary file that is synced and then renamed over the
// target, and the folder is synced: the least a save that never leaves a half-written folder has to do.
void RawWrite(const std::string& Dir, const std::vector<TDataFile>& Files, bool Durable);

} // namespace bench
