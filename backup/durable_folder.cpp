#include "durable_folder.h"

#include "plu/file_replace.h"

#include <random>
#include <string>
#include <system_error>

#if defined(_WIN32)
#include <windows.h>
#else
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>
#endif

namespace {

// Names tried for the work folder before giving up.
constexpr int kWorkNameAttempts = 16;

// The folder's entries reach the disk (POSIX: fsync on the folder itself;
// Windows commits a folder's entries with the rename).
bool syncFolder(const std::filesystem::path& folder) {
#if defined(_WIN32)
    (void)folder;
    return true;
#else
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd < 0) {
        return false;
    }
    const bool synced = ::fsync(fd) == 0;
    return ::close(fd) == 0 && synced;
#endif
}

// Renames `from` to `to` only when nothing is at `to`.
bool renameWithoutReplacing(const std::filesystem::path& from, const std::filesystem::path& to) {
#if defined(_WIN32)
    return MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH) != 0;
#elif defined(__linux__) && defined(RENAME_NOREPLACE)
    return ::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0;
#else
    // rename() would replace an empty folder: look first (a narrow race only).
    std::error_code error;
    if (std::filesystem::exists(std::filesystem::symlink_status(to, error))) {
        return false;
    }
    return ::rename(from.c_str(), to.c_str()) == 0;
#endif
}

} // namespace

std::optional<DurableFolder> DurableFolder::begin(const std::filesystem::path& target) {
    std::error_code error;
    if (target.filename().empty() || std::filesystem::exists(std::filesystem::symlink_status(target, error))) {
        return std::nullopt;
    }
    std::filesystem::path parent = target.parent_path();
    if (parent.empty()) {
        parent = ".";
    }
    std::random_device entropy;
    for (int attempt = 0; attempt < kWorkNameAttempts; ++attempt) {
        const std::filesystem::path work =
            parent / ("." + target.filename().string() + "." + std::to_string(entropy() % 1000000u) + ".partial");
        if (std::filesystem::create_directory(work, error)) {
            return DurableFolder(target, work);
        }
        if (error && error != std::errc::file_exists) {
            return std::nullopt;
        }
    }
    return std::nullopt;
}

DurableFolder::DurableFolder(DurableFolder&& other) noexcept
    : target_(std::move(other.target_)), work_(std::move(other.work_)) {
    other.work_.clear();
}

DurableFolder::~DurableFolder() {
    if (!work_.empty()) {
        std::error_code error;
        std::filesystem::remove_all(work_, error);
    }
}

bool DurableFolder::write(std::string_view name, std::string_view bytes) {
    return !work_.empty() && replaceFileContents(work_ / std::filesystem::path(std::string(name)), bytes);
}

bool DurableFolder::commit() {
    if (work_.empty() || !syncFolder(work_) || !renameWithoutReplacing(work_, target_)) {
        return false;
    }
    work_.clear();
    // The new name itself is an entry of the parent folder.
    std::filesystem::path parent = target_.parent_path();
    syncFolder(parent.empty() ? std::filesystem::path(".") : parent);
    return true;
}
