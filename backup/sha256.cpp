#include "sha256.h"

std::string sha256Hex(std::string_view bytes) {
    constexpr char kHex[] = "0123456789abcdef";
    std::string hex;
    for (const unsigned char byte : sha256Digest(bytes)) {
        hex.push_back(kHex[byte >> 4]);
        hex.push_back(kHex[byte & 0x0F]);
    }
    return hex;
}
