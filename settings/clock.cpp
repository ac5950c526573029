#include "clock.h"

#include "link/commands.h"
#include "link/scale_link.h"

#include <cstdio>

void encodeClockRecord(MessageBuffer& buffer, const ClockValue& clock) {
    buffer.putU8(static_cast<std::uint8_t>(clock.year - kClockYearBase)); // 1999 goes as 255
    buffer.putU8(static_cast<std::uint8_t>(clock.month));
    buffer.putU8(static_cast<std::uint8_t>(clock.day));
    buffer.putU8(static_cast<std::uint8_t>(clock.hour));
    buffer.putU8(static_cast<std::uint8_t>(clock.minute));
    buffer.putU8(static_cast<std::uint8_t>(clock.second));
}

ClockValue decodeClockRecord(MessageBuffer& buffer) {
    ClockValue clock;
    clock.year = static_cast<std::uint16_t>(kClockYearBase + buffer.getU8());
    clock.month = buffer.getU8();
    clock.day = buffer.getU8();
    clock.hour = buffer.getU8();
    clock.minute = buffer.getU8();
    clock.second = buffer.getU8();
    return clock;
}

namespace {
// Two digits at least, as the box's positions hold them.
unsigned twoDigits(unsigned value) { return value % 100u; }
} // namespace

std::string formatClock(const ClockValue& clock) {
    char text[48]; // six fields of up to five digits and their separators
    // Fields other than the year are shown whole (a received 100 shows as
    // 100), as received values are not checked; only the year is cut to fit.
    std::snprintf(text, sizeof text, "%.2u-%.2u-%.2u %.2u:%.2u:%.2u", static_cast<unsigned>(clock.day),
                  static_cast<unsigned>(clock.month), twoDigits(clock.year), static_cast<unsigned>(clock.hour),
                  static_cast<unsigned>(clock.minute), static_cast<unsigned>(clock.second));
    return text;
}

bool sendClockToScale(ScaleLink& link, const ClockValue& clock) {
    if (!link.checkConnected()) {
        return false;
    }
    link.buffer().clear();
    encodeClockRecord(link.buffer(), clock);
    return link.runCommand(cmd::kWriteClock);
}

bool readClockFromScale(ScaleLink& link, ClockValue& clock) {
    if (!link.checkConnected()) {
        return false;
    }
    link.buffer().clear();
    if (!link.runCommand(cmd::kReadClock)) {
        return false;
    }
    clock = decodeClockRecord(link.buffer());
    return true;
}
