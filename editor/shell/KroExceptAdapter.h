#pragma once

// The editor's one meeting point with the crash reporter: the reporter takes the place of the error box for
// exceptions that leave an event handler (the application's notify hands them to HandleUnhandledException). Faults of
// any thread reach the reporter through its own signal handlers, installed before main runs. The event loop serves
// the calls the reporter makes to the main thread (its handler window).
void InstallCrashReporter();
