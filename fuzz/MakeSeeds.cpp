// pyxfuzzseeds: writes the seed inputs of the load fuzz target (FuzzInput.h) into a folder: sample worlds of the
// world builder at every version and language layout, with and without playing histories, the empty world, and
// edge files that reach the loader's limits (many languages, shared and cyclic history chains, hostile counts).

#include "FuzzInput.h"
#include "SampleWorld.h"
#include "Writers.h"

#include <climits>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

pyxfuzz::TFileSet ToFileSet(const wb::TWorldFiles& Files) {
    pyxfuzz::TFileSet Set; // in the order of wb::DataFileNames, as the fuzz input's
    const auto Named = wb::NamedImages(Files);
    for (std::size_t I = 0; I < Named.size(); ++I)
        Set[I] = Named[I].second->Data();
    return Set;
}

void WriteSet(const std::filesystem::path& Dir, const std::string& Name, const pyxfuzz::TFileSet& Set) {
    const std::vector<uint8_t> Bytes = pyxfuzz::JoinInput(Set);
    std::ofstream Out(Dir / (Name + ".seed"), std::ios::binary | std::ios::trunc);
    Out.write(reinterpret_cast<const char*>(Bytes.data()), static_cast<std::streamsize>(Bytes.size()));
    if (!Out)
        throw std::runtime_error("cannot write " + (Dir / Name).string());
    std::printf("%s: %zu bytes\n", Name.c_str(), Bytes.size());
}

void Write(const std::filesystem::path& Dir, const std::string& Name, const wb::TWorld& World) {
    WriteSet(Dir, Name, ToFileSet(wb::BuildFiles(World)));
}

wb::TWorld Small() {
    wb::TSampleOptions O;
    O.LanguageCount = 2;
    O.PeopleCount = 12;
    return wb::SampleWorld(O);
}

void PatchI32(std::vector<uint8_t>& Bytes, size_t At, int32_t Value) {
    for (int I = 0; I < 4; ++I)
        Bytes.at(At + static_cast<size_t>(I)) = static_cast<uint8_t>(static_cast<uint32_t>(Value) >> (8 * I));
}

// Files at the loader's limits; each must fail cleanly or load.
void WriteEdges(const std::filesystem::path& Dir) {
    {
        // 255 languages over 2000 regions with empty blocks: more text slots than the files could hold.
        Write(Dir, "edge-languages-over-regions", wb::ManyLanguagesWorld(2000, u"L"));
    }
    {
        wb::TWorld World = Small();
        World.LangDirectory.push_back(World.LangDirectory.back());
        wb::AlignLangFileOffsets(World);
        Write(Dir, "edge-language-listed-twice", World);
    }
    {
        wb::TWorld World = Small();
        World.People[5].ID = World.People[2].ID;
        Write(Dir, "edge-duplicate-person-id", World);
    }
    const wb::TWorldFiles Files = wb::BuildFiles(Small());
    {
        // Two persons naming one chain: loads, each with a copy.
        pyxfuzz::TFileSet Set = ToFileSet(Files);
        const wb::TFileImage& Index = Files.History->Index;
        PatchI32(*Set[3], Index.At("Index[1]") + 4, 0);
        WriteSet(Dir, "edge-history-shared-chain", Set);
    }
    {
        // One chain named by 3000 index entries: more entries than the data file holds.
        pyxfuzz::TFileSet Set = ToFileSet(Files);
        std::vector<uint8_t>& Index = *Set[3];
        const int32_t Person = wb::ReadI32(Index, Files.History->Index.At("Index[1]"));
        Index.resize(Files.History->Index.At("Count"));
        wb::TBytes More;
        More.I32(3000);
        for (int I = 0; I < 3000; ++I) {
            More.I32(Person);
            More.I32(1);
        }
        Index.insert(Index.end(), More.Data().begin(), More.Data().end());
        WriteSet(Dir, "edge-history-chain-named-3000-times", Set);
    }
    {
        // The last entry of the second chain points back at its first.
        pyxfuzz::TFileSet Set = ToFileSet(Files);
        const wb::TFileImage& Data = Files.History->Data;
        size_t Last = Data.At("History[1][0]");
        for (int J = 1; Data.Offsets.count("History[1][" + std::to_string(J) + "]"); ++J)
            Last = Data.At("History[1][" + std::to_string(J) + "]");
        PatchI32(*Set[5], Last + 9, static_cast<int32_t>(Data.At("History[1][0]") - 12));
        WriteSet(Dir, "edge-history-cycle", Set);
    }
    {
        pyxfuzz::TFileSet Set = ToFileSet(Files);
        PatchI32(*Set[2], Files.Lang.At("Block[1].Media"), -1);
        WriteSet(Dir, "edge-negative-language-table-count", Set);
    }
    {
        pyxfuzz::TFileSet Set = ToFileSet(Files);
        PatchI32(*Set[0], Files.Server.At("Regions"), INT32_MAX);
        PatchI32(*Set[1], Files.People.At("People"), 0x10000000);
        WriteSet(Dir, "edge-huge-table-counts", Set);
    }
    {
        pyxfuzz::TFileSet Set;
        for (auto& File : Set)
            File.emplace();
        WriteSet(Dir, "edge-six-empty-files", Set);
    }
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
    WriteEdges(Dir);
    return 0;
}
