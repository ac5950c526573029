#include "posix_custom_baud.h"

#include <asm/termbits.h>
#include <sys/ioctl.h>

namespace {
constexpr std::uint64_t kSpeedTolerancePercent = 2; // percent of the requested speed
} // namespace

bool setCustomBaud(int fd, std::uint32_t baud) {
    struct termios2 settings {};
    if (ioctl(fd, TCGETS2, &settings) != 0) {
        return false;
    }
    // BOTHER: take the speed from c_ispeed/c_ospeed instead of a B-constant.
    settings.c_cflag &= ~static_cast<tcflag_t>(CBAUD);
    settings.c_cflag |= BOTHER;
    settings.c_cflag &= ~static_cast<tcflag_t>(CBAUD << IBSHIFT);
    settings.c_cflag |= static_cast<tcflag_t>(BOTHER << IBSHIFT);
    settings.c_ispeed = baud;
    settings.c_ospeed = baud;
    if (ioctl(fd, TCSETS2, &settings) != 0) {
        return false;
    }
    // Read back: a driver stores the speed its clock divider really makes. A
    // serial line tolerates a few percent between the two ends; more than
    // that, or a speed ignored, is a refusal.
    struct termios2 applied {};
    if (ioctl(fd, TCGETS2, &applied) != 0) {
        return false;
    }
    const std::uint64_t made = applied.c_ospeed;
    const std::uint64_t wanted = baud;
    const std::uint64_t difference = made > wanted ? made - wanted : wanted - made;
    return difference * 100 <= wanted * kSpeedTolerancePercent;
}
