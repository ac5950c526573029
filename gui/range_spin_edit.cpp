#include "range_spin_edit.h"

#include "qt_text.h"
#include "link/number_parsing.h"

#include <QLineEdit>
#include <algorithm>
#include <string>

namespace {

// Sign and digits alone: a whole number, however long.
bool isWholeNumberText(const std::string& text) {
    const std::size_t first = !text.empty() && (text[0] == '+' || text[0] == '-') ? 1 : 0;
    return text.size() > first &&
           std::all_of(text.begin() + static_cast<std::ptrdiff_t>(first), text.end(),
                       [](char c) { return c >= '0' && c <= '9'; });
}

} // namespace

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
    if (const auto number = value()) {
        if (*number < minimum_ || *number > maximum_) {
            setValue(std::clamp(*number, minimum_, maximum_));
        }
        return;
    }
    // Beyond 32 bits: past the limit on its sign's side.
    const std::string typed = qstringToBytesLossy(text());
    if (isWholeNumberText(typed)) {
        setValue(typed[0] == '-' ? minimum_ : maximum_);
    }
}

void RangeSpinEdit::stepBy(int steps) {
    // In 64 bits: a field of any whole number steps at its ends without overflow.
    const long long current = value().value_or(minimum_);
    setValue(static_cast<int>(std::clamp<long long>(current + steps, minimum_, maximum_)));
}

QValidator::State RangeSpinEdit::validate(QString&, int&) const {
    return QValidator::Acceptable;
}

QSize RangeSpinEdit::sizeHint() const {
    // Room for the widest of the limits, and for five digits at least.
    const QFontMetrics metrics = fontMetrics();
    const int digits = std::max({metrics.horizontalAdvance(QStringLiteral("88888")),
                                 metrics.horizontalAdvance(QString::number(minimum_)),
                                 metrics.horizontalAdvance(QString::number(maximum_))});
    QSize hint = QAbstractSpinBox::sizeHint();
    hint.setWidth(std::max(hint.width(), digits + 32));
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
