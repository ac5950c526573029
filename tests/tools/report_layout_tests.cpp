// Report decoding and layout: byte blocks in, the exact lines out.

#include "tools/report_layout.h"

#include <array>
#include <cstdint>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using Lines = std::vector<std::string>;

const ReportStamp kStamp{"08.12.2026", "16:57:37", false};

void putBigEndian(std::span<std::uint8_t> bytes, std::size_t offset, std::uint32_t value, int width) {
    for (int i = 0; i < width; ++i) {
        bytes[offset + static_cast<std::size_t>(i)] =
            static_cast<std::uint8_t>(value >> (8 * (width - 1 - i)));
    }
}

TEST(FormatHundredths, WritesTwoDecimalsWithTheUsersSeparator) {
    EXPECT_EQ(formatHundredths(123456, '.'), "1234.56");
    EXPECT_EQ(formatHundredths(5, '.'), "0.05");
    EXPECT_EQ(formatHundredths(-5, '.'), "-0.05");
    EXPECT_EQ(formatHundredths(-100, '.'), "-1.00");
    EXPECT_EQ(formatHundredths(0, '.'), "0.00");
    EXPECT_EQ(formatHundredths(2147483647, '.'), "21474836.47");
    EXPECT_EQ(formatHundredths(-2147483647 - 1, '.'), "-21474836.48");
    EXPECT_EQ(formatHundredths(123456, ','), "1234,56");
    EXPECT_EQ(formatHundredths(-1, ','), "-0,01");
}

TEST(FormatTwoWide, KeepsOneDigitForZero) {
    EXPECT_EQ(formatTwoWide(0), " 0");
    EXPECT_EQ(formatTwoWide(7), " 7");
    EXPECT_EQ(formatTwoWide(23), "23");
}

TEST(ReportHeader, LeavesTheTimeOutAtMidnight) {
    EXPECT_EQ(reportHeaderLine(kStamp), "----------------------- REPORT 08.12.2026 16:57:37");
    EXPECT_EQ(reportHeaderLine({"08.12.2026", "00:00:00", true}),
              "----------------------- REPORT 08.12.2026");
}

TEST(ReportLayout, AllZeroMemoryGivesEveryHeadingAndNoTaxOrHourLines) {
    const std::array<std::uint8_t, kGeneralReportSize> general{};
    const std::array<std::uint8_t, kClerkReportSize> clerk{};
    Lines lines = generalReportLines(decodeGeneralReportBlock(general), kStamp, '.');
    for (int n = 1; n <= 4; ++n) {
        const Lines section = clerkReportLines(decodeClerkReportBlock(clerk), n, '.');
        lines.insert(lines.end(), section.begin(), section.end());
    }
    const Lines firstPart{
        "----------------------- REPORT 08.12.2026 16:57:37",
        "",
        "DOC NUM\t\t\t0",
        "TOTAL\t\t\t0.00",
        "----------------------- TOTALS BY TAX",
        "",
        "----------------------- TOTALS BY TIME",
        "",
    };
    const Lines clerk3{
        "----------------------- CLERK 3",
        "CLIENTS\t\t\t0",
        "OPERATIONS\t\t0",
        "TOTAL\t\t\t0.00",
        "COUNT CANCEL\t\t0",
        "TOTAL CANCEL\t\t0.00",
        "COUNT DISCOUNT\t\t0",
        "TOTAL DISCOUNT\t\t0.00",
        "CASH \t\t\t0.00",
        "CREDIT \t\t\t0.00",
        "",
    };
    ASSERT_EQ(lines.size(), firstPart.size() + 4 * 11);
    EXPECT_EQ(Lines(lines.begin(), lines.begin() + 8), firstPart);
    EXPECT_EQ(Lines(lines.begin() + 8 + 22, lines.begin() + 8 + 33), clerk3);
}

TEST(ReportLayout, GeneralBlockFieldsSignsAndHours) {
    std::array<std::uint8_t, kGeneralReportSize> bytes{};
    putBigEndian(bytes, 0, 4711, 4);                                     // document number
    putBigEndian(bytes, 4, 0xFFFFFFFF, 4);                               // grand total -0.01: money is signed
    putBigEndian(bytes, 8 + 4 * 0, 1250, 4);                             // tax 1
    putBigEndian(bytes, 8 + 4 * 4, static_cast<std::uint32_t>(-300), 4); // tax 5, negative is shown
    putBigEndian(bytes, 8 + 4 * 8, 1, 4);                                // tax 9
    putBigEndian(bytes, 140 + 2 * 0, 2, 2);                              // hour 0: count 2, total 0 -> listed
    putBigEndian(bytes, 44 + 4 * 5, 999, 4);                  // hour 5: total but no count -> not listed
    putBigEndian(bytes, 44 + 4 * 23, 123456, 4);              // hour 23
    putBigEndian(bytes, 140 + 2 * 23, 0xFFFF, 2);             // counts are unsigned
    bytes[188] = bytes[189] = bytes[190] = bytes[191] = 0x7F; // not part of the report

    const Lines lines = generalReportLines(decodeGeneralReportBlock(bytes), kStamp, ',');
    const Lines expected{
        "----------------------- REPORT 08.12.2026 16:57:37",
        "",
        "DOC NUM\t\t\t4711",
        "TOTAL\t\t\t-0,01",
        "----------------------- TOTALS BY TAX",
        "TAX 1\t\t\t12,50",
        "TAX 5\t\t\t-3,00",
        "TAX 9\t\t\t0,01",
        "",
        "----------------------- TOTALS BY TIME",
        " 0h\t\t\t2\t0,00",
        "23h\t\t\t65535\t1234,56",
        "",
    };
    EXPECT_EQ(lines, expected);
}

TEST(ReportLayout, ClerkBlockFieldsAtTheirUnalignedOffsets) {
    std::array<std::uint8_t, kClerkReportSize> bytes{};
    putBigEndian(bytes, 0, 100000, 4);                           // total
    putBigEndian(bytes, 4, 0xFFFF, 2);                           // operations
    putBigEndian(bytes, 6, static_cast<std::uint32_t>(-250), 4); // cancel total
    putBigEndian(bytes, 10, 3, 2);                               // cancel count
    putBigEndian(bytes, 12, 41, 2);                              // clients
    putBigEndian(bytes, 14, 60000, 4);                           // cash
    putBigEndian(bytes, 18, 0x80000000, 4);                      // credit, the most negative
    putBigEndian(bytes, 22, 7, 2);                               // discount count
    putBigEndian(bytes, 24, 1999, 4);                            // discount total
    for (std::size_t i = 28; i < bytes.size(); ++i) {
        bytes[i] = 0xEE; // not part of the report
    }
    const Lines expected{
        "----------------------- CLERK 2",
        "CLIENTS\t\t\t41",
        "OPERATIONS\t\t65535",
        "TOTAL\t\t\t1000.00",
        "COUNT CANCEL\t\t3",
        "TOTAL CANCEL\t\t-2.50",
        "COUNT DISCOUNT\t\t7",
        "TOTAL DISCOUNT\t\t19.99",
        "CASH \t\t\t600.00",
        "CREDIT \t\t\t-21474836.48",
        "",
    };
    EXPECT_EQ(clerkReportLines(decodeClerkReportBlock(bytes), 2, '.'), expected);
}

} // namespace
