#pragma once
// What the scale does with each command: it changes its memory and gives the
// command's reply payload (what follows the status byte and the spare byte).

#include "sim/simulated_scale.h"

#include <cstdint>
#include <span>
#include <vector>

namespace sim {

// Command codes as the scale knows them.
namespace code {
inline constexpr std::uint8_t kIdentify = 1;
inline constexpr std::uint8_t kReadClock = 3;
inline constexpr std::uint8_t kReadPlu = 4;
inline constexpr std::uint8_t kReadSettings = 5;
inline constexpr std::uint8_t kReadClerk = 6;
inline constexpr std::uint8_t kReadDepartment = 9;
inline constexpr std::uint8_t kReadLine = 10;
inline constexpr std::uint8_t kReadTaxes = 11;
inline constexpr std::uint8_t kWriteClock = 32;
inline constexpr std::uint8_t kWriteLine = 33;
inline constexpr std::uint8_t kWriteSettings = 34;
inline constexpr std::uint8_t kWritePlu = 35;
inline constexpr std::uint8_t kWriteLogo = 36;
inline constexpr std::uint8_t kWriteClerk = 37;
inline constexpr std::uint8_t kWriteDepartment = 38;
inline constexpr std::uint8_t kEndOfPluUpload = 39;
inline constexpr std::uint8_t kWriteTaxes = 40;
inline constexpr std::uint8_t kPressKey = 64;
inline constexpr std::uint8_t kWriteSystem = 65;
inline constexpr std::uint8_t kPollDisplay = 66;
inline constexpr std::uint8_t kReadReport = 67;
} // namespace code

// Text widths on the wire.
inline constexpr int kIdentificationWidth = 32;
inline constexpr int kClerkNameWidth = 16;
inline constexpr int kDepartmentNameWidth = 16;
inline constexpr int kPrintLineWidth = 32;

// The scale's own byte after the status byte; the PC does not interpret it.
inline constexpr std::uint8_t kSpareByte = 0x00;

// Carries out one request and returns its reply payload. Malformed requests
// (too short, an index out of range) change nothing; reads of what does not
// exist answer blanks, and a PLU number beyond the table answers an absent PLU.
std::vector<std::uint8_t> carryOut(ScaleMemory& memory, std::uint8_t command,
                                   std::span<const std::uint8_t> payload);

} // namespace sim
