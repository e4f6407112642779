// lang_db.dat: the directory, the blocks of several languages with the default one anywhere, language records of
// entities that do not exist, loading only the default language, and directories that cannot be loaded.

#include "ServerTestSupport.h"

#include <gtest/gtest.h>

using namespace servertest;

namespace {

constexpr int32_t Ghost = 999999; // a UniqueID no entity has

wb::TWorld Sample(int Languages, int DefaultPosition, int16_t Version = 147, int16_t LangVersion = 0) {
    wb::TSampleOptions Options;
    Options.Version = Version;
    Options.LangVersion = LangVersion;
    Options.LanguageCount = Languages;
    Options.DefaultLanguagePosition = DefaultPosition;
    Options.Histories = false;
    return wb::SampleWorld(Options);
}

std::string U8(const std::u16string& Text) {
    return std::string(Text.begin(), Text.end());
}

// The languages of the directory other than the default, in directory order.
std::vector<int32_t> ExtraLanguages(const wb::TWorld& World) {
    std::vector<int32_t> Extra;
    for (int32_t Language : World.LangDirectory)
        if (Language != wb::DefaultLanguageUniqueID)
            Extra.push_back(Language);
    return Extra;
}

// Writes World with Lang for its lang_db.dat, loads it without playing histories and saves it to Out; the failure
// text, or "".
std::string LoadAndSaveWithLangFile(const wb::TWorld& World, const std::vector<uint8_t>& Lang, const TTempDir& Out) {
    TTempDir In("in");
    wb::WriteWorld(World, In.Str());
    wb::WriteFileBytes(In.File("lang_db.dat"), Lang);
    TPyxDatabase Db;
    Db.LoadPlayingHistories = false;
    return FailureOf([&] {
        Db.Load(In.Str());
        Db.Save(Out.Str());
    });
}

struct TLayout {
    int16_t Version;
    int16_t LangVersion;
    int Languages;
    int DefaultPosition;
};

} // namespace

class LanguageLayoutTest : public testing::TestWithParam<TLayout> {};

INSTANTIATE_TEST_SUITE_P(Layouts, LanguageLayoutTest,
                         testing::Values(TLayout{147, 147, 3, 2}, TLayout{145, 200, 4, 1}, TLayout{112, 112, 5, 3},
                                         TLayout{147, 200, 2, 0}),
                         [](const testing::TestParamInfo<TLayout>& Info) {
                             return std::string("V") + std::to_string(Info.param.Version) + "_Lang" +
                                    std::to_string(Info.param.LangVersion) + "_" +
                                    std::to_string(Info.param.Languages) + "_Default" +
                                    std::to_string(Info.param.DefaultPosition);
                         });

