#include "platform_serial_channel.h"

#if defined(_WIN32)
#include "win_serial_channel.h"
using PlatformSerialChannel = WinSerialChannel;
#else
#include "posix_serial_channel.h"
using PlatformSerialChannel = PosixSerialChannel;
#endif

std::unique_ptr<SerialChannel> makePlatformSerialChannel() {
    return std::make_unique<PlatformSerialChannel>();
}
