#pragma once
// The speed the program set on its end of the pseudo-terminal, read from the
// master side: the pair shares one line setting, so the scale can tell at
// which speed the program talks to it.

#include <cstdint>

namespace sim {

// Bits per second, or 0 when the setting cannot be read.
std::uint32_t lineSpeed(int masterFd);

} // namespace sim
