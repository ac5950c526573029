#include "terminal_display.h"

namespace {

bool bit(std::uint8_t byte, std::uint8_t mask) {
    return (byte & mask) != 0;
}

} // namespace

TerminalDisplayState decodeTerminalDisplay(const MessageBuffer& reply) {
    TerminalDisplayState state;
    for (std::size_t line = 0; line < state.lines.size(); ++line) {
        std::string& text = state.lines[line];
        for (std::size_t i = 0; i < kDisplayLineLength; ++i) {
            text.push_back(static_cast<char>(reply.responseByte(display_reply::kLineStart[line] + i)));
        }
        state.marks[line] = reply.responseByte(display_reply::kMarks + line);
    }
    const std::uint8_t a = reply.responseByte(display_reply::kIndicatorsA);
    const std::uint8_t b = reply.responseByte(display_reply::kIndicatorsB);
    TerminalIndicators& lit = state.indicators;
    lit.stab = bit(a, 0x01);
    lit.zero = bit(a, 0x02);
    lit.net = bit(a, 0x08);
    lit.batt = bit(a, 0x10);
    lit.mode = bit(a, 0x20);
    lit.shift = bit(b, 0x02);
    lit.sbt = bit(b, 0x04);
    lit.paper = bit(b, 0x08);
    lit.charg = bit(b, 0x10);
    return state;
}

std::string displayLabelText(const std::string& line) {
    return " " + line;
}

std::string markLabelText(std::uint8_t mark, char decimalSeparator) {
    std::string text(kMarkCells, ' ');
    if (mark < kMarkCells) {
        text[kMarkCells - 1 - mark] = decimalSeparator;
    }
    return text;
}
