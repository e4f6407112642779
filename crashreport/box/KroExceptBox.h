#pragma once

#include "KroExceptBoxRequest.h"
#include "KroExceptObject.h"
#include "KroExceptSettings.h"

#include <cstdint>
#include <string_view>

// The exception box: the user-facing end of a report. It runs in the thread that makes the report while the other
// threads are paused (the GUI thread may be the one that failed), so it is drawn with the X library alone on a
// connection of its own, and its loop waits for no lock another thread may hold. Without a display it writes its
// texts to standard output instead.

// What ended a box: the action of the button pressed (continue, restart or close; the countdown presses one too), or
// ExceptBoxNotShown when no box could be shown (its texts went to standard output, or nowhere).
inline constexpr std::int32_t ExceptBoxNotShown = -1;
// The process's services, filled in by the reporter's start-up.
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
