// A decoded picture of any size made into the logo's grey image: levels with
// transparency over white, the sizes each fit gives, placing, and smooth scaling.

#include "tools/logo_fitting.h"
#include "tools/picture_scaling.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <vector>

namespace {

using Levels = std::vector<std::uint16_t>;

TEST(SourceFromArgb, OpaqueKeepsItsLevelAndTransparencyGoesOverWhite) {
    // Two rows of three pixels, four words apart; the fourth word of a row is not a pixel.
    const std::vector<std::uint32_t> words{
        0xFFFF0000, 0x00000000, 0x80000000, 0x12345678, // opaque red, clear black, half black
        0xFF0000FF, 0x00FF0000, 0xFFFFFFFF, 0x12345678, // opaque blue, clear red, opaque white
    };
    const SourcePicture picture = sourceFromArgb(3, 2, words.data(), 4);
    ASSERT_EQ(picture.width, 3);
    ASSERT_EQ(picture.height, 2);
    // 19 x 255 = 4845; white 16065 whatever colour is hidden; 16065 x 127 / 255 = 8001.
    EXPECT_EQ(picture.levels, (Levels{4845, kLevelOfWhite, 8001, 6 * 255, kLevelOfWhite, kLevelOfWhite}));
    EXPECT_EQ(kLevelOfWhite >> 6, kGreyOfWhite);
}

TEST(FittedSize, EveryModeKeepsToTheLogoAndRoundsToWholePixels) {
    struct Case {
        int width, height;
        FitMode mode;
        LogoSize expected;
    };
    const Case cases[] = {
        {1200, 400, FitMode::Crop, {384, 250}},
        {100, 300, FitMode::Crop, {100, 250}},
        {1200, 400, FitMode::FitWidth, {384, 128}},
        {2000, 1500, FitMode::FitWidth, {384, 250}}, // 288 rows, cut at 250
        {100, 10, FitMode::FitWidth, {384, 38}},     // 38.4 rows
        {1000, 1, FitMode::FitWidth, {384, 1}},      // never no rows at all
        {1200, 400, FitMode::Fit, {384, 128}},       // wider than the logo: the width decides
        {2000, 1500, FitMode::Fit, {333, 250}},      // 333.3 columns
        {10, 10, FitMode::Fit, {250, 250}},          // grown
        {1, 1000, FitMode::Fit, {1, 250}},
        {0, 10, FitMode::Fit, {0, 0}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(fittedSize(c.width, c.height, c.mode), c.expected)
            << c.width << " x " << c.height << " mode " << static_cast<int>(c.mode);
    }
}

TEST(FitLogo, CropIsTheUnscaledPictureAndPlacementMovesOnlyNarrowOnes) {
    // 100 x 2 of levels 64 x (x % 100): grey values 0..99.
    SourcePicture narrow{100, 2, {}};
    for (int i = 0; i < 200; ++i) {
        narrow.levels.push_back(static_cast<std::uint16_t>(64 * (i % 100) + 63));
    }
    const struct {
        Placement placement;
        int left;
    } places[] = {{Placement::Left, 0}, {Placement::Centre, 142}, {Placement::Right, 284}};
    for (const auto& [placement, left] : places) {
        const GreyImage image = fitLogo(narrow, FitMode::Crop, placement);
        ASSERT_EQ(image.height, 2);
        for (int x = 0; x < kLogoWidth; ++x) {
            const bool inside = x >= left && x < left + 100;
            EXPECT_EQ(image.at(x, 1), inside ? x - left : kGreyOfWhite) << "x = " << x << ", left = " << left;
        }
    }
    // A picture that fills the width keeps its left 384 columns wherever it is placed.
    SourcePicture wide{500, 1, Levels(500, 0)};
    wide.levels[383] = kLevelOfWhite;
    EXPECT_EQ(fitLogo(wide, FitMode::Crop, Placement::Right).at(383, 0), kGreyOfWhite);
    EXPECT_EQ(fitLogo(wide, FitMode::Crop, Placement::Centre).at(0, 0), 0);
}

// A picture one pixel wide and two million tall, stretched to the logo's
// width, would be 768 million rows; only the 250 the logo keeps are made.
TEST(FitLogo, AVeryTallNarrowPictureStretchedToTheWidthMakesOnlyTheRowsKept) {
    SourcePicture tall{1, 2'000'000, Levels(2'000'000, 64 * 40)};
    const GreyImage image = fitLogo(tall, FitMode::FitWidth, Placement::Left);
    ASSERT_EQ(image.height, kLogoMaxHeight);
    EXPECT_EQ(image.at(0, 0), 40);
    EXPECT_EQ(image.at(kLogoWidth - 1, kLogoMaxHeight - 1), 40);
}

TEST(ScaleLevels, ShrinkingAveragesAreasAndGrowingInterpolates) {
    // Halving: each new pixel is the mean of two.
    EXPECT_EQ(scaleLevels(Levels{0, 100, 200, 300}, 4, 1, 2, 1, 1), (Levels{50, 250}));
    // Three into two: each new pixel covers one and a half old ones.
    EXPECT_EQ(scaleLevels(Levels{0, 300, 600}, 3, 1, 2, 1, 1), (Levels{100, 500}));
    // Two into four: new centres at -1/4, 1/4, 3/4 and 5/4 of the old spacing.
    EXPECT_EQ(scaleLevels(Levels{0, 400}, 2, 1, 4, 1, 1), (Levels{0, 100, 300, 400}));
    // The same down a column, and only the wanted rows.
    EXPECT_EQ(scaleLevels(Levels{0, 100, 200, 300}, 1, 4, 1, 2, 2), (Levels{50, 250}));
    EXPECT_EQ(scaleLevels(Levels{0, 400}, 1, 2, 1, 4, 2), (Levels{0, 100}));
    // A kept axis passes its pixels through.
    const Levels odd{1, 16065, 7, 300, 2, 9};
    EXPECT_EQ(scaleLevels(odd, 3, 2, 3, 2, 2), odd);

    // Flat areas stay exactly flat at any ratio: white stays the grey of white.
    SourcePicture white{2000, 1500, Levels(2000u * 1500u, kLevelOfWhite)};
    for (const FitMode mode : {FitMode::FitWidth, FitMode::Fit}) {
        const GreyImage image = fitLogo(white, mode, Placement::Centre);
        EXPECT_TRUE(
            std::all_of(image.pixels.begin(), image.pixels.end(), [](auto g) { return g == kGreyOfWhite; }));
    }
    const Levels grown = scaleLevels(Levels(7 * 3, 1234), 7, 3, 250, 107, 107);
    EXPECT_TRUE(std::all_of(grown.begin(), grown.end(), [](auto v) { return v == 1234; }));
}

} // namespace
