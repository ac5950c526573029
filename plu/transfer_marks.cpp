#include "transfer_marks.h"

#include "link/number_parsing.h"
#include "plu_checks.h"
#include "plu_record.h"
#include "plu_text_forms.h"
#include "plu_transfer.h"

#include <cstdint>
#include <cstdio>

namespace {

// The scale's display shows its single bytes through the Cyrillic code page
// (Windows-1251), which has no character for 0x98; control bytes show nothing.
constexpr unsigned char kByteWithoutGlyph = 0x98;

std::string stops(const std::string& text) {
    return (text.empty() ? std::string("empty") : "'" + text + "' is not a whole number") +
           ": SAVE TO SCALE stops at this row";
}

std::string sentAs(std::int64_t value) {
    return "goes to the scale as " + std::to_string(value);
}

std::optional<std::string> wholeField(const std::string& text, std::int64_t low, std::int64_t high) {
    std::int32_t value = 0;
    if (!parseInt(text, value)) {
        return stops(text);
    }
    if (value >= low && value <= high) {
        return std::nullopt;
    }
    const auto span = static_cast<std::uint32_t>(high - low + 1);
    const std::uint32_t bits = static_cast<std::uint32_t>(value) % span;
    // Fields are sent as their low bits; a signed field reads them back signed.
    const std::int64_t received = low < 0 && bits > static_cast<std::uint32_t>(high)
                                      ? static_cast<std::int64_t>(bits) - span
                                      : static_cast<std::int64_t>(bits);
    return sentAs(received);
}

std::optional<std::string> nameLoss(const std::string& name) {
    for (std::size_t i = 0; i < name.size() && i < kPluNameWidth; ++i) {
        const auto byte = static_cast<unsigned char>(name[i]);
        if (byte == 0) {
            return std::string("a zero byte ends the name on the scale: what follows it is lost");
        }
        if (byte < 0x20 || byte == 0x7F || byte == kByteWithoutGlyph) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "0x%02X", static_cast<unsigned>(byte));
            return "byte " + std::string(hex) + " has no character on the scale";
        }
    }
    if (name.size() > kPluNameWidth) {
        return "the scale keeps the first 30 characters: '" + name.substr(kPluNameWidth) + "' is lost";
    }
    return std::nullopt;
}

std::optional<std::string> priceLoss(const PluRow& row, char separator) {
    const std::string& text = row[PluColumn::Price];
    const auto hundredths = priceToHundredths(text, separator);
    if (!hundredths) {
        return "'" + text + "' does not fit the scale's price: SAVE TO SCALE stops at this row";
    }
    const auto exact = parseExactDecimal(text, separator);
    if (exact && exact->exponent < -2) {
        return "goes to the scale as " + formatMoney(*hundredths, separator) +
               ": digits beyond the hundredths are dropped";
    }
    std::int32_t plu = 0;
    if (*hundredths < 0 && !(parseInt(row[PluColumn::Num], plu) && plu == kFixedPluLow)) {
        return std::string("a negative price tells the scale it holds no such PLU");
    }
    return std::nullopt;
}

} // namespace

std::optional<std::string> transferLoss(const PluRow& row, int column, char separator) {
    if (row[PluColumn::Price].empty()) {
        return std::nullopt;
    }
    const std::string& text = row[static_cast<std::size_t>(column)];
    switch (column) {
    case PluColumn::Num: {
        if (auto loss = wholeField(text, 0, 65535)) {
            return loss;
        }
        std::int32_t plu = 0;
        parseInt(text, plu);
        if (plu > kFixedPluHigh) {
            return std::string("the scale holds PLUs 0 to 1800");
        }
        return std::nullopt;
    }
    case PluColumn::Price:
        return priceLoss(row, separator);
    case PluColumn::Code: {
        std::int32_t value = 0;
        return parseInt(text, value) ? std::nullopt : std::optional<std::string>(stops(text));
    }
    case PluColumn::Dep:
    case PluColumn::Tax:
        return wholeField(text, 0, 255);
    case PluColumn::Nw:
    case PluColumn::Fix:
    case PluColumn::Bar: {
        std::int32_t value = 0;
        if (!parseInt(text, value)) {
            return stops(text);
        }
        return value == 0 || value == 1
                   ? std::nullopt
                   : std::optional<std::string>("not 0 or 1: the scale receives other flags");
    }
    case PluColumn::Name:
        return nameLoss(text);
    case PluColumn::ValidDate:
        return wholeField(text, -32768, 32767);
    default:
        return std::nullopt;
    }
}
