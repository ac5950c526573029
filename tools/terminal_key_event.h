#pragma once
// Qt key events as the Windows virtual-key codes that the terminal's key map
// is written in, independent of the keyboard layout and of Shift.

#include <cstdint>

class QKeyEvent;

// Named keys by their Qt key; keypad digits with Num Lock as the keypad codes;
// digits and letters by the key's character, or, where that is a shifted or
// foreign character, by the physical key. 0 for a key without a code.
std::uint16_t virtualKeyForKeyEvent(const QKeyEvent& event);
