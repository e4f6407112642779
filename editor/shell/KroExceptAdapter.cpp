#include "KroExceptAdapter.h"

#include "KroDemangle.h"
#include "KroHandlerWindows.h"
#include "KroReportException.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <atomic>

namespace {

std::atomic<bool> ReporterInstalled{false};

// The reporter calls the main thread through its handler window (the watchdog's question, the handlers that must run
// in the main thread): the event loop serves that queue whenever calls wait in it.
void ServeReporterCalls() {
    const int Queue = HandlerWindowEventFd();
    if (Queue < 0)
        return;
    auto* Notifier = new QSocketNotifier(Queue, QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(Notifier, &QSocketNotifier::activated, Notifier, [] { ServeHandlerMessages(); });
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(ServeReporterCalls)

void InstallCrashReporter() {
    ReporterInstalled = true;
}

bool CrashReporterInstalled() {
    return ReporterInstalled;
}

void ReportUnhandledException(std::exception_ptr Exception) {
    try {
        std::rethrow_exception(Exception);
    } catch (...) {
        // The event loop goes on after the report: an event handler's exception leaves the program whole.
        ReportCurrentException(true);
    }
}

std::string ReadableTypeName(const char* TypeName) {
    std::string Readable;
    if (KroDemangleType(TypeName, Readable))
        return Readable;
    return TypeName != nullptr ? std::string(TypeName) : std::string();
}
