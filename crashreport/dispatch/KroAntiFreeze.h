#pragma once

#include <cstdint>

// The anti-freeze watchdog (only when FreezeTimeout > 0): a thread that asks the main thread, through its handler
// window, for an answer every tenth of the timeout, and reports a frozen application when ten rounds in a row went
// unanswered; after such a report the rounds grow by half. It is held still while any report is being made.

// Start-up, on the main thread (whose handler window must exist): ReportFrozen makes the report of a frozen main
// thread.
void StartAntiFreeze(void (*ReportFrozen)());
void StopAntiFreeze();
bool AntiFreezeRunning() noexcept;
// Holds the watchdog still (Pause true) or lets it go on with a fresh count (false). Pauses nest; the watchdog
// itself is never held by its own report.
void PauseAntiFreeze(bool Pause) noexcept;
// A report was made: the count of silent rounds starts again.
void ResetAntiFreezeCount() noexcept;

// Asks the main thread to close the box BoxId of a frozen report once it answers again.
void PostFrozenBoxProbe(std::uintptr_t BoxId);
