// The two single-byte code pages: every byte survives a round trip, and the
// characters that matter to the scale land where they should.

#include "link/codepage.h"

#include <gtest/gtest.h>

#include <set>

namespace {

TEST(CodePage, EveryByteRoundTripsInBothPages) {
    for (const CodePage page : {CodePage::Windows1252, CodePage::Windows1251}) {
        std::set<char16_t> seen;
        for (int b = 0; b < 256; ++b) {
            const char16_t ch = byteToChar(page, static_cast<std::uint8_t>(b));
            EXPECT_TRUE(seen.insert(ch).second) << "two bytes show as U+" << std::hex << int(ch);
            EXPECT_EQ(charToByte(page, ch), std::optional<std::uint8_t>(static_cast<std::uint8_t>(b))) << b;
        }
    }
}

TEST(CodePage, KnownCharacters) {
    EXPECT_EQ(byteToChar(CodePage::Windows1252, 0x80), u'\u20AC'); // the currency byte
    EXPECT_EQ(byteToChar(CodePage::Windows1252, 0x41), u'A');
    EXPECT_EQ(byteToChar(CodePage::Windows1252, 0xE9), u'\u00E9');
    EXPECT_EQ(byteToChar(CodePage::Windows1252, 0x9F), u'\u0178');
    EXPECT_EQ(byteToChar(CodePage::Windows1252, 0x81), u'\u0081'); // undefined: its C1 twin
    EXPECT_EQ(byteToChar(CodePage::Windows1251, 0xC0), u'\u0410');
    EXPECT_EQ(byteToChar(CodePage::Windows1251, 0xFF), u'\u044F');
    EXPECT_EQ(byteToChar(CodePage::Windows1251, 0x88), u'\u20AC');
    EXPECT_EQ(byteToChar(CodePage::Windows1251, 0x98), u'\u0098');
}

TEST(CodePage, CharactersOutsideThePageHaveNoByte) {
    EXPECT_EQ(charToByte(CodePage::Windows1252, u'\u0410'), std::nullopt); // Cyrillic A
    EXPECT_EQ(charToByte(CodePage::Windows1251, u'\u00E9'), std::nullopt);
    EXPECT_EQ(charToByte(CodePage::Windows1252, u'\u4E2D'), std::nullopt);
}

} // namespace
