#pragma once

#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <QMessageBox>

#include <deque>
#include <functional>

class QFileDialog;
class QWidget;

namespace eh {

// Drives the modal dialogs and message boxes an action opens. Expect queues a handler for the next modal dialog
// (the status window of a long operation does not count); the driver polls while handlers wait and runs each on
// the dialog as soon as it is the active modal widget, from a timer of its own, so a handler may press a button
// that opens a further dialog (queue that dialog's handler first). Queue the handlers, then do what opens the
// dialogs: the action's own event loop runs them.
//
// A modal dialog that nobody expected is closed after a few seconds and recorded in Unexpected(), so that a test
// that opens one by mistake fails instead of hanging.
class TModalDriver final : public QObject {
    Q_OBJECT
public:
    using THandler = std::function<void(QWidget* Dialog)>;

    TModalDriver();
    ~TModalDriver() override;

    void Expect(THandler Handler);
    // Handlers still waiting for their dialog.
    int Pending() const { return static_cast<int>(Queue_.size()); }
    // Drops the handlers still waiting (their dialog did not come).
    void Withdraw() { Queue_.clear(); }
    // Title and text of each unexpected dialog closed.
    const QStringList& Unexpected() const { return Unexpected_; }

    // Common handlers.
    // Clicks Button of a message box, after recording its object name, title and text into *Seen (when given).
    static THandler Answer(QMessageBox::StandardButton Button, QString* Seen = nullptr);
    // Accepts or rejects any dialog.
    static THandler Accept();
    static THandler Reject();

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    void Poll();

    QTimer Timer_;
    std::deque<THandler> Queue_;
    QSet<QObject*> Handled_; // dialogs handled and not hidden since
    QPointer<QWidget> Stray_;
    int StrayTicks_ = 0;
    QStringList Unexpected_;
};

// Picks the file Path in Qt's own file dialog and presses its Open button, as a user typing the name would.
void ChooseFile(QFileDialog& Dialog, const QString& Path);

// Object name, title and text of a message box, one per line: what Answer records.
QString DescribeMessageBox(const QMessageBox& Box);

} // namespace eh
