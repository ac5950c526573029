#include "number_parsing.h"

#include <algorithm>
#include <charconv>
#include <cstddef>
#include <limits>
#include <stdexcept>
#include <system_error>

namespace {

// Exponents are summed in 64 bits and held to this size while reading, so a
// text of any length cannot overflow them. Far beyond any double's range.
constexpr std::int64_t kExponentClamp = 1'000'000'000; // powers of ten

// A double's decimal range ends near 10^309 above and 10^-324 below; a decimal
// whose leading digit sits past these is infinite or zero without asking.
constexpr std::int64_t kLargestDecimalMagnitude = 310; // powers of ten
constexpr std::int64_t kSmallestDecimalMagnitude = -400;

bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::int64_t clampExponent(std::int64_t e) { return std::clamp(e, -kExponentClamp, kExponentClamp); }

// Reads sign, digits, one separator and an optional exponent; refuses every
// other character. The digits of the mantissa are kept as they stand.
struct DecimalSyntax {
    bool negative = false;
    std::string digits;         // integer and fraction digits together
    std::int64_t exponent = 0;  // value = digits * 10^exponent
};

std::optional<DecimalSyntax> readDecimal(std::string_view text, char separator, bool allowFraction) {
    DecimalSyntax out;
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        out.negative = text[i] == '-';
        ++i;
    }
    bool sawDigit = false;
    bool sawSeparator = false;
    std::int64_t fractionDigits = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (isDigit(c)) {
            sawDigit = true;
            // Leading zeros carry no value; skipping them keeps long texts cheap.
            if (!(out.digits.empty() && c == '0')) {
                out.digits.push_back(c);
            }
            if (sawSeparator) {
                fractionDigits = std::min(fractionDigits + 1, kExponentClamp);
            }
        } else if (allowFraction && c == separator && !sawSeparator) {
            sawSeparator = true;
        } else {
            break;
        }
        ++i;
    }
    // A lone separator reads as 0; a lone sign or nothing at all is no number.
    if (!sawDigit && !sawSeparator) {
        return std::nullopt;
    }
    std::int64_t exponent = 0;
    if (allowFraction && i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        bool negativeExponent = false;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
            negativeExponent = text[i] == '-';
            ++i;
        }
        bool sawExponentDigit = false;
        while (i < text.size() && isDigit(text[i])) {
            sawExponentDigit = true;
            exponent = clampExponent(exponent * 10 + (text[i] - '0'));
            ++i;
        }
        if (!sawExponentDigit) {
            return std::nullopt;
        }
        if (negativeExponent) {
            exponent = -exponent;
        }
    }
    if (i != text.size()) {
        return std::nullopt;
    }
    out.exponent = clampExponent(exponent - fractionDigits);
    return out;
}

// The digits without trailing zeros (moved into the exponent); zero has no
// digits, no sign and exponent 0.
DecimalSyntax normalise(DecimalSyntax d) {
    std::size_t end = d.digits.size();
    while (end > 0 && d.digits[end - 1] == '0') {
        --end;
    }
    d.exponent = clampExponent(d.exponent + static_cast<std::int64_t>(d.digits.size() - end));
    d.digits.resize(end);
    if (d.digits.empty()) {
        d.negative = false;
        d.exponent = 0;
    }
    return d;
}

// Position of the leading digit: the value lies in [10^(m-1), 10^m).
std::int64_t magnitude(const DecimalSyntax& d) {
    return d.exponent + static_cast<std::int64_t>(d.digits.size());
}

// The double nearest to the decimal, or nullopt when it is infinite. A value
// too small for a double reads as 0.
std::optional<double> toDouble(const DecimalSyntax& d) {
    if (d.digits.empty()) {
        return 0.0;
    }
    const std::int64_t m = magnitude(d);
    if (m > kLargestDecimalMagnitude) {
        return std::nullopt;
    }
    if (m < kSmallestDecimalMagnitude) {
        return 0.0;
    }
    // A "C" text in the shape from_chars reads exactly and without locale.
    std::string text = d.digits;
    text += 'e';
    text += std::to_string(d.exponent);
    double value = 0.0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        if (m > 0) {
            return std::nullopt;
        }
        value = 0.0;
    } else if (result.ec != std::errc{} || result.ptr != text.data() + text.size()) {
        return std::nullopt;
    }
    if (value == 0.0) {
        return 0.0; // no negative zero for the user to see
    }
    return d.negative ? -value : value;
}

} // namespace

bool parseInt(std::string_view text, std::int32_t& value) {
    const auto syntax = readDecimal(text, '\0', false);
    if (!syntax) {
        return false;
    }
    // Ten digits are the most a 32-bit number has; leading zeros were dropped.
    if (syntax->digits.size() > 10) {
        return false;
    }
    std::int64_t magnitudeValue = 0;
    for (const char c : syntax->digits) {
        magnitudeValue = magnitudeValue * 10 + (c - '0');
    }
    const std::int64_t signedValue = syntax->negative ? -magnitudeValue : magnitudeValue;
    if (signedValue < std::numeric_limits<std::int32_t>::min() ||
        signedValue > std::numeric_limits<std::int32_t>::max()) {
        return false;
    }
    value = static_cast<std::int32_t>(signedValue);
    return true;
}

