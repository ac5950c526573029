#pragma once
// Changing a price by a percentage or by an amount, rounded to a step.
//
// Everything is exact decimal arithmetic on whole numbers: 2.50 raised by 5 %
// is exactly 2.625, which rounds half away from zero to 2.65 at a step of
// 0.05, where a binary double would have given 2.60. A value too long to
// compute exactly in 64 bits is refused, never approximated.

#include "link/number_parsing.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

enum class PriceChangeKind { Percent, Amount };

// The steps a new price may be rounded to, in hundredths: 0.01, 0.05, 0.10, 1.00.
inline constexpr std::array<int, 4> kPriceRoundingSteps = {1, 5, 10, 100};

struct PriceChange {
    PriceChangeKind kind = PriceChangeKind::Percent;
    ExactDecimal by;        // the percentage or the amount, either sign
    int stepHundredths = 1; // one of kPriceRoundingSteps
};

// A number the user typed for a change: the locale's separator or a point.
std::optional<ExactDecimal> parseChangeNumber(std::string_view text, char decimalSeparator);

// The new price in hundredths, a multiple of the step; nullopt when the price
// text is not a number or the result cannot be computed exactly.
std::optional<std::int64_t> changedPriceHundredths(std::string_view priceText, const PriceChange& change,
                                                   char decimalSeparator);

// Whether the price text has exactly the value of `hundredths`: "5" is 500.
bool priceEquals(std::string_view priceText, std::int64_t hundredths, char decimalSeparator);
