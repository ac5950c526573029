// Puts and gets of the message buffer: byte order, fixed texts, the shared
// cursor, and replies that end before the reader expects.

#include "link/message_buffer.h"
#include "tests/support/scripted_channel.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes requestOf(const MessageBuffer& buffer) {
    const auto r = buffer.request();
    return Bytes(r.begin(), r.end());
}

// Stores `data` as an accepted reply: the exchange hands over the data with
// the check byte last, which is not readable as data.
void storeData(MessageBuffer& buffer, Bytes data) {
    std::uint8_t check = 0;
    for (const auto b : data) {
        check ^= b;
    }
    data.push_back(check);
    buffer.storeReply(data);
}

TEST(MessageBufferPuts, NumbersAreBigEndian) {
    MessageBuffer buffer;
    buffer.clear();
    buffer.putU16(0x1234);
    buffer.putU8(0x56);
    EXPECT_EQ(buffer.requestLength(), 3u);
    EXPECT_EQ(requestOf(buffer), hexBytes("12 34 56"));

    buffer.clear();
    buffer.putU32(static_cast<std::uint32_t>(-1));
    buffer.putU32(1000);
    EXPECT_EQ(requestOf(buffer), hexBytes("FF FF FF FF" "00 00 03 E8"));
}

TEST(MessageBufferPuts, FixedTextTakesWidthPlusOneBytes) {
    MessageBuffer buffer;
    buffer.clear();
    buffer.putText("AB", 4);
    EXPECT_EQ(requestOf(buffer), hexBytes("41 42 00 00 00"));
    buffer.clear();
    buffer.putText("ABCDEF", 4);
    EXPECT_EQ(requestOf(buffer), hexBytes("41 42 43 44 00"));
    // Bytes above 0x7F (the currency byte 0x80) pass unchanged.
    buffer.clear();
    buffer.putText("\x80", 1);
    EXPECT_EQ(requestOf(buffer), hexBytes("80 00"));
}

TEST(MessageBufferPuts, RequestStopsAt255Bytes) {
    MessageBuffer buffer;
    buffer.clear();
    for (int i = 0; i < 300; ++i) {
        buffer.putU8(static_cast<std::uint8_t>(i));
    }
    EXPECT_EQ(buffer.requestLength(), 255u);
    EXPECT_EQ(buffer.request()[254], 254);
}

TEST(MessageBufferGets, ReplyFieldsReadInOrder) {
    MessageBuffer buffer;
    storeData(buffer, hexBytes("05 01" /*status, skipped*/ "48 49 00" /*HI*/ "7A"));
    buffer.setCursor(2);
    EXPECT_EQ(buffer.getText(32), "HI");
    EXPECT_EQ(buffer.cursor(), 35); // 2 + 33 whatever the text's length

    storeData(buffer, hexBytes("FF FE" "12 34 56 78" "80"));
    buffer.setCursor(0);
    const std::uint16_t u16 = buffer.getU16();
    EXPECT_EQ(u16, 65534);
    EXPECT_EQ(static_cast<std::int16_t>(u16), -2);
    EXPECT_EQ(buffer.getU32(), 0x12345678u);
    EXPECT_EQ(buffer.getU8(), 0x80);
    EXPECT_EQ(MessageBuffer::swap32(0x12345678u), 0x78563412u);
}

TEST(MessageBufferGets, TextIsCutAtWidth) {
    MessageBuffer buffer;
    storeData(buffer, hexBytes("41 42 43 44 45 00"));
    buffer.setCursor(0);
    EXPECT_EQ(buffer.getText(3), "ABC");
    EXPECT_EQ(buffer.cursor(), 4);
}

TEST(MessageBufferGets, ShortReplyReadsZerosNotAnOlderReply) {
    MessageBuffer buffer;
    storeData(buffer, Bytes(40, 0x41)); // an older, longer reply
    storeData(buffer, hexBytes("05 01 07"));
    buffer.setCursor(2);
    EXPECT_EQ(buffer.getU8(), 0x07);
    EXPECT_EQ(buffer.getU8(), 0); // the check byte of the new reply is no data
    EXPECT_EQ(buffer.getU32(), 0u);
    buffer.setCursor(2);
    EXPECT_EQ(buffer.getText(32), "\x07"); // ends where the reply ends
    // After a failed exchange nothing is readable.
    buffer.discardReply();
    buffer.setCursor(0);
    EXPECT_EQ(buffer.getU16(), 0);
}

TEST(MessageBufferGets, CursorWrapsAt256) {
    MessageBuffer buffer;
    Bytes data(255, 0);
    data[0] = 0x11;
    storeData(buffer, data);
    buffer.setCursor(254);
    buffer.getU16();
    EXPECT_EQ(buffer.cursor(), 0);
    EXPECT_EQ(buffer.getU8(), 0x11);
}

} // namespace
