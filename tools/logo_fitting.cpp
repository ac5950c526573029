#include "logo_fitting.h"

#include "picture_scaling.h"

#include <algorithm>

namespace {

constexpr int kLevelShift = 6; // levels >> 6 are grey values, as in greyValue()

// The picture's size after scaling, before the logo's rows are cut.
LogoSize scaledSize(int width, int height, FitMode mode) {
    const std::int64_t w = width;
    const std::int64_t h = height;
    // The other side in proportion, rounded to the nearest pixel, never 0.
    const auto proportional = [](std::int64_t side, std::int64_t to, std::int64_t from) {
        return static_cast<int>(std::max<std::int64_t>(1, (side * to + from / 2) / from));
    };
    switch (mode) {
    case FitMode::Crop:
        break;
    case FitMode::FitWidth:
        return {kLogoWidth, proportional(h, kLogoWidth, w)};
    case FitMode::Fit:
        if (w * kLogoMaxHeight >= h * kLogoWidth) { // wider than the logo's shape: the width decides
            return {kLogoWidth, proportional(h, kLogoWidth, w)};
        }
        return {proportional(w, kLogoMaxHeight, h), kLogoMaxHeight};
    }
    return {width, height};
}

int leftColumn(int width, Placement placement) {
    switch (placement) {
    case Placement::Left:
        break;
    case Placement::Centre:
        return (kLogoWidth - width) / 2;
    case Placement::Right:
        return kLogoWidth - width;
    }
    return 0;
}

} // namespace

SourcePicture sourceFromArgb(int width, int height, const std::uint32_t* words, std::ptrdiff_t stride) {
    SourcePicture picture;
    if (width <= 0 || height <= 0) {
        return picture;
    }
    picture.width = width;
    picture.height = height;
    picture.levels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    std::uint16_t* level = picture.levels.data();
    for (int y = 0; y < height; ++y) {
        const std::uint32_t* row = words + y * stride;
        for (int x = 0; x < width; ++x) {
            const std::uint32_t word = row[x];
            const std::uint32_t alpha = word >> 24;
            const std::uint32_t colour =
                6 * (word & 0xFF) + 38 * ((word >> 8) & 0xFF) + 19 * ((word >> 16) & 0xFF);
            // Over white: colour a / 255 + white (255 - a) / 255, rounded; opaque stays exact.
            *level++ = static_cast<std::uint16_t>(
                alpha == 255 ? colour : (colour * alpha + kLevelOfWhite * (255 - alpha) + 127) / 255);
        }
    }
    return picture;
}

LogoSize fittedSize(int width, int height, FitMode mode) {
    if (width <= 0 || height <= 0) {
        return {};
    }
    const LogoSize scaled = scaledSize(width, height, mode);
    return {std::min(scaled.width, kLogoWidth), std::min(scaled.height, kLogoMaxHeight)};
}

GreyImage fitLogo(const SourcePicture& picture, FitMode mode, Placement placement) {
    GreyImage image;
    const LogoSize fitted = fittedSize(picture.width, picture.height, mode);
    if (fitted.height == 0) {
        return image;
    }
    image.height = fitted.height;
    image.pixels.assign(static_cast<std::size_t>(fitted.height) * kLogoWidth, kGreyOfWhite);

    // Unscaled pictures are read in place; scaled ones are made row by row
    // only as far down as the logo keeps.
    const LogoSize scaled = scaledSize(picture.width, picture.height, mode);
    std::vector<std::uint16_t> scaledLevels;
    const std::uint16_t* levels = picture.levels.data();
    int levelsWidth = picture.width;
    if (scaled.width != picture.width || scaled.height != picture.height) {
        scaledLevels = scaleLevels(picture.levels, picture.width, picture.height, scaled.width, scaled.height,
                                   fitted.height);
        levels = scaledLevels.data();
        levelsWidth = scaled.width;
    }

    const int left = leftColumn(fitted.width, placement);
    for (int y = 0; y < fitted.height; ++y) {
        const std::uint16_t* from =
            levels + static_cast<std::size_t>(y) * static_cast<std::size_t>(levelsWidth);
        std::uint8_t* to = image.pixels.data() + static_cast<std::size_t>(y) * kLogoWidth + left;
        for (int x = 0; x < fitted.width; ++x) {
            to[x] = static_cast<std::uint8_t>(from[x] >> kLevelShift);
        }
    }
    return image;
}

GreyImage makeGreyImage(int width, int height, const std::function<Rgb(int x, int y)>& pixelAt) {
    SourcePicture kept;
    kept.width = std::clamp(width, 0, kLogoWidth);
    kept.height = std::clamp(height, 0, kLogoMaxHeight);
    kept.levels.reserve(static_cast<std::size_t>(kept.width) * static_cast<std::size_t>(kept.height));
    for (int y = 0; y < kept.height; ++y) {
        for (int x = 0; x < kept.width; ++x) {
            kept.levels.push_back(colourLevel(pixelAt(x, y)));
        }
    }
    return fitLogo(kept, FitMode::Crop, Placement::Left);
}
