#pragma once
// The eight tax rates "A".."H": request of command 40 and reply of command 11,
// 16 bytes, each rate a 2-byte count of hundredths of the percentage shown
// (a cell showing 15.5 is 1550). Sent as the low 16 bits, read back signed.

#include "conversion_error.h"
#include "scale_settings.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

class MessageBuffer;

struct TaxRatesRecord {
    std::array<std::uint16_t, kTaxRateCount> hundredths{};
};

void encodeTaxRatesRecord(MessageBuffer& buffer, const TaxRatesRecord& record);
TaxRatesRecord decodeTaxRatesRecord(MessageBuffer& buffer);

// A cell's text as hundredths: the decimal number times 100, rounded to the
// nearest whole number with an exact half going to the even neighbour, in
// plain double arithmetic (12.345 gives 1234, 0.125 gives 12). Fails when the
// text is no number, or the product is not finite or does not fit in 64 bits.
Converted<std::int64_t> taxRateHundredths(std::string_view cellText, char decimalSeparator);
// All eight cells, "A" first; the first cell that does not convert fails.
Converted<TaxRatesRecord> taxRatesFromPage(const std::array<std::string, kTaxRateCount>& cells,
                                           char decimalSeparator);

// A received rate in its shortest decimal form: 1550 is 15.5, 700 is 7,
// -250 is -2.5, 1999 is 19.99.
std::string formatTaxRate(std::int16_t hundredths, char decimalSeparator);
void applyTaxRatesToPage(const TaxRatesRecord& record, char decimalSeparator,
                         std::array<std::string, kTaxRateCount>& cells);

// The check of a tax cell on every change while it is typed: an empty text,
// or a decimal number of at most 99.99 (no lower bound). So a lone minus sign
// is refused as it is typed and a lone separator is accepted.
bool validateTaxCell(std::string_view text, char decimalSeparator);
