#include "KroExceptAdapter.h"

#include "KroReportException.h"
#include "UnhandledException.h"

#include <exception>

void InstallCrashReporter() {
    SetUnhandledExceptionHandler([](std::exception_ptr Exception) {
        try {
            std::rethrow_exception(Exception);
        } catch (...) {
            // The event loop goes on after the report: an event handler's exception leaves the program whole.
            ReportCurrentException(true);
        }
    });
}
