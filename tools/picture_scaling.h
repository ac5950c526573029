#pragma once
// Smooth scaling of a one-channel picture of 16-bit levels, each axis on its
// own: a shrinking axis averages the area each new pixel covers, a growing
// axis interpolates linearly between the two nearest old pixels. Fixed-point
// integer arithmetic; an axis kept at its size passes its pixels through
// unchanged.

#include <cstdint>
#include <span>
#include <vector>

// levels holds width x height values, row after row. Returns the first
// rowsWanted rows (at most toHeight) of the picture scaled to toWidth x
// toHeight; rows below them are never computed.
std::vector<std::uint16_t> scaleLevels(std::span<const std::uint16_t> levels, int width, int height,
                                       int toWidth, int toHeight, int rowsWanted);
