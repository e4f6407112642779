#pragma once

#include <QDialog>
#include <QElapsedTimer>

#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

class QLabel;
class QProgressBar;
struct TPyxEvents;

// The progress window of a long operation ("Working..."): a status text and a percentage. Its two operations have
// the shape of the status and progress events: each status text is painted at once, and the bar is moved and
// pending events run a few dozen times a second at most, so that the screen stays live while the operation works
// on the GUI thread. It is application-modal and has no close button: while it is up, the user can do nothing else
// (see TPyxBusy for what gets through anyway).
class TfrmStatus final : public QDialog {
    Q_OBJECT
public:
    explicit TfrmStatus(QWidget* Owner);

    void SetStatus(const QString& Text);
    void SetProgress(int Percent);

    QString StatusText() const;
    int Progress() const;

signals:
    // Each status text, once its label has painted it.
    void StatusChanged(const QString& Text);

protected:
    void closeEvent(QCloseEvent* Event) override;
    void keyPressEvent(QKeyEvent* Event) override;

private:
    // Moves the bar and lets pending events run, at most once per PumpMilliseconds.
    void Pump();
    static constexpr int PumpMilliseconds = 40;

    QLabel* lblStatus;
    QProgressBar* pbProgress;
    int Percent_ = -1;
    QElapsedTimer SincePump_;
};

// A status window for the length of one operation, serving the status and progress events of the given sources
// (a database, a search). Destroying it takes the events back from the window and closes it, so that no source is
// left calling a window that is gone.
class TStatusSession final {
public:
    TStatusSession(QWidget* Owner, std::initializer_list<TPyxEvents*> Sources);
    ~TStatusSession();
    TStatusSession(const TStatusSession&) = delete;
    TStatusSession& operator=(const TStatusSession&) = delete;

    TfrmStatus& Window() { return *Window_; }

private:
    std::unique_ptr<TfrmStatus> Window_;
    std::vector<TPyxEvents*> Sources_;
};
