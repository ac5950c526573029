// Text to number: what the grids and files accept under a point and under a
// comma, and everything they must refuse without touching the value.

#include "link/number_parsing.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

namespace {

constexpr double kUntouched = 123.25;

TEST(ParseInt, AcceptedForms) {
    const std::pair<const char*, std::int32_t> cases[] = {
        {"12", 12},       {"+7", 7},       {"-0", 0},  {"0007", 7}, {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},  {"-15", -15}, {"000000000000000001", 1},
    };
    for (const auto& [text, expected] : cases) {
        std::int32_t value = -99;
        EXPECT_TRUE(parseInt(text, value)) << text;
        EXPECT_EQ(value, expected) << text;
    }
}

TEST(ParseInt, RefusedFormsLeaveValueUntouched) {
    const char* cases[] = {"",    "1x",  "x1", "-",    "+",   " 1",  "1 ",  "1.0", "1,0", "1e3",
                           "1.000", "2147483648", "-2147483649", "99999999999", "--1", "+-1", "0x10", "١"};
    for (const char* text : cases) {
        std::int32_t value = 42;
        EXPECT_FALSE(parseInt(text, value)) << text;
        EXPECT_EQ(value, 42) << text;
    }
}

TEST(ParseFloat, AcceptedFormsUnderBothSeparators) {
    struct Case {
        const char* text;
        double expected;
    };
    const Case cases[] = {
        {"1.5", 1.5},   {".5", 0.5},     {"5.", 5.0},     {".", 0.0},       {"-.", 0.0},     {"+2.25", 2.25},
        {"-0.75", -0.75}, {"1e3", 1000.0}, {"1.5E-2", 0.015}, {"2e+2", 200.0}, {"0.1", 0.1},     {"9999.99", 9999.99},
        {"1e-400", 0.0}, {"1.7976931348623157e308", 1.7976931348623157e308},
    };
    for (const char separator : {'.', ','}) {
        for (const auto& c : cases) {
            std::string text = c.text;
            for (char& ch : text) {
                if (ch == '.') {
                    ch = separator;
                }
            }
            double value = kUntouched;
            EXPECT_TRUE(parseFloat(text, separator, value)) << text;
            // Exact, not nearly: the double must be the correctly rounded one.
            EXPECT_EQ(value, c.expected) << text;
            EXPECT_FALSE(std::signbit(value) && value == 0.0) << text << " gave a negative zero";
        }
    }
}

TEST(ParseFloat, RefusedFormsLeaveValueUntouched) {
    const char* cases[] = {"",     "-",   "+",   "e5",  "1e",   "1e+",  "1.5.2", " 1.5", "1.5 ", "1 000",
                           "inf",  "nan", "NaN", "-inf", "1e309", "-2e308", "0x1p3", "1..", "1.5x", "++1",
                           "1,5"};
    for (const char* text : cases) {
        double value = kUntouched;
        EXPECT_FALSE(parseFloat(text, '.', value)) << text;
        EXPECT_EQ(value, kUntouched) << text;
    }
    // Under a comma the point is a group separator, not a decimal one.
    double value = kUntouched;
    EXPECT_FALSE(parseFloat("1.5", ',', value));
    EXPECT_FALSE(parseFloat("1.000,5", ',', value));
    EXPECT_EQ(value, kUntouched);
}

TEST(ExactDecimal, KeepsDigitsExactly) {
    const auto d = parseExactDecimal("-0029,500", ',');
    ASSERT_TRUE(d.has_value());
    EXPECT_TRUE(d->negative);
    EXPECT_EQ(d->digits, "295");
    EXPECT_EQ(d->exponent, -1);
    const auto zero = parseExactDecimal("-0,00", ',');
    ASSERT_TRUE(zero.has_value());
    EXPECT_EQ(zero->digits, "");
    EXPECT_FALSE(parseExactDecimal("1,5", '.').has_value());
    EXPECT_FALSE(parseExactDecimal("1e999", '.').has_value());
}

TEST(ExactDecimal, ComparesWithoutRounding) {
    auto parse = [](const char* t) { return *parseExactDecimal(t, '.'); };
    EXPECT_EQ(compareDecimal(parse("9999.99"), "9999.99"), 0);
    EXPECT_EQ(compareDecimal(parse("9999.990"), "9999.99"), 0);
    EXPECT_EQ(compareDecimal(parse("9999.991"), "9999.99"), 1);
    EXPECT_EQ(compareDecimal(parse("0.29"), "0.3"), -1);
    EXPECT_EQ(compareDecimal(parse("-1"), "0"), -1);
    EXPECT_EQ(compareDecimal(parse("-0"), "0"), 0);
    EXPECT_EQ(compareDecimal(parse("-2"), "-10"), 1);
    EXPECT_EQ(compareDecimal(parse("1e2"), "99.999"), 1);
    EXPECT_EQ(compareDecimal(parse("."), "0.0001"), -1);
    // Digits written by hand with trailing zeros compare by value.
    EXPECT_EQ(compareDecimal(ExactDecimal{false, "100", -2}, ExactDecimal{false, "1", 0}), 0);
}

TEST(ExactDecimal, TruncatesTowardZeroAndRefusesBeyond64Bits) {
    auto scaled = [](const char* t, int decimals) { return truncateScaled(*parseExactDecimal(t, '.'), decimals); };
    EXPECT_EQ(scaled("0.29", 2), 29);
    EXPECT_EQ(scaled("1.999", 2), 199);
    EXPECT_EQ(scaled("-1.005", 2), -100);
    EXPECT_EQ(scaled("12", 3), 12000);
    EXPECT_EQ(scaled("0.004", 2), 0);
    EXPECT_EQ(scaled("9223372036854775807", 0), INT64_MAX);
    EXPECT_EQ(scaled("-9223372036854775808", 0), INT64_MIN);
    EXPECT_EQ(scaled("9223372036854775808", 0), std::nullopt);
    EXPECT_EQ(scaled("1e17", 2), std::nullopt);
    EXPECT_EQ(scaled("1e300", 0), std::nullopt);
    EXPECT_EQ(scaled("1e-300", 2), 0);
}

} // namespace
