#include "PyxColor.h"
#include "PyxDate.h"
#include "PyxJobs.h"
#include "PyxText.h"

#include <gtest/gtest.h>

using namespace std::chrono;

TEST(ValueTypesTest, ColoursConvertBetweenFifteenAndTwentyFourBits) {
    EXPECT_EQ(TPyxColor::To24(0x7FFF), 0x00FFFFFFu);
    EXPECT_EQ(TPyxColor::To15(0x000000FF), 0x7C00);
    EXPECT_EQ(TPyxColor::To24(16 << 10), 132u);
    TPyxColor C;
    C.SetMajor(0x00FF0000); // pure blue
    EXPECT_EQ(C.RawMajor, 0x001F);
    EXPECT_EQ(C.Major(), 0x00FF0000u);
}

TEST(ValueTypesTest, DatesCountDaysFromTheFirstOfJanuary) {
    TPyxDate D;
    EXPECT_EQ(D.Year, 1900);
    D.Year = 2000;
    D.DayOfYear = 59;
    EXPECT_EQ(D.ToDateTime(), sys_days{2000y / February / 29});
    D.FromDateTime(sys_days{2003y / January / 1});
    EXPECT_EQ(D.DayOfYear, 0);
    EXPECT_EQ(D.Year, 2003);
    D.FromDateTime(sys_days{2003y / December / 31});
    EXPECT_EQ(D.DayOfYear, 364);
}

TEST(ValueTypesTest, OnlyPostsWithoutAContractAreExcluded) {
    for (int Job = 0; Job < 256; ++Job) {
        bool Without = Job == 0 || Job == 4 || Job == 8 || Job == 10 || Job == 24;
        EXPECT_EQ(JobHasContract(static_cast<uint8_t>(Job)), !Without) << Job;
    }
}

TEST(ValueTypesTest, SearchIgnoresCaseInEveryScript) {
    EXPECT_TRUE(AnsiContainsText(u"Johnson", u"SON"));
    EXPECT_TRUE(AnsiContainsText(u"M\u00fcller", u"M\u00dcLL"));
    EXPECT_TRUE(AnsiContainsText(u"\u0418\u0432\u0430\u043d\u043e\u0432", u"\u0438\u0432\u0430\u043d"));
    EXPECT_TRUE(AnsiContainsText(u"anything", u""));
    EXPECT_FALSE(AnsiContainsText(u"Berg", u"Anna"));
    EXPECT_FALSE(AnsiContainsText(u"\u0418\u0432\u0430\u043d", u"????"));
}

TEST(ValueTypesTest, TextsSurviveTheTripThroughUtf8) {
    std::u16string S = u"Caf\u00e9 \u0416 \U0001F600";
    EXPECT_EQ(FromUtf8(ToUtf8(S)), S);
    EXPECT_EQ(ToUtf8(u"\u00e9"), "\xC3\xA9");
}
