// The saved state file reader over arbitrary bytes.
//
// Whatever the file holds, every control it names is one of the window's
// components, and what was read is written and read back unchanged: a run
// that starts from a damaged file saves a file the next run reads the same.

#include "app/state_file.h"
#include "fuzz_support.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace {

// The main window's caption, the first line of its file.
constexpr std::string_view kCaption = "ZEB TALLIVOS UTILITY MXV1.62";

template <typename Map> void checkComponentNumbers(const Map& controls) {
    for (const auto& entry : controls) {
        FUZZ_CHECK(entry.first >= 0 && entry.first < state_file::kComponentCount);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const SavedState state = readStateFile(bytes, kCaption);
    checkComponentNumbers(state.edits);
    checkComponentNumbers(state.combos);
    checkComponentNumbers(state.masked);
    checkComponentNumbers(state.memos);

    const std::string written = writeStateFile(state, kCaption);
    FUZZ_CHECK(readStateFile(written, kCaption) == state);
    return 0;
}
