#pragma once
// From a decoded picture of any size to the logo's stored grey image: the
// picture's own grey levels (transparency flattened onto white), then cut or
// scaled to the logo's 384 columns and at most 250 rows, and placed left,
// centred or right when it is narrower.

#include "logo_conversion.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

// The grey weights before their final shift: 6 blue + 38 green + 19 red, so
// white is 63 x 255. Scaling works on these, and only the stored grey image
// takes them >> 6, exactly as an unscaled pixel's grey value is made.
inline constexpr std::uint16_t kLevelOfWhite = 63 * 255;

// A picture at its own size, one level per pixel, row after row.
struct SourcePicture {
    int width = 0;
    int height = 0;
    std::vector<std::uint16_t> levels;
};

// Pixels as 32-bit words 0xAARRGGBB (alpha 255 = opaque), stride words from
// one row to the next. A pixel is laid over white by its alpha before its
// level is taken; an opaque pixel keeps its colour's level exactly.
SourcePicture sourceFromArgb(int width, int height, const std::uint32_t* words, std::ptrdiff_t stride);

enum class FitMode {
    Crop,     // nothing scaled: the top-left 384 x 250 at most, as the logo always took it
    FitWidth, // scaled to 384 columns with its proportions kept; rows below 250 are cut
    Fit,      // the largest size with its proportions that fits 384 x 250
};

// Where a picture narrower than the logo goes; the rest of each row is white.
enum class Placement { Left, Centre, Right };

struct LogoSize {
    int width = 0;  // 1..kLogoWidth once a picture is fitted
    int height = 0; // 1..kLogoMaxHeight
    bool operator==(const LogoSize&) const = default;
};

// The size a picture of width x height takes in the logo under the mode.
LogoSize fittedSize(int width, int height, FitMode mode);

// The stored grey image made from the picture: fitted, placed, filled white.
GreyImage fitLogo(const SourcePicture& picture, FitMode mode, Placement placement);

// An opaque picture of width x height pixels under Crop and Left: cut or
// filled with white on the right to kLogoWidth, cut to kLogoMaxHeight rows,
// nothing scaled. pixelAt is asked only for pixels that are kept.
GreyImage makeGreyImage(int width, int height, const std::function<Rgb(int x, int y)>& pixelAt);
