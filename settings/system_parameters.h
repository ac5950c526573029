#pragma once
// The scale's calibration parameters ("SYSTEM" page): plain data, the record
// of command 65 and the six presets. There is no command that reads them back.
//
// SystemParametersRecord, 24 bytes, big-endian, all unsigned as sent (a
// negative number goes as its two's complement in the field's width, a wider
// number as its low bytes):
//
//  0  the constant 8            8  mode flags             17  initial zero, percent
//  1  capacity                  9  local g, 4 bytes       18  maximum tare x 1000, 4 bytes
//  2  scale interval e=d       13  destination g, 4       22  minimum sale 0/1
//  3  digits                                              23  stable count
//  4  price rounding, 2 bytes
//  6  unit, 2 bytes

#include "conversion_error.h"
#include "spin_range.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

class MessageBuffer;
class ScaleLink;
class UserInterface;

// Bits of the mode byte; bits 4..7 are 0.
namespace ScaleModeFlags {
inline constexpr std::uint8_t kPounds = 0x01;         // CheckBox9 "lb"
inline constexpr std::uint8_t kDualInterval = 0x02;   // CheckBox10 "dual interval"
inline constexpr std::uint8_t kComma = 0x04;          // CheckBox11 "comma"
inline constexpr std::uint8_t kOneTimeTare = 0x08;    // CheckBox12 "One Time Tare"
} // namespace ScaleModeFlags

inline constexpr SpinRange kUnitRange{1, 10000};
inline constexpr SpinRange kDigitsRange{11, 44};
inline constexpr SpinRange kGravityRange{97000, 99000};

// What the page holds; start values are those shown after start-up. The
// combo boxes' and "Max Tare"'s texts are converted when sent.
struct SystemParameters {
    std::string capacity = "15";
    std::string scaleInterval = "2";
    int unit = 1000;
    int initialZeroPercent = 10; // any whole number
    std::string maxTare = "6.0"; // written with the user's decimal separator
    int digits = 32;
    std::string priceRounding = "1";
    int localGravity = 97994;
    int destinationGravity = 97994;
    std::string stableCount = "3";
    std::uint8_t modeFlags = ScaleModeFlags::kDualInterval;
    bool minimumSale = false;

    static SystemParameters startValues(char decimalSeparator) {
        SystemParameters parameters;
        parameters.maxTare = std::string("6") + decimalSeparator + "0";
        return parameters;
    }
};

struct SystemParametersRecord {
    std::uint8_t capacity = 0;
    std::uint8_t scaleInterval = 0;
    std::uint8_t digits = 0;
    std::uint16_t priceRounding = 0;
    std::uint16_t unit = 0;
    std::uint8_t modeFlags = 0;
    std::uint32_t localGravity = 0;
    std::uint32_t destinationGravity = 0;
    std::uint8_t initialZeroPercent = 0;
    std::uint32_t maxTare = 0; // whole part of "Max Tare", times 1000
    std::uint8_t minimumSale = 0;
    std::uint8_t stableCount = 0;
};

inline constexpr std::uint8_t kSystemParametersTag = 8; // leading constant the scale expects
inline constexpr int kSystemParametersRecordSize = 24;

void encodeSystemParametersRecord(MessageBuffer& buffer, const SystemParametersRecord& record);

// The page's values as the record. Texts are converted in field order; the
// first that is no whole number (or, for "Max Tare", no decimal number, or
// one whose whole part times 1000 does not fit in 64 bits) fails.
Converted<SystemParametersRecord> systemParametersFromPage(const SystemParameters& parameters,
                                                           char decimalSeparator);

// "SEND": the guard, the conversion (its error shown, nothing sent), command 65.
bool sendSystemParameters(ScaleLink& link, UserInterface& ui, const SystemParameters& parameters,
                          char decimalSeparator);

// A common scale model: the values that differ between the six preset buttons.
struct CalibrationPreset {
    std::string_view buttonName;
    std::string_view caption;
    std::string_view capacity;
    std::string_view scaleInterval;
    bool dualInterval;
    std::string_view maxTare;
};

inline constexpr std::array<CalibrationPreset, 6> kCalibrationPresets{{
    {"Button21", "Single 6Kg(1/3000)", "6", "2", false, "6"},
    {"Button22", "Single 15Kg(1/3000)", "15", "5", false, "15"},
    {"Button23", "Single 30Kg(1/3000)", "30", "10", false, "30"},
    // The dual models keep a 6 kg tare whatever their capacity.
    {"Button26", "Dual 6Kg(1/6000)", "6", "1", true, "6"},
    {"Button27", "Dual 15Kg(1/6000)", "15", "2", true, "6"},
    {"Button28", "Dual 30Kg(1/6000)", "30", "5", true, "6"},
}};

// Sets the preset's row and the values all presets share. Sends nothing.
void applyCalibrationPreset(const CalibrationPreset& preset, SystemParameters& parameters);
