#include "ModalDriver.h"

#include "StatusForm.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>

namespace eh {

namespace {

constexpr int PollMilliseconds = 5;
constexpr int StrayTicksBeforeClosing = 600; // three seconds

} // namespace

TModalDriver::TModalDriver() {
    Timer_.setInterval(PollMilliseconds);
    connect(&Timer_, &QTimer::timeout, this, &TModalDriver::Poll);
    Timer_.start();
}

TModalDriver::~TModalDriver() = default;

void TModalDriver::Expect(THandler Handler) {
    Queue_.push_back(std::move(Handler));
}

void TModalDriver::Poll() {
    QWidget* Modal = QApplication::activeModalWidget();
    if (Modal == nullptr || !Modal->isVisible() || qobject_cast<TfrmStatus*>(Modal) != nullptr ||
        Handled_.contains(Modal)) {
        StrayTicks_ = 0;
        return;
    }
    if (!Queue_.empty()) {
        THandler Handler = std::move(Queue_.front());
        Queue_.pop_front();
        // A dialog is handled once each time it is shown: it counts again after it was hidden.
        Handled_.insert(Modal);
        Modal->installEventFilter(this);
        StrayTicks_ = 0;
        // The handler runs from a timer of its own: one that opens a further dialog (a button that runs exec)
        // leaves this poll free to drive that dialog too.
        QTimer::singleShot(0, this, [Handler = std::move(Handler), Dialog = QPointer<QWidget>(Modal)] {
            if (Dialog)
                Handler(Dialog);
        });
        return;
    }
    if (Modal != Stray_) {
        Stray_ = Modal;
        StrayTicks_ = 0;
    }
    if (++StrayTicks_ < StrayTicksBeforeClosing)
        return;
    QString Description = Modal->objectName() + " \"" + Modal->windowTitle() + "\"";
    if (auto* Box = qobject_cast<QMessageBox*>(Modal))
        Description = DescribeMessageBox(*Box);
    Unexpected_.push_back(Description);
    if (auto* Dialog = qobject_cast<QDialog*>(Modal))
        Dialog->reject();
    else
        Modal->close();
    StrayTicks_ = 0;
}

bool TModalDriver::eventFilter(QObject* Watched, QEvent* Event) {
    if (Event->type() == QEvent::Hide || Event->type() == QEvent::Destroy)
        Handled_.remove(Watched);
    return QObject::eventFilter(Watched, Event);
}

void ChooseFile(QFileDialog& Dialog, const QString& Path) {
    // selectFile leaves the name edit alone while it has the focus, as it has in a dialog just shown; the name is
    // typed into it instead, as a user would.
    auto* Name = Dialog.findChild<QLineEdit*>("fileNameEdit");
    if (Name == nullptr) {
        Dialog.selectFile(Path);
    } else {
        Dialog.setDirectory(QFileInfo(Path).absolutePath());
        Name->setText(QFileInfo(Path).absoluteFilePath());
    }
    static_cast<QDialog&>(Dialog).accept();
}

QString DescribeMessageBox(const QMessageBox& Box) {
    return Box.objectName() + "\n" + Box.windowTitle() + "\n" + Box.text();
}

TModalDriver::THandler TModalDriver::Answer(QMessageBox::StandardButton Button, QString* Seen) {
    return [Button, Seen](QWidget* Dialog) {
        auto* Box = qobject_cast<QMessageBox*>(Dialog);
        if (Box == nullptr) {
            if (Seen != nullptr)
                *Seen = "not a message box: " + Dialog->objectName();
            static_cast<QDialog*>(Dialog)->reject();
            return;
        }
        if (Seen != nullptr)
            *Seen = DescribeMessageBox(*Box);
        if (QAbstractButton* Clicked = Box->button(Button))
            Clicked->click();
        else
            Box->reject();
    };
}

TModalDriver::THandler TModalDriver::Accept() {
    return [](QWidget* Dialog) { static_cast<QDialog*>(Dialog)->accept(); };
}

TModalDriver::THandler TModalDriver::Reject() {
    return [](QWidget* Dialog) { static_cast<QDialog*>(Dialog)->reject(); };
}

} // namespace eh
