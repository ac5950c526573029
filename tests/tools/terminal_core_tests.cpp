// The terminal's key map and the decoding of the display poll.

#include "tools/terminal_display.h"
#include "tools/terminal_keys.h"

#include <gtest/gtest.h>
#include <map>
#include <vector>

namespace {

TEST(ScaleKeyForPcKey, EveryVirtualKeyCode) {
    // The PC keys that stand for scale keys; all 65536 codes are checked, so
    // a key mapped by mistake shows up as well as one left out.
    std::map<std::uint16_t, std::uint8_t> mapped{
        {0x1B, 0x43}, {'C', 0x43},  {'T', 0x54},  {'Z', 0x5A},  {'M', 0x4D},  {'P', 0x50},  {'X', 0x58},
        {'S', 0x53},  {'L', 0x62},  {'O', 0x61},  {0x2D, 0x64}, {0x0D, 0x68}, {0x08, 0x67}, {0x25, 0x65},
        {0x27, 0x66}, {0x2C, 0x65}, {0x2E, 0x66}, {0x70, 0x61}, {0x71, 0x62}, {0x72, 0x63}, {0x73, 0x64},
        {0x74, 0x65}, {0x75, 0x66}, {0x76, 0x67}, {0x77, 0x68}, {0x7A, 0x56}, {0x7B, 0x57}, {0x10, 0x73},
    };
    for (std::uint16_t digit = '0'; digit <= '9'; ++digit) {
        mapped[digit] = static_cast<std::uint8_t>(digit);
    }
    for (std::uint32_t code = 0; code <= 0xFFFF; ++code) {
        const auto key = static_cast<std::uint16_t>(code);
        const auto found = mapped.find(key);
        const std::uint8_t expected = found == mapped.end() ? 0x00 : found->second;
        ASSERT_EQ(scaleKeyForPcKey(key), expected) << "virtual key 0x" << std::hex << code;
    }
    // Keypad digits with Num Lock, F9, F10 and the A key send nothing.
    EXPECT_EQ(scaleKeyForPcKey(vk::kNumpad0 + 5), 0x00);
    EXPECT_EQ(scaleKeyForPcKey(vk::kF1 + 8), 0x00);
    EXPECT_EQ(scaleKeyForPcKey('A'), 0x00);
}

class DisplayReply : public ::testing::Test {
  protected:
    // A 31-byte poll reply with a check byte after it.
    DisplayReply() : bytes_(32, 0) {}
    void set(std::size_t position, std::uint8_t value) { bytes_[position] = value; }
    void setText(std::size_t position, std::string_view text) {
        for (std::size_t i = 0; i < text.size(); ++i) {
            bytes_[position + i] = static_cast<std::uint8_t>(text[i]);
        }
    }
    TerminalDisplayState decode() {
        buffer_.storeReply(bytes_);
        return decodeTerminalDisplay(buffer_);
    }
    std::vector<std::uint8_t> bytes_;
    MessageBuffer buffer_;
};

TEST_F(DisplayReply, LinesAndMarksByPosition) {
    set(0, 0x04);                    // status byte: not part of the display
    setText(1, "xx");                // unused
    setText(3, "0012345");           // line 1
    set(10, '!');                    // unused
    setText(11, "\xC0\xC1\xC2 1.5"); // line 2: Cyrillic bytes travel unchanged
    set(18, '!');
    setText(19, "  -0.00"); // line 3
    set(26, 3);
    set(27, 0);
    set(28, 7);
    const TerminalDisplayState state = decode();
    EXPECT_EQ(state.lines[0], "0012345");
    EXPECT_EQ(state.lines[1], "\xC0\xC1\xC2 1.5");
    EXPECT_EQ(state.lines[2], "  -0.00");
    EXPECT_EQ(displayLabelText(state.lines[0]), " 0012345");
    EXPECT_EQ(state.marks[0], 3);
    // Cell 5 of 8: between the fourth and fifth digit, three digits to its right.
    EXPECT_EQ(markLabelText(state.marks[0], '.'), "    .   ");
    EXPECT_EQ(markLabelText(state.marks[1], ','), "       ,");
    EXPECT_EQ(markLabelText(state.marks[2], '.'), ".       ");
    // A mark above 7 has no cell: no separator at all.
    EXPECT_EQ(markLabelText(8, '.'), "        ");
    EXPECT_EQ(markLabelText(0xFF, '.'), "        ");
}

TEST_F(DisplayReply, IndicatorBits) {
    set(29, 0x3B);
    set(30, 0x01);
    TerminalIndicators lit = decode().indicators;
    EXPECT_TRUE(lit.stab && lit.zero && lit.net && lit.batt && lit.mode);
    EXPECT_FALSE(lit.shift || lit.sbt || lit.paper || lit.charg);

    set(29, 0x04);
    set(30, 0x1E);
    lit = decode().indicators;
    EXPECT_FALSE(lit.stab || lit.zero || lit.net || lit.batt || lit.mode);
    EXPECT_TRUE(lit.shift && lit.sbt && lit.paper && lit.charg);

    set(29, 0xC4); // only the unused bits
    set(30, 0xE1);
    lit = decode().indicators;
    EXPECT_FALSE(lit.stab || lit.zero || lit.net || lit.batt || lit.mode || lit.shift || lit.sbt ||
                 lit.paper || lit.charg);
}

TEST_F(DisplayReply, ShortReplyShowsZerosNotAnOlderReply) {
    setText(3, "9999999");
    set(29, 0xFF);
    decode();
    bytes_.assign(6, 0); // status, unused, three bytes of line 1, check byte
    setText(3, "12");
    const TerminalDisplayState state = decode();
    EXPECT_EQ(state.lines[0], std::string("12\0\0\0\0\0", 7));
    EXPECT_FALSE(state.indicators.stab);
}

} // namespace
