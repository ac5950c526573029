#pragma once
// The scale's real-time clock. The page keeps one stored date and time,
// ClockValue; "From PC" and "FROM SCALE" fill it, "TO SCALE" sends it. The
// clock box only displays it: a date typed into the box is never sent.
//
// ClockRecord, the request of command 32 and the reply of command 3, six
// unsigned bytes in the order year - 2000 (low 8 bits), month, day, hour,
// minute, second. The box shows day-month-year. Nothing checks that the
// fields form a valid date: a month of 13 comes and goes as 13.

#include <cstdint>
#include <string>

class MessageBuffer;
class ScaleLink;

struct ClockValue {
    std::uint16_t year = 2000; // full year
    std::uint16_t month = 1;
    std::uint16_t day = 1;
    std::uint16_t hour = 0;
    std::uint16_t minute = 0;
    std::uint16_t second = 0;
    bool operator==(const ClockValue&) const = default;
};

inline constexpr int kClockRecordSize = 6;
inline constexpr int kClockYearBase = 2000;

void encodeClockRecord(MessageBuffer& buffer, const ClockValue& clock);
ClockValue decodeClockRecord(MessageBuffer& buffer);

// "dd-mm-yy hh:mm:ss", 17 characters. The box has room for two year digits,
// so a year outside 2000..2099 shows its last two (2105 shows 05, 1999 shows
// 99); the stored value keeps the full year.
std::string formatClock(const ClockValue& clock);

// "TO SCALE": the guard, then command 32 with the stored value.
bool sendClockToScale(ScaleLink& link, const ClockValue& clock);
// "FROM SCALE": the guard, then command 3; on success the stored value is
// replaced by the scale's, otherwise it is left as it was.
bool readClockFromScale(ScaleLink& link, ClockValue& clock);