TEST_P(LanguageLayoutTest, EveryLanguageLandsInItsSlotAndIsWrittenBackInDirectoryOrder) {
    const TLayout L = GetParam();
    const wb::TWorld World = Sample(L.Languages, L.DefaultPosition, L.Version, L.LangVersion);
    TTempDir In("in"), Out("out");
    TPyxDatabase Db;
    ASSERT_EQ(LoadFailure(World, Db, In), "");

    ASSERT_EQ(Db.LangFileLanguages.size(), World.LangDirectory.size());
    for (std::size_t I = 0; I < World.LangDirectory.size(); ++I)
        EXPECT_EQ(Db.LangFileLanguages[I]->UniqueID, World.LangDirectory[I]);

    // The default language's texts are the entities' own; each extra language is the next language object.
    const std::vector<int32_t> Extra = ExtraLanguages(World);
    for (int32_t C = 0; C < Db.Clubs.Count(); ++C) {
        const TPyxClub* Club = Db.Clubs.Items(C);
        const auto& Texts = World.Clubs[static_cast<std::size_t>(C)].Texts;
        EXPECT_EQ(U8(Club->Name), U8(Texts.at(wb::DefaultLanguageUniqueID).Name));
        EXPECT_EQ(U8(Club->Nickname2), U8(Texts.at(wb::DefaultLanguageUniqueID).Nickname2));
        ASSERT_NE(Club->LangObjects, nullptr);
        ASSERT_EQ(Club->LangObjects->Count(), static_cast<int32_t>(Extra.size()));
        for (std::size_t K = 0; K < Extra.size(); ++K) {
            const TPyxClubLang* Lang = Club->Lang(static_cast<int32_t>(K));
            EXPECT_EQ(Lang->Language->UniqueID, Extra[K]);
            EXPECT_EQ(U8(Lang->Name), U8(Texts.at(Extra[K]).Name));
            EXPECT_EQ(U8(Lang->ClubText), U8(Texts.at(Extra[K]).ClubText));
        }
    }
    for (int32_t C = 0; C < Db.Cities.Count(); ++C) {
        const TPyxCity* City = Db.Cities.Items(C);
        const auto& Texts = World.Cities[static_cast<std::size_t>(C)].Texts;
        EXPECT_EQ(U8(City->Name), U8(Texts.at(wb::DefaultLanguageUniqueID).Name));
        for (std::size_t K = 0; K < Extra.size(); ++K)
            EXPECT_EQ(U8(City->Lang(static_cast<int32_t>(K))->CitizenName), U8(Texts.at(Extra[K]).CitizenName));
    }

    ASSERT_EQ(FailureOf([&] { Db.Save(Out.Str()); }), "");
    ExpectSavedAs(World, Out);
    // The directory points at the blocks as written; the first block follows the directory.
    const auto Lang = wb::ReadFileBytes(Out.File("lang_db.dat"));
    const std::size_t N = World.LangDirectory.size();
    ASSERT_EQ(wb::ReadU8(Lang, 12), N);
    EXPECT_EQ(12 + wb::ReadI32(Lang, 17), static_cast<int32_t>(13 + 8 * N));
    const wb::TFileImage Image = wb::LangFile(World);
    for (std::size_t I = 0; I < N; ++I) {
        EXPECT_EQ(wb::ReadI32(Lang, 13 + 8 * I), World.LangDirectory[I]);
        EXPECT_EQ(12 + static_cast<std::size_t>(wb::ReadI32(Lang, 17 + 8 * I)), Image.At(wb::IndexedName("Block", I)));
    }
}

TEST_P(LanguageLayoutTest, AddLanguageSlotsGivesOneObjectPerExtraLanguageInDirectoryOrder) {
    const TLayout L = GetParam();
    const wb::TWorld World = Sample(L.Languages, L.DefaultPosition, L.Version, L.LangVersion);
    const std::vector<int32_t> Extra = ExtraLanguages(World);
    for (bool AllLanguages : {true, false}) {
        TTempDir In;
        TPyxDatabase Db;
        Db.LoadAllLanguages = AllLanguages;
        ASSERT_EQ(LoadFailure(World, Db, In), "");
        TPyxStadium Stadium;
        Db.AddLanguageSlots(Stadium);
        ASSERT_NE(Stadium.LangObjects, nullptr);
        ASSERT_EQ(Stadium.LangObjects->Count(), static_cast<int32_t>(Extra.size()));
        for (std::size_t K = 0; K < Extra.size(); ++K)
            EXPECT_EQ(Stadium.Lang(static_cast<int32_t>(K))->Language->UniqueID, Extra[K]);
    }
}

TEST(LanguageFileTest, WithoutAllLanguagesOnlyTheDefaultIsLoadedAndTheLanguageFileIsLeftAlone) {
    const wb::TWorld World = Sample(3, 1);
    TTempDir In("in"), Out("out"), Empty("empty");
    TPyxDatabase Db;
    Db.LoadAllLanguages = false;
    ASSERT_EQ(LoadFailure(World, Db, In), "");
    EXPECT_EQ(Db.LangFileLanguages.size(), 3u);
    for (int32_t I = 0; I < Db.Clubs.Count(); ++I) {
        EXPECT_EQ(Db.Clubs.Items(I)->LangObjects, nullptr);
        EXPECT_EQ(U8(Db.Clubs.Items(I)->ClubText),
                  U8(World.Clubs[static_cast<std::size_t>(I)].Texts.at(wb::DefaultLanguageUniqueID).ClubText));
    }
    for (int32_t I = 0; I < Db.Cities.Count(); ++I)
        EXPECT_EQ(Db.Cities.Items(I)->LangObjects, nullptr);
    for (int32_t I = 0; I < Db.Medias.Count(); ++I)
        EXPECT_EQ(Db.Medias.Items(I)->LangObjects, nullptr);

    // A language file already in the target folder stays as it is; none is created where there was none.
    const std::vector<uint8_t> Marker = {1, 2, 3};
    wb::WriteFileBytes(Out.File("lang_db.dat"), Marker);
    ASSERT_EQ(FailureOf([&] { Db.Save(Out.Str()); }), "");
    EXPECT_EQ(wb::ReadFileBytes(Out.File("lang_db.dat")), Marker);
    const wb::TWorldFiles Files = wb::BuildFiles(World);
    ExpectFile(Files.Server, Out, "server_db.dat");
    ExpectFile(Files.People, Out, "people_db.dat");
    ASSERT_EQ(FailureOf([&] { Db.Save(Empty.Str()); }), "");
    EXPECT_FALSE(fs::exists(Empty.File("lang_db.dat")));
    ASSERT_EQ(FailureOf([&] { Db.Save(In.Str()); }), "");
    ExpectFile(Files.Lang, In, "lang_db.dat");
}

