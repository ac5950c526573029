// Atkinson and ordered dithering against hand-worked pictures and the plain rules.

#include "tools/logo_conversion.h"
#include "tools/logo_dithering.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <random>
#include <vector>

namespace {

using Values = std::vector<std::uint8_t>;

GreyImage uniformGrey(int height, std::uint8_t grey) {
    return GreyImage{height, std::vector<std::uint8_t>(static_cast<std::size_t>(height) * kLogoWidth, grey)};
}

TEST(DitherAtkinson, HandWorkedPictures) {
    // 4 x 2 of grey 100, worked by hand (share = e / 8 to x+1, x+2, and below
    // at x-1, x, x+1; the row two below is outside):
    //  (0,0) 100 black, +12: (1,0) 112, (2,0) 112, (0,1) 112, (1,1) 112
    //  (1,0) 112 black, +14: (2,0) 126, (3,0) 114, (0,1) 126, (1,1) 126, (2,1) 114
    //  (2,0) 126 black, +15: (3,0) 129, (1,1) 141, (2,1) 129, (3,1) 115
    //  (3,0) 129 white, e 126, -15: (2,1) 114, (3,1) 100
    //  (0,1) 126 black, +15: (1,1) 156, (2,1) 129
    //  (1,1) 156 white, e 99, -12: (2,1) 117, (3,1) 88
    //  (2,1) 117 black, +14: (3,1) 102; (3,1) 102 black.
    Values values(8, 100);
    ditherAtkinson(values, 4, 2);
    EXPECT_EQ(values, (Values{0, 0, 0, 255, 0, 255, 0, 0}));

    // One column: the share two rows down decides the last pixel.
    //  120 black, +15: 215, 135; 215 white, e 40, -5: 130 white (115 without it).
    values = {120, 200, 120};
    ditherAtkinson(values, 1, 3);
    EXPECT_EQ(values, (Values{0, 255, 255}));
}

// The rules written out plainly, pixel by pixel, to hold the fast scan to.
void referenceAtkinson(std::vector<int>& v, int width, int height) {
    const auto at = [&](int x, int y) -> int& { return v[static_cast<std::size_t>(y * width + x)]; };
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const bool white = at(x, y) >= 128;
            const int share = (white ? 255 - at(x, y) : at(x, y)) / 8;
            at(x, y) = white ? 255 : 0;
            for (const auto& [dx, dy] : {std::pair{1, 0}, {2, 0}, {-1, 1}, {0, 1}, {1, 1}, {0, 2}}) {
                if (x + dx < 0 || x + dx >= width || y + dy >= height) {
                    continue;
                }
                int& n = at(x + dx, y + dy);
                n = white ? std::max(n - share, 0) : std::min(n + share, 255);
            }
        }
    }
}

TEST(DitherAtkinson, AgreesWithThePlainRulesOnRandomPictures) {
    std::mt19937 random(20261209);
    const std::pair<int, int> sizes[] = {{kLogoWidth, kLogoMaxHeight}, {1, 5}, {2, 3}, {3, 1}, {17, 9}};
    for (const auto& [width, height] : sizes) {
        for (const int spread : {256, 40}) { // all values, and values close to the cut
            std::uniform_int_distribution<int> value(128 - spread / 2, 127 + spread / 2);
            Values fast(static_cast<std::size_t>(width * height));
            std::vector<int> plain(fast.size());
            for (std::size_t i = 0; i < fast.size(); ++i) {
                plain[i] = value(random);
                fast[i] = static_cast<std::uint8_t>(plain[i]);
            }
            // The conversion takes the same path: with no brightness and no
            // contrast the toned values are the stored grey values.
            if (width == kLogoWidth) {
                const LogoBitmap logo = convertLogo({height, fast}, {0, 0, DitherMode::Atkinson});
                ditherAtkinson(fast, width, height);
                for (std::size_t i = 0; i < fast.size(); ++i) {
                    ASSERT_EQ(logo.isBlack(static_cast<int>(i) % width, static_cast<int>(i) / width),
                              fast[i] == 0);
                }
            } else {
                ditherAtkinson(fast, width, height);
            }
            referenceAtkinson(plain, width, height);
            EXPECT_TRUE(std::equal(fast.begin(), fast.end(), plain.begin())) << width << " x " << height;
        }
    }
}

TEST(DitherBayer, HandComputedRowsAndTheEnds) {
    // With no brightness and no contrast the values are the grey values.
    const LogoSettings plain{0, 0, DitherMode::Bayer};
    // Row 0 ranks 0 32 8 40 2 34 10 42 give thresholds 1 128 33 160 9 136 41 168:
    // 128 is black under 160, 136 and 168.
    // Row 1 ranks 48 16 56 24 50 18 58 26 give 191 64 223 96 199 72 231 104.
    const LogoBitmap grey = convertLogo(uniformGrey(9, 128), plain);
    const auto row = [&](int y) { return Values(grey.row(y).begin(), grey.row(y).end()); };
    EXPECT_EQ(row(0), Values(48, 0x15));
    EXPECT_EQ(row(1), Values(48, 0xAA));
    EXPECT_EQ(row(8), row(0)) << "the pattern repeats every 8 rows";
    EXPECT_EQ(bayerThreshold(0, 0), 1);
    EXPECT_EQ(bayerThreshold(8 * 5, 3 + 8), bayerThreshold(0, 3));
    // Black stays black; the grey of white never prints a dot.
    const auto all = [](const LogoBitmap& logo, std::uint8_t byte) {
        return std::all_of(logo.rows.begin(), logo.rows.end(), [byte](std::uint8_t b) { return b == byte; });
    };
    EXPECT_TRUE(all(convertLogo(uniformGrey(8, 0), plain), 0xFF));
    EXPECT_TRUE(all(convertLogo(uniformGrey(8, kGreyOfWhite), plain), 0x00));

    // The plain form over values agrees with the conversion.
    Values values(static_cast<std::size_t>(kLogoWidth) * 8);
    for (std::size_t i = 0; i < values.size(); ++i) {
        values[i] = static_cast<std::uint8_t>(i * 37 % 256);
    }
    const LogoBitmap logo = convertLogo({8, values}, plain);
    ditherBayer(values, kLogoWidth, 8);
    for (std::size_t i = 0; i < values.size(); ++i) {
        ASSERT_EQ(logo.isBlack(static_cast<int>(i) % kLogoWidth, static_cast<int>(i) / kLogoWidth),
                  values[i] == 0);
    }
}

} // namespace
