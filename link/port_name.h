#pragma once
// What a typed port name means: "COMn" (any case) is numbered port n, up to
// the highest number a port can have; any other text names the device itself
// (/dev/ttyUSB0, /dev/serial/by-id/..., or a bare name under /dev). The port
// selector and the command-line companion read a port the same way.

#include "serial_channel.h"

#include <string_view>

inline constexpr int kHighestPortNumber = 255;

// `text` is in the file system's encoding; blanks around it are ignored.
PortId portFromText(std::string_view text);
