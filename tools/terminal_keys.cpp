#include "terminal_keys.h"

std::uint8_t scaleKeyForPcKey(std::uint16_t virtualKey) {
    if (virtualKey >= vk::kDigit0 && virtualKey <= vk::kDigit0 + 9) {
        return static_cast<std::uint8_t>(virtualKey); // the digit keys send their own character
    }
    switch (virtualKey) {
    case vk::kEscape:
    case 'C':
        return 0x43; // "C"
    case 'T':
        return 0x54; // "-T-"
    case 'Z':
        return 0x5A; // "-0-"
    case 'M':
        return 0x4D; // "M"
    case 'P':
        return 0x50; // "PLU"
    case 'X':
        return 0x58; // "X"
    case 'S':
        return 0x53; // "TOT"
    case 'L':
    case vk::kF1 + 1:
        return 0x62; // "LF"
    case 'O':
    case vk::kF1:
        return 0x61; // "DRW"
    case vk::kF1 + 2:
        return 0x63; // "PAY"
    case vk::kInsert:
    case vk::kF1 + 3:
        return 0x64; // "%-"
    case vk::kReturn:
    case vk::kF1 + 7:
        return 0x68; // "<=|"
    case vk::kBack:
    case vk::kF1 + 6:
        return 0x67; // "<="
    case vk::kLeft:
    case vk::kSnapshot:
    case vk::kF1 + 4:
        return 0x65; // "<"
    case vk::kRight:
    case vk::kDelete:
    case vk::kF1 + 5:
        return 0x66; // ">"
    case vk::kF1 + 10:
        return 0x56; // "C1"
    case vk::kF1 + 11:
        return 0x57; // "C2"
    case vk::kShift:
        return 0x73; // "shift"
    default:
        return 0x00;
    }
}
