#pragma once
// What every fuzz target shares: a check that turns a broken invariant into a
// crash libFuzzer keeps with its input, and a scale link over a scripted
// channel whose replies come from the fuzzer's bytes.

#include "link/scale_link.h"
#include "tests/support/recording_ui.h"
#include "tests/support/scripted_channel.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <span>
#include <string>
#include <vector>

#define FUZZ_CHECK(condition)                                                                                \
    do {                                                                                                     \
        if (!(condition)) {                                                                                  \
            std::fprintf(stderr, "invariant broken: %s at %s:%d\n", #condition, __FILE__, __LINE__);         \
            std::abort();                                                                                    \
        }                                                                                                    \
    } while (false)

// An open link to a scale that answers each request with the chunk scripted
// for it (and stays silent once the script runs out). Reads never wait.
class ScriptedScale {
  public:
    ScriptedScale() : link(makeChannel(), ui) { link.openLink(PortId::numbered(1), 9600); }

    RecordingUi ui;
    ScriptedChannel* channel = nullptr; // owned by the link
    ScaleLink link;

  private:
    std::unique_ptr<SerialChannel> makeChannel() {
        auto owned = std::make_unique<ScriptedChannel>();
        channel = owned.get();
        return owned;
    }
};

// The fuzzer's bytes read front to back; reads past the end give zeros and
// empty texts, so every input is a complete one.
class InputBytes {
  public:
    explicit InputBytes(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    std::uint8_t u8() { return position_ < bytes_.size() ? bytes_[position_++] : 0; }
    // Up to n bytes, fewer when the input ends first.
    std::vector<std::uint8_t> bytes(std::size_t n) {
        const std::size_t taken = std::min(n, bytes_.size() - position_);
        const auto part = bytes_.subspan(position_, taken);
        position_ += taken;
        return {part.begin(), part.end()};
    }
    // A length byte, then that many bytes (at most `longest`).
    std::string text(std::size_t longest) {
        const auto part = bytes(std::min<std::size_t>(u8(), longest));
        return {part.begin(), part.end()};
    }

  private:
    std::span<const std::uint8_t> bytes_;
    std::size_t position_ = 0;
};
