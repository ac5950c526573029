#pragma once
// SHA-256 of a file's bytes, as the backup's manifest keeps it: 64 lower-case
// hex digits, the form sha256sum prints.

#include <string>
#include <string_view>

std::string sha256Hex(std::string_view bytes);
