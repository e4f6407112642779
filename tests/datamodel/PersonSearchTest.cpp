#include "PyxDatabase.h"
#include "PyxName.h"
#include "PyxPerson.h"
#include "PyxText.h"

#include "DiskFolders.h"
#include "WorldGenerator.h"
#include "Writers.h"

#include <gtest/gtest.h>

namespace {

struct TNamedPerson {
    TPyxName First, Second, Common;
    TPyxPerson Person{TPyxPerson::ptPlayer};

    TNamedPerson(std::u16string FirstText, std::u16string SecondText, std::u16string CommonText = u"") {
        First.Text = std::move(FirstText);
        Second.Text = std::move(SecondText);
        Common.Text = std::move(CommonText);
        Person.FirstName = &First;
        Person.SecondName = &Second;
        Person.CommonName = &Common;
    }
};

} // namespace

TEST(PersonSearch, MatchesFirstSpaceSecondWithoutRegardToCase) {
    TNamedPerson P(u"Marco", u"Rossi");
    EXPECT_TRUE(P.Person.Matches(u"marco rossi"));
    EXPECT_TRUE(P.Person.Matches(u"CO RO"));
    EXPECT_TRUE(P.Person.Matches(u"ss"));
    EXPECT_TRUE(P.Person.Matches(u""));
    EXPECT_FALSE(P.Person.Matches(u"Rossi, Marco"));
    EXPECT_FALSE(P.Person.Matches(u"MarcoRossi"));
    EXPECT_FALSE(P.Person.Matches(u"Marco Rossi Jr"));
}

TEST(PersonSearch, ASecondNameAloneIsSearchedBehindASpace) {
    TNamedPerson P(u"", u"Novak");
    EXPECT_TRUE(P.Person.Matches(u" nov"));
    P.Person.FirstName = nullptr;
    EXPECT_TRUE(P.Person.Matches(u" Novak"));
    EXPECT_FALSE(P.Person.Matches(u"  Novak"));
}

TEST(PersonSearch, AFirstNameAloneHasNoSpaceBehindIt) {
    TNamedPerson P(u"Kaka", u"");
    EXPECT_TRUE(P.Person.Matches(u"kaka"));
    EXPECT_FALSE(P.Person.Matches(u"kaka "));
    P.Person.SecondName = nullptr;
    EXPECT_FALSE(P.Person.Matches(u"kaka "));
    P.Person.FirstName = nullptr;
    EXPECT_FALSE(P.Person.Matches(u"k"));
    EXPECT_TRUE(P.Person.Matches(u""));
}

TEST(PersonSearch, ACommonNameMatchesBesideTheFullName) {
    TNamedPerson P(u"Ricardo", u"Izecson", u"Kaká");
    EXPECT_TRUE(P.Person.Matches(u"KAKÁ"));
    EXPECT_TRUE(P.Person.Matches(u"do Iz"));
    EXPECT_FALSE(P.Person.Matches(u"Kaká Ricardo"));
}

TEST(PersonSearch, NamesLongerThanTheJoiningBufferAreSearchedWhole) {
    const std::u16string Long(150, u'a');
    TNamedPerson P(Long + u"Start", u"End" + Long);
    EXPECT_TRUE(P.Person.Matches(u"START ENDA"));
    EXPECT_TRUE(P.Person.Matches(Long + u"start end"));
    EXPECT_FALSE(P.Person.Matches(u"startend"));
}

TEST(PersonSearch, FoldsLettersBeyondAscii) {
    TNamedPerson P(u"Ørjan", u"Øvrebø");
    EXPECT_TRUE(P.Person.Matches(u"øRJAN ØVREBØ"));
    TNamedPerson Q(u"Дмитрий", u"Смирнов");
    EXPECT_TRUE(Q.Person.Matches(u"дмитрий см"));
    EXPECT_TRUE(AnsiContainsText(std::u16string(u"Ωmega"), u"ωMEGA"));
}

TEST(PersonSearch, FoldsTheCasePairsOfEveryScript) {
    TNamedPerson P(u"Ștefan", u"Țurcanu");
    EXPECT_TRUE(P.Person.Matches(u"șTEFAN ȚURCANU"));
    TNamedPerson Q(u"Nguyễn", u"Văn Đức");
    EXPECT_TRUE(Q.Person.Matches(u"NGUYỄN VĂN ĐỨ"));
    EXPECT_TRUE(AnsiContainsText(u"Άρης", u"άΡΗ"));
    EXPECT_TRUE(AnsiContainsText(u"Ґалицький", u"ґАЛИЦЬК"));
    EXPECT_TRUE(AnsiContainsText(u"Արամ", u"ԱՐԱՄ"));
    EXPECT_TRUE(AnsiContainsText(u"თბილისი", u"ᲗᲑᲘᲚᲘᲡᲘ"));
    EXPECT_TRUE(AnsiContainsText(u"ｆｕｌｌ", u"ＦＵＬＬ"));
    // Letters that Unicode folds together though upper-casing keeps them apart: the Kelvin sign and k, the long s
    // and s, the micro sign and mu, final and medial sigma.
    EXPECT_TRUE(AnsiContainsText(u"\u212Aarl", u"karl"));
    EXPECT_TRUE(AnsiContainsText(u"Gro\u017Fs", u"GROSS"));
    EXPECT_TRUE(AnsiContainsText(u"\u00B5", u"\u03BC"));
    EXPECT_TRUE(AnsiContainsText(u"Άρης", u"ΆΡΗΣ"));
    // Turkish: the dotless ı is the lower case of I, and the dotted İ has no simple fold, so the two do not meet.
    EXPECT_TRUE(AnsiContainsText(u"Iğdır", u"IĞDIR"));
    EXPECT_FALSE(AnsiContainsText(u"\u0131", u"\u0130"));
}

TEST(PersonSearch, SearchMatchesVisitsEveryPersonInOrderWithItsMatchesResult) {
    wb::TGeneratorOptions Options;
    Options.PeopleCount = 800;
    const disk::TTempDir Dir;
    wb::WriteWorld(wb::GenerateWorld(Options), Dir.Str());
    TPyxDatabase Db;
    Db.Load(Dir.Str());
    for (const std::u16string Text : {u"an", u"A", u"", u"o s", u"zzz", u"Kov"}) {
        std::vector<int32_t> Visited;
        int Found = 0;
        Db.People.SearchMatches(Text, [&](int32_t Index, TPyxObject* Entity, bool Matched) {
            Visited.push_back(Index);
            EXPECT_EQ(Entity, Db.People.Items(Index));
            EXPECT_EQ(Matched, Entity->Matches(Text)) << Index;
            Found += Matched ? 1 : 0;
        });
        ASSERT_EQ(Visited.size(), static_cast<size_t>(Db.People.Count()));
        for (size_t I = 0; I < Visited.size(); ++I) {
            ASSERT_EQ(Visited[I], static_cast<int32_t>(I));
        }
        if (Text == u"an") {
            EXPECT_GT(Found, 0);
        }
    }
}
