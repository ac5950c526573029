#include "plu_text_forms.h"

namespace {

// value / 10^decimals with exactly `decimals` digits after the separator.
std::string formatFixed(std::int64_t value, int decimals, char decimalSeparator) {
    const bool negative = value < 0;
    // Work on the magnitude as unsigned so the most negative value has one.
    std::uint64_t magnitude =
        negative ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
    std::string digits = std::to_string(magnitude);
    if (digits.size() <= static_cast<std::size_t>(decimals)) {
        digits.insert(0, static_cast<std::size_t>(decimals) + 1 - digits.size(), '0');
    }
    digits.insert(digits.size() - static_cast<std::size_t>(decimals), 1, decimalSeparator);
    return negative ? "-" + digits : digits;
}

} // namespace

std::string formatMoney(std::int64_t hundredths, char decimalSeparator) {
    return formatFixed(hundredths, 2, decimalSeparator);
}

std::string formatThousandths(std::int64_t thousandths, char decimalSeparator) {
    return formatFixed(thousandths, 3, decimalSeparator);
}

std::string formatWhole(std::int64_t value) {
    return std::to_string(value);
}
