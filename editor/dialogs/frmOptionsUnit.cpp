#include "frmOptionsUnit.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>

namespace {

QCheckBox* CaptionLeftCheckBox(const QString& ObjectName, const QString& Caption, QWidget* Parent) {
    auto* Box = new QCheckBox(Caption, Parent);
    Box->setObjectName(ObjectName);
    Box->setLayoutDirection(Qt::RightToLeft);
    return Box;
}

} // namespace

TfrmOptions::TfrmOptions(QWidget* Parent)
    : QDialog(Parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setObjectName("frmOptions");
    setWindowTitle("Options");

    auto* lblPyxPath = new QLabel("Pyx Path:", this);
    lblPyxPath->setObjectName("lblPyxPath");
    edPyxPath = new QLineEdit(this);
    edPyxPath->setObjectName("edPyxPath");
    edPyxPath->setMinimumWidth(220);
    lblPyxPath->setBuddy(edPyxPath);
    btnBrowse = new QToolButton(this);
    btnBrowse->setObjectName("btnBrowse");
    btnBrowse->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    btnBrowse->setToolTip("Browse");
    cbLoadAllLanguages = CaptionLeftCheckBox("cbLoadAllLanguages", "Load All Languages", this);
    cbLoadPlayingHistories = CaptionLeftCheckBox("cbLoadPlayingHistories", "Load Playing Histories", this);
    btnOK = new QPushButton("OK", this);
    btnOK->setObjectName("btnOK");
    btnOK->setDefault(true);
    btnCancel = new QPushButton("Cancel", this);
    btnCancel->setObjectName("btnCancel");

    auto* Grid = new QGridLayout(this);
    Grid->addWidget(lblPyxPath, 0, 0);
    Grid->addWidget(edPyxPath, 0, 1);
    Grid->addWidget(btnBrowse, 0, 2);
    Grid->addWidget(cbLoadAllLanguages, 1, 0, 1, 2, Qt::AlignLeft);
    Grid->addWidget(cbLoadPlayingHistories, 2, 0, 1, 2, Qt::AlignLeft);
    auto* Buttons = new QHBoxLayout;
    Buttons->addStretch();
    Buttons->addWidget(btnOK);
    Buttons->addWidget(btnCancel);
    Buttons->addStretch();
    Grid->addLayout(Buttons, 3, 0, 1, 3);
    Grid->setSizeConstraint(QLayout::SetFixedSize);

    // The buttons come first in the tab order, then the edit and the two boxes.
    setTabOrder(btnOK, btnCancel);
    setTabOrder(btnCancel, edPyxPath);
    setTabOrder(edPyxPath, btnBrowse);
    setTabOrder(btnBrowse, cbLoadAllLanguages);
    setTabOrder(cbLoadAllLanguages, cbLoadPlayingHistories);

    connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(btnBrowse, &QToolButton::clicked, this, &TfrmOptions::btnBrowseClick);
}

QString TfrmOptions::FolderPart(const QString& Path) {
    const auto Last = Path.lastIndexOf('/');
    return Last < 0 ? QString() : Path.left(Last + 1);
}

void TfrmOptions::btnBrowseClick() {
    QFileDialog Dialog(this, "Find the Pyx Data Files", FolderPart(edPyxPath->text()), "server_db.dat (server_db.dat)");
    Dialog.setObjectName("diaPyxPath");
    // Qt's own dialog, the same everywhere, so that tests and every desktop drive it alike.
    Dialog.setOption(QFileDialog::DontUseNativeDialog);
    Dialog.setFileMode(QFileDialog::ExistingFile);
    Dialog.setAcceptMode(QFileDialog::AcceptOpen);
    if (Dialog.exec() != QDialog::Accepted || Dialog.selectedFiles().isEmpty())
        return;
    edPyxPath->setText(FolderPart(Dialog.selectedFiles().constFirst()));
}
