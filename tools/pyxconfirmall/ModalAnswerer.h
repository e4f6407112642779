#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

// Answers the message boxes the main window opens while pyxconfirmall drives it: Yes to the read-only question,
// OK to any other box (after recording its text), Cancel to any other dialog.
class TModalAnswerer final : public QObject {
public:
    TModalAnswerer();
    // The texts of the boxes other than the read-only question, in order.
    const QStringList& Boxes() const { return Boxes_; }

private:
    void Poll();

    QTimer Timer_;
    QStringList Boxes_;
};
