#pragma once

#include <QApplication>

// The editor's application object: its notify is the last frame every event handler runs under, and there it
// catches what the handlers let through and passes it to HandleUnhandledException.
class TPyxApplication final : public QApplication {
    Q_OBJECT
public:
    TPyxApplication(int& Argc, char** Argv);
    bool notify(QObject* Receiver, QEvent* Event) override;
};
