#include "Writers.h"

#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace wb {

THeader MakeHeader(int16_t Version) {
    const auto Bits = static_cast<uint16_t>(Version);
    return {0, '.', 0, 'd', 0, 'a', 0, 't', 0, static_cast<uint8_t>(Bits & 0xFF), static_cast<uint8_t>(Bits >> 8), 0};
}

TWorld EmptyWorld(int16_t Version) {
    TWorld World;
    World.ServerVersion = World.PeopleVersion = World.LangVersion = Version;
    World.ServerExtra.assign(Version > 144 ? 25 : 15, 0);
    for (std::size_t I = 0; I < World.ServerExtra.size(); ++I)
        World.ServerExtra[I] = static_cast<uint8_t>(I * 11 + 1);
    World.PeopleTrailer = {0x2A, 0x00, 0x00, 0x00};
    TLanguage English;
    English.ID = 0;
    English.UniqueID = DefaultLanguageUniqueID;
    English.Name = u"English";
    World.Languages.push_back(English);
    World.LangDirectory = {DefaultLanguageUniqueID};
    AlignLangFileOffsets(World);
    return World;
}

TWorld ManyLanguagesWorld(int32_t Regions, const std::optional<std::u16string>& Name) {
    TWorld World = EmptyWorld(147);
    World.Histories = THistoryFiles{};
    for (int32_t I = 1; I < 255; ++I) {
        TLanguage L = World.Languages[0];
        L.ID = I;
        L.UniqueID = 1000 + I;
        if (Name)
            L.Name = *Name;
        World.Languages.push_back(L);
        World.LangDirectory.push_back(L.UniqueID);
    }
    for (int32_t I = 0; I < Regions; ++I) {
        TRegion R;
        R.ID = I;
        R.UniqueID = I + 1;
        World.Regions.push_back(R);
    }
    AlignLangFileOffsets(World);
    return World;
}

TWorldFiles BuildFiles(const TWorld& World) {
    TWorldFiles Files{ServerFile(World), PeopleFile(World), LangFile(World), std::nullopt};
    if (World.Histories)
        Files.History = HistoryFiles(*World.Histories);
    return Files;
}

const std::array<const char*, 6> DataFileNames = {"server_db.dat",     "people_db.dat",  "lang_db.dat",
                                                  "pl_hist_index.dat", "pl_hist_id.dat", "pl_hist_dt.dat"};

std::vector<std::pair<std::string, const TFileImage*>> NamedImages(const TWorldFiles& Files) {
    std::vector<const TFileImage*> Images = {&Files.Server, &Files.People, &Files.Lang};
    if (Files.History)
        Images.insert(Images.end(), {&Files.History->Index, &Files.History->Id, &Files.History->Data});
    std::vector<std::pair<std::string, const TFileImage*>> Named;
    for (std::size_t I = 0; I < Images.size(); ++I)
        Named.emplace_back(DataFileNames[I], Images[I]);
    return Named;
}

void WriteFileBytes(const std::string& Path, const std::vector<uint8_t>& Bytes) {
    std::ofstream Out(Path, std::ios::binary | std::ios::trunc);
    if (!Out)
        throw std::runtime_error("cannot create " + Path);
    Out.write(reinterpret_cast<const char*>(Bytes.data()), static_cast<std::streamsize>(Bytes.size()));
    if (!Out)
        throw std::runtime_error("cannot write " + Path);
}

TWorldFiles WriteWorld(const TWorld& World, const std::string& Dir) {
    std::filesystem::create_directories(Dir);
    const std::filesystem::path Base(Dir);
    TWorldFiles Files = BuildFiles(World);
    for (const auto& [Name, Image] : NamedImages(Files))
        WriteFileBytes((Base / Name).string(), Image->Data());
    return Files;
}

} // namespace wb
