#include "report_layout.h"

#include <cstdlib>

namespace {

constexpr const char* kRule = "----------------------- "; // 23 hyphens and a blank open every section title

} // namespace

std::string formatHundredths(std::int32_t hundredths, char decimalSeparator) {
    // Widened first: the magnitude of -2147483648 does not fit in 32 bits.
    const std::int64_t value = hundredths;
    const std::int64_t magnitude = value < 0 ? -value : value;
    const std::int64_t cents = magnitude % 100;
    std::string text = value < 0 ? "-" : "";
    text += std::to_string(magnitude / 100);
    text += decimalSeparator;
    text += static_cast<char>('0' + cents / 10);
    text += static_cast<char>('0' + cents % 10);
    return text;
}

std::string formatTwoWide(int value) {
    std::string text = std::to_string(value);
    if (text.size() < 2) {
        text.insert(0, 2 - text.size(), ' ');
    }
    return text;
}

ReportStamp reportStamp(const RegionalForms& forms, const LocalDateTime& now) {
    return ReportStamp{forms.shortDate(now), forms.longTime(now),
                       now.hour == 0 && now.minute == 0 && now.second == 0};
}

std::string reportHeaderLine(const ReportStamp& stamp) {
    std::string line = std::string(kRule) + "REPORT " + stamp.shortDate;
    if (!stamp.atMidnight) {
        line += ' ';
        line += stamp.longTime;
    }
    return line;
}

std::vector<std::string> generalReportLines(const GeneralReportBlock& block, const ReportStamp& stamp,
                                            char decimalSeparator) {
    std::vector<std::string> lines;
    lines.push_back(reportHeaderLine(stamp));
    lines.emplace_back();
    lines.push_back("DOC NUM\t\t\t" + std::to_string(block.documentNumber));
    lines.push_back("TOTAL\t\t\t" + formatHundredths(block.grandTotal, decimalSeparator));
    lines.push_back(std::string(kRule) + "TOTALS BY TAX");
    for (int t = 1; t <= kReportTaxes; ++t) {
        const std::int32_t total = block.taxTotals[static_cast<std::size_t>(t - 1)];
        if (total != 0) {
            lines.push_back("TAX" + formatTwoWide(t) + "\t\t\t" + formatHundredths(total, decimalSeparator));
        }
    }
    lines.emplace_back();
    lines.push_back(std::string(kRule) + "TOTALS BY TIME");
    for (int h = 0; h < kReportHours; ++h) {
        const auto index = static_cast<std::size_t>(h);
        // An hour is listed by its count: a sale that summed to zero still shows.
        if (block.hourCounts[index] != 0) {
            lines.push_back(formatTwoWide(h) + "h\t\t\t" + std::to_string(block.hourCounts[index]) + "\t" +
                            formatHundredths(block.hourTotals[index], decimalSeparator));
        }
    }
    lines.emplace_back();
    return lines;
}

std::vector<std::string> clerkReportLines(const ClerkReportBlock& block, int clerk, char decimalSeparator) {
    const auto money = [decimalSeparator](std::int32_t value) {
        return formatHundredths(value, decimalSeparator);
    };
    return {
        std::string(kRule) + "CLERK " + std::to_string(clerk),
        "CLIENTS\t\t\t" + std::to_string(block.clients),
        "OPERATIONS\t\t" + std::to_string(block.operations),
        "TOTAL\t\t\t" + money(block.total),
        "COUNT CANCEL\t\t" + std::to_string(block.cancelCount),
        "TOTAL CANCEL\t\t" + money(block.cancelTotal),
        "COUNT DISCOUNT\t\t" + std::to_string(block.discountCount),
        "TOTAL DISCOUNT\t\t" + money(block.discountTotal),
        "CASH \t\t\t" + money(block.cash),
        "CREDIT \t\t\t" + money(block.credit),
        std::string(),
    };
}
