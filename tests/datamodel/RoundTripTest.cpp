#include "PyxDatabase.h"

#include "SampleWorld.h"
#include "Writers.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace {

// A fresh folder under the test temp dir, removed with the object.
struct TTempDir {
    fs::path Path;
    explicit TTempDir(const std::string& Name) {
        Path = fs::temp_directory_path() / ("pyx_" + Name + "_" + std::to_string(::getpid()));
        fs::remove_all(Path);
        fs::create_directories(Path);
    }
    ~TTempDir() { fs::remove_all(Path); }
    std::string Str() const { return Path.string() + "/"; }
};

void ExpectSameFiles(const wb::TWorldFiles& Expected, const std::string& Dir) {
    auto Check = [&](const wb::TFileImage& Image, const char* Name) {
        auto Actual = wb::ReadFileBytes(Dir + Name);
        EXPECT_EQ(wb::DescribeDifference(Image, Actual), "") << Name;
    };
    Check(Expected.Server, "server_db.dat");
    Check(Expected.People, "people_db.dat");
    Check(Expected.Lang, "lang_db.dat");
    if (Expected.History) {
        Check(Expected.History->Index, "pl_hist_index.dat");
        Check(Expected.History->Id, "pl_hist_id.dat");
        Check(Expected.History->Data, "pl_hist_dt.dat");
    }
}

struct TCase {
    int16_t Version;
    int16_t LangVersion;
    int Languages;
    int DefaultPosition;
};

class SampleRoundTrip : public testing::TestWithParam<TCase> {};

} // namespace

TEST_P(SampleRoundTrip, LoadThenSaveWritesTheSameBytes) {
    const TCase C = GetParam();
    wb::TSampleOptions O;
    O.Version = C.Version;
    O.LangVersion = C.LangVersion;
    O.LanguageCount = C.Languages;
    O.DefaultLanguagePosition = C.DefaultPosition;
    O.PeopleCount = 24;
    wb::TWorld World = wb::SampleWorld(O);
    TTempDir In("rt_in"), Out("rt_out");
    wb::TWorldFiles Files = wb::WriteWorld(World, In.Str());
    TPyxDatabase Db;
    try {
        Db.Load(In.Str());
        Db.Save(Out.Str());
    } catch (const EPyxError& E) {
        FAIL() << E.ClassName() << ": " << E.what();
    }
    ExpectSameFiles(Files, Out.Str());
}

INSTANTIATE_TEST_SUITE_P(Versions, SampleRoundTrip,
                         testing::Values(TCase{112, 112, 1, 0}, TCase{145, 145, 3, 1}, TCase{147, 147, 3, 2},
                                         TCase{147, 200, 5, 4}, TCase{112, 200, 2, 1}, TCase{145, 147, 4, 0}),
                         [](const testing::TestParamInfo<TCase>& I) {
                             return std::string("V") + std::to_string(I.param.Version) + "_Lang" +
                                    std::to_string(I.param.LangVersion) + "_" + std::to_string(I.param.Languages) +
                                    "languages_default" + std::to_string(I.param.DefaultPosition);
                         });
