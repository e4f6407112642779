#pragma once

#include <array>
#include <functional>

// Where the exception box puts its parts, worked out from the captions' widths and the text's size alone, so the
// rules can be checked without a display. Pixels of the box's inside (no title bar).
struct TBoxRect {
    int X = 0, Y = 0, Width = 0, Height = 0;
};

struct TBoxLayout {
    int ClientWidth = 0;
    int SmallHeight = 0; // without the report
    int FullHeight = 0;  // with the report
    int Rows = 0;        // button rows
    bool Stacked = false;
    std::array<TBoxRect, 7> Buttons{}; // by action code; Width 0: no button
    TBoxRect Text;                     // the message, wrapped to Text.Width
    bool CarriesReport = false;
    TBoxRect ShadowFrame, LightFrame; // the etched frame round the report
    TBoxRect Report;                  // the report view
    // The width the box takes when the report is shown, and the top of the frame.
    int ReportWidth = 0;
    int FrameTop = 0;
};

// The narrowest box that shows the report.
inline constexpr int ReportBoxWidth = 538;
inline constexpr int ButtonHeight = 22;
inline constexpr int ButtonRowStep = 26;

struct TBoxLayoutInput {
    // The width of each button's caption by action code; a negative width: no such button.
    std::array<int, 7> CaptionWidths{-1, -1, -1, -1, -1, -1, -1};
    bool ShowReportAtOnce = false;
    // The message's size when wrapped to a width: {width, height}.
    std::function<std::array<int, 2>(int WrapWidth)> MeasureText;
};

TBoxLayout ComputeBoxLayout(const TBoxLayoutInput& Input);
