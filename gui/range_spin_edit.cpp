#include "range_spin_edit.h"

#include "gui/qt_text.h"
#include "link/number_parsing.h"

#include <QLineEdit>
#include <algorithm>

RangeSpinEdit::RangeSpinEdit(int minimum, int maximum, QWidget* parent)
    : QAbstractSpinBox(parent), minimum_(minimum), maximum_(maximum) {
    setValue(minimum);
}

void RangeSpinEdit::setValue(int value) {
    lineEdit()->setText(QString::number(value));
}

std::optional<int> RangeSpinEdit::value() const {
    std::int32_t number = 0;
    if (!parseInt(qstringToBytesLossy(text()), number)) {
        return std::nullopt;
    }
    return number;
}

void RangeSpinEdit::clampToRange() {
    if (const auto number = value(); number && (*number < minimum_ || *number > maximum_)) {
        setValue(std::clamp(*number, minimum_, maximum_));
    }
}

void RangeSpinEdit::stepBy(int steps) {
    const int current = value().value_or(minimum_);
    setValue(std::clamp(current + steps, minimum_, maximum_));
}

QValidator::State RangeSpinEdit::validate(QString&, int&) const {
    return QValidator::Acceptable;
}

QSize RangeSpinEdit::sizeHint() const {
    QSize hint = QAbstractSpinBox::sizeHint();
    hint.setWidth(std::max(hint.width(), fontMetrics().horizontalAdvance(QStringLiteral("88888")) + 32));
    return hint;
}

QAbstractSpinBox::StepEnabled RangeSpinEdit::stepEnabled() const {
    const auto number = value();
    if (!number) {
        return StepUpEnabled | StepDownEnabled;
    }
    StepEnabled enabled = StepNone;
    if (*number < maximum_) {
        enabled |= StepUpEnabled;
    }
    if (*number > minimum_) {
        enabled |= StepDownEnabled;
    }
    return enabled;
}

void RangeSpinEdit::focusOutEvent(QFocusEvent* event) {
    clampToRange();
    QAbstractSpinBox::focusOutEvent(event);
}
