#include "platform_serial_channel.h"

#include "posix_serial_channel.h"

std::unique_ptr<SerialChannel> makePlatformSerialChannel() {
    return std::make_unique<PosixSerialChannel>();
}
