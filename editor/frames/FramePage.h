#pragma once

#include <QWidget>

class QGridLayout;
class QLabel;

// One page of an editor frame's page control: a bold heading ("General:") and below it one row per field, the
// label on the left, the control in the middle and its small buttons (name or link button) on the right. Frames
// with pages of another shape put their own layout into a plain page instead.
class TFramePage final : public QWidget {
    Q_OBJECT
public:
    // A page named ObjectName with the heading label HeadingName / Heading (none when Heading is empty).
    TFramePage(QWidget* Parent, const QString& ObjectName, const QString& Heading = QString(),
               const QString& HeadingName = QString());

    // A row: a label with Caption (named after the control: "edName" gets "lblName") and Control, with up to two
    // buttons after it. Returns the label.
    QLabel* AddRow(const QString& Caption, QWidget* Control, QWidget* Button = nullptr, QWidget* Button2 = nullptr);
    // A bold sub-heading between rows.
    QLabel* AddHeading(const QString& Text, const QString& ObjectName);
    // The label name for a control: "lbl" followed by the control's name without its lower-case prefix.
    static QString LabelNameFor(const QString& ControlName);

private:
    QGridLayout* Grid_;
    int NextRow_ = 0;
};
