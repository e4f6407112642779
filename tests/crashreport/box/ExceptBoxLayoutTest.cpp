#include "KroBoxGlyphs.h"
#include "KroExceptBoxLayout.h"
#include "KroExceptSettings.h"
#include "KroXProbe.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// This program's five buttons, with captions measured as a 6-pixel font would.
TBoxLayoutInput ProgramButtons(int TextWidth, int TextHeight) {
    TBoxLayoutInput Input;
    Input.CaptionWidths = {90, -1, -1, 90, 120, 114, 102};
    Input.MeasureText = [=](int WrapWidth) -> std::array<int, 2> {
        return {TextWidth < WrapWidth ? TextWidth : WrapWidth, TextHeight};
    };
    return Input;
}

} // namespace

TEST(ExceptBoxLayoutTest, ThisProgramsBoxStacksContinueRestartAndCloseBesideTheText) {
    const TBoxLayout Layout = ComputeBoxLayout(ProgramButtons(330, 28));
    EXPECT_TRUE(Layout.Stacked);
    EXPECT_EQ(Layout.Rows, 3);
    const int Right = 120 + 39; // the widest right-hand button
    EXPECT_EQ(Layout.ClientWidth, std::max(129 + 129 + Right + 14, 330 + Right + 40));
    // Text 28 high: the column starts a row above the text's foot, so it stands beside the text.
    EXPECT_EQ(Layout.Buttons[eaContinueApplication].Y, 28 + 5 - 26);
    EXPECT_EQ(Layout.Buttons[eaRestartApplication].Y, 28 + 5);
    EXPECT_EQ(Layout.Buttons[eaCloseApplication].Y, 28 + 5 + 26);
    EXPECT_EQ(Layout.Buttons[eaMailBugReport].Y, Layout.Buttons[eaCloseApplication].Y);
    EXPECT_EQ(Layout.Buttons[eaShowBugReport].X, 6 + 129);
    for (const int Action : {eaContinueApplication, eaRestartApplication, eaCloseApplication}) {
        EXPECT_EQ(Layout.Buttons[Action].X, Layout.ClientWidth - Right - 8);
        EXPECT_EQ(Layout.Buttons[Action].Width, Right - 4);
    }
    // The column never overlaps the text, which wraps to the room left of it.
    EXPECT_LE(Layout.Text.X + Layout.Text.Width, Layout.Buttons[eaContinueApplication].X + 11);
    EXPECT_EQ(Layout.Buttons[eaSaveBugReport].Width, 0);
    EXPECT_TRUE(Layout.CarriesReport);
    EXPECT_EQ(Layout.SmallHeight, 28 + 5 - 26 + 3 * 26 + 8);
    EXPECT_EQ(Layout.FullHeight, Layout.SmallHeight + 403);
    EXPECT_EQ(Layout.Report.Width, std::max(Layout.ClientWidth, ReportBoxWidth) - 30);
}

TEST(ExceptBoxLayoutTest, AShortTextPutsTheColumnAtTheTopAndALongOneWidensTheBox) {
    EXPECT_EQ(ComputeBoxLayout(ProgramButtons(100, 14)).Buttons[eaContinueApplication].Y, 7);
    const TBoxLayout Wide = ComputeBoxLayout(ProgramButtons(2000, 14));
    // The text wraps to the box's width less the column: it cannot push the box wider than 538 here.
    EXPECT_EQ(Wide.ClientWidth, ReportBoxWidth);
}

TEST(ExceptBoxLayoutTest, WithoutLeftButtonsTheRightGroupLiesInOneRow) {
    TBoxLayoutInput Input = ProgramButtons(100, 14);
    Input.CaptionWidths[eaMailBugReport] = Input.CaptionWidths[eaShowBugReport] = -1;
    const TBoxLayout Layout = ComputeBoxLayout(Input);
    EXPECT_FALSE(Layout.Stacked);
    EXPECT_EQ(Layout.Rows, 2);
    EXPECT_FALSE(Layout.CarriesReport);
    const int Y = Layout.Buttons[eaContinueApplication].Y;
    EXPECT_EQ(Layout.Buttons[eaRestartApplication].Y, Y);
    EXPECT_EQ(Layout.Buttons[eaRestartApplication].X, Layout.Buttons[eaContinueApplication].X + 159);
    EXPECT_EQ(Layout.Buttons[eaCloseApplication].X + Layout.Buttons[eaCloseApplication].Width + 4 + 8,
              Layout.ClientWidth);
}

