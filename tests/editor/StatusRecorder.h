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
    void Clear();
    // Called with each text as it is shown (inside the operation, with the status window up).
    std::function<void(const QString& Text)> OnText;

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    QStringList Texts_;
    int Windows_ = 0;
};

} // namespace eh
