// The logo from any picture file: Qt's image readers (BMP, PNG, GIF, JPEG and
// the rest), the picture's levels with transparency over white, the fitting and
// placing into the logo's grey image as the logo window does it, the chosen
// dithering and the plain cut, the rows of the result and their upload.
//
// Input: brightness byte (value - 128), contrast byte, options byte (fit mode
// = value % 3, placement = value / 3 % 3, dithering = value / 9 % 4), then the
// file's bytes.

#include "fuzz_support.h"
#include "tools/logo_conversion.h"
#include "tools/logo_fitting.h"
#include "tools/logo_picture_file.h"
#include "tools/logo_upload.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>
#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace {

// Pictures beyond this are refused by the reader, so one input stays quick.
constexpr int kReaderLimitMegabytes = 64;

int leftColumn(int width, Placement placement) {
    switch (placement) {
    case Placement::Left:
        return 0;
    case Placement::Centre:
        return (kLogoWidth - width) / 2;
    case Placement::Right:
        return kLogoWidth - width;
    }
    return 0;
}

void checkGrey(const GreyImage& grey, const SourcePicture& picture, FitMode mode, Placement placement) {
    const LogoSize fitted = fittedSize(picture.width, picture.height, mode);
    FUZZ_CHECK(fitted.width >= 1 && fitted.width <= kLogoWidth);
    FUZZ_CHECK(fitted.height >= 1 && fitted.height <= kLogoMaxHeight);
    if (mode == FitMode::Crop) {
        FUZZ_CHECK(fitted ==
                   (LogoSize{std::min(picture.width, kLogoWidth), std::min(picture.height, kLogoMaxHeight)}));
    }
    FUZZ_CHECK(grey.height == fitted.height);
    FUZZ_CHECK(grey.pixels.size() == static_cast<std::size_t>(grey.height) * kLogoWidth);
    const int left = leftColumn(fitted.width, placement);
    for (int y = 0; y < grey.height; ++y) {
        for (int x = 0; x < kLogoWidth; ++x) {
            FUZZ_CHECK(grey.at(x, y) <= kGreyOfWhite);
            if (x < left || x >= left + fitted.width) {
                FUZZ_CHECK(grey.at(x, y) == kGreyOfWhite); // outside the picture: white
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
    if (size < 3) {
        return 0;
    }
    QImageReader::setAllocationLimit(kReaderLimitMegabytes);
    LogoSettings settings;
    settings.brightness = static_cast<int>(data[0]) - 128;
    settings.contrast = data[1];
    const auto mode = static_cast<FitMode>(data[2] % 3);
    const auto placement = static_cast<Placement>(data[2] / 3 % 3);
    settings.dither = static_cast<DitherMode>(data[2] / 9 % 4);

    QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data + 3),
                                static_cast<qsizetype>(std::min<std::size_t>(size - 3, 1 << 24)));
    QBuffer file(&bytes);
    file.open(QIODevice::ReadOnly);
    std::string reason;
    const auto picture = readLogoPicture(file, reason);
    if (!picture) {
        return 0;
    }
    FUZZ_CHECK(picture->levels.size() ==
               static_cast<std::size_t>(picture->width) * static_cast<std::size_t>(picture->height));
    const GreyImage grey = fitLogo(*picture, mode, placement);
    checkGrey(grey, *picture, mode, placement);
    const LogoBitmap logo = convertLogo(grey, settings);
    checkLogo(logo, grey);
    checkUpload(logo);
    if (settings.dither != DitherMode::Threshold) {
        settings.dither = DitherMode::Threshold;
        checkLogo(convertLogo(grey, settings), grey);
    }
    return 0;
}
