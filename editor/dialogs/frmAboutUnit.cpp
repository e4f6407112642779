#include "frmAboutUnit.h"

#include <QDesktopServices>
#include <QLabel>
#include <QUrl>
#include <QVBoxLayout>

TfrmAbout::TfrmAbout(QWidget* Parent)
    : QDialog(Parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint) {
    setObjectName("frmAbout");
    setWindowTitle("About");
    lblAbout1 = new QLabel("Pyx Pregame Editor", this);
    lblAbout1->setObjectName("lblAbout1");
    QFont Title = lblAbout1->font();
    Title.setBold(true);
    lblAbout1->setFont(Title);
    lblAbout2 = new QLabel("Written by the Pyx Pregame Editor team", this);
    lblAbout2->setObjectName("lblAbout2");
    lblAbout3 = new QLabel(this);
    lblAbout3->setObjectName("lblAbout3");
    lblAbout3->setText(QString("<a href=\"%1\">%1</a>").arg(WebAddress));
    lblAbout3->setTextFormat(Qt::RichText);
    // The click goes through lblAbout3Click, not the label's own link handling.
    lblAbout3->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    lblAbout3->setOpenExternalLinks(false);
    connect(lblAbout3, &QLabel::linkActivated, this, &TfrmAbout::lblAbout3Click);
    auto* Layout = new QVBoxLayout(this);
    for (QLabel* Label : {lblAbout1, lblAbout2, lblAbout3}) {
        Label->setAlignment(Qt::AlignCenter);
        Layout->addWidget(Label);
    }
    Layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TfrmAbout::lblAbout3Click() {
    QDesktopServices::openUrl(QUrl(WebAddress));
}
