#pragma once

#include <exception>
#include <string>

// The editor's one meeting point with the crash reporter, and the only unit of the editor that includes its headers.
// Faults of any thread reach the reporter through its own signal handlers, installed before main runs. The event loop
// serves the calls the reporter makes to the main thread (its handler window).

// From now on the reporter takes the place of the error box for exceptions that leave an event handler (the
// application's notify hands them to HandleUnhandledException, which passes them on here).
void InstallCrashReporter();
// Whether InstallCrashReporter was called.
bool CrashReporterInstalled();
// Reports Exception as one the program survives: the event loop goes on after the report.
void ReportUnhandledException(std::exception_ptr Exception);

// The readable form of a type's name as std::type_info::name() gives it ("St12out_of_range" gives
// "std::out_of_range", "i" gives "int"), by the crash reporter's demangler; the name as it stands when the demangler
// refuses it.
std::string ReadableTypeName(const char* TypeName);