TEST(LanguageFileTest, TheServerFileCarriesTheOffsetsOfTheLoadedDirectory) {
    // A language's offset in server_db.dat is replaced by its block's offset in the directory when lang_db.dat is
    // loaded; languages outside the directory keep theirs.
    wb::TWorld World = Sample(3, 2);
    ASSERT_GT(World.Languages.size(), World.LangDirectory.size());
    for (auto& Language : World.Languages)
        Language.LangFileOffset = 0x01020304 + Language.ID;
    wb::TWorld Expected = World;
    wb::AlignLangFileOffsets(Expected);
    for (bool AllLanguages : {true, false}) {
        TTempDir In("in"), Out("out");
        TPyxDatabase Db;
        Db.LoadAllLanguages = AllLanguages;
        ASSERT_EQ(LoadFailure(World, Db, In), "");
        ASSERT_EQ(FailureOf([&] { Db.Save(Out.Str()); }), "");
        ExpectFile(wb::ServerFile(Expected), Out, "server_db.dat");
    }
}

TEST(LanguageFileTest, RegionsKeepTheirFixedNamesAndTheirLanguageTableIsWrittenEmpty) {
    wb::TWorld World = Sample(3, 0);
    World.WriteRegionLangRecords = true;
    ASSERT_EQ(World.Regions.size(), 14u);
    World.Regions.push_back(wb::TRegion{});
    World.Regions.back().ID = 14;
    World.Regions.back().UniqueID = 4014;
    wb::AlignLangFileOffsets(World);
    TTempDir In("in"), Out("out");
    TPyxDatabase Db;
    ASSERT_EQ(LoadFailure(World, Db, In), "");
    const char* const Names[] = {"Africa",          "Asia",           "Caribbean",   "Central America",
                                 "Central Europe",  "Eastern Europe", "Middle East", "North Africa",
                                 "North America",   "Oceania",        "Scandinavia", "South America",
                                 "Southern Europe", "UK & Ireland"};
    for (int32_t I = 0; I < 14; ++I)
        EXPECT_EQ(U8(Db.Regions.FindByID(I)->Name), Names[I]);
    EXPECT_EQ(U8(Db.Regions.FindByID(14)->Name), "");
    ASSERT_EQ(FailureOf([&] { Db.Save(Out.Str()); }), "");
    // The server file is written before the language file: it carries the offsets of the directory as loaded.
    ExpectFile(wb::ServerFile(World), Out, "server_db.dat");
    wb::TWorld Saved = World;
    Saved.WriteRegionLangRecords = false;
    const wb::TFileImage Lang = wb::LangFile(Saved);
    ExpectFile(Lang, Out, "lang_db.dat");
    for (std::size_t I = 0; I < Saved.LangDirectory.size(); ++I)
        EXPECT_EQ(wb::ReadI32(Lang.Data(), Lang.At(wb::IndexedName("Block", I) + ".Regions")), 0);
}

// A language record whose UniqueID matches no entity stands first in its table, in every block: the records after
// it load only when it is skipped by exactly its size.
class UnknownLanguageRecordTest : public testing::TestWithParam<std::string> {
protected:
    // Puts an entity that only the language file knows at the front of Items, with texts in every language.
    template <class T, class TText>
    static void AddGhost(std::vector<T>& Items, const wb::TWorld& World, const TText& Text) {
        T Entity;
        Entity.UniqueID = Ghost;
        for (int32_t Language : World.LangDirectory)
            Entity.Texts[Language] = Text;
        Items.insert(Items.begin(), Entity);
    }

