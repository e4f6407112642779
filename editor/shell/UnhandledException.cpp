#include "UnhandledException.h"

#include "KroExceptAdapter.h"
#include "PyxExceptions.h"
#include "PyxMessages.h"

#include <QApplication>

#include <cxxabi.h>
#include <typeinfo>

namespace {

void ShowExceptionBox(std::exception_ptr Exception) {
    const TExceptionDescription Description = DescribeException(Exception);
    PyxMessages::ShowError(QApplication::activeWindow(),
                           QString::fromStdString(Description.ClassName + ": " + Description.Message));
}

TUnhandledExceptionHandler& Installed() {
    static TUnhandledExceptionHandler Handler;
    return Handler;
}

} // namespace

TExceptionDescription DescribeException(std::exception_ptr Exception) {
    if (!Exception)
        return {"", ""};
    try {
        std::rethrow_exception(Exception);
    } catch (const EPyxError& E) {
        return {E.ClassName(), E.what()};
    } catch (const std::exception& E) {
        return {ReadableTypeName(typeid(E).name()), E.what()};
    } catch (...) {
        const std::type_info* Type = abi::__cxa_current_exception_type();
        return {Type ? ReadableTypeName(Type->name()) : std::string("unknown exception"), ""};
    }
}

TUnhandledExceptionHandler SetUnhandledExceptionHandler(TUnhandledExceptionHandler Handler) {
    TUnhandledExceptionHandler Previous = std::move(Installed());
    Installed() = std::move(Handler);
    return Previous;
}

void HandleUnhandledException(std::exception_ptr Exception) {
    // A copy: a handler may install another one while it runs.
    const TUnhandledExceptionHandler Handler = Installed();
    try {
        if (Handler)
            Handler(Exception);
        else if (CrashReporterInstalled())
            ReportUnhandledException(Exception);
        else
            ShowExceptionBox(Exception);
    } catch (...) {
        // The handler failed with this exception in hand; the box is the last resort and must not throw again.
        try {
            ShowExceptionBox(Exception);
        } catch (...) {
        }
    }
}
