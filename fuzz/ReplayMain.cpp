// Replays fuzz inputs through the fuzz body without libFuzzer, so any compiler can build it and CTest can run the
// committed corpus. Arguments are input files or folders of them (searched recursively); a fault aborts naming the
// input.

#include "AllocationMeter.h"
#include "FuzzBody.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace fs = std::filesystem;

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
            std::fprintf(stderr, "pyxfuzzreplay: no such input: %s\n", argv[I]);
            return 2;
        }
    }
    if (Inputs.empty()) {
        std::fprintf(stderr, "usage: pyxfuzzreplay [--memory] INPUT_OR_FOLDER...\n");
        return 2;
    }
    std::sort(Inputs.begin(), Inputs.end());
    for (const fs::path& Path : Inputs) {
        std::ifstream In(Path, std::ios::binary);
        const std::vector<char> Bytes((std::istreambuf_iterator<char>(In)), std::istreambuf_iterator<char>());
        if (!In.eof() && In.fail()) {
            std::fprintf(stderr, "pyxfuzzreplay: cannot read %s\n", Path.c_str());
            return 2;
        }
        std::fprintf(stderr, "%s\n", Path.c_str());
        const size_t Before = pyxfuzz::LiveBytes();
        pyxfuzz::RunOne(reinterpret_cast<const uint8_t*>(Bytes.data()), Bytes.size());
        if (Memory)
            std::printf("%s: %zu bytes, heap peak %zu bytes (%.1f times)\n", Path.c_str(), Bytes.size(),
                        pyxfuzz::PeakBytes() - Before,
                        static_cast<double>(pyxfuzz::PeakBytes() - Before) / static_cast<double>(Bytes.size()));
    }
    std::printf("%zu inputs replayed\n", Inputs.size());
    return 0;
}
