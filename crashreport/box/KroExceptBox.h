#pragma once

#include "KroExceptObject.h"
#include "KroExceptSettings.h"
#include "KroXWindow.h"

#include <cstdint>
#include <string_view>

// The exception box: the user-facing end of a report. It runs in the thread that makes the report while the other
// threads are paused (the GUI thread may be the one that failed), so it is drawn with the X library alone on a
// connection of its own, and its loop waits for no lock another thread may hold. Without a display it writes its
// texts to standard output instead.

// What ended a box: the action of the button pressed (continue, restart or close; the countdown presses one too), or
// ExceptBoxNotShown when no box could be shown (its texts went to standard output, or nowhere).
inline constexpr std::int32_t ExceptBoxNotShown = -1;
// The action code of the disabled "continue" button of an exception that cannot continue.
inline constexpr std::int32_t eaCantContinue = 7;

// What the box shows.
struct TExceptBoxRequest {
    bool Frozen = false;
    TExceptObject Object;
    std::uintptr_t Address = 0;
    bool CanContinue = true;
    std::string_view Message; // the exception's message (ExceptMessageText of Object)
    std::string_view Report;
};

// What the box calls of the rest of the reporter. Every entry may be null: the box then does what the entry's comment
// says. The reporter's dispatch and report actions fill in the process's set (ExceptBoxServices) at start-up.
struct TExceptBoxServices {
    // The program's action handlers, fired with each action before it runs; true when one handled it (which matters
    // for mail, save and print). Null: no handler.
    bool (*FireActionHandlers)(const TExceptBoxRequest& Request, std::int32_t Action) = nullptr;
    // Whether an automatic rule (AutoRestart, AutoClose) is due for this report. Null: rule 1 is, every other is not.
    bool (*AutoActionDue)(std::int32_t Rule) = nullptr;
    // The report actions, with the box as the owner of their dialogs and messages. Null: nothing happens (and save
    // and print count as failed).
    std::int32_t (*SendBugReport)(std::string_view Report, TKroXWindow* Owner, bool Silent) = nullptr;
    bool (*SaveBugReport)(std::string_view Report, TKroXWindow* Owner) = nullptr;
    bool (*PrintBugReport)(std::string_view Report, TKroXWindow* Owner) = nullptr;
    // Run by ShowExceptionBox once the box is gone and its clipboard handed over; they do not return. Null: the
    // action is returned to the caller.
    void (*RestartApplication)() = nullptr;
    void (*CloseApplication)() = nullptr;
    // A frozen report asks the main thread to answer; the answer is CloseExceptionBox(BoxId), which closes the box
    // as soon as the main thread lives again. Null: the box stays until a button closes it.
    void (*PostFrozenProbe)(std::uintptr_t BoxId) = nullptr;
};

extern TExceptBoxServices ExceptBoxServices;

// Shows the box for a report with the process's settings and services, and returns when it is gone. Restart and close
// end the process through the services when they are set.
std::int32_t ShowExceptionBox(bool Frozen, const TExceptObject& ExceptObject, std::uintptr_t ExceptAddr,
                              bool CanContinue, std::string_view Report);

// The box with the given settings and services (ShowExceptionBox's body; test programs call it directly). Writes
// Settings.FocusedButton, and empties the "show" caption when ShowReportAtOnce is set, as the box's rules say. The
// pressed action is returned, never run, for continue, restart and close.
std::int32_t RunExceptionBox(TExceptSettings& Settings, const TExceptBoxRequest& Request,
                             const TExceptBoxServices& Services);

// Closes the box shown for BoxId (the id its frozen probe carried). Safe from any thread and from a signal handler;
// nothing happens when that box is gone.
void CloseExceptionBox(std::uintptr_t BoxId) noexcept;
