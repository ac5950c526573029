// The reply receiver of the frame exchange over arbitrary bytes from the scale.
//
// Input: command, shape, split, then the bytes the scale sends. The split
// byte shares the bytes among the three attempts (low nibble: the first
// attempt's share of the whole, high nibble: the second's share of the rest),
// so the fuzzer can put a good reply behind one or two failed attempts. Shape
// bit 0 frames for address C3 instead of 0 (a mark value where the reader
// expects the address); bit 1 holds back the second half of each attempt's
// bytes until the program answers a reply frame, as a scale re-sending after a
// NAK does; bit 2 runs the exchange as a command transaction through the link.

#include "fuzz_support.h"
#include "link/frame_exchange.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::uint8_t kAddressIsMark = 0x01;
constexpr std::uint8_t kResendAfterAnswer = 0x02;
constexpr std::uint8_t kThroughLink = 0x04;

// Bytes one exchange may take in at most: per attempt the acknowledgement
// byte and the capped reply scan.
constexpr std::size_t kMaxBytesPerExchange = frame::kMaxAttempts * (1 + frame::kMaxBytesPerAttempt);

struct AttemptScript {
    Bytes atRequest;   // readable as soon as the request is written
    Bytes afterAnswer; // readable once the program writes 06 or 15
};

std::vector<AttemptScript> shareAmongAttempts(std::span<const std::uint8_t> stream, std::uint8_t split,
                                              bool holdBack) {
    const std::size_t first = stream.size() * (split & 0x0F) / 15;
    const std::size_t second = first + (stream.size() - first) * (split >> 4) / 15;
    const std::size_t cuts[] = {0, first, second, stream.size()};
    std::vector<AttemptScript> attempts;
    for (int a = 0; a < frame::kMaxAttempts; ++a) {
        const auto part = stream.subspan(cuts[a], cuts[a + 1] - cuts[a]);
        const std::size_t now = holdBack ? part.size() / 2 : part.size();
        attempts.push_back({Bytes(part.begin(), part.begin() + static_cast<std::ptrdiff_t>(now)),
                            Bytes(part.begin() + static_cast<std::ptrdiff_t>(now), part.end())});
    }
    return attempts;
}

void script(ScriptedChannel& channel, std::vector<AttemptScript>& attempts) {
    for (const auto& attempt : attempts) {
        channel.afterRequest(attempt.atRequest);
    }
    channel.onByteWritten = [&channel, &attempts](std::uint8_t) {
        const int attempt = channel.count(ScriptedChannel::Event::Kind::Block) - 1;
        if (attempt >= 0 && attempt < static_cast<int>(attempts.size())) {
            channel.deliverNow(attempts[static_cast<std::size_t>(attempt)].afterAnswer);
            attempts[static_cast<std::size_t>(attempt)].afterAnswer.clear();
        }
    };
}

void checkAcceptedReply(const ScriptedChannel& channel, const MessageBuffer& buffer) {
    // At most 255 data bytes plus the check byte fit the response area.
    FUZZ_CHECK(buffer.responseLength() < MessageBuffer::kAreaSize);
    const auto answers = channel.singleBytes();
    FUZZ_CHECK(!answers.empty() && answers.back() == Bytes{frame::kAck});
    for (std::size_t i = buffer.responseLength(); i < MessageBuffer::kAreaSize; ++i) {
        FUZZ_CHECK(buffer.responseByte(i) == 0);
    }
}

void runBareExchange(std::uint8_t command, std::uint8_t address, std::vector<AttemptScript> attempts) {
    ScriptedChannel channel;
    channel.open(PortId::numbered(1), 9600);
    script(channel, attempts);
    MessageBuffer buffer;
    buffer.clear();
    buffer.putU16(0x0800);
    buffer.putU8(command);
    ExchangeTally tally;
    const bool ok = exchangeFrames(channel, buffer, address, command, kReadTimeout, tally);

    FUZZ_CHECK(tally.attempts >= 1 && tally.attempts <= frame::kMaxAttempts);
    FUZZ_CHECK(channel.count(ScriptedChannel::Event::Kind::Block) == tally.attempts);
    FUZZ_CHECK(channel.bytesRead <= kMaxBytesPerExchange);
    if (ok) {
        checkAcceptedReply(channel, buffer);
    } else {
        FUZZ_CHECK(buffer.responseLength() == 0);
        FUZZ_CHECK(tally.attempts == frame::kMaxAttempts);
        FUZZ_CHECK(tally.purges == frame::kMaxAttempts + 1);
    }
}

void runThroughLink(std::uint8_t command, std::vector<AttemptScript> attempts) {
    ScriptedScale scale;
    script(*scale.channel, attempts);
    scale.link.buffer().clear();
    scale.link.buffer().putU8(command);
    const bool ok = scale.link.runCommand(command);

    FUZZ_CHECK(ok == !scale.link.linkError());
    FUZZ_CHECK(scale.channel->bytesRead <= kMaxBytesPerExchange);
    // A failed exchange is reported once, a good one never.
    FUZZ_CHECK(scale.ui.errors.size() == (ok ? 0u : 1u));
    if (ok) {
        checkAcceptedReply(*scale.channel, scale.link.buffer());
        FUZZ_CHECK(scale.link.buffer().cursor() == 2);
    }
    FUZZ_CHECK(!scale.link.commandInProgress());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3) {
        return 0;
    }
    const std::uint8_t command = data[0];
    const std::uint8_t shape = data[1];
    const std::uint8_t split = data[2];
    const std::span<const std::uint8_t> stream(data + 3, size - 3);
    auto attempts = shareAmongAttempts(stream, split, (shape & kResendAfterAnswer) != 0);
    if ((shape & kThroughLink) != 0) {
        runThroughLink(command, std::move(attempts));
    } else {
        runBareExchange(command, (shape & kAddressIsMark) != 0 ? frame::kMark : 0, std::move(attempts));
    }
    return 0;
}
