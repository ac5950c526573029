#pragma once
// The scale's key codes: the terminal's 30-key keypad and the PC keys that
// stand for scale keys. PC keys are named by their Windows virtual-key codes,
// which the window maps key events onto.

#include <array>
#include <cstdint>
#include <string_view>

struct KeypadKey {
    std::string_view caption;
    std::uint8_t code; // sent with command 64
};

inline constexpr int kKeypadRows = 5;
inline constexpr int kKeypadColumns = 6;

// Row by row from the top left: Button1 .. Button30.
inline constexpr std::array<KeypadKey, kKeypadRows * kKeypadColumns> kKeypad{{
    {"7", 0x37},  {"8", 0x38},   {"9", 0x39},   {"M", 0x4D},   {"shift", 0x73}, {"ON", 0x51},
    {"4", 0x34},  {"5", 0x35},   {"6", 0x36},   {"PLU", 0x50}, {"DRW", 0x61},   {"LF", 0x62},
    {"1", 0x31},  {"2", 0x32},   {"3", 0x33},   {"X", 0x58},   {"PAY", 0x63},   {"%-", 0x64},
    {"0", 0x30},  {"00", 0x2E},  {"C", 0x43},   {"TOT", 0x53}, {"<", 0x65},     {">", 0x66},
    {"C1", 0x56}, {"-0-", 0x5A}, {"-T-", 0x54}, {"C2", 0x57},  {"<=", 0x67},    {"<=|", 0x68},
}};

// Windows virtual-key codes of the keys the map names (and a few the window
// reports so that they are known to send nothing).
namespace vk {
inline constexpr std::uint16_t kBack = 0x08;
inline constexpr std::uint16_t kTab = 0x09;
inline constexpr std::uint16_t kReturn = 0x0D;
inline constexpr std::uint16_t kShift = 0x10;
inline constexpr std::uint16_t kControl = 0x11;
inline constexpr std::uint16_t kMenu = 0x12; // Alt
inline constexpr std::uint16_t kEscape = 0x1B;
inline constexpr std::uint16_t kSpace = 0x20;
inline constexpr std::uint16_t kPrior = 0x21;
inline constexpr std::uint16_t kNext = 0x22;
inline constexpr std::uint16_t kEnd = 0x23;
inline constexpr std::uint16_t kHome = 0x24;
inline constexpr std::uint16_t kLeft = 0x25;
inline constexpr std::uint16_t kUp = 0x26;
inline constexpr std::uint16_t kRight = 0x27;
inline constexpr std::uint16_t kDown = 0x28;
inline constexpr std::uint16_t kSnapshot = 0x2C; // Print Screen
inline constexpr std::uint16_t kInsert = 0x2D;
inline constexpr std::uint16_t kDelete = 0x2E;
inline constexpr std::uint16_t kDigit0 = 0x30;  // main keyboard 0..9: 0x30..0x39
inline constexpr std::uint16_t kLetterA = 0x41; // A..Z: 0x41..0x5A
inline constexpr std::uint16_t kNumpad0 = 0x60; // keypad digits with Num Lock on: 0x60..0x69
inline constexpr std::uint16_t kF1 = 0x70;      // F1..F24: 0x70..0x87
inline constexpr std::uint16_t kNone = 0x00;    // a key with no virtual-key code we know
} // namespace vk

// The key code a PC key sends; 0x00 for a key that stands for no scale key.
std::uint8_t scaleKeyForPcKey(std::uint16_t virtualKey);
