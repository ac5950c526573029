#pragma once
// Speeds without a B-constant (14400, 28800, ...) are set through the kernel's
// second termios interface. Its header clashes with <termios.h>, so it lives
// in a source file of its own behind this one function.

#include <cstdint>

// Sets the input and output speed of the open terminal `fd` to `baud` bits per
// second. False (errno set) when the driver refuses.
bool setCustomBaud(int fd, std::uint32_t baud);
