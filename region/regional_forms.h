#pragma once
// The user's regional forms, as plain code sees them: the decimal separator,
// and the short date and long time that stamp the PLU file and the report.
// The window program and the companion read them from the system through one
// implementation per platform (region/qt_regional_forms.h on Linux), so both
// write the same bytes for the same moment.

#include <string>

// A moment of the PC's local clock, as the calendar shows it.
struct LocalDateTime {
    int year = 2000;
    int month = 1; // 1..12
    int day = 1;   // 1..31
    int hour = 0;
    int minute = 0;
    int second = 0;
    bool operator==(const LocalDateTime&) const = default;
};

// The PC's local date and time now.
LocalDateTime localNow();

class RegionalForms {
  public:
    virtual ~RegionalForms() = default;
    // One byte; '.' where the user's separator is no single ASCII character.
    virtual char decimalSeparator() const = 0;
    // Bytes in the program's single-byte character set.
    virtual std::string shortDate(const LocalDateTime& moment) const = 0;
    // The long time form without a time-zone name: the files have never carried one.
    virtual std::string longTime(const LocalDateTime& moment) const = 0;
};
