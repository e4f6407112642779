#include "KroExceptBoxLayout.h"

#include "KroExceptSettings.h"

#include <algorithm>

namespace {

// A button is as wide as its caption plus room for the glyph and margins.
constexpr int ButtonExtra = 39;

} // namespace

TBoxLayout ComputeBoxLayout(const TBoxLayoutInput& Input) {
    TBoxLayout Layout;
    std::array<int, 7> Widths{};
    for (int I = 0; I < 7; ++I)
        Widths[I] = Input.CaptionWidths[I] >= 0 ? Input.CaptionWidths[I] + ButtonExtra : 0;
    const auto Has = [&](int Action) { return Widths[Action] > 0; };

    const int RightWidth =
        std::max({Widths[eaContinueApplication], Widths[eaRestartApplication], Widths[eaCloseApplication]});
    const int LeftWidths =
        Widths[eaMailBugReport] + Widths[eaSaveBugReport] + Widths[eaPrintBugReport] + Widths[eaShowBugReport];
    int Rows = static_cast<int>(Has(eaContinueApplication)) + static_cast<int>(Has(eaRestartApplication)) +
               static_cast<int>(Has(eaCloseApplication));
    const bool AnyLeft = LeftWidths > 0;
    Layout.Stacked = Rows > 1 && AnyLeft;
    // One right-hand button counts as two rows; so does none, which would otherwise put the left-hand buttons above
    // the box's top row, over the text.
    if (Rows < 2)
        Rows = 2;

    int Width, TextLeft;
    if (Layout.Stacked) {
        Width = LeftWidths + RightWidth + 14;
        TextLeft = RightWidth + 40;
    } else {
        Width =
            LeftWidths + Widths[eaContinueApplication] + Widths[eaRestartApplication] + Widths[eaCloseApplication] + 14;
        TextLeft = 26;
    }

    const int WrapWidth = (Width > ReportBoxWidth - 1 ? Width : ReportBoxWidth) - TextLeft;
    const std::array<int, 2> TextSize = Input.MeasureText ? Input.MeasureText(WrapWidth) : std::array<int, 2>{0, 0};
    Width = std::max(Width, TextSize[0] + TextLeft);
    if (Input.ShowReportAtOnce)
        Width = std::max(Width, ReportBoxWidth);
    Layout.Text = TBoxRect{11, 12, WrapWidth, TextSize[1]};

    int Top = TextSize[1] + 5;
    if (Rows == 3) {
        if (Layout.Stacked)
            Top = Top >= 33 ? Top - 26 : 7;
        else
            Rows = 2;
    }
    Layout.Rows = Rows;

    const auto RowY = [&](int Row) { return Top + ButtonRowStep * Row; };
    int X = 6;
    for (const int Action : {eaMailBugReport, eaSaveBugReport, eaPrintBugReport, eaShowBugReport}) {
        if (!Has(Action))
            continue;
        Layout.Buttons[Action] = TBoxRect{X, RowY(Rows - 1), Widths[Action] - 4, ButtonHeight};
        X += Widths[Action];
    }
    if (Layout.Stacked) {
        X = Width - RightWidth - 8;
        if (Has(eaContinueApplication))
            Layout.Buttons[eaContinueApplication] = TBoxRect{X, RowY(0), RightWidth - 4, ButtonHeight};
        if (Has(eaRestartApplication))
            Layout.Buttons[eaRestartApplication] =
                TBoxRect{X, RowY(Has(eaContinueApplication) ? 1 : 0), RightWidth - 4, ButtonHeight};
        if (Has(eaCloseApplication))
            Layout.Buttons[eaCloseApplication] = TBoxRect{X, RowY(Rows - 1), RightWidth - 4, ButtonHeight};
    } else {
        X = Width - (Widths[eaContinueApplication] + Widths[eaRestartApplication] + Widths[eaCloseApplication]) - 8;
        for (const int Action : {eaContinueApplication, eaRestartApplication, eaCloseApplication}) {
            if (!Has(Action))
                continue;
            Layout.Buttons[Action] = TBoxRect{X, RowY(1), Widths[Action] - 4, ButtonHeight};
            X += Widths[Action];
        }
    }

    Top += ButtonRowStep * Rows;
    Layout.CarriesReport = Input.ShowReportAtOnce || Has(eaShowBugReport) || Has(eaMailBugReport) ||
                           Has(eaSaveBugReport) || Has(eaPrintBugReport);
    Layout.ReportWidth = std::max(Width, ReportBoxWidth);
    Layout.FrameTop = Top;
    if (Layout.CarriesReport) {
        Layout.ShadowFrame = TBoxRect{6, Top + 5, Layout.ReportWidth - 17, 395};
        Layout.LightFrame = TBoxRect{5, Top + 4, Layout.ReportWidth - 17, 395};
        Layout.Report = TBoxRect{5 + 7, Top + 4 + 6, Layout.ReportWidth - 30, 383};
    }
    Layout.ClientWidth = Width;
    Layout.FullHeight = Top + 411;
    Layout.SmallHeight = Top + 8;
    return Layout;
}
