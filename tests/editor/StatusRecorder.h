#pragma once

#include <QObject>
#include <QStringList>

namespace eh {

// Records every text the status windows of long operations show (load, save, search), in order, for as long as
// it lives. It watches the application for status windows being shown and listens to each.
class TStatusRecorder final : public QObject {
    Q_OBJECT
public:
    TStatusRecorder();
    ~TStatusRecorder() override;

    const QStringList& Texts() const { return Texts_; }
    int Windows() const { return Windows_; }
    // The texts the status label never painted while they were shown, in order.
    QStringList Unpainted() const;
    void Clear();
    // Called with each text as it is shown (inside the operation, with the status window up).
    std::function<void(const QString& Text)> OnText;

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    QStringList Texts_;
    // Each text the label painted: once for its paints between two reports, so that a text reported twice in a
    // row must be painted twice.
    QStringList Painted_;
    qsizetype ReportedAtPaint_ = 0;
    int Windows_ = 0;
};

} // namespace eh
