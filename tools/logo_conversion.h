#pragma once
// The receipt logo: a grey image made once from a picture, then converted to
// black and white on every change of the brightness, contrast and dithering
// controls. Plain byte arrays, integer arithmetic, one pass per step.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

inline constexpr int kLogoWidth = 384;     // printer dots per receipt line
inline constexpr int kLogoMaxHeight = 250; // rows the scale's logo memory holds
inline constexpr int kLogoRowBytes = kLogoWidth / 8;
inline constexpr int kDotsPerMillimetre = 8;      // the receipt's 384 dots span 48 mm
inline constexpr std::uint8_t kGreyOfWhite = 251; // the grey weights add up to 63, not 64

// Added to a grey value, scaled by the contrast setting / 100: darkens darks,
// lightens lights, odd about 128 (T[256 - g] = -T[g]).
inline constexpr std::array<std::int8_t, 256> kContrastCurve{
    0,   0,   -1,  -2,  -3,  -4,  -5,  -6,  -7,  -8,  -9,  -9,  -10, -11, -12, -12, // 0..15
    -13, -14, -14, -15, -16, -16, -17, -17, -18, -19, -19, -20, -20, -20, -21, -21, // 16..31
    -22, -22, -23, -23, -23, -24, -24, -24, -24, -25, -25, -25, -25, -25, -26, -26, // 32..47
    -26, -26, -26, -26, -26, -26, -26, -26, -26, -26, -26, -26, -26, -26, -26, -26, // 48..63
    -26, -26, -26, -26, -25, -25, -25, -25, -25, -24, -24, -24, -24, -23, -23, -23, // 64..79
    -23, -22, -22, -22, -21, -21, -21, -20, -20, -19, -19, -19, -18, -18, -17, -17, // 80..95
    -16, -16, -16, -15, -15, -14, -14, -13, -13, -12, -12, -11, -11, -10, -10, -9,  // 96..111
    -8,  -8,  -7,  -7,  -6,  -6,  -5,  -5,  -4,  -3,  -3,  -2,  -2,  -1,  -1,  0,   // 112..127
    0,   0,   1,   1,   2,   2,   3,   3,   4,   5,   5,   6,   6,   7,   7,   8,   // 128..143
    8,   9,   10,  10,  11,  11,  12,  12,  13,  13,  14,  14,  15,  15,  16,  16,  // 144..159
    16,  17,  17,  18,  18,  19,  19,  19,  20,  20,  21,  21,  21,  22,  22,  22,  // 160..175
    23,  23,  23,  23,  24,  24,  24,  24,  25,  25,  25,  25,  25,  26,  26,  26,  // 176..191
    26,  26,  26,  26,  26,  26,  26,  26,  26,  26,  26,  26,  26,  26,  26,  26,  // 192..207
    26,  26,  26,  25,  25,  25,  25,  25,  24,  24,  24,  24,  23,  23,  23,  22,  // 208..223
    22,  21,  21,  20,  20,  20,  19,  19,  18,  17,  17,  16,  16,  15,  14,  14,  // 224..239
    13,  12,  12,  11,  10,  9,   9,   8,   7,   6,   5,   4,   3,   2,   1,   0,   // 240..255
};

// One grey value per pixel, kLogoWidth per row, 0..kGreyOfWhite.
struct GreyImage {
    int height = 0;
    std::vector<std::uint8_t> pixels;

    std::uint8_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * kLogoWidth + x]; }
};

struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
};

// 6 blue + 38 green + 19 red: the grey weights, before their shift.
constexpr std::uint16_t colourLevel(Rgb colour) {
    return static_cast<std::uint16_t>(6 * colour.blue + 38 * colour.green + 19 * colour.red);
}

// (6 blue + 38 green + 19 red) / 64: white gives 251.
constexpr std::uint8_t greyValue(Rgb colour) {
    return static_cast<std::uint8_t>(colourLevel(colour) >> 6);
}

// How the toned values become black and white dots.
enum class DitherMode {
    ErrorDiffusion, // serpentine Floyd-Steinberg (ditherLogo)
    Threshold,      // a plain cut at 128: the "50% Threshold" switch
    Atkinson,       // ditherAtkinson
    Bayer,          // ordered, 8 x 8 (ditherBayer)
};

struct LogoSettings {
    int brightness = 0; // -128..128, added to the grey value
    int contrast = 128; // 0..255, percent of the contrast curve added
    DitherMode dither = DitherMode::ErrorDiffusion;
};

// The black-and-white logo as the scale stores it: kLogoRowBytes per row,
// leftmost pixel in the most significant bit, a set bit is a black dot.
struct LogoBitmap {
    int height = 0;
    std::vector<std::uint8_t> rows;

    bool isBlack(int x, int y) const {
        const std::uint8_t byte =
            rows[static_cast<std::size_t>(y) * kLogoRowBytes + static_cast<std::size_t>(x / 8)];
        return (byte & (0x80u >> (x % 8))) != 0;
    }
    std::span<const std::uint8_t> row(int y) const {
        return std::span<const std::uint8_t>(rows).subspan(static_cast<std::size_t>(y) * kLogoRowBytes,
                                                           kLogoRowBytes);
    }
};

// Brightness, then contrast with the curve indexed by the stored grey, then
// the dithering chosen (none for Threshold), then the cut: 128 and above is white.
LogoBitmap convertLogo(const GreyImage& grey, const LogoSettings& settings);

// Serpentine Floyd-Steinberg over width x height values in place: every pixel
// ends as 0 (black) or 255 (white). Each share is computed from the error on
// its own; shares are subtracted after a white decision and added after a
// black one, clamped to 0..255, and dropped outside the picture.
void ditherLogo(std::span<std::uint8_t> values, int width, int height);