    static void AddGhost(wb::TWorld& World, const std::string& Table) {
        const std::u16string Long = u"A text of some length";
        if (Table == "Cities")
            AddGhost(World.Cities, World, wb::TCityText{Long, 7, u"Ghostly", 9});
        else if (Table == "Clubs")
            AddGhost(World.Clubs, World, wb::TClubText{Long, 1, u"GHO", 2, u"Club text", 3, u"Nick", 4, u"Name"});
        else if (Table == "Continents")
            AddGhost(World.Continents, World,
                     wb::TContinentText{Long, 1, u"Gh", u"Ghostal", u"Federation", 2, u"GF", 3, {u"one", u"two"}});
        else if (Table == "Injuries")
            AddGhost(World.Injuries, World, wb::TInjuryText{Long, 5, u"a ghost injury", 6});
        else if (Table == "Nations")
            AddGhost(World.Nations, World,
                     wb::TNationText{Long, 1, u"Gh", 2, u"GHO", u"Ghostish", {u"x", u"yy", u"zzz"}});
        else if (Table == "Awards")
            AddGhost(World.Awards, World, wb::TAwardText{Long, 3, u"Ghost", 4});
        else if (Table == "Stadiums")
            AddGhost(World.Stadiums, World, wb::TStadiumText{Long, 8});
        else if (Table == "Stages")
            AddGhost(World.Stages, World, wb::TStageText{Long, 1, u"Sh", 2, u"Plurals", 3});
        else if (Table == "Competitions")
            AddGhost(World.Competitions, World, wb::TCompetitionText{Long, 1, u"Short", 2, u"GHC"});
        else if (Table == "Regions")
            World.Regions.insert(World.Regions.begin(), wb::TRegion{{0, 0, Ghost}});
        else if (Table == "Player Types")
            AddGhost(World.PlayerTypes, World, wb::TPlayerTypeText{9, {u"first", u"second"}});
        else if (Table == "Media")
            AddGhost(World.Medias, World, wb::TMediaText{u"GM", 1, Long, 2});
    }
};

INSTANTIATE_TEST_SUITE_P(Tables, UnknownLanguageRecordTest, testing::ValuesIn(wb::LangBlockTables()),
                         [](const testing::TestParamInfo<std::string>& Info) {
                             std::string Name = Info.param;
                             std::erase(Name, ' ');
                             return Name;
                         });

TEST_P(UnknownLanguageRecordTest, IsSkippedByExactlyItsSize) {
    const wb::TWorld World = Sample(3, 1);
    wb::TWorld WithGhost = World;
    WithGhost.WriteRegionLangRecords = true; // so that a region record is written at all
    AddGhost(WithGhost, GetParam());
    const wb::TFileImage Lang = wb::LangFile(WithGhost);
    ASSERT_EQ(wb::ReadI32(Lang.Data(), Lang.At("Block[1]." + GetParam() + "[0]")), Ghost);

    TTempDir Out("out");
    ASSERT_EQ(LoadAndSaveWithLangFile(World, Lang.Data(), Out), "");
    // The server file carries the offsets of the directory as loaded; the language file is written without the
    // record of the missing entity.
    wb::AlignLangFileOffsets(WithGhost);
    wb::TWorld Expected = World;
    Expected.Languages = WithGhost.Languages;
    ExpectFile(wb::ServerFile(Expected), Out, "server_db.dat");
    ExpectFile(wb::LangFile(World), Out, "lang_db.dat");
}

TEST(LanguageFileTest, ADirectoryNamingAnUnknownLanguageIsCorrupt) {
    wb::TWorld World = Sample(3, 1);
    World.LangDirectory.insert(World.LangDirectory.begin() + 1, 4242);
    const std::string Failure = LoadFailure(World);
    EXPECT_EQ(Failure.rfind("EFileCorruptError: lang_db.dat ", 0), 0u) << Failure;
    EXPECT_NE(Failure.find("4242"), std::string::npos) << Failure;
}

TEST(LanguageFileTest, ADirectoryWithoutTheDefaultLanguageIsCorrupt) {
    wb::TWorld World = Sample(3, 1);
    std::erase(World.LangDirectory, wb::DefaultLanguageUniqueID);
    for (bool AllLanguages : {true, false}) {
        TTempDir Dir;
        TPyxDatabase Db;
        Db.LoadAllLanguages = AllLanguages;
        const std::string Failure = LoadFailure(World, Db, Dir);
        EXPECT_EQ(Failure.rfind("EFileCorruptError: lang_db.dat ", 0), 0u) << Failure;
        EXPECT_NE(Failure.find("Default Language"), std::string::npos) << Failure;
    }
    World.LangDirectory.clear();
    EXPECT_EQ(LoadFailure(World).rfind("EFileCorruptError: lang_db.dat ", 0), 0u);
}

