#include "StatusRecorder.h"

#include "StatusForm.h"

#include <QApplication>
#include <QEvent>

namespace eh {

TStatusRecorder::TStatusRecorder() {
    qApp->installEventFilter(this);
}

TStatusRecorder::~TStatusRecorder() {
    qApp->removeEventFilter(this);
}

void TStatusRecorder::Clear() {
    Texts_.clear();
    Windows_ = 0;
}

bool TStatusRecorder::eventFilter(QObject* Watched, QEvent* Event) {
    if (Event->type() == QEvent::Show)
        if (auto* Status = qobject_cast<TfrmStatus*>(Watched)) {
            ++Windows_;
            connect(Status, &TfrmStatus::StatusChanged, this, [this](const QString& Text) {
                Texts_.push_back(Text);
                if (OnText)
                    OnText(Text);
            });
        }
    return QObject::eventFilter(Watched, Event);
}

} // namespace eh
