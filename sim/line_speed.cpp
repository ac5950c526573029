#include "sim/line_speed.h"

// The kernel's own termios2 (with the speed as a number), which <termios.h>
// does not declare and cannot share a file with.
#include <asm/termbits.h>
#include <sys/ioctl.h>

namespace sim {

std::uint32_t lineSpeed(int masterFd) {
    struct termios2 settings {};
    if (ioctl(masterFd, TCGETS2, &settings) != 0) {
        return 0;
    }
    // The kernel keeps c_ospeed as the number for standard and custom speeds alike.
    return settings.c_ospeed;
}

} // namespace sim
