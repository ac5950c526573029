#include "tax_rates.h"

#include "link/message_buffer.h"
#include "link/number_parsing.h"

#include <cmath>
#include <cstdlib>

void encodeTaxRatesRecord(MessageBuffer& buffer, const TaxRatesRecord& record) {
    for (std::uint16_t rate : record.hundredths) {
        buffer.putU16(rate);
    }
}

TaxRatesRecord decodeTaxRatesRecord(MessageBuffer& buffer) {
    TaxRatesRecord record;
    for (std::uint16_t& rate : record.hundredths) {
        rate = buffer.getU16();
    }
    return record;
}

Converted<std::int64_t> taxRateHundredths(std::string_view cellText, char decimalSeparator) {
    using Result = Converted<std::int64_t>;
    double value = 0.0;
    if (!parseFloat(cellText, decimalSeparator, value)) {
        return Result::failed(std::string(cellText), NumberKind::FloatingPoint);
    }
    // The default rounding mode rounds to nearest with ties to even.
    const double rounded = std::nearbyint(value * 100.0);
    // 2^63 is exact as a double; anything at or beyond it has no int64.
    constexpr double kLimit = 9223372036854775808.0;
    if (!std::isfinite(rounded) || rounded >= kLimit || rounded < -kLimit) {
        return Result::failed(std::string(cellText), NumberKind::FloatingPoint);
    }
    return Result::ok(static_cast<std::int64_t>(rounded));
}

Converted<TaxRatesRecord> taxRatesFromPage(const std::array<std::string, kTaxRateCount>& cells,
                                           char decimalSeparator) {
    TaxRatesRecord record;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        const auto hundredths = taxRateHundredths(cells[i], decimalSeparator);
        if (!hundredths) {
            return Converted<TaxRatesRecord>::failed(hundredths.error.text, hundredths.error.kind);
        }
        record.hundredths[i] = static_cast<std::uint16_t>(*hundredths.value); // low 16 bits
    }
    return Converted<TaxRatesRecord>::ok(record);
}

std::string formatTaxRate(std::int16_t hundredths, char decimalSeparator) {
    // Exact on the integer: no binary fraction can leave a trailing ...9999.
    const int magnitude = std::abs(static_cast<int>(hundredths));
    std::string text = hundredths < 0 ? "-" : "";
    text += std::to_string(magnitude / 100);
    const int fraction = magnitude % 100;
    if (fraction != 0) {
        text.push_back(decimalSeparator);
        text.push_back(static_cast<char>('0' + fraction / 10));
        if (fraction % 10 != 0) {
            text.push_back(static_cast<char>('0' + fraction % 10));
        }
    }
    return text;
}

void applyTaxRatesToPage(const TaxRatesRecord& record, char decimalSeparator,
                         std::array<std::string, kTaxRateCount>& cells) {
    for (std::size_t i = 0; i < cells.size(); ++i) {
        cells[i] = formatTaxRate(static_cast<std::int16_t>(record.hundredths[i]), decimalSeparator);
    }
}

bool validateTaxCell(std::string_view text, char decimalSeparator) {
    if (text.empty()) {
        return true;
    }
    // Compared exactly, so 99.990000000000001 is above the limit although
    // its nearest double is not.
    const auto value = parseExactDecimal(text, decimalSeparator);
    return value && compareDecimal(*value, "99.99") <= 0;
}
