#include "StatusRecorder.h"

#include "StatusForm.h"

#include <QApplication>
#include <QEvent>
#include <QLabel>

namespace eh {

TStatusRecorder::TStatusRecorder() {
    qApp->installEventFilter(this);
}

TStatusRecorder::~TStatusRecorder() {
    qApp->removeEventFilter(this);
}

void TStatusRecorder::Clear() {
    Texts_.clear();
    Painted_.clear();
    ReportedAtPaint_ = 0;
    Windows_ = 0;
}

QStringList TStatusRecorder::Unpainted() const {
    QStringList Missing;
    qsizetype From = 0;
    for (const QString& Text : Texts_) {
        const qsizetype At = Painted_.indexOf(Text, From);
        if (At < 0)
            Missing.push_back(Text);
        else
            From = At + 1;
    }
    return Missing;
}

bool TStatusRecorder::eventFilter(QObject* Watched, QEvent* Event) {
    if (Event->type() == QEvent::Paint && Watched->objectName() == "lblStatus")
        if (auto* Label = qobject_cast<QLabel*>(Watched);
            Label != nullptr && qobject_cast<TfrmStatus*>(Label->window()))
            if (Painted_.isEmpty() || Painted_.last() != Label->text() || ReportedAtPaint_ != Texts_.size()) {
                Painted_.push_back(Label->text());
                ReportedAtPaint_ = Texts_.size();
            }
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