TEST(LanguageFileTest, BrokenDirectoriesAndBlocksFailAsCorruptFiles) {
    const wb::TWorld World = Sample(3, 1);
    const wb::TFileImage Clean = wb::LangFile(World);
    TTempDir Dir;
    wb::WriteWorld(World, Dir.Str());
    auto FailureWith = [&](const std::vector<uint8_t>& Lang) {
        wb::WriteFileBytes(Dir.File("lang_db.dat"), Lang);
        TPyxDatabase Db;
        Db.LoadPlayingHistories = false;
        return FailureOf([&] { Db.Load(Dir.Str()); });
    };
    const std::string ShortRead = "EFileCorruptError: Data file seems to be corrupt";

    // A directory longer than the file.
    std::vector<uint8_t> Bytes(Clean.Data().begin(), Clean.Data().begin() + 13 + 8 * 2);
    Bytes[12] = 200;
    EXPECT_EQ(FailureWith(Bytes).rfind(ShortRead, 0), 0u);

    // A block cut short, in the default language and in the last extra language.
    for (const char* Part : {"Block[1].Stadiums[0]", "Block[2].Media[0]"}) {
        Bytes.assign(Clean.Data().begin(), Clean.Data().begin() + Clean.At(Part) + 6);
        const std::string Failure = FailureWith(Bytes);
        EXPECT_EQ(Failure.rfind(ShortRead, 0), 0u) << Part << ": " << Failure;
        EXPECT_NE(Failure.find("lang_db.dat"), std::string::npos) << Failure;
    }

    // Block offsets past the end of the file or before its start.
    for (int32_t Offset : {int32_t(0x7FFFFFF0), int32_t(-12), int32_t(-0x7FFFFFFF)}) {
        wb::TFileImage Image = Clean;
        Image.Bytes.PatchI32(Image.At("Directory[2]") + 4, Offset);
        const std::string Failure = FailureWith(Image.Data());
        EXPECT_EQ(Failure.rfind("EFileCorruptError: ", 0), 0u) << Offset << ": " << Failure;
    }
}

TEST(LanguageFileTest, BlocksAreFoundThroughTheDirectoryWhereverTheyStand) {
    // The same blocks stored in another order than the directory's: a load follows the offsets, a save writes the
    // blocks in directory order again.
    const wb::TWorld World = Sample(3, 1);
    const wb::TFileImage Image = wb::LangFile(World);
    const auto& Data = Image.Data();
    const std::size_t N = World.LangDirectory.size();
    std::vector<std::pair<std::size_t, std::size_t>> Blocks; // start, end
    for (std::size_t I = 0; I < N; ++I)
        Blocks.emplace_back(Image.At(wb::IndexedName("Block", I)),
                            I + 1 < N ? Image.At(wb::IndexedName("Block", I + 1)) : Data.size());
    wb::TBytes Permuted;
    Permuted.Raw(std::span(Data.data(), 13 + 8 * N));
    for (std::size_t I : {std::size_t(2), std::size_t(0), std::size_t(1)}) {
        Permuted.PatchI32(17 + 8 * I, static_cast<int32_t>(Permuted.Size() - 12));
        Permuted.Raw(std::span(Data.data() + Blocks[I].first, Blocks[I].second - Blocks[I].first));
    }
    ASSERT_EQ(Permuted.Size(), Data.size());
    ASSERT_NE(Permuted.Data(), Data);

    TTempDir Out("out");
    ASSERT_EQ(LoadAndSaveWithLangFile(World, Permuted.Data(), Out), "");
    ExpectFile(Image, Out, "lang_db.dat");
    // The server file keeps the offsets of the directory as loaded.
    wb::TWorld Loaded = World;
    for (auto& Language : Loaded.Languages)
        for (std::size_t I = 0; I < N; ++I)
            if (Language.UniqueID == World.LangDirectory[I])
                Language.LangFileOffset = wb::ReadI32(Permuted.Data(), 17 + 8 * I);
    ExpectFile(wb::ServerFile(Loaded), Out, "server_db.dat");
}
