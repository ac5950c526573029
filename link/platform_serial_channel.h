#pragma once
// The serial channel of the platform the program is built for. The window
// program and the command-line companion open ports only through this, so
// the choice of channel is made once, at build time.

#include "serial_channel.h"

#include <memory>

std::unique_ptr<SerialChannel> makePlatformSerialChannel();
