#pragma once
// The report as text lines: plain functions from decoded blocks, the date and
// time texts and the user's decimal separator to lines. TABs are part of the
// layout; the memo and the saved file keep them.

#include "region/regional_forms.h"
#include "report_blocks.h"

#include <cstdint>
#include <string>
#include <vector>

// The moment the report was taken, already in the user's regional formats.
struct ReportStamp {
    std::string shortDate;   // e.g. "08.12.2026"
    std::string longTime;    // e.g. "16:57:37"
    bool atMidnight = false; // hours, minutes and seconds all zero: the time is left out
};

// The stamp of a report taken at `now`.
ReportStamp reportStamp(const RegionalForms& forms, const LocalDateTime& now);

// Hundredths as units with exactly two decimals: 123456 -> "1234.56", -5 -> "-0.05".
std::string formatHundredths(std::int32_t hundredths, char decimalSeparator);
// Right-aligned in two characters, at least one digit: 0 -> " 0", 7 -> " 7", 23 -> "23".
std::string formatTwoWide(int value);

std::string reportHeaderLine(const ReportStamp& stamp);
// From the header line up to and including the empty line after the hours.
std::vector<std::string> generalReportLines(const GeneralReportBlock& block, const ReportStamp& stamp,
                                            char decimalSeparator);
// The eleven lines of clerk n, the closing empty line included.
std::vector<std::string> clerkReportLines(const ClerkReportBlock& block, int clerk, char decimalSeparator);
