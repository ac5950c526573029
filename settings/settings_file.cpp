#include "settings_file.h"

#include "keyed_file.h"
#include "plu/file_replace.h"
#include "plu/whole_file.h"
#include "quoted_text.h"
#include "tax_rates.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <functional>
#include <map>

namespace {

// The check boxes in the order of the page, with their bits or fields.
struct CheckBoxSetting {
    const char* name;
    std::uint8_t printOption; // 0: not one of the print option bits
    bool ScaleSettings::*field;
};
constexpr std::array<CheckBoxSetting, 10> kCheckBoxes{{
    {"print-receipt", PrintOptionFlags::kPrintReceipt, nullptr},
    {"print-duplicate", PrintOptionFlags::kPrintDuplicate, nullptr},
    {"print-graphics-logo", PrintOptionFlags::kPrintGraphicsLogo, nullptr},
    {"print-single-bar", PrintOptionFlags::kPrintSingleBar, nullptr},
    {"print-total-bar", PrintOptionFlags::kPrintTotalBar, nullptr},
    {"obligatory-paid", PrintOptionFlags::kObligatoryPaid, nullptr},
    {"discount", PrintOptionFlags::kDiscount, nullptr},
    {"print-plu-code", PrintOptionFlags::kPrintPluCode, nullptr},
    {"print-all-reports", 0, &ScaleSettings::printAllReports},
    {"print-tax", 0, &ScaleSettings::printTax},
}};

struct TextSetting {
    const char* name;
    std::string ScaleSettings::*field;
    std::size_t maxLength; // 0: the page sets no limit
};
constexpr std::array<TextSetting, 5> kTexts{{
    {"single-item-bar", &ScaleSettings::singleItemBarcode, 0},
    {"total-bar", &ScaleSettings::totalBarcode, 0},
    {"rs-baud-rate", &ScaleSettings::baudRate, 0},
    {"printer-darkness", &ScaleSettings::printerDarkness, 0},
    {"currency", &ScaleSettings::currency, kCurrencyWidth},
}};

struct NumberSetting {
    const char* name;
    int ScaleSettings::*field;
    SpinRange range;
};
constexpr std::array<NumberSetting, 4> kNumbers{{
    {"auto-off-time", &ScaleSettings::autoOffMinutes, kAutoOffRange},
    {"lan-number", &ScaleSettings::lanNumber, kLanNumberRange},
    {"discount-percent", &ScaleSettings::discountPercent, kDiscountRange},
    {"drawer-open-time", &ScaleSettings::drawerOpenTime, kDrawerOpenTimeRange},
}};

constexpr const char* kClerkModeNone = "none";
// Lines a box may be given; the scale takes 6 (header) and 2 (footer).
constexpr int kMaxBoxLines = 100;

constexpr std::string_view kHead =
    "# Scale settings: one setting a line, name = value; lines starting with # are notes.\r\n"
    "# Texts stand in double quotes; in a text \\\" \\\\ and \\xHH stand for a quote, a\r\n"
    "# backslash and the byte HH. Numbers and yes/no stand bare. A setting left out\r\n"
    "# keeps the value it had. Tax rates are written with a point.\r\n"
    "# clerk-mode: 0 All at once, 1 Only one, 2 Super Market, 3 LABEL-1, 4 LABEL-2, none.\r\n";

char taxLetter(int row) { return static_cast<char>('A' + row); }

// The tax cell's text with the point the file uses, and back.
std::string swapSeparator(std::string text, char from, char to) {
    if (from != to) {
        for (char& c : text) {
            if (c == from) {
                c = to;
            }
        }
    }
    return text;
}

std::optional<int> wholeNumber(std::string_view text) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty()) {
        return std::nullopt;
    }
    return value;
}

// A line number from the tail of a name such as "header-3", within 1..kMaxBoxLines.
std::optional<int> boxLineNumber(std::string_view name, std::string_view prefix) {
    if (name.substr(0, prefix.size()) != prefix) {
        return std::nullopt;
    }
    const auto number = wholeNumber(name.substr(prefix.size()));
    if (!number || *number < 1 || *number > kMaxBoxLines || name[prefix.size()] == '0') {
        return std::nullopt;
    }
    return number;
}

class Reader {
  public:
    Reader(TextFileEncoding encoding, char separator, ScaleSettings& settings)
        : encoding_(encoding), separator_(separator), settings_(settings) {}

    // Applies one entry; false with the reason when it is no setting or its value is wrong.
    bool apply(const KeyedEntry& entry, std::string& reason) {
        const bool boxLine = entry.name.rfind("header-", 0) == 0 || entry.name.rfind("footer-", 0) == 0;
        const bool applied = applySetting(entry, reason);
        fixedSettingsGiven_ += applied && !boxLine ? 1 : 0;
        return applied;
    }

