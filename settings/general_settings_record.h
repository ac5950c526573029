#pragma once
// The general settings as the scale exchanges them: the request of command 34
// and the reply of command 5, 52 bytes, big-endian.
//
//  0  clerk mode (255: none)      36  baud rate, 4 bytes     45  printer darkness
//  1  print option flags          40  LAN number             46  currency, text width 3
//  2  single-item barcode, w 16   41  auto-off minutes, 2    50  print all reports
// 19  total barcode, width 16     43  discount percent       51  print tax
//                                 44  drawer open time
//
// LAN number comes before the auto-off time, although the page shows the
// auto-off time first.

#include "conversion_error.h"
#include "scale_settings.h"

#include <cstdint>
#include <string>

class MessageBuffer;

struct GeneralSettingsRecord {
    std::uint8_t clerkMode = 0;
    std::uint8_t printOptions = 0;
    std::string singleItemBarcode;
    std::string totalBarcode;
    std::uint32_t baudRate = 0;
    std::uint8_t lanNumber = 0;
    std::uint16_t autoOffMinutes = 0; // unsigned when sent, signed when read
    std::uint8_t discountPercent = 0;
    std::uint8_t drawerOpenTime = 0;
    std::uint8_t printerDarkness = 0;
    std::string currency;
    std::uint8_t printAllReports = 0;
    std::uint8_t printTax = 0;
};

inline constexpr std::size_t kGeneralSettingsRecordSize = 52;
inline constexpr std::uint8_t kNoClerkModeByte = 255;

void encodeGeneralSettingsRecord(MessageBuffer& buffer, const GeneralSettingsRecord& record);
GeneralSettingsRecord decodeGeneralSettingsRecord(MessageBuffer& buffer);

// The page's values as the record that goes to the scale. The baud rate and
// the darkness are the boxes' texts as whole numbers (a text that is not one
// fails); every number is cut to its field's low bytes. The currency is sent
// as the page holds it: the euro rule is the transfer's.
Converted<GeneralSettingsRecord> generalSettingsFromPage(const ScaleSettings& settings);

// Fills the page's values from a received record: a clerk mode outside the
// items selects none, spin values are clamped into their fields' ranges, the
// auto-off time is read signed, the currency byte is kept unchanged and only
// bit 0 of the two report bytes counts.
void applyGeneralSettingsToPage(const GeneralSettingsRecord& record, ScaleSettings& settings);
