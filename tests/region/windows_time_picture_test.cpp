// Windows' time pictures formatted as the window program's Qt shows them.

#include "region/windows_time_picture.h"

#include <gtest/gtest.h>

namespace {

std::u16string format(std::u16string_view picture, ClockTime time, std::u16string_view am = u"AM",
                      std::u16string_view pm = u"PM") {
    return formatWindowsTimePicture(picture, time, am, pm);
}

TEST(WindowsTimePicture, FieldsAndAmPmAsQtShowsThem) {
    const ClockTime evening{17, 5, 9};
    const ClockTime midnight{0, 5, 9};
    const ClockTime noon{12, 0, 0};
    // en-US, de-DE, ja-JP, ko-KR.
    EXPECT_EQ(format(u"h:mm:ss tt", evening), u"5:05:09 PM");
    EXPECT_EQ(format(u"h:mm:ss tt", midnight), u"12:05:09 AM");
    EXPECT_EQ(format(u"h:mm:ss tt", noon), u"12:00:00 PM");
    EXPECT_EQ(format(u"HH:mm:ss", {7, 5, 9}), u"07:05:09");
    EXPECT_EQ(format(u"H:mm:ss", {7, 5, 9}), u"7:05:09");
    EXPECT_EQ(format(u"tt h:mm:ss", evening, u"\uC624\uC804", u"\uC624\uD6C4"), u"\uC624\uD6C4 5:05:09");
    // Where Qt's rules are not Windows': one t is the whole text, and h
    // without an AM/PM text counts to 23.
    EXPECT_EQ(format(u"hh:mm:ss t", evening), u"05:05:09 PM");
    EXPECT_EQ(format(u"h:mm:ss", evening), u"17:05:09");
    EXPECT_EQ(format(u"hhh", evening), u"1717"); // "hh" then "h"
}

TEST(WindowsTimePicture, QuotedTextIsCopied) {
    const ClockTime evening{17, 5, 9};
    EXPECT_EQ(format(u"HH'h'mm", evening), u"17h05");
    EXPECT_EQ(format(u"HH 'o''clock' 'tt'", evening), u"17 o'clock tt");
    EXPECT_EQ(format(u"''HH", evening), u"'17");
    EXPECT_EQ(format(u"h:mm 'ts", evening), u"17:05 ts"); // unclosed: no AM/PM, 24 hours
    EXPECT_EQ(format(u"", evening), u"");
}

} // namespace
