#include "PyxApplication.h"

#include "UnhandledException.h"

// No application display name: Qt would add it to every window's title, and each window's caption is its own.
TPyxApplication::TPyxApplication(int& Argc, char** Argv) : QApplication(Argc, Argv) {}

bool TPyxApplication::notify(QObject* Receiver, QEvent* Event) {
    try {
        return QApplication::notify(Receiver, Event);
    } catch (...) {
        HandleUnhandledException(std::current_exception());
        return false;
    }
}
