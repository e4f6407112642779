// pyxfuzzseeds: writes the seed inputs of the load fuzz target (FuzzInput.h) into a folder: sample worlds of the
// world builder at every version and language layout, with and without playing histories, and the empty world.

#include "FuzzInput.h"
#include "SampleWorld.h"
#include "Writers.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

pyxfuzz::TFileSet ToFileSet(const wb::TWorldFiles& Files) {
    pyxfuzz::TFileSet Set;
    Set[0] = Files.Server.Data();
    Set[1] = Files.People.Data();
    Set[2] = Files.Lang.Data();
    if (Files.History) {
        Set[3] = Files.History->Index.Data();
        Set[4] = Files.History->Id.Data();
        Set[5] = Files.History->Data.Data();
    }
    return Set;
}

void Write(const std::filesystem::path& Dir, const std::string& Name, const wb::TWorld& World) {
    const std::vector<uint8_t> Bytes = pyxfuzz::JoinInput(ToFileSet(wb::BuildFiles(World)));
    std::ofstream Out(Dir / (Name + ".seed"), std::ios::binary | std::ios::trunc);
    Out.write(reinterpret_cast<const char*>(Bytes.data()), static_cast<std::streamsize>(Bytes.size()));
    if (!Out)
        throw std::runtime_error("cannot write " + (Dir / Name).string());
    std::printf("%s: %zu bytes\n", Name.c_str(), Bytes.size());
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: pyxfuzzseeds OUT_DIR\n");
        return 2;
    }
    const std::filesystem::path Dir = argv[1];
    std::filesystem::create_directories(Dir);
    struct TLayout {
        int16_t Version;
        int16_t LangVersion;
        int Languages;
        int DefaultPosition;
        bool Histories;
    };
    const TLayout Layouts[] = {{112, 112, 1, 0, true}, {145, 145, 2, 1, true}, {147, 147, 3, 2, true},
                               {147, 200, 2, 0, true}, {112, 200, 2, 1, true}, {145, 147, 1, 0, false}};
    for (const TLayout& L : Layouts) {
        wb::TSampleOptions O;
        O.Version = L.Version;
        O.LangVersion = L.LangVersion;
        O.LanguageCount = L.Languages;
        O.DefaultLanguagePosition = L.DefaultPosition;
        O.PeopleCount = 12;
        O.Histories = L.Histories;
        O.Seed = static_cast<uint64_t>(L.Version) * 7 + static_cast<uint64_t>(L.Languages);
        Write(Dir,
              "sample-v" + std::to_string(L.Version) + "-lang" + std::to_string(L.LangVersion) + "-" +
                  std::to_string(L.Languages) + "languages-default" + std::to_string(L.DefaultPosition) +
                  (L.Histories ? "" : "-nohistories"),
              wb::SampleWorld(O));
    }
    for (int16_t Version : {112, 145, 147}) {
        wb::TWorld World = wb::EmptyWorld(Version);
        World.Histories = wb::THistoryFiles{};
        World.Histories->IndexVersion = Version;
        Write(Dir, "empty-v" + std::to_string(Version), World);
    }
    return 0;
}
