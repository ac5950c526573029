#pragma once
// Replacing a file's contents without ever leaving it half written.
//
// The bytes go to a new temporary file in the same folder, which replaces the
// old file by a rename only when every byte is written and flushed. If
// anything fails, the temporary file is removed and the old file stays whole.

#include <filesystem>
#include <string_view>

bool replaceFileContents(const std::filesystem::path& target, std::string_view bytes);
