#pragma once
// The scale's front panel as the remote terminal sees it: three 7-character
// lines with a decimal mark each and two indicator bytes. Key presses work on
// a small sale: line 1 the weight, line 2 the unit price being keyed in, line 3
// the price to pay.

#include "sim/simulated_scale.h"

#include <cstdint>
#include <string>

namespace sim {

inline constexpr int kDisplayWidth = 7;
// Indicator bits of the poll reply.
inline constexpr std::uint8_t kIndicatorStable = 0x01; // byte A
inline constexpr std::uint8_t kIndicatorZero = 0x02;   // byte A
inline constexpr std::uint8_t kIndicatorNet = 0x08;    // byte A
inline constexpr std::uint8_t kIndicatorMode = 0x20;   // byte A
inline constexpr std::uint8_t kIndicatorShift = 0x02;  // byte B

// A number right-aligned in the 7 cells with at least decimals + 1 digits, so
// that the decimal mark `decimals` cells from the right has a digit before it.
// A number that does not fit shows as dashes.
std::string displayNumber(std::int64_t value, int decimals);

// Redraws the three lines and marks from the weight and the keyed price.
void redrawDisplay(ScaleMemory& memory);

// Applies one key code (command 64) and redraws.
void pressKey(ScaleMemory& memory, std::uint8_t key);

} // namespace sim
