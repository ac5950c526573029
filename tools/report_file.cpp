#include "report_file.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

namespace {

// Names tried for the temporary file before giving up (left over from a
// crashed save, or another program's).
constexpr int kMaxTemporaryNames = 100;

std::FILE* createTemporary(const std::string& path, std::string& temporaryPath) {
    for (int attempt = 0; attempt < kMaxTemporaryNames; ++attempt) {
        temporaryPath = path + ".part" + (attempt == 0 ? std::string() : std::to_string(attempt));
        // A name already taken (a file, a folder, a link) is someone else's.
        std::error_code error;
        const auto status = std::filesystem::symlink_status(temporaryPath, error);
        if (status.type() != std::filesystem::file_type::not_found) {
            continue;
        }
        return std::fopen(temporaryPath.c_str(), "wb");
    }
    return nullptr;
}

} // namespace

std::string reportFileBytes(const std::vector<std::string>& lines) {
    std::string bytes;
    for (const auto& line : lines) {
        bytes += line;
        bytes += "\r\n";
    }
    return bytes;
}

bool writeReportFile(const std::string& path, const std::vector<std::string>& lines) {
    std::string temporaryPath;
    std::FILE* file = createTemporary(path, temporaryPath);
    if (file == nullptr) {
        return false;
    }
    const std::string bytes = reportFileBytes(lines);
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size() && std::fflush(file) == 0;
    const bool closed = std::fclose(file) == 0;
    std::error_code error;
    if (written && closed) {
        std::filesystem::rename(temporaryPath, path, error);
        if (!error) {
            return true;
        }
    }
    std::filesystem::remove(temporaryPath, error);
    return false;
}