TEST(ExceptBoxLayoutTest, WithoutRightButtonsTheLeftOnesStayBelowTheText) {
    TBoxLayoutInput Input = ProgramButtons(100, 40);
    Input.CaptionWidths[eaContinueApplication] = Input.CaptionWidths[eaRestartApplication] =
        Input.CaptionWidths[eaCloseApplication] = -1;
    const TBoxLayout Layout = ComputeBoxLayout(Input);
    EXPECT_GE(Layout.Buttons[eaMailBugReport].Y, Layout.Text.Y + 40);
    EXPECT_GE(Layout.FrameTop, Layout.Buttons[eaMailBugReport].Y + ButtonHeight);
}

TEST(ExceptBoxLayoutTest, ShowingTheReportAtOnceMakesTheBoxReportWide) {
    TBoxLayoutInput Input = ProgramButtons(100, 14);
    Input.CaptionWidths[eaShowBugReport] = -1;
    Input.ShowReportAtOnce = true;
    const TBoxLayout Layout = ComputeBoxLayout(Input);
    EXPECT_GE(Layout.ClientWidth, ReportBoxWidth);
    EXPECT_TRUE(Layout.CarriesReport);
}

TEST(ExceptBoxGlyphTest, AlphaBlendsTheGlyphOverTheFace) {
    EXPECT_EQ(BlendGlyphPixel(0xff123456, 0xd4d0c8), 0x123456u);
    // Alpha 0 still weighs the pixel by 1/256.
    EXPECT_EQ(BlendGlyphPixel(0x00000000, 0xd4d0c8), 0xd3cfc7u);
    EXPECT_EQ(BlendGlyphPixel(0x7fffffff, 0x000000), 0x7f7f7fu);
    for (int Index = 0; Index <= 7; ++Index) {
        int Opaque = 0;
        for (const std::uint32_t Pixel : BoxGlyph(Index))
            Opaque += (Pixel >> 24) == 0xff;
        EXPECT_GT(Opaque, 40) << "glyph " << Index << " is drawn";
    }
}

TEST(XServerProbeTest, AServerThatTakesTheConnectionButNeverAnswersIsNotWaitedFor) {
    const int Listener = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un Address{};
    Address.sun_family = AF_UNIX;
    const char Name[] = "/tmp/.X11-unix/X59";
    std::memcpy(Address.sun_path + 1, Name, sizeof Name - 1);
    const socklen_t Length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + sizeof Name - 1);
    ASSERT_EQ(bind(Listener, reinterpret_cast<sockaddr*>(&Address), Length), 0);
    ASSERT_EQ(listen(Listener, 4), 0);
    const auto Start = std::chrono::steady_clock::now();
    EXPECT_FALSE(XServerAnswers(":59", 300));
    EXPECT_FALSE(XServerAnswers("unix:59.0", 300));
    const auto Took = std::chrono::steady_clock::now() - Start;
    EXPECT_LT(Took, std::chrono::seconds(2));
    close(Listener);
}

TEST(XServerProbeTest, NamesWithoutAServerOrANumberAreRefused) {
    EXPECT_FALSE(XServerAnswers(nullptr, 100));
    EXPECT_FALSE(XServerAnswers("", 100));
    EXPECT_FALSE(XServerAnswers("nonsense", 100));
    EXPECT_FALSE(XServerAnswers(":", 100));
    EXPECT_FALSE(XServerAnswers(":58", 100)); // nobody listens
    EXPECT_FALSE(XServerAnswers("127.0.0.1:58", 300));
    // A host name is left to the X library: looking it up could load name-service modules.
    EXPECT_TRUE(XServerAnswers("somehost:0", 100));
}
