#include "PyxApplication.h"

#include "UnhandledException.h"

TPyxApplication::TPyxApplication(int& Argc, char** Argv) : QApplication(Argc, Argv) {
    setApplicationDisplayName("Pyx Pregame Editor");
}

bool TPyxApplication::notify(QObject* Receiver, QEvent* Event) {
    try {
        return QApplication::notify(Receiver, Event);
    } catch (...) {
        HandleUnhandledException(std::current_exception());
        return false;
    }
}
