#pragma once
// A whole small file as bytes, read in one go with a bound on its size.

#include <cstddef>
#include <filesystem>
#include <string>

enum class FileRead { Ok, Failed, TooLarge };

FileRead readFileBytes(const std::filesystem::path& path, std::size_t maxBytes, std::string& bytes);
