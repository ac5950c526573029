#include "file_replace.h"

#include "file_system_calls.h"

#include <algorithm>
#include <cstdio>
#include <random>
#include <system_error>

namespace {

// Attempts at finding a free temporary name before giving up.
constexpr int kTemporaryNameAttempts = 16;
// Bytes per write call, so a full disk is noticed early.
constexpr std::size_t kWriteChunk = 64 * 1024;

} // namespace

bool replaceFileContents(const std::filesystem::path& target, std::string_view bytes) {
    std::random_device entropy;
    std::filesystem::path temporary;
    std::FILE* file = nullptr;
    for (int attempt = 0; attempt < kTemporaryNameAttempts && file == nullptr; ++attempt) {
        temporary = target;
        temporary += "." + std::to_string(entropy() % 1000000u) + ".tmp";
        file = createNewFile(temporary);
    }
    if (file == nullptr) {
        return false;
    }

    bool written = true;
    for (std::size_t offset = 0; written && offset < bytes.size(); offset += kWriteChunk) {
        const std::size_t length = std::min(kWriteChunk, bytes.size() - offset);
        written = std::fwrite(bytes.data() + offset, 1, length, file) == length;
    }
    written = written && flushFileToDisk(file);
    written = (std::fclose(file) == 0) && written;

    if (written && renameReplacingFile(temporary, target)) {
        return true;
    }
    std::error_code error;
    std::filesystem::remove(temporary, error);
    return false;
}
