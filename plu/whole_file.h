#pragma once
// A small file read whole, for the readers that take a file at once.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

enum class WholeFileFailure { None, CannotRead, TooLarge };

// The file's bytes; nullopt when it cannot be opened or read (a folder cannot)
// or holds more than maxBytes, with the reason in `failure`.
std::optional<std::string> readWholeFile(const std::filesystem::path& path, std::uintmax_t maxBytes,
                                         WholeFileFailure* failure = nullptr);
