#include "UnhandledException.h"

#include "PyxExceptions.h"
#include "PyxMessages.h"

#include <QApplication>

#include <cxxabi.h>
#include <memory>
#include <typeinfo>

namespace {

std::string Demangle(const char* Name) {
    int Status = 0;
    std::unique_ptr<char, void (*)(void*)> Readable(abi::__cxa_demangle(Name, nullptr, nullptr, &Status), std::free);
    return Status == 0 && Readable ? std::string(Readable.get()) : std::string(Name);
}

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
        return {Demangle(typeid(E).name()), E.what()};
    } catch (...) {
        const std::type_info* Type = abi::__cxa_current_exception_type();
        return {Type ? Demangle(Type->name()) : std::string("unknown exception"), ""};
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