    bool complete() const {
        constexpr int kFixedSettings = 1 + static_cast<int>(kCheckBoxes.size() + kTexts.size() + kNumbers.size()) +
                                       kClerkCount + kDepartmentCount + kTaxRateCount;
        return fixedSettingsGiven_ == kFixedSettings && !header_.empty() && !footer_.empty();
    }

  private:
    bool applySetting(const KeyedEntry& entry, std::string& reason) {
        const std::string& name = entry.name;
        const std::string& value = entry.value;
        if (name == "clerk-mode") {
            return clerkMode(value, reason);
        }
        for (const CheckBoxSetting& box : kCheckBoxes) {
            if (name == box.name) {
                return checkBox(box, value, reason);
            }
        }
        for (const TextSetting& text : kTexts) {
            if (name == text.name) {
                return textInto(settings_.*text.field, value, text.maxLength, reason);
            }
        }
        for (const NumberSetting& number : kNumbers) {
            if (name == number.name) {
                return numberInto(number, value, reason);
            }
        }
        for (int k = 0; k < kClerkCount; ++k) {
            if (name == "clerk-" + std::to_string(k + 1)) {
                return textInto(settings_.clerkNames[static_cast<std::size_t>(k)], value, kClerkNameWidth, reason);
            }
        }
        for (int k = 0; k < kDepartmentCount; ++k) {
            if (name == "department-" + std::to_string(k)) {
                return textInto(settings_.departmentNames[static_cast<std::size_t>(k)], value, 0, reason);
            }
        }
        for (int row = 0; row < kTaxRateCount; ++row) {
            if (name == std::string("tax-") + taxLetter(row)) {
                return taxRate(row, value, reason);
            }
        }
        if (const auto line = boxLineNumber(name, "header-")) {
            return boxLine(header_, *line, value, reason);
        }
        if (const auto line = boxLineNumber(name, "footer-")) {
            return boxLine(footer_, *line, value, reason);
        }
        reason = "'" + name + "' is no setting";
        return false;
    }

  public:
    // The boxes the file gave lines for are replaced whole.
    void finish() {
        for (auto [lines, box] : {std::pair{&header_, &settings_.headerLines}, std::pair{&footer_, &settings_.footerLines}}) {
            if (!lines->empty()) {
                box->assign(static_cast<std::size_t>(lines->rbegin()->first), std::string());
                for (const auto& [number, text] : *lines) {
                    (*box)[static_cast<std::size_t>(number - 1)] = text;
                }
            }
        }
    }

  private:
    bool clerkMode(const std::string& value, std::string& reason) {
        if (value == kClerkModeNone) {
            settings_.clerkMode = kNoClerkMode;
            return true;
        }
        const auto mode = wholeNumber(value);
        if (!mode || *mode < 0 || *mode >= kClerkModeCount) {
            reason = "clerk-mode must be 0 to 4 or none";
            return false;
        }
        settings_.clerkMode = *mode;
        return true;
    }

    bool checkBox(const CheckBoxSetting& box, const std::string& value, std::string& reason) {
        if (value != "yes" && value != "no") {
            reason = std::string(box.name) + " must be yes or no";
            return false;
        }
        const bool checked = value == "yes";
        if (box.field) {
            settings_.*box.field = checked;
        } else {
            settings_.printOptions = static_cast<std::uint8_t>(checked ? settings_.printOptions | box.printOption
                                                                       : settings_.printOptions & ~box.printOption);
        }
        return true;
    }

    std::optional<std::string> text(const std::string& value, std::size_t maxLength, std::string& reason) {
        // A person may leave a plain word such as 9600 or 7.5 without quotes.
        const bool bare = !value.empty() && std::all_of(value.begin(), value.end(), [](char c) {
            return c > ' ' && c < 0x7F && c != '"' && c != '\\';
        });
        auto bytes = bare ? std::optional<std::string>(value) : unquotedText(value, encoding_, reason);
        if (bytes && maxLength > 0 && bytes->size() > maxLength) {
            reason = "the text is longer than " + std::to_string(maxLength) + " characters";
            return std::nullopt;
        }
        return bytes;
    }

    bool textInto(std::string& field, const std::string& value, std::size_t maxLength, std::string& reason) {
        auto bytes = text(value, maxLength, reason);
        if (bytes) {
            field = std::move(*bytes);
        }
        return bytes.has_value();
    }

    bool numberInto(const NumberSetting& number, const std::string& value, std::string& reason) {
        const auto parsed = wholeNumber(value);
        if (!parsed || *parsed < number.range.minimum || *parsed > number.range.maximum) {
            reason = std::string(number.name) + " must be a whole number from " +
                     std::to_string(number.range.minimum) + " to " + std::to_string(number.range.maximum);
            return false;
        }
        settings_.*number.field = *parsed;
        return true;
    }

