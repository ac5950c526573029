#pragma once
// The few file calls whose form differs between POSIX and Windows, for the
// writers that never leave a file or a folder half written (file_replace.h,
// backup/durable_folder.h) and for files that must be new. One implementation
// per platform: posix_file_system_calls.cpp, win_file_system_calls.cpp.

#include <cstdio>
#include <filesystem>
#include <string>

// Opens a new file for writing bytes; nullptr, with errno EEXIST, when
// anything is at `path` already, so another program's file is never
// overwritten.
std::FILE* createNewFile(const std::filesystem::path& path);

// Flushes the stream and has the system put the file's bytes on the disk.
bool flushFileToDisk(std::FILE* file);

// Renames `from` to `to`, replacing a file at `to` in one step.
bool renameReplacingFile(const std::filesystem::path& from, const std::filesystem::path& to);

// Renames `from` to `to` only when nothing is at `to`.
bool renameWithoutReplacing(const std::filesystem::path& from, const std::filesystem::path& to);

// The folder's entries (names made, renamed, removed in it) reach the disk.
bool flushFolderEntries(const std::filesystem::path& folder);

// A path as text for a message: its bytes on POSIX systems, UTF-8 on Windows,
// where path::string() throws for a name outside the ANSI code page.
inline std::string pathText(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}
