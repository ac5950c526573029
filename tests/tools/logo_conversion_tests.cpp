// The logo conversion against hand-computed pictures.

#include "tools/logo_conversion.h"
#include "tools/logo_fitting.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <random>
#include <vector>

namespace {

GreyImage uniformGrey(int height, std::uint8_t grey) {
    GreyImage image;
    image.height = height;
    image.pixels.assign(static_cast<std::size_t>(height) * kLogoWidth, grey);
    return image;
}

LogoSettings thresholdOnly(int brightness, int contrast) {
    return {brightness, contrast, DitherMode::Threshold};
}

bool allRowBytesAre(const LogoBitmap& logo, std::uint8_t value) {
    return std::all_of(logo.rows.begin(), logo.rows.end(), [value](std::uint8_t b) { return b == value; });
}

TEST(ContrastCurve, IsOddAboutTheMiddleAndBounded) {
    EXPECT_EQ(kContrastCurve[0], 0);
    EXPECT_EQ(kContrastCurve[128], 0);
    for (int g = 1; g <= 255; ++g) {
        EXPECT_EQ(kContrastCurve[static_cast<std::size_t>(256 - g)],
                  -kContrastCurve[static_cast<std::size_t>(g)])
            << "g = " << g;
        EXPECT_LE(std::abs(kContrastCurve[static_cast<std::size_t>(g)]), 26);
    }
    for (int g = 2; g < 127; ++g) {
        EXPECT_LT(kContrastCurve[static_cast<std::size_t>(g)], 0) << "g = " << g;
    }
    EXPECT_EQ(kContrastCurve[100], -15);
    EXPECT_EQ(kContrastCurve[251], 4);
    EXPECT_EQ(kContrastCurve[55], -26);
}

TEST(GreyImage, GreyWeightsGiveWhiteAs251) {
    EXPECT_EQ(greyValue({255, 255, 255}), 251);
    EXPECT_EQ(greyValue({255, 0, 0}), 75);  // 19 * 255 / 64
    EXPECT_EQ(greyValue({0, 255, 0}), 151); // 38 * 255 / 64
    EXPECT_EQ(greyValue({0, 0, 255}), 23);  // 6 * 255 / 64
    EXPECT_EQ(greyValue({0, 0, 0}), 0);
}

TEST(GreyImage, NarrowTallPictureIsFilledWhiteAndCut) {
    int asked = 0;
    int widest = 0;
    int highest = 0;
    const GreyImage image = makeGreyImage(100, 300, [&](int x, int y) {
        ++asked;
        widest = std::max(widest, x);
        highest = std::max(highest, y);
        return Rgb{0, 0, 0};
    });
    EXPECT_EQ(image.height, 250);
    EXPECT_EQ(asked, 100 * 250);
    EXPECT_EQ(widest, 99);
    EXPECT_EQ(highest, 249);
    EXPECT_EQ(image.at(99, 249), 0);
    EXPECT_EQ(image.at(100, 0), kGreyOfWhite);
    EXPECT_EQ(image.at(383, 249), kGreyOfWhite);
}

TEST(GreyImage, WidePictureLosesItsRightColumnsAndKeepsItsHeight) {
    const GreyImage image = makeGreyImage(500, 3, [](int x, int) {
        return x == 383 ? Rgb{0, 0, 0} : Rgb{255, 255, 255};
    });
    EXPECT_EQ(image.height, 3);
    EXPECT_EQ(image.pixels.size(), 3u * kLogoWidth);
    EXPECT_EQ(image.at(383, 2), 0);
    EXPECT_EQ(image.at(382, 2), 251);
}

TEST(ConvertLogo, PureWhiteStaysWhiteAndPureBlackStaysBlack) {
    const LogoSettings defaults;
    const LogoBitmap white = convertLogo(uniformGrey(4, kGreyOfWhite), defaults);
    EXPECT_EQ(white.height, 4);
    EXPECT_EQ(white.rows.size(), 4u * 48);
    EXPECT_TRUE(allRowBytesAre(white, 0x00));

    const LogoBitmap black = convertLogo(uniformGrey(4, 0), defaults);
    EXPECT_TRUE(allRowBytesAre(black, 0xFF));
}

TEST(ConvertLogo, EmptyPictureGivesAnEmptyLogo) {
    const LogoBitmap logo = convertLogo(GreyImage{}, LogoSettings{});
    EXPECT_EQ(logo.height, 0);
    EXPECT_TRUE(logo.rows.empty());
}

TEST(ConvertLogo, ThresholdCutsAt128) {
    GreyImage image = uniformGrey(1, 128);
    image.pixels[1] = 127;
    const LogoBitmap logo = convertLogo(image, thresholdOnly(0, 0));
    EXPECT_FALSE(logo.isBlack(0, 0));
    EXPECT_TRUE(logo.isBlack(1, 0));
    EXPECT_EQ(logo.row(0)[0], 0x40);
}

TEST(ConvertLogo, BrightnessClampsBeforeTheCurveIndexedByTheStoredGrey) {
    GreyImage image = uniformGrey(1, kGreyOfWhite);
    image.pixels[0] = 100; // -128 makes 0; T[100] = -15 keeps it at 0
    image.pixels[1] = 180; // -60 makes 120; T[180] = +24 gives 144: white (T[120] would give black)
    image.pixels[2] = 50;  // +111 makes 161; 128 * T[50] / 100 = -33.28 truncates to -33: 128, white
    EXPECT_TRUE(convertLogo(image, thresholdOnly(-128, 100)).isBlack(0, 0));
    EXPECT_FALSE(convertLogo(image, thresholdOnly(-60, 100)).isBlack(1, 0));
    EXPECT_FALSE(convertLogo(image, thresholdOnly(111, 128)).isBlack(2, 0));
    EXPECT_TRUE(convertLogo(image, thresholdOnly(110, 128)).isBlack(2, 0));
    // Brightness alone clamps at 255 rather than wrapping to black.
    EXPECT_FALSE(convertLogo(uniformGrey(1, 251), thresholdOnly(128, 0)).isBlack(0, 0));
}

TEST(ConvertLogo, LeftmostPixelIsTheHighBitAndBlackIsOne) {
    GreyImage image = uniformGrey(2, kGreyOfWhite);
    image.pixels[0] = 0;                // row 0, x = 0
    image.pixels[kLogoWidth + 383] = 0; // row 1, x = 383
    const LogoBitmap logo = convertLogo(image, thresholdOnly(0, 0));
    EXPECT_EQ(logo.row(0)[0], 0x80);
    EXPECT_EQ(logo.row(0)[47], 0x00);
    EXPECT_EQ(logo.row(1)[0], 0x00);
    EXPECT_EQ(logo.row(1)[47], 0x01);
}

TEST(DitherLogo, FirstStepsOnAUniformGreyAndTheSerpentine) {
    // 4 x 2 of grey 128, worked by hand:
    //  (0,0) 128 white, e 127: (1,0) 128-55=73, (0,1) 128-39=89, (1,1) 128-7=121
    //  (1,0)  73 black, e 73:  (2,0) 128+31=159, (1,1) 121+22=143, (2,1) 128+4=132, (0,1) 89+13=102
    //  (2,0) 159 white, e 96:  (3,0) 128-42=86, (2,1) 132-30=102, (3,1) 128-6=122, (1,1) 143-18=125
    //  (3,0)  86 black, e 86:  (3,1) 122+26=148, (2,1) 102+16=118
    // Row 1 right to left: 148 white (e 107: (2,1) 118-46=72), 72 black (e 72: (1,1) 125+31=156),
    //  156 white (e 99: (0,1) 102-43=59), 59 black.
    std::vector<std::uint8_t> values(8, 128);
    ditherLogo(values, 4, 2);
    EXPECT_EQ(values, (std::vector<std::uint8_t>{255, 0, 255, 0, 0, 255, 0, 255}));

    // The first share on a full-width picture: 7 * 127 / 16 = 55 off the right neighbour.
    std::vector<std::uint8_t> wide(kLogoWidth, 128);
    wide[1] = 183; // 183 - 55 = 128: still white only if exactly 55 was taken
    ditherLogo(wide, kLogoWidth, 1);
    EXPECT_EQ(wide[0], 255);
    EXPECT_EQ(wide[1], 255);
    wide.assign(kLogoWidth, 128);
    wide[1] = 182; // 182 - 55 = 127: black
    ditherLogo(wide, kLogoWidth, 1);
    EXPECT_EQ(wide[1], 0);
}

TEST(DitherLogo, SharesClampInsteadOfTurningNegative) {
    // White at 128 takes 55 off a 10, which stops at 0 and passes on no error,
    // so the third pixel keeps its 128 and turns white.
    std::vector<std::uint8_t> values{128, 10, 128};
    ditherLogo(values, 3, 1);
    EXPECT_EQ(values, (std::vector<std::uint8_t>{255, 0, 255}));
    // Black pushes up and stops at 255.
    values = {127, 250, 0};
    ditherLogo(values, 3, 1);
    EXPECT_EQ(values, (std::vector<std::uint8_t>{0, 255, 0}));
}

TEST(DitherLogo, SharesOutsideThePictureAreDropped) {
    // A single column: ahead and the diagonals are outside on every row.
    std::vector<std::uint8_t> values{100, 100, 100};
    ditherLogo(values, 1, 3);
    // 100 black, e 100: below +31 = 131 white, e 124: below -38 = 62 black.
    EXPECT_EQ(values, (std::vector<std::uint8_t>{0, 255, 0}));
}

// The rules written out plainly, pixel by pixel, to hold the fast scan to.
void referenceDither(std::vector<int>& v, int width, int height) {
    const auto at = [&](int x, int y) -> int& { return v[static_cast<std::size_t>(y * width + x)]; };
    const auto give = [&](int x, int y, int share, bool white) {
        if (x < 0 || x >= width || y >= height) {
            return;
        }
        at(x, y) = white ? std::max(at(x, y) - share, 0) : std::min(at(x, y) + share, 255);
    };
    for (int y = 0; y < height; ++y) {
        const int step = y % 2 == 0 ? 1 : -1;
        for (int n = 0; n < width; ++n) {
            const int x = step > 0 ? n : width - 1 - n;
            const bool white = at(x, y) >= 128;
            const int e = white ? 255 - at(x, y) : at(x, y);
            at(x, y) = white ? 255 : 0;
            give(x + step, y, 7 * e / 16, white);
            give(x, y + 1, 5 * e / 16, white);
            give(x + step, y + 1, e / 16, white);
            give(x - step, y + 1, 3 * e / 16, white);
        }
    }
}

TEST(DitherLogo, AgreesWithThePlainRulesOnRandomPictures) {
    std::mt19937 random(20261208);
    const std::pair<int, int> sizes[] = {{kLogoWidth, kLogoMaxHeight}, {1, 5}, {2, 3}, {3, 4}, {17, 9}};
    for (const auto& [width, height] : sizes) {
        for (const int spread : {256, 40}) { // all values, and values close to the cut
            std::uniform_int_distribution<int> value(128 - spread / 2, 127 + spread / 2);
            std::vector<std::uint8_t> fast(static_cast<std::size_t>(width * height));
            std::vector<int> plain(fast.size());
            for (std::size_t i = 0; i < fast.size(); ++i) {
                plain[i] = value(random);
                fast[i] = static_cast<std::uint8_t>(plain[i]);
            }
            ditherLogo(fast, width, height);
            referenceDither(plain, width, height);
            EXPECT_TRUE(std::equal(fast.begin(), fast.end(), plain.begin())) << width << " x " << height;
        }
    }
}

} // namespace