    bool taxRate(int row, const std::string& value, std::string& reason) {
        auto bytes = text(value, 0, reason);
        if (!bytes) {
            return false;
        }
        std::string cell = swapSeparator(*bytes, '.', separator_);
        // The tax cell's own check: empty, or a number of at most 99.99.
        if (!validateTaxCell(cell, separator_)) {
            reason = std::string("tax-") + taxLetter(row) + " must be a rate of at most 99.99, written with a point";
            return false;
        }
        settings_.taxRates[static_cast<std::size_t>(row)] = std::move(cell);
        return true;
    }

    bool boxLine(std::map<int, std::string>& lines, int number, const std::string& value, std::string& reason) {
        auto bytes = text(value, 0, reason);
        if (bytes) {
            lines[number] = std::move(*bytes);
        }
        return bytes.has_value();
    }

    TextFileEncoding encoding_;
    char separator_;
    int fixedSettingsGiven_ = 0; // names are given once each: the splitter refuses repeats
    ScaleSettings& settings_;
    std::map<int, std::string> header_;
    std::map<int, std::string> footer_;
};

} // namespace

std::string formatSettingsFile(const ScaleSettings& settings, char decimalSeparator) {
    std::string out(kHead);
    out += kKeyedLineEnd;
    out += keyedLine("clerk-mode", settings.clerkMode >= 0 && settings.clerkMode < kClerkModeCount
                                       ? std::to_string(settings.clerkMode)
                                       : kClerkModeNone);
    for (const CheckBoxSetting& box : kCheckBoxes) {
        const bool checked = box.field ? settings.*box.field : (settings.printOptions & box.printOption) != 0;
        out += keyedLine(box.name, checked ? "yes" : "no");
    }
    for (const TextSetting& text : kTexts) {
        out += keyedLine(text.name, quotedText(settings.*text.field));
    }
    for (const NumberSetting& number : kNumbers) {
        out += keyedLine(number.name, std::to_string(number.range.clamp(settings.*number.field)));
    }
    for (int k = 0; k < kClerkCount; ++k) {
        out += keyedLine("clerk-" + std::to_string(k + 1), quotedText(settings.clerkNames[static_cast<std::size_t>(k)]));
    }
    // A box always gets one line at least, so the file replaces it when read.
    for (auto [prefix, lines] : {std::pair{"header-", &settings.headerLines}, std::pair{"footer-", &settings.footerLines}}) {
        const std::size_t count = std::min<std::size_t>(std::max<std::size_t>(lines->size(), 1), kMaxBoxLines);
        for (std::size_t i = 0; i < count; ++i) {
            out += keyedLine(prefix + std::to_string(i + 1), quotedText(i < lines->size() ? (*lines)[i] : ""));
        }
    }
    for (int k = 0; k < kDepartmentCount; ++k) {
        out += keyedLine("department-" + std::to_string(k),
                         quotedText(settings.departmentNames[static_cast<std::size_t>(k)]));
    }
    for (int row = 0; row < kTaxRateCount; ++row) {
        out += keyedLine(std::string("tax-") + taxLetter(row),
                         quotedText(swapSeparator(settings.taxRates[static_cast<std::size_t>(row)], decimalSeparator, '.')));
    }
    return out;
}

SettingsFileRead parseSettingsFile(std::string_view bytes, char decimalSeparator, ScaleSettings& settings) {
    auto split = splitKeyedFile(bytes);
    if (const auto* error = std::get_if<KeyedFileError>(&split)) {
        return {SettingsFileResult::InputError, {error->line, error->reason}};
    }
    // Read onto a copy, so a file with a mistake changes nothing.
    ScaleSettings read = settings;
    Reader reader(detectTextFileEncoding(bytes), decimalSeparator, read);
    for (const KeyedEntry& entry : std::get<std::vector<KeyedEntry>>(split)) {
        std::string reason;
        if (!reader.apply(entry, reason)) {
            return {SettingsFileResult::InputError, {entry.line, reason}};
        }
    }
    reader.finish();
    settings = std::move(read);
    SettingsFileRead result;
    result.complete = reader.complete();
    return result;
}

bool saveSettingsFile(const std::filesystem::path& path, const ScaleSettings& settings, char decimalSeparator) {
    return replaceFileContents(path, formatSettingsFile(settings, decimalSeparator));
}

SettingsFileRead loadSettingsFile(const std::filesystem::path& path, char decimalSeparator, ScaleSettings& settings) {
    WholeFileFailure failure = WholeFileFailure::None;
    const auto bytes = readWholeFile(path, kMaxSettingsFileSize, &failure);
    if (!bytes) {
        if (failure == WholeFileFailure::TooLarge) {
            return {SettingsFileResult::InputError, {0, "the file is too large to be a settings file"}};
        }
        return {SettingsFileResult::IoError, {}};
    }
    return parseSettingsFile(*bytes, decimalSeparator, settings);
}

std::string describeSettingsFileError(const SettingsFileError& error) {
    return error.line > 0 ? "line " + std::to_string(error.line) + ": " + error.reason : error.reason;
}
