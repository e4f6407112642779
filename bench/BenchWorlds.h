#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace bench {

// Sizes of the generated worlds, in persons.
const std::vector<int>& WorldSizes();
// The folder pyxworld wrote the world of People persons into, with a trailing '/'.
std::string WorldDir(int People);
// A scratch folder under the build tree for files written from the world of People persons (created on demand).
std::string OutDir(int People, const std::string& Kind);

struct TDataFile {
    std::string Name;
    uint64_t Size = 0;
};
// The data files (*.dat) of a folder, by name.
std::vector<TDataFile> DataFiles(const std::string& Dir);
uint64_t TotalSize(const std::vector<TDataFile>& Files);

struct TResident {
    uint64_t Peak = 0;      // VmHWM: the most this process has held resident
    uint64_t Current = 0;   // VmRSS
    double LoadSeconds = 0; // how long the load took, for ResidentAfterLoad
};
TResident ResidentMemory();
// Loads the world of People persons in a child process (so that nothing this process allocated counts, and the
// load finds a fresh heap as the editor's first load does) and returns the child's resident memory after the load
// and the load's time. Throws std::runtime_error when the child fails.
TResident ResidentAfterLoad(int People);

} // namespace bench
