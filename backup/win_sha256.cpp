// Windows has SHA-256 itself (CNG, bcrypt.dll): the program needs no library
// beside it for the manifest's sums.

#include "sha256.h"

#include <algorithm>
#include <cstdlib>

// The system header first: <bcrypt.h> needs what it declares.
// clang-format off
#include <windows.h>
#include <bcrypt.h>
// clang-format on

namespace {

// BCryptHashData takes at most this many bytes a call.
constexpr std::size_t kMaxBytesPerCall = 1u << 30;

void check(NTSTATUS status) {
    // These calls fail only when the system itself is broken: there is no sum
    // to give then, and a made-up one could pass a damaged backup.
    if (!BCRYPT_SUCCESS(status)) {
        std::abort();
    }
}

// The provider is opened once and kept for the run; it may be shared by threads.
BCRYPT_ALG_HANDLE sha256Provider() {
    static const BCRYPT_ALG_HANDLE provider = [] {
        BCRYPT_ALG_HANDLE opened = nullptr;
        check(BCryptOpenAlgorithmProvider(&opened, BCRYPT_SHA256_ALGORITHM, nullptr, 0));
        return opened;
    }();
    return provider;
}

} // namespace

std::array<unsigned char, 32> sha256Digest(std::string_view bytes) {
    std::array<unsigned char, 32> digest{};
    BCRYPT_HASH_HANDLE hash = nullptr;
    check(BCryptCreateHash(sha256Provider(), &hash, nullptr, 0, nullptr, 0, 0));
    for (std::size_t offset = 0; offset < bytes.size(); offset += kMaxBytesPerCall) {
        const std::size_t length = std::min(kMaxBytesPerCall, bytes.size() - offset);
        // The call only reads the bytes, whatever its parameter's type says.
        auto* data = reinterpret_cast<PUCHAR>(const_cast<char*>(bytes.data() + offset));
        check(BCryptHashData(hash, data, static_cast<ULONG>(length), 0));
    }
    check(BCryptFinishHash(hash, digest.data(), static_cast<ULONG>(digest.size()), 0));
    BCryptDestroyHash(hash);
    return digest;
}
