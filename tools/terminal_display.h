#pragma once
// The scale's display as the command 66 reply carries it, read by position,
// and the texts of the terminal's labels that follow from it.

#include "link/message_buffer.h"

#include <array>
#include <cstdint>
#include <string>

inline constexpr int kDisplayLines = 3;
inline constexpr std::size_t kDisplayLineLength = 7; // characters per display line
inline constexpr std::size_t kMarkCells = 8;         // one more than the characters: before, between, after

struct TerminalIndicators {
    bool stab = false;
    bool zero = false;
    bool net = false;
    bool batt = false;
    bool mode = false;
    bool shift = false;
    bool sbt = false;
    bool paper = false;
    bool charg = false;
};

struct TerminalDisplayState {
    std::array<std::string, kDisplayLines> lines;    // 7 bytes each, shown in the Cyrillic code page
    std::array<std::uint8_t, kDisplayLines> marks{}; // display characters right of the decimal mark
    TerminalIndicators indicators;
};

// Reply positions of the command 66 reply (byte 0 is the status byte).
namespace display_reply {
inline constexpr std::array<std::size_t, kDisplayLines> kLineStart{3, 11, 19};
inline constexpr std::size_t kMarks = 26; // 26, 27, 28
inline constexpr std::size_t kIndicatorsA = 29;
inline constexpr std::size_t kIndicatorsB = 30;
} // namespace display_reply

// Bytes the reply did not carry read as 0, as MessageBuffer::responseByte gives them.
TerminalDisplayState decodeTerminalDisplay(const MessageBuffer& reply);

// A display label's text: one blank, then the line's seven bytes.
std::string displayLabelText(const std::string& line);
// Eight blanks with the decimal separator in cell 8 - mark (1-based). A mark
// above 7 has no cell: the text is all blanks, so no separator is shown.
std::string markLabelText(std::uint8_t mark, char decimalSeparator);
