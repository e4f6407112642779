#include "PyxDatabase.h"

#include "PeopleTestSupport.h"
#include "SampleWorld.h"
#include "Writers.h"

#include <gtest/gtest.h>

namespace {

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
    disk::TTempDir In("in"), Out("out");
    wb::TWorldFiles Files = wb::WriteWorld(World, In.Str());
    TPyxDatabase Db;
    try {
        Db.Load(In.Str());
        Db.Save(Out.Str());
    } catch (const EPyxError& E) {
        FAIL() << E.ClassName() << ": " << E.what();
    }
    pt::ExpectFiles(Files, Out);
}

INSTANTIATE_TEST_SUITE_P(Versions, SampleRoundTrip,
                         testing::Values(TCase{112, 112, 1, 0}, TCase{145, 145, 3, 1}, TCase{147, 147, 3, 2},
                                         TCase{147, 200, 5, 4}, TCase{112, 200, 2, 1}, TCase{145, 147, 4, 0}),
                         [](const testing::TestParamInfo<TCase>& I) {
                             return std::string("V") + std::to_string(I.param.Version) + "_Lang" +
                                    std::to_string(I.param.LangVersion) + "_" + std::to_string(I.param.Languages) +
                                    "languages_default" + std::to_string(I.param.DefaultPosition);
                         });
