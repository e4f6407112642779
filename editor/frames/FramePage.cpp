#include "FramePage.h"

#include <QGridLayout>
#include <QLabel>

TFramePage::TFramePage(QWidget* Parent, const QString& ObjectName, const QString& Heading, const QString& HeadingName)
    : QWidget(Parent) {
    setObjectName(ObjectName);
    Grid_ = new QGridLayout(this);
    Grid_->setColumnStretch(1, 1);
    Grid_->setColumnMinimumWidth(0, 120);
    Grid_->setVerticalSpacing(4);
    if (!Heading.isEmpty())
        AddHeading(Heading, HeadingName);
    // Rows stand at the top; the space below them stays empty.
    Grid_->setRowStretch(1000, 1);
}

QLabel* TFramePage::AddHeading(const QString& Text, const QString& ObjectName) {
    auto* Label = new QLabel(Text, this);
    Label->setObjectName(ObjectName);
    QFont Bold = Label->font();
    Bold.setBold(true);
    Label->setFont(Bold);
    Grid_->addWidget(Label, NextRow_++, 0, 1, 4);
    return Label;
}

QLabel* TFramePage::AddRow(const QString& Caption, QWidget* Control, QWidget* Button, QWidget* Button2) {
    auto* Label = new QLabel(Caption, this);
    Label->setObjectName(LabelNameFor(Control->objectName()));
    Label->setBuddy(Control);
    Control->setParent(this);
    Grid_->addWidget(Label, NextRow_, 0);
    Grid_->addWidget(Control, NextRow_, 1);
    if (Button != nullptr) {
        Button->setParent(this);
        Grid_->addWidget(Button, NextRow_, 2);
    }
    if (Button2 != nullptr) {
        Button2->setParent(this);
        Grid_->addWidget(Button2, NextRow_, 3);
    }
    ++NextRow_;
    return Label;
}

QString TFramePage::LabelNameFor(const QString& ControlName) {
    qsizetype Start = 0;
    while (Start < ControlName.size() && ControlName[Start].isLower())
        ++Start;
    return "lbl" + ControlName.mid(Start);
}
