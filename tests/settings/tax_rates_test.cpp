// Tax cells: the typing check, the rounding when sent and the form when read back.

#include "settings/tax_rates.h"

#include <gtest/gtest.h>

namespace {

TEST(TaxCellCheck, AcceptsNumbersUpTo99_99WithTheUsersSeparator) {
    struct Case {
        const char* text;
        char separator;
        bool accepted;
    };
    const Case cases[] = {
        {"", '.', true},        {"99.99", '.', true},   {"99,99", ',', true},   {"100", '.', false},
        {"99.991", '.', false}, {"99.990000000000001", '.', false},             {"-", '.', false},
        {"-5", '.', true},      {"-1e300", '.', true},  {".", '.', true},       {",", ',', true},
        {"1,5", '.', false},    {"1.5", ',', false},    {"1e1", '.', true},     {"1e2", '.', false},
        {"abc", '.', false},    {" 5", '.', false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(validateTaxCell(c.text, c.separator), c.accepted) << '"' << c.text << "\" with " << c.separator;
    }
}

TEST(TaxRateRounding, IsTimes100ToNearestWithHalvesToEven) {
    struct Case {
        const char* text;
        std::int64_t hundredths;
    };
    const Case cases[] = {{"15.5", 1550}, {"0.125", 12}, {"0.135", 14}, {"12.345", 1234}, {"-5", -500},
                          {"-0.005", 0},  {"0.015", 2},  {".", 0},      {"99.99", 9999},  {"19.99", 1999}};
    for (const auto& c : cases) {
        const auto result = taxRateHundredths(c.text, '.');
        ASSERT_TRUE(result) << c.text;
        EXPECT_EQ(*result.value, c.hundredths) << c.text;
    }
    EXPECT_EQ(*taxRateHundredths("2,5", ',').value, 250);
}

TEST(TaxRateRounding, ProductsBeyond64BitsOrNotFiniteAreConversionFailures) {
    for (const char* text : {"-1e300", "1e17", "-9.3e16", "1e400", "", "x"}) {
        const auto result = taxRateHundredths(text, '.');
        EXPECT_FALSE(result) << text;
        EXPECT_EQ(result.error.text, text);
        EXPECT_EQ(result.error.kind, NumberKind::FloatingPoint);
    }
    // Still inside 64 bits: kept, and its low 16 bits go out.
    const std::array<std::string, 8> cells{"-9e16", "0", "0", "0", "0", "0", "0", "0"};
    const auto record = taxRatesFromPage(cells, '.');
    ASSERT_TRUE(record);
    EXPECT_EQ(record.value->hundredths[0], static_cast<std::uint16_t>(-9'000'000'000'000'000'00LL % 65536 + 65536));
}

TEST(TaxRateForm, IsTheShortestDecimalWithTheUsersSeparator) {
    EXPECT_EQ(formatTaxRate(1550, '.'), "15.5");
    EXPECT_EQ(formatTaxRate(700, '.'), "7");
    EXPECT_EQ(formatTaxRate(0, '.'), "0");
    EXPECT_EQ(formatTaxRate(-250, ','), "-2,5");
    EXPECT_EQ(formatTaxRate(1999, ','), "19,99");
    EXPECT_EQ(formatTaxRate(-5, '.'), "-0.05");
    EXPECT_EQ(formatTaxRate(-32768, '.'), "-327.68");
    // Every form read back converts to the same hundredths again.
    for (int v = -32768; v <= 32767; v += 7) {
        const auto text = formatTaxRate(static_cast<std::int16_t>(v), ',');
        EXPECT_EQ(*taxRateHundredths(text, ',').value, v) << text;
    }
}

} // namespace
