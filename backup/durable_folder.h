#pragma once
// A folder that appears whole or not at all. Its files are written into a
// hidden work folder beside the target, each flushed to the disk; the work
// folder is flushed and then renamed to the target in one step, which never
// replaces a folder already there (the platform's calls for both are in
// plu/file_system_calls.h).

#include <filesystem>
#include <optional>
#include <string_view>

class DurableFolder {
  public:
    // Creates the work folder beside `target`; nullopt when `target` exists
    // already or its parent folder cannot be written.
    static std::optional<DurableFolder> begin(const std::filesystem::path& target);

    DurableFolder(DurableFolder&& other) noexcept;
    DurableFolder& operator=(DurableFolder&&) = delete;
    DurableFolder(const DurableFolder&) = delete;
    DurableFolder& operator=(const DurableFolder&) = delete;
    // A folder that was not committed goes, with everything in it.
    ~DurableFolder();

    // Writes one file of the folder, flushed to the disk.
    bool write(std::string_view name, std::string_view bytes);
    // Puts the folder in place of the target; false leaves no target behind.
    bool commit();

    const std::filesystem::path& workFolder() const { return work_; }

  private:
    DurableFolder(std::filesystem::path target, std::filesystem::path work)
        : target_(std::move(target)), work_(std::move(work)) {}

    std::filesystem::path target_;
    std::filesystem::path work_; // empty once committed or moved from
};
