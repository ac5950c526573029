#pragma once
// Text to number, as the user types it or a file holds it.
//
// The syntax is: optional sign, decimal digits, for decimals one decimal
// separator (the user's, passed in) and an optional exponent (e or E, optional
// sign, digits). A lone separator reads as 0. Blanks, group separators, a lone
// sign, "inf" and "nan" are not numbers. Written by hand: strtod follows the
// process locale and QLocale accepts more than this.
//
// On failure the value is left untouched and false is returned.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

bool parseInt(std::string_view text, std::int32_t& value);
// 0..15 for a hexadecimal digit of either case, -1 for any other character.
int hexDigitValue(char c);
bool parseFloat(std::string_view text, char decimalSeparator, double& value);

// A decimal text kept exactly: value = (negative ? -1 : 1) * digits * 10^exponent,
// digits without leading zeros ("" for zero). Limits and money are compared and
// converted on this, so 0.29 is 29 hundredths and 9999.99 is at 9999.99.
struct ExactDecimal {
    bool negative = false;
    std::string digits;
    std::int32_t exponent = 0;
};

// Same syntax as parseFloat; nullopt when parseFloat would fail.
std::optional<ExactDecimal> parseExactDecimal(std::string_view text, char decimalSeparator);

// -1, 0 or 1 as a is below, equal to or above b.
int compareDecimal(const ExactDecimal& a, const ExactDecimal& b);
// Convenience: compare a text that parses with a limit written with a point ("9999.99").
int compareDecimal(const ExactDecimal& a, std::string_view limitWithPoint);

// The value scaled by 10^decimals with the digits beyond cut off toward zero
// (1.999 at 2 decimals is 199, -1.005 is -100); nullopt when it does not fit in 64 bits.
std::optional<std::int64_t> truncateScaled(const ExactDecimal& value, int decimals);
