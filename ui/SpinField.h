// An edit field with its up-down spinner, as one widget: the field shows the value in the
// spinner's own format (thousands separators or plain digits), the arrows step it within
// the range. A typed text reaches the value only when it is a whole number in range; else
// the previous value stays, silently.
#pragma once

#include <QSpinBox>

namespace zentrola {

class SpinField : public QSpinBox {
    Q_OBJECT
  public:
    SpinField(int min, int max, int step, bool thousands, QWidget* parent = nullptr);

    // Writes the value (clamped to the range) and always rewrites the field's text.
    void show(int value);
    // The field shows no text; the value is kept.
    void empty();
    bool isEmptied() const { return emptied_; }
    // Takes what was typed, if it is a number within the range; returns the value.
    int commit();
    // The spinner's arrows shown or not (the field stays).
    void setSpinnerVisible(bool visible);
    bool spinnerVisible() const { return buttonSymbols() != QAbstractSpinBox::NoButtons; }
    // The text the field shows.
    QString shownText() const;
    // How the focus went when left() was last emitted.
    Qt::FocusReason leftBy() const { return leftBy_; }

  signals:
    // An arrow click, an arrow key or a wheel turn over the focused field stepped the value.
    void stepped();
    // The focus moved from this field to another control of the same window (Tab, a click,
    // a shortcut); not a focus lost to a menu, a pop-up, a dialog or another window.
    void left();

  public:
    void stepBy(int steps) override;

  protected:
    void focusOutEvent(QFocusEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    QValidator::State validate(QString& input, int& pos) const override;
    void fixup(QString& input) const override;

  private:
    bool emptied_ = false;
    Qt::FocusReason leftBy_ = Qt::OtherFocusReason;
};

} // namespace zentrola
