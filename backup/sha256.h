#pragma once
// SHA-256 of a file's bytes, as the backup's manifest keeps it: 64 lower-case
// hex digits, the form sha256sum prints.

#include <array>
#include <string>
#include <string_view>

std::string sha256Hex(std::string_view bytes);

// The 32 bytes of the sum, from the platform's own implementation (libgcrypt
// in gcrypt_sha256.cpp; Windows' CNG in win_sha256.cpp).
std::array<unsigned char, 32> sha256Digest(std::string_view bytes);