bool parseFloat(std::string_view text, char decimalSeparator, double& value) {
    const auto syntax = readDecimal(text, decimalSeparator, true);
    if (!syntax) {
        return false;
    }
    const auto converted = toDouble(normalise(*syntax));
    if (!converted) {
        return false;
    }
    value = *converted;
    return true;
}

std::optional<ExactDecimal> parseExactDecimal(std::string_view text, char decimalSeparator) {
    const auto syntax = readDecimal(text, decimalSeparator, true);
    if (!syntax) {
        return std::nullopt;
    }
    DecimalSyntax d = normalise(*syntax);
    if (!toDouble(d)) {
        return std::nullopt;
    }
    // A value that reads as 0 as a double, far below anything the program
    // handles, is kept as 0 so the exponent always fits.
    if (!d.digits.empty() && magnitude(d) < kSmallestDecimalMagnitude) {
        d = DecimalSyntax{};
    }
    ExactDecimal out;
    out.negative = d.negative;
    out.digits = std::move(d.digits);
    out.exponent = static_cast<std::int32_t>(d.exponent);
    return out;
}

namespace {

int compareMagnitude(const ExactDecimal& a, const ExactDecimal& b) {
    if (a.digits.empty() || b.digits.empty()) {
        return a.digits.empty() == b.digits.empty() ? 0 : (a.digits.empty() ? -1 : 1);
    }
    // Digits may carry trailing zeros when built by hand; compare by the
    // position of the leading digit, then digit by digit.
    const std::int64_t ma = a.exponent + static_cast<std::int64_t>(a.digits.size());
    const std::int64_t mb = b.exponent + static_cast<std::int64_t>(b.digits.size());
    if (ma != mb) {
        return ma < mb ? -1 : 1;
    }
    const std::size_t n = std::max(a.digits.size(), b.digits.size());
    for (std::size_t i = 0; i < n; ++i) {
        const char da = i < a.digits.size() ? a.digits[i] : '0';
        const char db = i < b.digits.size() ? b.digits[i] : '0';
        if (da != db) {
            return da < db ? -1 : 1;
        }
    }
    return 0;
}

bool isZero(const ExactDecimal& d) {
    return std::all_of(d.digits.begin(), d.digits.end(), [](char c) { return c == '0'; });
}

} // namespace

int compareDecimal(const ExactDecimal& a, const ExactDecimal& b) {
    const bool zeroA = isZero(a);
    const bool zeroB = isZero(b);
    const int signA = zeroA ? 0 : (a.negative ? -1 : 1);
    const int signB = zeroB ? 0 : (b.negative ? -1 : 1);
    if (signA != signB) {
        return signA < signB ? -1 : 1;
    }
    if (signA == 0) {
        return 0;
    }
    const int m = compareMagnitude(a, b);
    return signA > 0 ? m : -m;
}

int compareDecimal(const ExactDecimal& a, std::string_view limitWithPoint) {
    const auto limit = parseExactDecimal(limitWithPoint, '.');
    if (!limit) {
        throw std::invalid_argument("decimal limit is not a number");
    }
    return compareDecimal(a, *limit);
}

std::optional<std::int64_t> truncateScaled(const ExactDecimal& value, int decimals) {
    if (isZero(value)) {
        return 0;
    }
    const std::int64_t shift = static_cast<std::int64_t>(value.exponent) + decimals;
    const auto digitCount = static_cast<std::int64_t>(value.digits.size());
    // Digits kept: all of them followed by `shift` zeros, or the leading ones.
    const std::int64_t kept = shift >= 0 ? digitCount : digitCount + shift;
    if (kept <= 0) {
        return 0;
    }
    // 2^63 has 19 digits: more never fits.
    if (kept + std::max<std::int64_t>(shift, 0) > 19) {
        return std::nullopt;
    }
    std::uint64_t magnitudeValue = 0;
    for (std::int64_t i = 0; i < kept; ++i) {
        magnitudeValue = magnitudeValue * 10 + static_cast<std::uint64_t>(value.digits[static_cast<std::size_t>(i)] - '0');
    }
    for (std::int64_t i = 0; i < shift; ++i) {
        if (magnitudeValue > std::numeric_limits<std::uint64_t>::max() / 10) {
            return std::nullopt;
        }
        magnitudeValue *= 10;
    }
    constexpr std::uint64_t kLargestPositive = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
    if (value.negative) {
        if (magnitudeValue > kLargestPositive + 1) {
            return std::nullopt;
        }
        return magnitudeValue == kLargestPositive + 1 ? std::numeric_limits<std::int64_t>::min()
                                                     : -static_cast<std::int64_t>(magnitudeValue);
    }
    if (magnitudeValue > kLargestPositive) {
        return std::nullopt;
    }
    return static_cast<std::int64_t>(magnitudeValue);
}

int hexDigitValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}
