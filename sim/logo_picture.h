#pragma once
// The scale's logo memory as a picture of what it would print: 384 dots wide,
// as many rows as the height byte at offset 0 says, each set bit a black dot.

#include "sim/simulated_scale.h"

#include <string>

namespace sim {

inline constexpr int kLogoDotsPerRow = 384;
inline constexpr int kLogoMaxRows = 250; // the memory holds no more, whatever the height byte says

// Writes the stored logo as a PNG (8-bit grey, black and white) to path,
// replacing it whole or not at all. False with the reason in `error` when no
// logo is stored (height 0) or the file cannot be written.
bool writeLogoPicture(const std::string& path, const ScaleMemory& memory, std::string* error);

} // namespace sim
