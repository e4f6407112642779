// Replays fuzz inputs through the fuzz body without libFuzzer, so any compiler can build it and CTest can run the
// committed corpus. Arguments are input files or folders of them (searched recursively); a fault aborts naming the
// input.

#include "AllocationMeter.h"
#ifdef PYX_REPLAY_MAPS
#include "MapFuzzBody.h"
#else
#include "FuzzBody.h"
#endif

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// One driver replays the inputs of either fuzz target: the load target's, or (built with PYX_REPLAY_MAPS) the
// debug-map target's.
#ifdef PYX_REPLAY_MAPS
constexpr const char* Name = "kromapfuzzreplay";
void RunOneInput(const uint8_t* Data, std::size_t Size) {
    pyxfuzz::RunOneMap(Data, Size);
}
#else
constexpr const char* Name = "pyxfuzzreplay";
void RunOneInput(const uint8_t* Data, std::size_t Size) {
    pyxfuzz::RunOne(Data, Size);
}
#endif

} // namespace

int main(int argc, char** argv) {
    std::vector<fs::path> Inputs;
    bool Memory = false;
    for (int I = 1; I < argc; ++I) {
        const fs::path Arg = argv[I];
        if (Arg == "--memory") {
            Memory = true;
            continue;
        }
        if (fs::is_directory(Arg)) {
            for (const auto& Entry : fs::recursive_directory_iterator(Arg))
                if (Entry.is_regular_file())
                    Inputs.push_back(Entry.path());
        } else if (fs::is_regular_file(Arg)) {
            Inputs.push_back(Arg);
        } else {
            std::fprintf(stderr, "%s: no such input: %s\n", Name, argv[I]);
            return 2;
        }
    }
    if (Inputs.empty()) {
        std::fprintf(stderr, "usage: %s [--memory] INPUT_OR_FOLDER...\n", Name);
        return 2;
    }
    std::sort(Inputs.begin(), Inputs.end());
    for (const fs::path& Path : Inputs) {
        std::ifstream In(Path, std::ios::binary);
        const std::vector<char> Bytes((std::istreambuf_iterator<char>(In)), std::istreambuf_iterator<char>());
        if (!In.eof() && In.fail()) {
            std::fprintf(stderr, "%s: cannot read %s\n", Name, Path.c_str());
            return 2;
        }
        std::fprintf(stderr, "%s\n", Path.c_str());
        const size_t Before = pyxfuzz::LiveBytes();
        RunOneInput(reinterpret_cast<const uint8_t*>(Bytes.data()), Bytes.size());
        if (Memory)
            std::printf("%s: %zu bytes, heap peak %zu bytes (%.1f times)\n", Path.c_str(), Bytes.size(),
                        pyxfuzz::PeakBytes() - Before,
                        static_cast<double>(pyxfuzz::PeakBytes() - Before) / static_cast<double>(Bytes.size()));
    }
    std::printf("%zu inputs replayed\n", Inputs.size());
    return 0;
}
