#include "KroTraceProgress.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::int64_t FakeNow = 0;
std::int64_t FakeClock() {
    return FakeNow;
}

std::vector<std::int32_t> Drawn;
int PopupsMade = 0;

class TRecordingPopup final : public TProgressPopup {
public:
    void SetPosition(std::int32_t Permille) override { Drawn.push_back(Permille); }
};

std::unique_ptr<TProgressPopup> MakeRecordingPopup() {
    ++PopupsMade;
    return std::make_unique<TRecordingPopup>();
}

class TraceProgressTest : public testing::Test {
protected:
    void SetUp() override {
        FakeNow = 1000;
        Drawn.clear();
        PopupsMade = 0;
        SetProgressPopupFactory(MakeRecordingPopup);
    }
    void TearDown() override { SetProgressPopupFactory(nullptr); }
};

TEST_F(TraceProgressTest, WorkDoneWithin750MsNeverShowsThePopup) {
    TTraceProgress Progress(FakeClock);
    Progress.AddArea(100);
    Progress.AddArea(300);
    for (std::int32_t Position = 0; Position <= 1000; Position += 100) {
        FakeNow += 30;
        Progress.SetPosition(Position);
    }
    Progress.FinishArea();
    FakeNow = 1750;
    Progress.SetPosition(100);
    EXPECT_FALSE(Progress.PopupShown());
    EXPECT_EQ(PopupsMade, 0);
}

TEST_F(TraceProgressTest, SlowWorkBelowHalfwayShowsThePopupFromZero) {
    TTraceProgress Progress(FakeClock);
    Progress.AddArea(100);
    Progress.AddArea(100);
    Progress.SetPosition(200); // global 20 of 200
    EXPECT_FALSE(Progress.PopupShown());
    FakeNow += 751;
    Progress.SetPosition(400); // global 40: the popup starts here at 0
    ASSERT_TRUE(Progress.PopupShown());
    EXPECT_EQ(PopupsMade, 1);
    EXPECT_EQ(Progress.PopupPosition(), 0);
    Progress.FinishArea(); // global 100: 60 of the 160 left
    EXPECT_EQ(Progress.PopupPosition(), 375);
    Progress.SetPosition(500); // global 150
    EXPECT_EQ(Progress.PopupPosition(), 687);
    EXPECT_EQ(Drawn, (std::vector<std::int32_t>{0, 375, 687}));
}

TEST_F(TraceProgressTest, SlowWorkPastHalfwayShowsNoPopup) {
    TTraceProgress Progress(FakeClock);
    Progress.AddArea(100);
    FakeNow += 2000;
    Progress.SetPosition(500);
    EXPECT_FALSE(Progress.PopupShown());
}

TEST_F(TraceProgressTest, NoReadableStackIsNoDivisionByZero) {
    // Nothing announced at all, and only empty areas: there is nothing to divide by.
    TTraceProgress Nothing(FakeClock);
    FakeNow += 2000;
    Nothing.SetPosition(100);
    Nothing.FinishArea();
    EXPECT_FALSE(Nothing.PopupShown());

    TTraceProgress Empty(FakeClock);
    Empty.AddArea(0);
    Empty.AddArea(0);
    FakeNow += 2000;
    Empty.SetPosition(0);
    Empty.FinishArea();
    Empty.SetPosition(300);
    Empty.FinishArea();
    Empty.SetPosition(300); // past the last area
    EXPECT_FALSE(Empty.PopupShown());
}

} // namespace
