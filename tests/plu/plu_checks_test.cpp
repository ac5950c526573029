// What a grid cell accepts while typing, what a file field accepts, the exact
// price conversion and the text forms of the scale's numbers, under a point
// and under a comma.

#include "plu/plu_checks.h"
#include "plu/plu_grid.h"
#include "plu/plu_text_forms.h"

#include <gtest/gtest.h>
#include <string>

namespace {

struct TextCase {
    int column;
    const char* text;
    bool accepted;
};

// Written with a point; each case also runs under a comma with the point replaced.
const TextCase kTypingCases[] = {
    {PluColumn::Num, "", true},
    {PluColumn::Num, "abc", true},
    {PluColumn::Price, "9999.99", true},
    {PluColumn::Price, "10000", false},
    {PluColumn::Price, "99999", false},
    {PluColumn::Price, "9999.991", false},
    {PluColumn::Price, "-5000000", true},
    {PluColumn::Price, "-", false},
    {PluColumn::Price, "1.", true},
    {PluColumn::Price, "1e3", true},
    {PluColumn::Price, "1e4", false},
    {PluColumn::Price, "1.2.", false},
    {PluColumn::Price, "", true},
    {PluColumn::Code, "999999", true},
    {PluColumn::Code, "1000000", false},
    {PluColumn::Code, "12.5", true},
    {PluColumn::Dep, "40", true},
    {PluColumn::Dep, "41", false},
    {PluColumn::Dep, "-3", true},
    {PluColumn::Dep, "4.", false},
    {PluColumn::Tax, "8", true},
    {PluColumn::Tax, "9", false},
    {PluColumn::Nw, "0", true},
    {PluColumn::Fix, "1", true},
    {PluColumn::Bar, "2", false},
    {PluColumn::Nw, "-1", false},
    {PluColumn::Nw, "x", false},
    {PluColumn::ValidDate, "999", true},
    {PluColumn::ValidDate, "999.5", false},
    {PluColumn::ValidDate, "-20.5", true},
    {PluColumn::Quantity, "", false},
    {PluColumn::Total, "1", false},
    {PluColumn::Count, "", false},
};

std::string withSeparator(std::string text, char separator) {
    for (char& c : text) {
        if (c == '.') {
            c = separator;
        }
    }
    return text;
}

TEST(PluTypingChecks, TableOfTextsPerColumnUnderPointAndComma) {
    for (const char separator : {'.', ','}) {
        for (const TextCase& c : kTypingCases) {
            const std::string text = withSeparator(c.text, separator);
            EXPECT_EQ(acceptsTypedText(c.column, text, separator), c.accepted)
                << "column " << c.column << " text '" << text << "'";
        }
    }
    // The other locale's separator is not a number.
    EXPECT_FALSE(acceptsTypedText(PluColumn::Price, "1,5", '.'));
    EXPECT_FALSE(acceptsTypedText(PluColumn::Price, "1.5", ','));
}

TEST(PluTypingChecks, NameCountsBytesUpToThirty) {
    EXPECT_TRUE(acceptsTypedText(PluColumn::Name, std::string(30, '\xE9'), '.'));
    EXPECT_FALSE(acceptsTypedText(PluColumn::Name, std::string(31, 'a'), '.'));
}

TEST(PluTypingChecks, AFifthWholeDigitOfAPriceCannotBeTyped) {
    // Every intermediate text is checked, so typing 12345.6 stops at 1234.
    std::string typed;
    for (const char key : std::string("12345.6")) {
        if (acceptsTypedText(PluColumn::Price, typed + key, '.')) {
            typed += key;
        }
    }
    EXPECT_EQ(typed, "1234.6");
}

const TextCase kFileCases[] = {
    {1, "1801", true},    {1, "1802", false},      {1, "0", true},    {1, "-1", false},
    {1, "", false},       {1, "12.5", true},       {2, "-5", true},   {2, "99999.99", true},
    {2, "100000", false}, {2, "99999.991", false}, {2, "", false},    {3, "-1", false},
    {3, "999999", true},  {3, "1000000", false},   {3, "1.5", false}, {4, "40", true},
    {4, "41", false},     {5, "8", true},          {5, "-1", false},  {6, "1", true},
    {7, "2", false},      {8, "", false},          {10, "999", true}, {10, "-1", false},
    {10, "0.5", true},    {10, "1000", false},
};

TEST(PluFileChecks, FieldLimitsUnderPointAndComma) {
    for (const char separator : {'.', ','}) {
        for (const TextCase& c : kFileCases) {
            const std::string text = withSeparator(c.text, separator);
            EXPECT_EQ(acceptsFileField(c.column, text, separator), c.accepted)
                << "field " << c.column << " text '" << text << "'";
        }
    }
    EXPECT_TRUE(acceptsFileField(9, std::string(32, ' '), '.'));
    EXPECT_FALSE(acceptsFileField(9, std::string(33, 'a'), '.'));
    EXPECT_TRUE(acceptsFileField(9, "", '.'));
}

TEST(PluPriceConversion, ExactHundredthsTruncatedTowardZero) {
    const std::pair<const char*, std::int32_t> cases[] = {
        {"0.29", 29},     {"19.99", 1999},     {"1.15", 115}, {"0.53", 53},   {"1.999", 199},
        {"-1.005", -100}, {"9999.99", 999999}, {"5", 500},    {"1e2", 10000}, {"0.001", 0},
    };
    for (const auto& [text, hundredths] : cases) {
        EXPECT_EQ(priceToHundredths(text, '.'), hundredths) << text;
        EXPECT_EQ(priceToHundredths(withSeparator(text, ','), ','), hundredths) << text;
    }
    EXPECT_EQ(priceToHundredths("21474836.48", '.'), std::nullopt);
    EXPECT_EQ(priceToHundredths("1e30", '.'), std::nullopt);
    EXPECT_EQ(priceToHundredths("", '.'), std::nullopt);
}

TEST(PluTextForms, MoneyQuantityAndWholeNumbers) {
    EXPECT_EQ(formatMoney(0, '.'), "0.00");
    EXPECT_EQ(formatMoney(1234, '.'), "12.34");
    EXPECT_EQ(formatMoney(-5, ','), "-0,05");
    EXPECT_EQ(formatMoney(-2147483648LL, '.'), "-21474836.48");
    EXPECT_EQ(formatThousandths(1500, ','), "1,500");
    EXPECT_EQ(formatThousandths(-1, '.'), "-0.001");
    EXPECT_EQ(formatWhole(-32768), "-32768");
}

} // namespace
