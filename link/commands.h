#pragma once
// Command codes of the scale protocol: one byte each, sent as the command byte
// of a request frame. No other code is ever sent.

#include <cstdint>

namespace cmd {
inline constexpr std::uint8_t kIdentify = 0x01;          // reply: identification text, width 32
inline constexpr std::uint8_t kReadClock = 0x03;         // reply: ClockRecord
inline constexpr std::uint8_t kReadPlu = 0x04;           // request: PLU u16, 0, 54
inline constexpr std::uint8_t kReadGeneralSettings = 0x05;
inline constexpr std::uint8_t kReadClerkName = 0x06;     // request: clerk index 0..3
inline constexpr std::uint8_t kReadDepartmentName = 0x09; // request: department 0..39
inline constexpr std::uint8_t kReadPrintLine = 0x0A;     // request: line 1..8
inline constexpr std::uint8_t kReadTaxRates = 0x0B;
inline constexpr std::uint8_t kWriteClock = 0x20;
inline constexpr std::uint8_t kWritePrintLine = 0x21;
inline constexpr std::uint8_t kWriteGeneralSettings = 0x22;
inline constexpr std::uint8_t kWritePlu = 0x23;
inline constexpr std::uint8_t kWriteLogo = 0x24;         // header, then one request per pixel row
inline constexpr std::uint8_t kWriteClerkName = 0x25;
inline constexpr std::uint8_t kWriteDepartmentName = 0x26;
inline constexpr std::uint8_t kEndPluUpload = 0x27;      // once at the end of every PLU save
inline constexpr std::uint8_t kWriteTaxRates = 0x28;
inline constexpr std::uint8_t kPressKey = 0x40;          // request: key code
inline constexpr std::uint8_t kWriteSystemParameters = 0x41;
inline constexpr std::uint8_t kPollDisplay = 0x42;       // run with send(), never runCommand()
inline constexpr std::uint8_t kReadReportBlock = 0x43;   // request: address u16, length u8

inline constexpr std::uint8_t kAll[] = {
    kIdentify,       kReadClock,         kReadPlu,           kReadGeneralSettings, kReadClerkName,
    kReadDepartmentName, kReadPrintLine, kReadTaxRates,      kWriteClock,          kWritePrintLine,
    kWriteGeneralSettings, kWritePlu,    kWriteLogo,         kWriteClerkName,      kWriteDepartmentName,
    kEndPluUpload,   kWriteTaxRates,     kPressKey,          kWriteSystemParameters, kPollDisplay,
    kReadReportBlock};
static_assert(sizeof(kAll) == 21);
} // namespace cmd
