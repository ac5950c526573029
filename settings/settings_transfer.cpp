#include "settings_transfer.h"

#include "general_settings_record.h"
#include "link/commands.h"
#include "link/scale_link.h"
#include "link/user_interface.h"
#include "name_records.h"
#include "tax_rates.h"

#include <optional>

namespace {

// Runs the write commands; a text that does not convert is handed back so it
// is shown only after the busy cursor has ended.
std::optional<ConversionError> writeSettings(ScaleLink& link, ScaleSettings& settings, char decimalSeparator) {
    MessageBuffer& buffer = link.buffer();

    if (settings.currency == kEuroText) {
        settings.currency = kEuroByte;
    }
    const auto general = generalSettingsFromPage(settings);
    if (!general) {
        return general.error;
    }
    buffer.clear();
    encodeGeneralSettingsRecord(buffer, *general.value);
    if (!link.runCommand(cmd::kWriteGeneralSettings)) {
        return std::nullopt;
    }

    for (int k = 0; k < kClerkCount; ++k) {
        buffer.clear();
        encodeClerkNameRecord(buffer, {static_cast<std::uint8_t>(k), settings.clerkNames[static_cast<std::size_t>(k)]});
        if (!link.runCommand(cmd::kWriteClerkName)) {
            return std::nullopt;
        }
    }

    for (int line = 1; line <= kHeaderLineCount + kFooterLineCount; ++line) {
        const std::string_view text = line <= kHeaderLineCount
                                          ? lineOrEmpty(settings.headerLines, line)
                                          : lineOrEmpty(settings.footerLines, line - kHeaderLineCount);
        buffer.clear();
        encodePrintLineRecord(buffer, {static_cast<std::uint8_t>(line), std::string(text)});
        if (!link.runCommand(cmd::kWritePrintLine)) {
            return std::nullopt;
        }
    }

    for (int i = 0; i < kDepartmentCount; ++i) {
        buffer.clear();
        encodeDepartmentNameRecord(buffer,
                                   {static_cast<std::uint8_t>(i), settings.departmentNames[static_cast<std::size_t>(i)]});
        if (!link.runCommand(cmd::kWriteDepartmentName)) {
            return std::nullopt;
        }
    }

    const auto taxes = taxRatesFromPage(settings.taxRates, decimalSeparator);
    if (!taxes) {
        return taxes.error;
    }
    buffer.clear();
    encodeTaxRatesRecord(buffer, *taxes.value);
    link.runCommand(cmd::kWriteTaxRates);
    return std::nullopt;
}

void readSettings(ScaleLink& link, ScaleSettings& settings, char decimalSeparator) {
    MessageBuffer& buffer = link.buffer();

    buffer.clear();
    if (!link.runCommand(cmd::kReadGeneralSettings)) {
        return;
    }
    applyGeneralSettingsToPage(decodeGeneralSettingsRecord(buffer), settings);

    for (int k = 0; k < kClerkCount; ++k) {
        buffer.clear();
        buffer.putU8(static_cast<std::uint8_t>(k));
        if (!link.runCommand(cmd::kReadClerkName)) {
            return;
        }
        settings.clerkNames[static_cast<std::size_t>(k)] = decodeClerkName(buffer);
    }

    for (int line = 1; line <= kHeaderLineCount + kFooterLineCount; ++line) {
        std::vector<std::string>& box = line <= kHeaderLineCount ? settings.headerLines : settings.footerLines;
        if (line == 1 || line == kHeaderLineCount + 1) {
            box.clear();
        }
        buffer.clear();
        buffer.putU8(static_cast<std::uint8_t>(line));
        if (!link.runCommand(cmd::kReadPrintLine)) {
            return;
        }
        box.push_back(decodePrintLine(buffer));
    }

    for (int i = 0; i < kDepartmentCount; ++i) {
        buffer.clear();
        buffer.putU8(static_cast<std::uint8_t>(i));
        if (!link.runCommand(cmd::kReadDepartmentName)) {
            return;
        }
        settings.departmentNames[static_cast<std::size_t>(i)] = decodeDepartmentName(buffer);
    }

    buffer.clear();
    buffer.putU8(kTaxRatesReadRequest);
    if (!link.runCommand(cmd::kReadTaxRates)) {
        return;
    }
    applyTaxRatesToPage(decodeTaxRatesRecord(buffer), decimalSeparator, settings.taxRates);
}

} // namespace

void sendSettingsToScale(ScaleLink& link, UserInterface& ui, ScaleSettings& settings, char decimalSeparator) {
    std::optional<ConversionError> conversionError;
    if (link.checkConnected()) {
        BusyCursor busy(ui);
        conversionError = writeSettings(link, settings, decimalSeparator);
    }
    // The scale holds the byte; the page shows the word again.
    if (settings.currency == kEuroByte) {
        settings.currency = kEuroText;
    }
    if (conversionError) {
        reportConversionError(ui, conversionError->text, conversionError->kind);
    }
}

void loadSettingsFromScale(ScaleLink& link, UserInterface& ui, ScaleSettings& settings, char decimalSeparator) {
    if (!link.checkConnected()) {
        return;
    }
    BusyCursor busy(ui);
    readSettings(link, settings, decimalSeparator);
}
