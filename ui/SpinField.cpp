#include "ui/SpinField.h"

#include <QApplication>
#include <QFocusEvent>
#include <QLineEdit>
#include <QWheelEvent>

namespace zentrola {

SpinField::SpinField(int min, int max, int step, bool thousands, QWidget* parent)
    : QSpinBox(parent) {
    setRange(min, max);
    setSingleStep(step);
    setGroupSeparatorShown(thousands);
    // The value changes by the arrows or when the field is left, never while typing.
    setKeyboardTracking(false);
    setAlignment(Qt::AlignRight);
    setCorrectionMode(QAbstractSpinBox::CorrectToPreviousValue);
    // A wheel turn over a field must not take the focus: the pointer passing over the window
    // on its way down would otherwise edit settings of a running engine.
    setFocusPolicy(Qt::StrongFocus);
}

void SpinField::show(int value) {
    emptied_ = false;
    setValue(value);
    const QString text = textFromValue(this->value());
    if (lineEdit()->text() != text)
        lineEdit()->setText(text);
}

void SpinField::empty() {
    emptied_ = true;
    if (!lineEdit()->text().isEmpty())
        lineEdit()->setText(QString());
}

QString SpinField::shownText() const {
    return lineEdit()->text();
}

int SpinField::commit() {
    QString text = lineEdit()->text();
    int pos = 0;
    if (!emptied_ && QSpinBox::validate(text, pos) == QValidator::Acceptable) {
        const int typed = valueFromText(text);
        if (typed >= minimum() && typed <= maximum())
            setValue(typed);
    }
    return value();
}

void SpinField::setSpinnerVisible(bool visible) {
    const auto symbols = visible ? QAbstractSpinBox::UpDownArrows : QAbstractSpinBox::NoButtons;
    if (buttonSymbols() != symbols)
        setButtonSymbols(symbols);
}

void SpinField::stepBy(int steps) {
    if (emptied_)
        return; // an emptied field has nothing to step
    commit();
    QSpinBox::stepBy(steps);
    emit stepped();
}

void SpinField::focusOutEvent(QFocusEvent* event) {
    QSpinBox::focusOutEvent(event);
    switch (event->reason()) {
    case Qt::TabFocusReason:
    case Qt::BacktabFocusReason:
    case Qt::MouseFocusReason:
    case Qt::ShortcutFocusReason:
    case Qt::OtherFocusReason:
        break;
    default:
        return; // a menu, a pop-up, the window deactivated for a dialog or another program
    }
    const QWidget* next = QApplication::focusWidget();
    if (!next || next->window() != window())
        return;
    leftBy_ = event->reason();
    emit left();
}

void SpinField::wheelEvent(QWheelEvent* event) {
    // Only a field the user clicked or tabbed into takes wheel steps; over any other field
    // the wheel belongs to the window.
    if (!hasFocus()) {
        event->ignore();
        return;
    }
    QSpinBox::wheelEvent(event);
}

QValidator::State SpinField::validate(QString& input, int& pos) const {
    // Anything may be typed; what is not a number in range is dropped when the field is left.
    const QValidator::State s = QSpinBox::validate(input, pos);
    return s == QValidator::Invalid ? QValidator::Intermediate : s;
}

void SpinField::fixup(QString& input) const {
    input = textFromValue(value());
}

} // namespace zentrola
