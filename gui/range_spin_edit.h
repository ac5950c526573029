#pragma once
// The spin editor of every whole-number field (the PLU range, the settings
// and system pages). Unlike QSpinBox it takes whatever is typed, so a number
// beyond the range gets as far as the editor's own rule instead of losing the
// keystroke that took it there: when the editor loses the focus, a number
// outside the range becomes the nearest limit (300 in a field of 0 to 240
// becomes 240, also a number too long for 32 bits). A text that is not a
// number stays, for the reader to judge: the PLU range names it in its
// message, the settings count it as the lower limit.

#include <QAbstractSpinBox>
#include <optional>

class RangeSpinEdit : public QAbstractSpinBox {
    Q_OBJECT
  public:
    RangeSpinEdit(int minimum, int maximum, QWidget* parent = nullptr);

    int minimum() const { return minimum_; }
    int maximum() const { return maximum_; }

    void setValue(int value);
    // The text as a whole number; nullopt when it is not one.
    std::optional<int> value() const;
    // Moves a number outside the range to the nearest limit; any other text stays.
    void clampToRange();

    void stepBy(int steps) override;
    QValidator::State validate(QString& input, int& position) const override;
    QSize sizeHint() const override;

  protected:
    StepEnabled stepEnabled() const override;
    void focusOutEvent(QFocusEvent* event) override;

  private:
    int minimum_;
    int maximum_;
};
