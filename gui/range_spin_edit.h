#pragma once
// A spin editor for one end of the PLU range. Unlike QSpinBox it keeps any
// text the user leaves in it: a number outside the range is moved to the
// nearest limit when the editor loses the focus, but a text that is not a
// number stays, so the transfer can name it in its message.

#include <QAbstractSpinBox>
#include <optional>

class RangeSpinEdit : public QAbstractSpinBox {
    Q_OBJECT
  public:
    RangeSpinEdit(int minimum, int maximum, QWidget* parent = nullptr);

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
