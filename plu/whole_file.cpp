#include "whole_file.h"

#include <fstream>
#include <iterator>
#include <system_error>

std::optional<std::string> readWholeFile(const std::filesystem::path& path, std::uintmax_t maxBytes,
                                         WholeFileFailure* failure) {
    const auto fail = [&](WholeFileFailure why) -> std::optional<std::string> {
        if (failure) {
            *failure = why;
        }
        return std::nullopt;
    };
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        return fail(WholeFileFailure::CannotRead);
    }
    std::ifstream in(path, std::ios::binary);
    if (!in.is_open()) {
        return fail(WholeFileFailure::CannotRead);
    }
    // Read in steps up to one byte more than allowed, so a file that grows
    // while it is read is still caught.
    std::string bytes;
    char block[16 * 1024];
    while (in.read(block, sizeof block) || in.gcount() > 0) {
        bytes.append(block, static_cast<std::size_t>(in.gcount()));
        if (bytes.size() > maxBytes) {
            return fail(WholeFileFailure::TooLarge);
        }
    }
    if (in.bad()) {
        return fail(WholeFileFailure::CannotRead);
    }
    if (failure) {
        *failure = WholeFileFailure::None;
    }
    return bytes;
}
