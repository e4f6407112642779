#include "CustomFloatEdit.h"

#include "PyxMessages.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QRegularExpression>
#include <QStyle>
#include <QStyleOptionSpinBox>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace {

constexpr int MaxDigits = 18;
// Significant digits the text shows at most.
constexpr int Precision = 18;

// Focus changes that come from switching windows or opening a menu are not the user leaving or entering the field.
bool IsFieldChange(Qt::FocusReason Reason) {
    return Reason != Qt::ActiveWindowFocusReason && Reason != Qt::PopupFocusReason;
}

} // namespace

TCustomFloatEdit::TCustomFloatEdit(QWidget* Parent) : TNumberEdit(Parent) {
    const QString Point = QLocale().decimalPoint();
    DecimalChar_ = Point.isEmpty() ? QChar('.') : Point.at(0);
    setButtonSymbols(QAbstractSpinBox::NoButtons);
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    SetValue(0);
}

QString TCustomFloatEdit::FormatValue(double X) const {
    if (!std::isfinite(X))
        return QString::number(X);
    // The place of the first significant digit: 1 for units, 2 for tens, 0 for tenths, -1 for hundredths...
    const double Magnitude = std::fabs(X);
    const int Lead = Magnitude == 0 ? 1 : static_cast<int>(std::floor(std::log10(Magnitude))) + 1;
    QString Text;
    if (Lead > Precision) {
        // Too large for fixed-point with the precision: scientific, as the fixed conversion falls back to.
        Text = QString::number(X, 'E', Precision - 1);
    } else if (Lead + Digits_ > Precision) {
        // Decimals beyond the 18th significant digit are shown as zeros.
        const int Shown = Precision - Lead;
        Text = QString::number(X, 'f', Shown);
        if (Shown == 0)
            Text += '.';
        Text += QString(Digits_ - Shown, QChar('0'));
    } else {
        Text = QString::number(X, 'f', Digits_);
    }
    // A value that rounds to zero shows no sign.
    if (Text.startsWith('-') && Text.indexOf(QRegularExpression("[1-9]")) < 0)
        Text.remove(0, 1);
    Text.replace('.', DecimalChar_);
    return Text;
}

bool TCustomFloatEdit::ParseValue(const QString& Text, double& X) const {
    QString Plain = Text.trimmed();
    if (DecimalChar_ != QChar('.')) {
        if (Plain.contains('.'))
            return false;
        Plain.replace(DecimalChar_, QChar('.'));
    }
    static const QRegularExpression Number(R"(^[+-]?(\d+\.?\d*|\.\d+)([eE][+-]?\d+)?$)");
    if (!Number.match(Plain).hasMatch())
        return false;
    bool Ok = false;
    const double Parsed = Plain.toDouble(&Ok);
    if (!Ok || !std::isfinite(Parsed))
        return false;
    X = Parsed;
    return true;
}

double TCustomFloatEdit::Value() const {
    return Number();
}

double TCustomFloatEdit::TypedNumber() const {
    QString Text = text();
    if (Text == "-" || Text.isEmpty() || Text == QString(DecimalChar_) || Text == "E")
        Text = "0";
    double X = 0;
    if (!ParseValue(Text, X))
        X = Min_;
    return std::clamp(X, Min_, Max_);
}

void TCustomFloatEdit::SetValue(double X) {
    LoadNumber(X, FormatValue(X));
    // A load while the control has the focus (another entity shown) is what Escape goes back to, never the value of
    // the entity shown before.
    EnterValue_ = X;
    EnterText_ = text();
    EnterState_ = LoadState();
}

void TCustomFloatEdit::ChangeValue(double X) {
    if (X > Max_) {
        ShowErrorMessage();
        X = Max_;
    }
    if (X < Min_) {
        ShowErrorMessage();
        X = Min_;
    }
    lineEdit()->setText(FormatValue(X));
    UserEdited();
}

void TCustomFloatEdit::Reformat() {
    lineEdit()->setText(FormatValue(Value()));
}

void TCustomFloatEdit::SetDigits(int D) {
    D = std::clamp(D, 0, MaxDigits);
    if (D == Digits_)
        return;
    Digits_ = D;
    Reformat();
    updateGeometry();
}

void TCustomFloatEdit::SetMin(double X) {
    if (X == Min_)
        return;
    if (X > Max_)
        throw std::invalid_argument("Minimum value must not be greater than maximum value !");
    Min_ = X;
    Reformat();
    updateGeometry();
}

void TCustomFloatEdit::SetMax(double X) {
    if (X == Max_)
        return;
    if (X < Min_)
        throw std::invalid_argument("Maximum value must not be less than minimum value !");
    Max_ = X;
    Reformat();
    updateGeometry();
}

