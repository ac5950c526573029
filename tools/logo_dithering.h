#pragma once
// The dithering choices beside the error diffusion, over width x height toned
// values in place: every value ends as 0 (black) or 255 (white). Integer
// arithmetic, one pass, each pixel decided once.

#include <cstdint>
#include <functional>
#include <span>

// Atkinson's diffusion, rows scanned left to right: a pixel of 128 or more
// turns white with error e = 255 - v, below 128 black with e = v, and the same
// share e / 8 (remainder dropped) goes to the two pixels ahead, the three
// below (behind, under, ahead) and the one two rows below; the other 2/8 of
// the error is dropped, which keeps highlights and shadows clean. As in the
// error diffusion, a white decision subtracts its shares and a black one adds
// them, each neighbour clamped to 0..255, and shares outside the picture are
// dropped.
void ditherAtkinson(std::span<std::uint8_t> values, int width, int height);
// The same over a picture handed over row by row: loadRow(y, values) fills
// row y's width values (0..255), and rowDecided(y, black) takes its decisions
// (1 for a black pixel) once the row is done.
void atkinsonRows(int width, int height, const std::function<void(int y, std::int32_t* values)>& loadRow,
                  const std::function<void(int y, const std::uint8_t* black)>& rowDecided);

// Ordered dithering with the 8 x 8 Bayer matrix: black where the value is below
// the threshold of its cell. The 64 thresholds run evenly from 1 to 251, so 0
// is black everywhere and the grey of white (251) never prints a dot.
std::uint8_t bayerThreshold(int x, int y);
void ditherBayer(std::span<std::uint8_t> values, int width, int height);
