// The terminal's display decoder over replies of any length and content.
//
// Input: shape byte, then the reply data (status byte first). Shape bit 0
// sends the bytes through the link as the display poll's reply frame
// instead of storing them straight into the response area.
//
// Before each reply the response area holds an older, longer reply of 0xAA
// bytes: a display read past the end of a short reply must show zeros, never
// what the older reply left behind.

#include "fuzz_support.h"
#include "tools/terminal_display.h"
#include "tools/terminal_link.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace {

constexpr std::uint8_t kStale = 0xAA;

const std::vector<std::uint8_t>& staleReply() {
    static const std::vector<std::uint8_t> stale(MessageBuffer::kAreaSize, kStale);
    return stale;
}

void checkDisplay(const TerminalDisplayState& display, const MessageBuffer& reply) {
    for (std::size_t line = 0; line < kDisplayLines; ++line) {
        const std::string& text = display.lines[line];
        FUZZ_CHECK(text.size() == kDisplayLineLength);
        for (std::size_t i = 0; i < kDisplayLineLength; ++i) {
            if (display_reply::kLineStart[line] + i >= reply.responseLength()) {
                FUZZ_CHECK(text[i] == 0);
            }
        }
        FUZZ_CHECK(displayLabelText(text).size() == kDisplayLineLength + 1);
        for (const char decimalSeparator : {'.', ','}) {
            const std::string marks = markLabelText(display.marks[line], decimalSeparator);
            FUZZ_CHECK(marks.size() == kMarkCells);
            const auto separators = std::count(marks.begin(), marks.end(), decimalSeparator);
            FUZZ_CHECK(separators == (display.marks[line] < kMarkCells ? 1 : 0));
        }
    }
}

void decodeStored(std::span<const std::uint8_t> reply) {
    MessageBuffer buffer;
    buffer.storeReply(staleReply());
    // The exchange stores data with the check byte last; the response area
    // holds 256 bytes in all.
    buffer.storeReply(reply.first(std::min(reply.size(), MessageBuffer::kAreaSize)));
    checkDisplay(decodeTerminalDisplay(buffer), buffer);
}

void pollThroughLink(std::span<const std::uint8_t> reply) {
    ScriptedScale scale;
    // A first poll leaves a long reply behind.
    scale.channel->afterRequest(scaleReply(std::vector<std::uint8_t>(MessageBuffer::kAreaSize - 1, kStale)));
    FUZZ_CHECK(pollTerminalDisplay(scale.link).has_value());
    scale.channel->afterRequest(scaleReply(std::vector<std::uint8_t>(reply.begin(), reply.end())));
    const auto display = pollTerminalDisplay(scale.link);
    // The poll never shows a box: a failed poll is only skipped.
    FUZZ_CHECK(scale.ui.errors.empty());
    if (display) {
        FUZZ_CHECK(scale.link.buffer().responseLength() == reply.size());
        checkDisplay(*display, scale.link.buffer());
    } else {
        FUZZ_CHECK(reply.size() >= MessageBuffer::kAreaSize);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) {
        return 0;
    }
    const std::span<const std::uint8_t> reply(data + 1, size - 1);
    if ((data[0] & 0x01) != 0) {
        pollThroughLink(reply);
    } else {
        decodeStored(reply);
    }
    return 0;
}