void TCustomFloatEdit::ShowErrorMessage() const {
    if (ErrorMessage_.isEmpty())
        return;
    PyxMessages::ShowMessage(const_cast<TCustomFloatEdit*>(this), ErrorMessage_);
}

TCustomFloatEdit::TTyping TCustomFloatEdit::CheckTyping(QChar Key, const QString& WouldBe) const {
    const bool Allowed =
        Key == QChar('-') || (Key >= QChar('0') && Key <= QChar('9')) || Key == QChar('e') || Key == DecimalChar_;
    if (!Allowed)
        return TTyping::Reject;
    if (WouldBe == "-")
        return TTyping::MinusZero;
    if (WouldBe == QString(DecimalChar_))
        return TTyping::DecimalZero;
    double X = 0;
    if (!ParseValue(WouldBe, X))
        return TTyping::Reject;
    // Only Max is checked while typing: on the way to a number above Min the text may well be below it.
    if (X > Max_)
        return TTyping::Reject;
    if (Key == DecimalChar_ && Digits_ == 0)
        return TTyping::Reject;
    const int Point = WouldBe.indexOf(DecimalChar_);
    const bool Exponent = WouldBe.contains('e', Qt::CaseInsensitive);
    if (!Exponent && Point >= 0 && WouldBe.size() - Point - 1 > Digits_)
        return TTyping::Reject;
    return TTyping::Accept;
}

void TCustomFloatEdit::keyPressEvent(QKeyEvent* Event) {
    switch (Event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        Event->accept();
        emit EnterPress();
        return;
    case Qt::Key_Escape:
        Event->accept();
        RestoreEnterState();
        selectAll();
        return;
    default:
        break;
    }
    const QString Typed = Event->text();
    if (TypesCharacter(Event) && !lineEdit()->isReadOnly()) {
        QLineEdit* Edit = lineEdit();
        const int Start = Edit->hasSelectedText() ? Edit->selectionStart() : Edit->cursorPosition();
        const int End = Edit->hasSelectedText() ? Edit->selectionEnd() : Start;
        const QString Current = Edit->text();
        const QString WouldBe = Current.left(Start) + Typed + Current.mid(End);
        switch (CheckTyping(Typed.at(0), WouldBe)) {
        case TTyping::Reject:
            Event->accept();
            return;
        case TTyping::MinusZero:
            Event->accept();
            Edit->setText("-0");
            Edit->setSelection(1, 1);
            UserEdited();
            return;
        case TTyping::DecimalZero:
            Event->accept();
            Edit->setText(QString("0") + DecimalChar_ + "0");
            Edit->setSelection(2, 1);
            UserEdited();
            return;
        case TTyping::Accept:
            break;
        }
    }
    TNumberEdit::keyPressEvent(Event);
}

void TCustomFloatEdit::focusInEvent(QFocusEvent* Event) {
    TNumberEdit::focusInEvent(Event);
    if (!IsFieldChange(Event->reason()))
        return;
    if (Event->reason() != Qt::MouseFocusReason)
        selectAll();
    EnterValue_ = Value();
    EnterText_ = text();
    EnterState_ = LoadState();
}

void TCustomFloatEdit::RestoreEnterState() {
    lineEdit()->setText(EnterText_);
    RestoreLoadState(EnterState_);
}

void TCustomFloatEdit::focusOutEvent(QFocusEvent* Event) {
    if (!IsFieldChange(Event->reason()) || !isModified()) {
        TNumberEdit::focusOutEvent(Event);
        if (IsFieldChange(Event->reason()))
            emit Exited();
        return;
    }
    QString Text = text();
    if (Text.isEmpty())
        Text = FormatValue(Min_);
    double X = 0;
    if (!ParseValue(Text, X) || X < Min_ || X > Max_) {
        // Refused: the value from before, all selected, and the focus back once the change under way is done.
        RestoreEnterState();
        TNumberEdit::focusOutEvent(Event);
        QTimer::singleShot(0, this, [this] {
            ShowErrorMessage();
            if (isVisible() && isEnabled() && window()->isActiveWindow())
                setFocus(Qt::OtherFocusReason);
            selectAll();
        });
        return;
    }
    lineEdit()->setText(FormatValue(X));
    TNumberEdit::focusOutEvent(Event);
    emit Exited();
}

QSize TCustomFloatEdit::sizeHint() const {
    ensurePolished();
    const QFontMetrics Metrics(fontMetrics());
    int Width = std::max({Metrics.horizontalAdvance(FormatValue(Min_)), Metrics.horizontalAdvance(FormatValue(Max_)),
                          Metrics.horizontalAdvance(QString(5, QChar('0')))});
    Width += 2; // room for the cursor
    QStyleOptionSpinBox Option;
    initStyleOption(&Option);
    const QSize Contents(Width, lineEdit()->sizeHint().height());
    return style()->sizeFromContents(QStyle::CT_SpinBox, &Option, Contents, this);
}
