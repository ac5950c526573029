#include "file_replace.h"

#include <cstdio>
#include <random>
#include <system_error>

#if defined(_WIN32)
#include <io.h>
#else
#include <unistd.h>
#endif

namespace {

// Attempts at finding a free temporary name before giving up.
constexpr int kTemporaryNameAttempts = 16;
// Bytes per write call, so a full disk is noticed early.
constexpr std::size_t kWriteChunk = 64 * 1024;

// Creates the file only when no file of that name exists yet, so another
// program's file is never overwritten by the temporary one.
std::FILE* createExclusive(const std::filesystem::path& path) {
#if defined(_WIN32)
    return _wfopen(path.c_str(), L"wbx");
#else
    return std::fopen(path.c_str(), "wbx");
#endif
}

bool flushToDisk(std::FILE* file) {
    if (std::fflush(file) != 0) {
        return false;
    }
#if defined(_WIN32)
    return _commit(_fileno(file)) == 0;
#else
    return ::fsync(fileno(file)) == 0;
#endif
}

} // namespace

bool replaceFileContents(const std::filesystem::path& target, std::string_view bytes) {
    std::random_device entropy;
    std::filesystem::path temporary;
    std::FILE* file = nullptr;
    for (int attempt = 0; attempt < kTemporaryNameAttempts && file == nullptr; ++attempt) {
        temporary = target;
        temporary += "." + std::to_string(entropy() % 1000000u) + ".tmp";
        file = createExclusive(temporary);
    }
    if (file == nullptr) {
        return false;
    }

    bool written = true;
    for (std::size_t offset = 0; written && offset < bytes.size(); offset += kWriteChunk) {
        const std::size_t length = std::min(kWriteChunk, bytes.size() - offset);
        written = std::fwrite(bytes.data() + offset, 1, length, file) == length;
    }
    written = written && flushToDisk(file);
    written = (std::fclose(file) == 0) && written;

    std::error_code error;
    if (written) {
        std::filesystem::rename(temporary, target, error);
        if (!error) {
            return true;
        }
    }
    std::filesystem::remove(temporary, error);
    return false;
}
