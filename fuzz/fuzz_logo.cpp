// The logo from any bitmap file: Qt's BMP reader, the grey image made from the
// picture as the logo window makes it, the conversion both ways (plain cut and
// error diffusion), the rows of the result and their upload.
//
// Input: brightness byte (value - 128), contrast byte, then the file's bytes.

#include "fuzz_support.h"
#include "tools/logo_conversion.h"
#include "tools/logo_fitting.h"
#include "tools/logo_upload.h"

#include <QImage>
#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace {

// The logo window's way from a picture to grey values, kept in step with it:
// every pixel through 32-bit colour, then the grey weights.
GreyImage greyOf(const QImage& picture) {
    const QImage colours = picture.convertToFormat(QImage::Format_RGB32);
    return makeGreyImage(colours.width(), colours.height(), [&colours](int x, int y) {
        const QRgb pixel = reinterpret_cast<const QRgb*>(colours.constScanLine(y))[x];
        return Rgb{static_cast<std::uint8_t>(qRed(pixel)), static_cast<std::uint8_t>(qGreen(pixel)),
                   static_cast<std::uint8_t>(qBlue(pixel))};
    });
}

void checkGrey(const GreyImage& grey, const QImage& picture) {
    FUZZ_CHECK(grey.height == std::clamp(picture.height(), 0, kLogoMaxHeight));
    FUZZ_CHECK(grey.pixels.size() == static_cast<std::size_t>(grey.height) * kLogoWidth);
    const int keptWidth = std::clamp(picture.width(), 0, kLogoWidth);
    for (int y = 0; y < grey.height; ++y) {
        for (int x = 0; x < kLogoWidth; ++x) {
            FUZZ_CHECK(grey.at(x, y) <= kGreyOfWhite);
            if (x >= keptWidth) {
                FUZZ_CHECK(grey.at(x, y) == kGreyOfWhite); // a narrow picture is filled with white
            }
        }
    }
}

void checkLogo(const LogoBitmap& logo, const GreyImage& grey) {
    FUZZ_CHECK(logo.height == grey.height);
    // The preview and the upload read exactly this many bytes.
    FUZZ_CHECK(logo.rows.size() == static_cast<std::size_t>(logo.height) * kLogoRowBytes);
    for (int y = 0; y < logo.height; ++y) {
        FUZZ_CHECK(logo.row(y).size() == static_cast<std::size_t>(kLogoRowBytes));
    }
}

void checkUpload(const LogoBitmap& logo) {
    ScriptedScale scale;
    const std::vector<std::uint8_t> stored{0x00, 0x00}; // status byte, skipped byte
    for (int request = 0; request <= logo.height; ++request) {
        scale.channel->afterRequest(scaleReply(stored));
    }
    int rowsSent = 0;
    FUZZ_CHECK(sendLogo(scale.link, logo, [&rowsSent](int row) {
        FUZZ_CHECK(row == rowsSent);
        ++rowsSent;
    }));
    FUZZ_CHECK(rowsSent == logo.height);
    // The height first, then one request per row.
    FUZZ_CHECK(scale.channel->count(ScriptedChannel::Event::Kind::Block) == logo.height + 1);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) {
        return 0;
    }
    LogoSettings settings;
    settings.brightness = static_cast<int>(data[0]) - 128;
    settings.contrast = data[1];
    QImage picture;
    if (!picture.loadFromData(data + 2, static_cast<int>(std::min<std::size_t>(size - 2, 1 << 24)), "BMP")) {
        return 0;
    }
    const GreyImage grey = greyOf(picture);
    checkGrey(grey, picture);
    for (const bool thresholdOnly : {true, false}) {
        settings.dither = thresholdOnly ? DitherMode::Threshold : DitherMode::ErrorDiffusion;
        const LogoBitmap logo = convertLogo(grey, settings);
        checkLogo(logo, grey);
        if (!thresholdOnly) {
            checkUpload(logo);
        }
    }
    return 0;
}
