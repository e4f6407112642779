// Writes the seeds of the debug-map fuzz target (MapFuzzBody.h) into a folder: a map for each reader, built by our
// own code: the packed and unpacked forms of a small map, and the text map and binary debug information the
// readers' tests are built on.
//
// usage: kromapfuzzseeds FOLDER

#include "KroMapFilePacked.h"
#include "MapSourceFixtures.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {

bool WriteSeed(const std::string& Folder, const char* Name, unsigned char Reader,
               const std::vector<std::uint8_t>& Body) {
    std::ofstream Out(Folder + "/" + Name, std::ios::binary | std::ios::trunc);
    Out.put(static_cast<char>(Reader));
    Out.write(reinterpret_cast<const char*>(Body.data()), static_cast<std::streamsize>(Body.size()));
    return Out.good();
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: kromapfuzzseeds FOLDER\n");
        return 2;
    }
    const std::string Folder = argv[1];
    TPackedMapContent Content;
    Content.Segments = {{0x000, 0x180, "main.cpp"}, {0x200, 0x1000, "util.cpp"}};
    Content.Publics = {{"main", 0x000}, {"(anonymous namespace)::Helper(int)", 0x100}, {"util::Split(int)", 0x200}};
    Content.Lines = {{10, 0x000}, {11, 0x010}, {40, 0x100}, {41, 0x140}, {300, 0x200}, {305, 0x9208}};
    Content.EntryPoint = 0x050;
    TPackedMapContent Inlined = Content;
    Inlined.Inlines.Functions = {"_ZNKSt6vectorIiSaIiEE4sizeEv", "Helper", "Inner"};
    Inlined.Inlines.Units = {"main.cpp", "stl_vector.h", "util.h"};
    Inlined.Inlines.Calls = {{0x010, 0x20, 1, 0, 0, 11}, {0x040, 0x40, 1, 1, 0, 12}, {0x050, 0x10, 2, 2, 2, 7}};
    Inlined.Inlines.Rows = {{0x010, 1, 919}, {0x040, 2, 5}, {0x050, 2, 3}, {0x060, 2, 8}};
    const char* const Text = TextMapFixture;
    const bool Written =
        WriteSeed(Folder, "packed.seed", 0, PackMap(Content)) &&
        WriteSeed(Folder, "unpacked.seed", 1, EncodeMapContent(Content)) &&
        WriteSeed(Folder, "inlined.seed", 1, EncodeMapContent(Inlined)) &&
        WriteSeed(Folder, "text-map.seed", 2, std::vector<std::uint8_t>(Text, Text + std::strlen(Text))) &&
        WriteSeed(Folder, "debug-info.seed", 3, TdsFixture());
    if (!Written) {
        std::fprintf(stderr, "kromapfuzzseeds: cannot write into %s\n", Folder.c_str());
        return 1;
    }
    return 0;
}
