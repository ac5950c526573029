#include "durable_folder.h"

#include "plu/file_replace.h"
#include "plu/file_system_calls.h"

#include <random>
#include <string>
#include <system_error>

namespace {

// Names tried for the work folder before giving up.
constexpr int kWorkNameAttempts = 16;

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
        // Put together as paths: the name may hold what no 8-bit text can.
        std::filesystem::path name = ".";
        name += target.filename();
        name += "." + std::to_string(entropy() % 1000000u) + ".partial";
        const std::filesystem::path work = parent / name;
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
    if (work_.empty() || !flushFolderEntries(work_) || !renameWithoutReplacing(work_, target_)) {
        return false;
    }
    work_.clear();
    // The new name itself is an entry of the parent folder.
    std::filesystem::path parent = target_.parent_path();
    flushFolderEntries(parent.empty() ? std::filesystem::path(".") : parent);
    return true;
}
