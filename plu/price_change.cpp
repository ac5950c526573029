#include "price_change.h"

#include <limits>
#include <string>

namespace {

constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
// A 64-bit number holds every 18-digit decimal.
constexpr std::size_t kMaxDigits = 18;

bool multiply(std::int64_t a, std::int64_t b, std::int64_t& out) {
    if (a == 0 || b == 0) {
        out = 0;
        return true;
    }
    // Magnitudes only: both factors here are above the most negative value.
    const std::int64_t ma = a < 0 ? -a : a;
    const std::int64_t mb = b < 0 ? -b : b;
    if (ma > kMax / mb) {
        return false;
    }
    out = a * b;
    return true;
}

bool add(std::int64_t a, std::int64_t b, std::int64_t& out) {
    if ((b > 0 && a > kMax - b) || (b < 0 && a < -kMax - b)) {
        return false;
    }
    out = a + b;
    return true;
}

bool powerOfTen(int exponent, std::int64_t& out) {
    out = 1;
    for (int i = 0; i < exponent; ++i) {
        if (!multiply(out, 10, out)) {
            return false;
        }
    }
    return true;
}

// value = units / 10^fraction.
struct Scaled {
    std::int64_t units = 0;
    int fraction = 0;
};

std::optional<Scaled> toScaled(const ExactDecimal& d) {
    if (d.digits.empty()) {
        return Scaled{};
    }
    if (d.digits.size() > kMaxDigits || d.exponent < -static_cast<int>(kMaxDigits) ||
        d.exponent > static_cast<int>(kMaxDigits)) {
        return std::nullopt;
    }
    std::int64_t units = 0;
    for (const char c : d.digits) {
        units = units * 10 + (c - '0');
    }
    Scaled s;
    if (d.exponent >= 0) {
        std::int64_t scale = 0;
        if (!powerOfTen(d.exponent, scale) || !multiply(units, scale, units)) {
            return std::nullopt;
        }
    } else {
        s.fraction = -d.exponent;
    }
    s.units = d.negative ? -units : units;
    return s;
}

// numerator / denominator rounded half away from zero; denominator > 0.
std::optional<std::int64_t> roundHalfAway(std::int64_t numerator, std::int64_t denominator) {
    const std::int64_t magnitude = numerator < 0 ? -numerator : numerator;
    std::int64_t twice = 0;
    std::int64_t twiceDenominator = 0;
    if (!multiply(magnitude, 2, twice) || !add(twice, denominator, twice) ||
        !multiply(denominator, 2, twiceDenominator)) {
        return std::nullopt;
    }
    const std::int64_t quotient = twice / twiceDenominator;
    return numerator < 0 ? -quotient : quotient;
}

} // namespace

std::optional<ExactDecimal> parseChangeNumber(std::string_view text, char separator) {
    if (auto value = parseExactDecimal(text, separator)) {
        return value;
    }
    return separator == '.' ? std::nullopt : parseExactDecimal(text, '.');
}

std::optional<std::int64_t> changedPriceHundredths(std::string_view priceText, const PriceChange& change,
                                                   char separator) {
    const auto priceDecimal = parseExactDecimal(priceText, separator);
    if (!priceDecimal || change.stepHundredths <= 0) {
        return std::nullopt;
    }
    const auto price = toScaled(*priceDecimal);
    const auto by = toScaled(change.by);
    std::int64_t denominator = 0; // 10^(f + g): the new price in hundredths is numerator / denominator
    if (!price || !by || !powerOfTen(price->fraction + by->fraction, denominator)) {
        return std::nullopt;
    }
    std::int64_t numerator = 0;
    if (change.kind == PriceChangeKind::Percent) {
        // p * (100 + q) / 100 in hundredths is p * (100 + q), with q = Q / 10^g.
        std::int64_t hundred = 0;
        std::int64_t factor = 0;
        if (!powerOfTen(by->fraction + 2, hundred) || !add(hundred, by->units, factor) ||
            !multiply(price->units, factor, numerator)) {
            return std::nullopt;
        }
    } else {
        // (P / 10^f + A / 10^g) * 100.
        std::int64_t priceScale = 0;
        std::int64_t amountScale = 0;
        std::int64_t priceTerm = 0;
        std::int64_t amountTerm = 0;
        if (!powerOfTen(by->fraction, priceScale) || !powerOfTen(price->fraction, amountScale) ||
            !multiply(price->units, priceScale, priceTerm) || !multiply(by->units, amountScale, amountTerm) ||
            !add(priceTerm, amountTerm, numerator) || !multiply(numerator, 100, numerator)) {
            return std::nullopt;
        }
    }
    std::int64_t stepDenominator = 0;
    if (!multiply(denominator, change.stepHundredths, stepDenominator)) {
        return std::nullopt;
    }
    const auto steps = roundHalfAway(numerator, stepDenominator);
    std::int64_t hundredths = 0;
    if (!steps || !multiply(*steps, change.stepHundredths, hundredths)) {
        return std::nullopt;
    }
    return hundredths;
}

bool priceEquals(std::string_view priceText, std::int64_t hundredths, char separator) {
    const auto decimal = parseExactDecimal(priceText, separator);
    if (!decimal) {
        return false;
    }
    const auto price = toScaled(*decimal);
    std::int64_t scale = 0;
    std::int64_t left = 0;
    std::int64_t right = 0;
    // P / 10^f == H / 100  <=>  P * 100 == H * 10^f
    return price && powerOfTen(price->fraction, scale) && multiply(price->units, 100, left) &&
           multiply(hundredths, scale, right) && left == right;
}
