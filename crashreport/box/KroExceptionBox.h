#pragma once

#include "KroExceptBoxButton.h"
#include "KroExceptBoxLayout.h"
#include "KroExceptBoxRequest.h"
#include "KroExceptSettings.h"
#include "KroReportView.h"
#include "KroXText.h"
#include "KroXWindow.h"

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <vector>

// The exception box's window: its layout, buttons, countdown, report view and keyboard handling, and its own loop.
// Built whole when it is made; while it shows, it allocates nothing.
class TExceptionBox final : public TKroXWindow {
public:
    TExceptionBox(TKroXDisplay& Display, TExceptSettings& Settings, const TExceptBoxRequest& Request,
                  const TExceptBoxServices& Services);
    ~TExceptionBox() override;

    // Shows the box and runs its loop until an action ends it (or the frozen program's main thread answers); returns
    // that action. When the X server goes away, the box ends as its default button would close it (DefaultExit).
    std::int32_t Run();
    // The action that ends the box without the user: the default button's when it is continue, restart or close;
    // otherwise continue when the exception can continue, else close.
    std::int32_t DefaultExit() const noexcept;
    // Asks the loop to end as the main thread's answer does (from any thread).
    void RequestClose() noexcept;

    bool HandleEvent(XEvent& Event) override;

private:
    using TClock = std::chrono::steady_clock;
    // The places the keyboard focus can be: a button (by its index in Buttons) or the report view.
    static constexpr int ReportFocus = 100;

    void CreateWindow();
    void Map();
    void PaintBox();
    void PaintButton(int Index);
    void PaintButton(int Index, std::uint32_t Face, std::uint32_t Text);
    void NormalLook(std::uint32_t& Face, std::uint32_t& Text) const noexcept;
    void Animate(int Index, std::uint32_t FromFace, std::uint32_t FromText, std::uint32_t ToFace, std::uint32_t ToText);
    int ButtonAt(Window Handle) const noexcept;
    int ButtonOf(int Action) const noexcept;
    void SetFocus(int Focus, bool Animated);
    void MoveFocus(int Direction);
    void StopCountdown();
    void Tick();
    int BarPosition() const noexcept;
    void Command(int Index);
    void RunAction(int Action);
    void CloseMessage();
    void ShowReport();
    void RemoveButton(int Index);
    void End(std::int32_t Action) noexcept;
    void KeyPressed(XKeyEvent& Key);
    void Sleep(int Milliseconds);

    TExceptSettings& Settings;
    const TExceptBoxRequest& Request;
    const TExceptBoxServices& Services;
    TBoxLayout Layout;
    std::vector<XChar2b> Text;
    std::vector<TXTextLine> TextLines;
    std::array<std::unique_ptr<TBoxButton>, 7> Buttons;
    std::unique_ptr<TReportView> ReportView;
    bool ReportShown = false;
    bool HasSystemMenu = true;
    int Focus = -1;
    int DefaultButton = -1;
    int Pressed = -1;
    bool Mapped = false;
    GC Gc = nullptr;
    Pixmap Canvas = 0;
    XImage* GlyphImage = nullptr;
    std::array<std::uint32_t, 16 * 16> GlyphPixels{};
    // The countdown: the button counting down, when it started (none while the start is empty), its bar.
    int Counting = -1;
    TClock::time_point CountdownStart{};
    bool CountdownRunning = false;
    int BarPos = -1;
    TClock::time_point LastAnimation{};
    bool Ended = false;
    std::atomic<bool> CloseRequested{false};
    std::int32_t Result = eaContinueApplication;
};
