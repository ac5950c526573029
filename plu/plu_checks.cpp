#include "plu_checks.h"

#include "link/number_parsing.h"
#include "plu_grid.h"

#include <limits>

namespace {

// Longest name the scale keeps, and the longest a file may bring (the scale
// then keeps the first 30).
constexpr std::size_t kTypedNameLimit = 30;
constexpr std::size_t kFileNameLimit = 32;

bool decimalAtMost(std::string_view text, char separator, std::string_view limit) {
    const auto value = parseExactDecimal(text, separator);
    return value && compareDecimal(*value, limit) <= 0;
}

bool decimalWithin(std::string_view text, char separator, std::string_view low, std::string_view high) {
    const auto value = parseExactDecimal(text, separator);
    return value && compareDecimal(*value, low) >= 0 && compareDecimal(*value, high) <= 0;
}

bool wholeAtMost(std::string_view text, std::int32_t limit) {
    std::int32_t value = 0;
    return parseInt(text, value) && value <= limit;
}

bool wholeWithin(std::string_view text, std::int32_t low, std::int32_t high) {
    std::int32_t value = 0;
    return parseInt(text, value) && value >= low && value <= high;
}

} // namespace

bool acceptsTypedText(int column, std::string_view text, char separator) {
    if (column >= PluColumn::Quantity) {
        return false;
    }
    if (text.empty()) {
        return true;
    }
    switch (column) {
    case PluColumn::Num:
        return true;
    case PluColumn::Price:
        return decimalAtMost(text, separator, "9999.99");
    case PluColumn::Code:
        return decimalAtMost(text, separator, "999999");
    case PluColumn::Dep:
        return wholeAtMost(text, 40);
    case PluColumn::Tax:
        return wholeAtMost(text, 8);
    case PluColumn::Nw:
    case PluColumn::Fix:
    case PluColumn::Bar:
        return wholeWithin(text, 0, 1);
    case PluColumn::Name:
        return text.size() <= kTypedNameLimit;
    case PluColumn::ValidDate:
        return decimalAtMost(text, separator, "999");
    default:
        return false;
    }
}

bool acceptsFileField(int field, std::string_view text, char separator) {
    switch (field - 1) {
    case PluColumn::Num:
        return decimalWithin(text, separator, "0", "1801");
    case PluColumn::Price:
        return decimalAtMost(text, separator, "99999.99");
    case PluColumn::Code:
        return wholeWithin(text, 0, 999999);
    case PluColumn::Dep:
        return wholeWithin(text, 0, 40);
    case PluColumn::Tax:
        return wholeWithin(text, 0, 8);
    case PluColumn::Nw:
    case PluColumn::Fix:
    case PluColumn::Bar:
        return wholeWithin(text, 0, 1);
    case PluColumn::Name:
        return text.size() <= kFileNameLimit;
    case PluColumn::ValidDate:
        return decimalWithin(text, separator, "0", "999");
    default:
        return false;
    }
}

std::optional<std::int32_t> priceToHundredths(std::string_view text, char separator) {
    const auto value = parseExactDecimal(text, separator);
    if (!value) {
        return std::nullopt;
    }
    const auto hundredths = truncateScaled(*value, 2);
    if (!hundredths || *hundredths < std::numeric_limits<std::int32_t>::min() ||
        *hundredths > std::numeric_limits<std::int32_t>::max()) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(*hundredths);
}
