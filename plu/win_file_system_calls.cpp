#include "file_system_calls.h"

#include <cerrno>
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

namespace {

// A virus scanner or the search indexer may hold a file that was just
// written, or the one it replaces, for a moment: a rename refused for that
// is tried again, this many times in all, this long apart.
constexpr int kRenameAttempts = 20;
constexpr DWORD kRenameRetryPauseMs = 50;

bool heldForAMoment(DWORD error) {
    return error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
}

bool moveFile(const std::filesystem::path& from, const std::filesystem::path& to, DWORD flags) {
    for (int attempt = 1;; ++attempt) {
        // Write-through: the call returns once the new name is on the disk.
        if (MoveFileExW(from.c_str(), to.c_str(), flags | MOVEFILE_WRITE_THROUGH)) {
            return true;
        }
        if (attempt == kRenameAttempts || !heldForAMoment(GetLastError())) {
            return false;
        }
        Sleep(kRenameRetryPauseMs);
    }
}

} // namespace

std::FILE* createNewFile(const std::filesystem::path& path) {
    // The C library's "x" mode is not known to every Windows C runtime; the
    // exclusive create of the system is.
    const int fd =
        _wopen(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT, _S_IREAD | _S_IWRITE);
    if (fd < 0) {
        return nullptr;
    }
    std::FILE* file = _fdopen(fd, "wb");
    if (file == nullptr) {
        _close(fd);
    }
    return file;
}

bool flushFileToDisk(std::FILE* file) {
    return std::fflush(file) == 0 && _commit(_fileno(file)) == 0;
}

bool renameReplacingFile(const std::filesystem::path& from, const std::filesystem::path& to) {
    return moveFile(from, to, MOVEFILE_REPLACE_EXISTING);
}

bool renameWithoutReplacing(const std::filesystem::path& from, const std::filesystem::path& to) {
    return moveFile(from, to, 0);
}

bool flushFolderEntries(const std::filesystem::path&) {
    // NTFS logs every change of a folder's entries, and the renames above
    // return only once theirs is written: nothing is left to flush.
    return true;
}
