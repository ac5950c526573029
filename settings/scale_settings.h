#pragma once
// What the "SETTINGS" page holds, as plain data: the value the page shows and
// edits, and the one that the transfers encode and decode. Texts are bytes as
// the scale stores them; the numbers typed into combo boxes and tax cells stay
// texts here, since converting them is part of sending (and may fail).

#include "spin_range.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// The ranges of the page's spin fields.
inline constexpr SpinRange kAutoOffRange{0, 240};      // minutes
inline constexpr SpinRange kLanNumberRange{0, 99};
inline constexpr SpinRange kDiscountRange{0, 99};      // percent
inline constexpr SpinRange kDrawerOpenTimeRange{1, 99};

// "Clerk Mode" items; the position is what the scale receives.
inline constexpr int kClerkModeCount = 5;
inline constexpr int kNoClerkMode = -1; // no item selected: sent as 255

// Bits of the print options byte; a set bit means the box is checked.
namespace PrintOptionFlags {
inline constexpr std::uint8_t kPrintReceipt = 0x01;      // CheckBox1
inline constexpr std::uint8_t kPrintDuplicate = 0x02;    // CheckBox2
inline constexpr std::uint8_t kPrintGraphicsLogo = 0x04; // CheckBox3
inline constexpr std::uint8_t kPrintSingleBar = 0x08;    // CheckBox4
inline constexpr std::uint8_t kPrintTotalBar = 0x10;     // CheckBox5
inline constexpr std::uint8_t kObligatoryPaid = 0x20;    // CheckBox6
inline constexpr std::uint8_t kDiscount = 0x40;          // CheckBox7
inline constexpr std::uint8_t kPrintPluCode = 0x80;      // CheckBox8
} // namespace PrintOptionFlags

inline constexpr int kClerkCount = 4;
inline constexpr int kHeaderLineCount = 6; // print lines 1..6
inline constexpr int kFooterLineCount = 2; // print lines 7, 8
inline constexpr int kDepartmentCount = 40;
inline constexpr int kTaxRateCount = 8; // "A".."H"

// Widths of the fixed texts on the wire.
inline constexpr std::uint8_t kBarcodeFormatWidth = 16;
inline constexpr std::uint8_t kCurrencyWidth = 3;
inline constexpr std::uint8_t kClerkNameWidth = 16;
inline constexpr std::uint8_t kPrintLineWidth = 32;
inline constexpr std::uint8_t kDepartmentNameWidth = 16;

// The currency text the scale prints as its euro sign, which it stores as the
// single byte 0x80 (the euro sign of Windows-1252).
inline constexpr char kEuroText[] = "EUR";
inline constexpr char kEuroByte[] = "\x80";

// Start values are those the page shows before any saved state is restored.
struct ScaleSettings {
    int clerkMode = 0; // item position of "Clerk Mode", kNoClerkMode for none
    std::uint8_t printOptions =
        PrintOptionFlags::kPrintReceipt | PrintOptionFlags::kPrintGraphicsLogo | PrintOptionFlags::kDiscount;
    std::string singleItemBarcode = "a44W5U5";
    std::string totalBarcode = "a44W5P5";
    std::string baudRate = "1200";
    int autoOffMinutes = 20;
    int lanNumber = 0;
    int discountPercent = 6;
    int drawerOpenTime = 10;
    std::string printerDarkness = "3";
    std::string currency = kEuroText;
    bool printAllReports = false;
    bool printTax = false;
    std::array<std::string, kClerkCount> clerkNames{"Quintar", "Lor Daviken ", "Tessimark", "Orvenal"};
    // The boxes' lines as entered; lines beyond the sixth (second) are not sent.
    std::vector<std::string> headerLines{"      Welcome!", "    Header Line Message!"};
    std::vector<std::string> footerLines{"      Foot Line Message!"};
    std::array<std::string, kDepartmentCount> departmentNames{};
    // Cell texts, written with the user's decimal separator.
    std::array<std::string, kTaxRateCount> taxRates{};

    // The tax cells' start text: "0", the separator, "00".
    static std::string zeroTaxRate(char decimalSeparator) { return std::string("0") + decimalSeparator + "00"; }
    static ScaleSettings startValues(char decimalSeparator) {
        ScaleSettings settings;
        settings.taxRates.fill(zeroTaxRate(decimalSeparator));
        return settings;
    }
};
