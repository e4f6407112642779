#include "PyxDatabase.h"

#include "PeopleTestSupport.h"
#include "SaveOrder.h"
#include "WorldGenerator.h"
#include "Writers.h"

#include <gtest/gtest.h>

namespace {

struct TCase {
    int16_t Version;
    int Languages;
    int DefaultPosition;
    bool Histories;
};

class GeneratedWorldRoundTrip : public testing::TestWithParam<TCase> {};

} // namespace

// A generated world is in saved form apart from its retired persons and the order of each nation's people, which
// the save's quicksort changes on every save; the save-order model predicts both, so the bytes of two successive
// load-and-save cycles are known exactly.
TEST_P(GeneratedWorldRoundTrip, EachLoadAndSaveWritesWhatTheSaveOrderPredicts) {
    const TCase C = GetParam();
    wb::TGeneratorOptions Options;
    Options.PeopleCount = 700;
    Options.Seed = static_cast<uint64_t>(C.Version) * 10 + static_cast<uint64_t>(C.Languages);
    Options.Version = C.Version;
    Options.LanguageCount = C.Languages;
    Options.DefaultLanguagePosition = C.DefaultPosition;
    Options.Histories = C.Histories;
    Options.RetiredPerMille = 20;
    wb::TWorld World = wb::GenerateWorld(Options);
    disk::TTempDir In("in"), Out1("out1"), Out2("out2");
    wb::WriteWorld(World, In.Str());
    TPyxDatabase Db;
    Db.LoadPlayingHistories = C.Histories;
    try {
        Db.Load(In.Str());
        Db.Save(Out1.Str());
        Db.Load(Out1.Str());
        Db.Save(Out2.Str());
    } catch (const EPyxError& E) {
        FAIL() << E.ClassName() << ": " << E.what();
    }
    for (const disk::TTempDir* Out : {&Out1, &Out2}) {
        wb::ApplySaveOrder(World);
        const wb::TWorldFiles Files = wb::BuildFiles(World);
        pt::ExpectFiles(Files, *Out);
        if (!Files.History) {
            EXPECT_FALSE(Out->Has("pl_hist_index.dat"));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Versions, GeneratedWorldRoundTrip,
                         testing::Values(TCase{112, 1, 0, true}, TCase{145, 3, 2, true}, TCase{147, 3, 1, true},
                                         TCase{147, 5, 4, false}, TCase{112, 2, 1, false}, TCase{145, 10, 7, true}),
                         [](const testing::TestParamInfo<TCase>& I) {
                             // std::string("V"), not "V" + ...: GCC 12 warns falsely on a literal plus a temporary.
                             return std::string("V") + std::to_string(I.param.Version) + "_" +
                                    std::to_string(I.param.Languages) + "languages_default" +
                                    std::to_string(I.param.DefaultPosition) +
                                    (I.param.Histories ? "_histories" : "_nohistories");
                         });

// The loaded model holds what the generator wrote: every person but the retired ones, with their histories and
// attached records.
TEST(GeneratedWorld, LoadsEveryPersonButTheRetiredWithHistoriesAndAttachedRecords) {
    wb::TGeneratorOptions Options;
    Options.PeopleCount = 900;
    Options.RetiredPerMille = 10;
    const wb::TWorld World = wb::GenerateWorld(Options);
    disk::TTempDir In("in");
    wb::WriteWorld(World, In.Str());
    TPyxDatabase Db;
    Db.Load(In.Str());
    EXPECT_EQ(Db.People.Count(), 900);
    EXPECT_EQ(World.People.size(), 909u);
    int Histories = 0, Loans = 0, Languages = 0;
    Db.People.ForEach([&](const TPyxPerson* P) {
        Histories += P->PlayingHistory ? 1 : 0;
        Loans += P->Player && P->Player->Loan ? 1 : 0;
        Languages += P->Languages.Count();
    });
    EXPECT_EQ(static_cast<std::size_t>(Histories), World.Histories->Histories.size());
    EXPECT_EQ(static_cast<std::size_t>(Loans), World.Loans.size());
    EXPECT_EQ(static_cast<std::size_t>(Languages), World.PersonLanguages.size());
    EXPECT_EQ(static_cast<std::size_t>(Db.Teams.Count()), World.Teams.size());
    EXPECT_EQ(Db.LangFileLanguages.size(), 3u);
    EXPECT_EQ(Db.LangFileLanguages[1]->UniqueID, 8);
}
