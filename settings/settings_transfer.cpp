#include "settings_transfer.h"

#include "general_settings_record.h"
#include "link/commands.h"
#include "link/scale_link.h"
#include "link/user_interface.h"
#include "name_records.h"
#include "tax_rates.h"

#include <optional>

namespace {

// Runs the transfer's commands one by one, telling the hook which comes next.
class Steps {
  public:
    Steps(ScaleLink& link, const SettingsStepHook& hook) : link_(link), hook_(hook) {}
    bool run(std::uint8_t command) {
        if (hook_) {
            hook_(next_);
        }
        ++next_;
        return link_.runCommand(command);
    }

  private:
    ScaleLink& link_;
    const SettingsStepHook& hook_;
    int next_ = 0;
};

// Runs the write commands; a text that does not convert is handed back so it
// is shown only after the busy cursor has ended.
SettingsTransferEnd writeSettings(ScaleLink& link, ScaleSettings& settings, char decimalSeparator,
                                  CurrencyRule currencyRule, std::optional<ConversionError>& conversionError,
                                  const SettingsStepHook& hook) {
    MessageBuffer& buffer = link.buffer();
    Steps steps(link, hook);

    if (currencyRule == CurrencyRule::EuroAsByte && settings.currency == kEuroText) {
        settings.currency = kEuroByte;
    }
    const auto general = generalSettingsFromPage(settings);
    if (!general) {
        conversionError = general.error;
        return SettingsTransferEnd::ConversionFailed;
    }
    buffer.clear();
    encodeGeneralSettingsRecord(buffer, *general.value);
    if (!steps.run(cmd::kWriteGeneralSettings)) {
        return SettingsTransferEnd::LinkFailed;
    }

    for (int k = 0; k < kClerkCount; ++k) {
        buffer.clear();
        encodeClerkNameRecord(buffer, {static_cast<std::uint8_t>(k), settings.clerkNames[static_cast<std::size_t>(k)]});
        if (!steps.run(cmd::kWriteClerkName)) {
            return SettingsTransferEnd::LinkFailed;
        }
    }

    for (int line = 1; line <= kHeaderLineCount + kFooterLineCount; ++line) {
        const std::string_view text = line <= kHeaderLineCount
                                          ? lineOrEmpty(settings.headerLines, line)
                                          : lineOrEmpty(settings.footerLines, line - kHeaderLineCount);
        buffer.clear();
        encodePrintLineRecord(buffer, {static_cast<std::uint8_t>(line), std::string(text)});
        if (!steps.run(cmd::kWritePrintLine)) {
            return SettingsTransferEnd::LinkFailed;
        }
    }

    for (int i = 0; i < kDepartmentCount; ++i) {
        buffer.clear();
        encodeDepartmentNameRecord(buffer,
                                   {static_cast<std::uint8_t>(i), settings.departmentNames[static_cast<std::size_t>(i)]});
        if (!steps.run(cmd::kWriteDepartmentName)) {
            return SettingsTransferEnd::LinkFailed;
        }
    }

    const auto taxes = taxRatesFromPage(settings.taxRates, decimalSeparator);
    if (!taxes) {
        conversionError = taxes.error;
        return SettingsTransferEnd::ConversionFailed;
    }
    buffer.clear();
    encodeTaxRatesRecord(buffer, *taxes.value);
    return steps.run(cmd::kWriteTaxRates) ? SettingsTransferEnd::Completed : SettingsTransferEnd::LinkFailed;
}

SettingsTransferEnd readSettings(ScaleLink& link, ScaleSettings& settings, char decimalSeparator,
                                 const SettingsStepHook& hook) {
    MessageBuffer& buffer = link.buffer();
    Steps steps(link, hook);

    buffer.clear();
    if (!steps.run(cmd::kReadGeneralSettings)) {
        return SettingsTransferEnd::LinkFailed;
    }
    applyGeneralSettingsToPage(decodeGeneralSettingsRecord(buffer), settings);

    for (int k = 0; k < kClerkCount; ++k) {
        buffer.clear();
        buffer.putU8(static_cast<std::uint8_t>(k));
        if (!steps.run(cmd::kReadClerkName)) {
            return SettingsTransferEnd::LinkFailed;
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
        if (!steps.run(cmd::kReadPrintLine)) {
            return SettingsTransferEnd::LinkFailed;
        }
        box.push_back(decodePrintLine(buffer));
    }

    for (int i = 0; i < kDepartmentCount; ++i) {
        buffer.clear();
        buffer.putU8(static_cast<std::uint8_t>(i));
        if (!steps.run(cmd::kReadDepartmentName)) {
            return SettingsTransferEnd::LinkFailed;
        }
        settings.departmentNames[static_cast<std::size_t>(i)] = decodeDepartmentName(buffer);
    }

    buffer.clear();
    buffer.putU8(kTaxRatesReadRequest);
    if (!steps.run(cmd::kReadTaxRates)) {
        return SettingsTransferEnd::LinkFailed;
    }
    applyTaxRatesToPage(decodeTaxRatesRecord(buffer), decimalSeparator, settings.taxRates);
    return SettingsTransferEnd::Completed;
}

} // namespace

SettingsTransferEnd sendSettingsToScale(ScaleLink& link, UserInterface& ui, ScaleSettings& settings,
                                        char decimalSeparator, CurrencyRule currencyRule,
                                        const SettingsStepHook& beforeEachCommand) {
    std::optional<ConversionError> conversionError;
    SettingsTransferEnd end = SettingsTransferEnd::NotConnected;
    if (link.checkConnected()) {
        BusyCursor busy(ui);
        end = writeSettings(link, settings, decimalSeparator, currencyRule, conversionError, beforeEachCommand);
    }
    // The scale holds the byte; the page shows the word again.
    if (currencyRule == CurrencyRule::EuroAsByte && settings.currency == kEuroByte) {
        settings.currency = kEuroText;
    }
    if (conversionError) {
        reportConversionError(ui, conversionError->text, conversionError->kind);
    }
    return end;
}

SettingsTransferEnd loadSettingsFromScale(ScaleLink& link, UserInterface& ui, ScaleSettings& settings,
                                          char decimalSeparator, const SettingsStepHook& beforeEachCommand) {
    if (!link.checkConnected()) {
        return SettingsTransferEnd::NotConnected;
    }
    BusyCursor busy(ui);
    return readSettings(link, settings, decimalSeparator, beforeEachCommand);
}

std::string settingsCommandName(int index) {
    constexpr int kClerks = 1;
    constexpr int kLines = kClerks + kClerkCount;
    constexpr int kDepartments = kLines + kHeaderLineCount + kFooterLineCount;
    constexpr int kTaxes = kDepartments + kDepartmentCount;
    if (index <= 0) {
        return "general settings";
    }
    if (index < kLines) {
        return "clerk " + std::to_string(index - kClerks + 1);
    }
    if (index < kLines + kHeaderLineCount) {
        return "header line " + std::to_string(index - kLines + 1);
    }
    if (index < kDepartments) {
        return "footer line " + std::to_string(index - kLines - kHeaderLineCount + 1);
    }
    if (index < kTaxes) {
        return "department " + std::to_string(index - kDepartments);
    }
    return "tax rates";
}
