#include "file_bytes.h"

#include <array>
#include <fstream>

namespace {

constexpr std::size_t kReadChunk = 64 * 1024; // bytes per read call

} // namespace

FileRead readFileBytes(const std::filesystem::path& path, std::size_t maxBytes, std::string& bytes) {
    bytes.clear();
    std::error_code error;
    // A folder opens like a file on some systems but reads as nothing.
    if (std::filesystem::is_directory(path, error)) {
        return FileRead::Failed;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in.is_open()) {
        return FileRead::Failed;
    }
    const auto size = std::filesystem::file_size(path, error);
    if (!error) {
        if (size > maxBytes) {
            return FileRead::TooLarge;
        }
        bytes.reserve(static_cast<std::size_t>(size));
    }
    // The size was only a hint: a file may still grow while it is read.
    std::array<char, kReadChunk> chunk;
    while (in) {
        in.read(chunk.data(), static_cast<std::streamsize>(chunk.size()));
        bytes.append(chunk.data(), static_cast<std::size_t>(in.gcount()));
        if (bytes.size() > maxBytes) {
            bytes.clear();
            return FileRead::TooLarge;
        }
    }
    if (in.bad()) {
        bytes.clear();
        return FileRead::Failed;
    }
    return FileRead::Ok;
}
