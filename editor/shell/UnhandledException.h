#pragma once

#include <exception>
#include <functional>
#include <string>

// The one place an exception that no handler took ends up: the application's notify catches whatever leaves a Qt
// event handler and hands it here, so that nothing crosses the event loop. Once the crash reporter is installed
// (InstallCrashReporter, at start-up) it reports the exception; until then the exception's class and message are
// shown in an error box. A handler of the program's own takes the place of both.

// The class name and message of an exception, for reports and boxes.
struct TExceptionDescription {
    std::string ClassName;
    std::string Message;
};
TExceptionDescription DescribeException(std::exception_ptr Exception);

using TUnhandledExceptionHandler = std::function<void(std::exception_ptr)>;

// Makes Handler the receiver of unhandled exceptions and returns the one it replaces; an empty Handler restores the
// crash reporter, or the error box when no reporter is installed.
TUnhandledExceptionHandler SetUnhandledExceptionHandler(TUnhandledExceptionHandler Handler);

// Passes Exception to the installed handler. A handler that itself throws is not called again for that exception.
void HandleUnhandledException(std::exception_ptr Exception);
