#include "ui/SpinField.h"

#include <QLineEdit>

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

QValidator::State SpinField::validate(QString& input, int& pos) const {
    // Anything may be typed; what is not a number in range is dropped when the field is left.
    const QValidator::State s = QSpinBox::validate(input, pos);
    return s == QValidator::Invalid ? QValidator::Intermediate : s;
}

void SpinField::fixup(QString& input) const {
    input = textFromValue(value());
}

} // namespace zentrola
