#include "logo_picture.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <png.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace sim {

namespace {

constexpr int kRowBytes = kLogoDotsPerRow / 8;

bool fail(std::string* error, const std::string& reason) {
    if (error != nullptr) {
        *error = reason;
    }
    return false;
}

// The bytes go to a new file beside the target, which replaces it by a
// rename only once every byte is written and on the disk.
bool replaceFile(const std::string& path, const std::vector<unsigned char>& bytes, std::string* error) {
    // A name of its own, created only if free, with the usual permissions.
    const std::string temporary = path + ".tmp-" + std::to_string(getpid());
    const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        return fail(error, std::strerror(errno));
    }
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            break;
        }
        written += static_cast<std::size_t>(n);
    }
    const int writeErrno = errno;
    const bool whole = written == bytes.size() && fsync(fd) == 0;
    const bool closed = close(fd) == 0;
    if (!whole || !closed || rename(temporary.c_str(), path.c_str()) != 0) {
        const std::string reason = std::strerror(written == bytes.size() ? errno : writeErrno);
        unlink(temporary.c_str());
        return fail(error, reason);
    }
    return true;
}

} // namespace

bool writeLogoPicture(const std::string& path, const ScaleMemory& memory, std::string* error) {
    const int rows = std::min<int>(memory.logoMemory.at(0), kLogoMaxRows);
    if (rows == 0) {
        return fail(error, "no logo is stored (its height is 0)");
    }
    std::vector<unsigned char> grey(static_cast<std::size_t>(rows) * kLogoDotsPerRow);
    for (int y = 0; y < rows; ++y) {
        for (int x = 0; x < kLogoDotsPerRow; ++x) {
            const std::uint8_t byte = memory.logoMemory[1 + static_cast<std::size_t>(y * kRowBytes + x / 8)];
            grey[static_cast<std::size_t>(y * kLogoDotsPerRow + x)] =
                (byte & (0x80 >> (x % 8))) != 0 ? 0 : 255;
        }
    }

    // libpng's simplified interface: the whole picture from one buffer, with
    // errors reported in the image's message instead of a long jump.
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = kLogoDotsPerRow;
    image.height = static_cast<png_uint_32>(rows);
    image.format = PNG_FORMAT_GRAY;
    png_alloc_size_t size = 0;
    if (png_image_write_to_memory(&image, nullptr, &size, 0, grey.data(), 0, nullptr) == 0) {
        return fail(error, image.message);
    }
    std::vector<unsigned char> file(size);
    if (png_image_write_to_memory(&image, file.data(), &size, 0, grey.data(), 0, nullptr) == 0) {
        return fail(error, image.message);
    }
    file.resize(size);
    return replaceFile(path, file, error);
}

} // namespace sim
