#include "StatusForm.h"

#include "PyxObjects.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

TfrmStatus::TfrmStatus(QWidget* Owner) : QDialog(Owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setObjectName("frmStatus");
    setWindowTitle("Working...");
    setWindowModality(Qt::ApplicationModal);
    auto* Layout = new QVBoxLayout(this);
    lblStatus = new QLabel("Loadig Staff", this);
    lblStatus->setObjectName("lblStatus");
    lblStatus->setAlignment(Qt::AlignCenter);
    QFont Big = lblStatus->font();
    Big.setPixelSize(20);
    lblStatus->setFont(Big);
    lblStatus->setMinimumWidth(455);
    pbProgress = new QProgressBar(this);
    pbProgress->setObjectName("pbProgress");
    pbProgress->setRange(0, 100);
    pbProgress->setValue(0);
    pbProgress->setTextVisible(false);
    pbProgress->setFixedHeight(16);
    Layout->addWidget(lblStatus);
    Layout->addWidget(pbProgress);
    setFixedSize(sizeHint().expandedTo(QSize(460, 71)));
}

void TfrmStatus::SetStatus(const QString& Text) {
    // Every text is painted at once, however short-lived: a load shows some sixty, and a label paints in far
    // less time than the step that follows it.
    lblStatus->setText(Text);
    lblStatus->repaint();
    emit StatusChanged(Text);
    Pump();
}

void TfrmStatus::SetProgress(int Percent) {
    // A search reports once per entity, some 300,000 times; the bar is set when events are next let through (the
    // bar repaints itself at once on every change of its value).
    if (Percent == Percent_)
        return;
    Percent_ = Percent;
    Pump();
}

void TfrmStatus::Pump() {
    // A load reports a hundred steps for each of its tables. Moving the bar and running the event loop for each
    // would cost more than the load itself; a few dozen times a second keeps the window as live to the eye.
    if (SincePump_.isValid() && SincePump_.elapsed() < PumpMilliseconds)
        return;
    if (Percent_ >= 0)
        pbProgress->setValue(Percent_);
    QCoreApplication::processEvents();
    SincePump_.start();
}

QString TfrmStatus::StatusText() const {
    return lblStatus->text();
}

int TfrmStatus::Progress() const {
    return Percent_ < 0 ? 0 : Percent_;
}

void TfrmStatus::closeEvent(QCloseEvent* Event) {
    // Only the operation that opened the window closes it.
    Event->ignore();
}

void TfrmStatus::keyPressEvent(QKeyEvent* Event) {
    // Escape would reject the dialog; the operation cannot be cancelled.
    Event->accept();
}

TStatusSession::TStatusSession(QWidget* Owner, std::initializer_list<TPyxEvents*> Sources)
    : Window_(std::make_unique<TfrmStatus>(Owner)), Sources_(Sources) {
    for (TPyxEvents* Source : Sources_) {
        TfrmStatus* Window = Window_.get();
        Source->OnStatus = [Window](const std::string& Text) { Window->SetStatus(QString::fromStdString(Text)); };
        Source->OnProgress = [Window](int Percent) { Window->SetProgress(Percent); };
    }
    Window_->show();
    QCoreApplication::processEvents();
}

TStatusSession::~TStatusSession() {
    for (TPyxEvents* Source : Sources_) {
        Source->OnStatus = nullptr;
        Source->OnProgress = nullptr;
    }
    Window_->hide();
}
