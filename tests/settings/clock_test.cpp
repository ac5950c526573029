// The clock record on the wire, its displayed form and the two clock commands.

#include "scripted_scale.h"
#include "settings/clock.h"

#include <gtest/gtest.h>

namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(ClockRecord, GoesOutYearFirstAndShowsDayFirst) {
    const ClockValue value{2027, 1, 1, 0, 0, 5};
    MessageBuffer buffer;
    encodeClockRecord(buffer, value);
    const auto sent = buffer.request();
    EXPECT_EQ(Bytes(sent.begin(), sent.end()), hexBytes("1B 01 01 00 00 05"));
    EXPECT_EQ(formatClock(value), "01-01-27 00:00:05");
}

TEST(ClockRecord, YearsOutsideTheCenturyKeepTwoDigitsInTheBoxAndTheirLowByteOnTheWire) {
    MessageBuffer buffer;
    encodeClockRecord(buffer, ClockValue{1999, 12, 31, 23, 59, 59});
    EXPECT_EQ(buffer.request()[0], 255);
    EXPECT_EQ(formatClock(ClockValue{1999, 12, 31, 23, 59, 59}), "31-12-99 23:59:59");

    buffer.storeReply(hexBytes("00 00" "FF 0D 08 09 03 00" "00"));
    buffer.setCursor(2);
    const ClockValue received = decodeClockRecord(buffer);
    EXPECT_EQ(received.year, 2255); // kept whole
    EXPECT_EQ(received.month, 13);  // nothing checks the date
    EXPECT_EQ(formatClock(received), "08-13-55 09:03:00");
    EXPECT_EQ(formatClock(received).size(), 17u);
}

TEST(ClockCommands, SendTheStoredValueAndReadIntoItOnlyOnSuccess) {
    ScriptedScale scale;
    scale.connect();
    ClockValue clock{2026, 12, 8, 14, 5, 9};
    scale.reply();
    EXPECT_TRUE(sendClockToScale(scale.link(), clock));
    scale.reply(hexBytes("1A 0C 08 09 03 00"));
    EXPECT_TRUE(readClockFromScale(scale.link(), clock));
    EXPECT_EQ(clock, (ClockValue{2026, 12, 8, 9, 3, 0}));
    EXPECT_EQ(formatClock(clock), "08-12-26 09:03:00");

    scale.staySilent();
    EXPECT_FALSE(readClockFromScale(scale.link(), clock));
    EXPECT_EQ(clock, (ClockValue{2026, 12, 8, 9, 3, 0}));

    const auto requests = scale.requests();
    ASSERT_EQ(requests.size(), 5u);
    EXPECT_EQ(requests[0].command, 32);
    EXPECT_EQ(requests[0].payload, hexBytes("1A 0C 08 0E 05 09"));
    EXPECT_EQ(requests[1].command, 3);
    EXPECT_TRUE(requests[1].payload.empty());

    ScriptedScale offline;
    EXPECT_FALSE(sendClockToScale(offline.link(), clock));
    EXPECT_FALSE(readClockFromScale(offline.link(), clock));
    EXPECT_TRUE(offline.requests().empty());
    EXPECT_EQ(offline.ui.errorCount("You are not connected to the scale!"), 2);
}

} // namespace
