#include "sha256.h"

#include <gcrypt.h>
#include <mutex>

namespace {

// Libgcrypt wants to be initialised once before its first use; the program
// uses no secure memory, since nothing it hashes is secret.
void initialiseOnce() {
    static std::once_flag once;
    std::call_once(once, [] {
        if (!gcry_control(GCRYCTL_INITIALIZATION_FINISHED_P)) {
            gcry_check_version(nullptr);
            gcry_control(GCRYCTL_DISABLE_SECMEM, 0);
            gcry_control(GCRYCTL_INITIALIZATION_FINISHED, 0);
        }
    });
}

} // namespace

std::array<unsigned char, 32> sha256Digest(std::string_view bytes) {
    initialiseOnce();
    std::array<unsigned char, 32> digest{};
    gcry_md_hash_buffer(GCRY_MD_SHA256, digest.data(), bytes.data(), bytes.size());
    return digest;
}
