// The logo the simulated scale holds, written out as the picture it would print.
#include "sim/logo_picture.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <png.h>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct GreyPicture {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> pixels;
};

GreyPicture readPng(const fs::path& path) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    GreyPicture picture;
    if (png_image_begin_read_from_file(&image, path.c_str()) == 0) {
        ADD_FAILURE() << image.message;
        return picture;
    }
    image.format = PNG_FORMAT_GRAY;
    picture.width = static_cast<int>(image.width);
    picture.height = static_cast<int>(image.height);
    picture.pixels.resize(PNG_IMAGE_SIZE(image));
    EXPECT_NE(png_image_finish_read(&image, nullptr, picture.pixels.data(), 0, nullptr), 0) << image.message;
    return picture;
}

TEST(LogoPicture, StoredRowsBecomeDotsAndNoLogoWritesNothing) {
    const fs::path dir = fs::temp_directory_path() / ("sim-logo-picture-" + std::to_string(getpid()));
    fs::create_directories(dir);
    sim::ScaleMemory memory;
    memory.logoMemory[0] = 3;                  // three rows
    memory.logoMemory[1] = 0x80;               // row 0: the leftmost dot
    memory.logoMemory[1 + 48 + 47] = 0x01;     // row 1: the rightmost dot
    memory.logoMemory[1 + 2 * 48 + 10] = 0xFF; // row 2: dots 80..87
    memory.logoMemory[1 + 3 * 48] = 0xFF;      // beyond the height: not part of the logo
    std::string error;
    ASSERT_TRUE(sim::writeLogoPicture((dir / "logo.png").string(), memory, &error)) << error;
    const GreyPicture picture = readPng(dir / "logo.png");
    ASSERT_EQ(picture.width, 384);
    ASSERT_EQ(picture.height, 3);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 384; ++x) {
            const bool black = (y == 0 && x == 0) || (y == 1 && x == 383) || (y == 2 && x >= 80 && x < 88);
            ASSERT_EQ(picture.pixels[static_cast<std::size_t>(y * 384 + x)], black ? 0 : 255)
                << x << ", " << y;
        }
    }

    // A height byte beyond what the memory holds gives the 250 rows it holds.
    memory.logoMemory[0] = 255;
    ASSERT_TRUE(sim::writeLogoPicture((dir / "logo.png").string(), memory, &error)) << error;
    EXPECT_EQ(readPng(dir / "logo.png").height, 250);

    memory.logoMemory[0] = 0;
    EXPECT_FALSE(sim::writeLogoPicture((dir / "none.png").string(), memory, &error));
    EXPECT_FALSE(fs::exists(dir / "none.png"));
    memory.logoMemory[0] = 1;
    EXPECT_FALSE(sim::writeLogoPicture((dir / "missing" / "logo.png").string(), memory, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator{}), 1)
        << "no file left behind";
    fs::remove_all(dir);
}

} // namespace
