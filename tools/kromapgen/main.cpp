// kromapgen PROGRAM OUTPUT: writes the packed debug map of a linked program to OUTPUT. The build runs it after every
// link and embeds the map in the program as a section of its own.
#include "MapBuilder.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr const char* Usage = "usage: kromapgen PROGRAM OUTPUT\n"
                              "Writes the packed debug map of the linked PROGRAM (its functions from the symbol\n"
                              "table, its units and lines from the DWARF line tables) to the file OUTPUT.\n";

} // namespace

int main(int Argc, char** Argv) {
    std::vector<std::string> Args(Argv + 1, Argv + Argc);
    if (Args.size() == 1 && (Args[0] == "--help" || Args[0] == "-h")) {
        std::fputs(Usage, stdout);
        return 0;
    }
    for (const std::string& A : Args)
        if (A.size() > 1 && A[0] == '-') {
            std::fprintf(stderr, "kromapgen: unknown option %s\n%s", A.c_str(), Usage);
            return 2;
        }
    if (Args.size() != 2) {
        std::fprintf(stderr, "kromapgen: expected a program and an output file, got %zu argument(s)\n%s", Args.size(),
                     Usage);
        return 2;
    }
    std::vector<std::uint8_t> Map;
    std::string Error;
    if (!GenerateMap(Args[0], Map, Error)) {
        std::fprintf(stderr, "kromapgen: %s\n", Error.c_str());
        return 1;
    }
    std::ofstream Out(Args[1], std::ios::binary | std::ios::trunc);
    Out.write(reinterpret_cast<const char*>(Map.data()), static_cast<std::streamsize>(Map.size()));
    Out.close();
    if (!Out) {
        std::fprintf(stderr, "kromapgen: cannot write %s: %s\n", Args[1].c_str(), std::strerror(errno));
        return 1;
    }
    return 0;
}
