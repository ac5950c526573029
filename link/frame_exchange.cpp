#include "frame_exchange.h"

#include <algorithm>
#include <optional>

std::uint8_t requestCheck(std::uint8_t address, std::uint8_t command, std::span<const std::uint8_t> payload) {
    std::uint8_t check = address ^ command;
    for (const std::uint8_t byte : payload) {
        check ^= byte;
    }
    return check;
}

std::size_t buildRequestFrame(std::uint8_t address, std::uint8_t command, std::span<const std::uint8_t> payload,
                              RequestFrame& frame) {
    payload = payload.first(std::min(payload.size(), frame::kMaxRequestPayload));
    std::size_t length = 0;
    auto put = [&](std::uint8_t byte) { frame[length++] = byte; };
    auto putStuffed = [&](std::uint8_t byte) {
        put(byte);
        if (byte == frame::kMark) {
            put(frame::kMark);
        }
    };
    put(frame::kMark);
    put(frame::kStart);
    // Address and command are never stuffed: they sit where the reader
    // expects them and a C3 there cannot be mistaken for a mark.
    put(address);
    put(command);
    for (const std::uint8_t byte : payload) {
        putStuffed(byte);
    }
    putStuffed(requestCheck(address, command, payload));
    put(frame::kMark);
    put(frame::kEnd);
    return length;
}

namespace {

// Reads the bytes of one attempt after its acknowledgement byte, refusing more
// than the attempt may receive. A refused or failed read ends the attempt.
class AttemptInput {
public:
    AttemptInput(SerialChannel& channel, std::chrono::milliseconds timeout) : channel_(channel), timeout_(timeout) {}

    std::optional<std::uint8_t> next() {
        if (received_ >= frame::kMaxBytesPerAttempt) {
            return std::nullopt;
        }
        const auto byte = channel_.readByte(timeout_);
        if (byte) {
            ++received_;
        }
        return byte;
    }

private:
    SerialChannel& channel_;
    std::chrono::milliseconds timeout_;
    std::size_t received_ = 0;
};

using ReplyData = std::array<std::uint8_t, frame::kMaxReplyData>;

// Scans for a reply frame and answers it. Returns the number of data bytes of
// the accepted reply, or nullopt when the attempt ends without one.
std::optional<std::size_t> receiveReply(SerialChannel& channel, AttemptInput& in, std::uint8_t address,
                                        std::chrono::milliseconds timeout, ReplyData& data) {
    enum class Step { FindMark, CheckStart, CheckAddress, ReadData };
    Step step = Step::FindMark;
    std::uint8_t afterMark = 0; // the byte that followed a frame mark
    std::uint8_t check = 0;
    std::size_t stored = 0;
    // Every pass through FindMark, CheckAddress and ReadData reads a byte and
    // CheckStart always leads to one of them, so AttemptInput's cap ends this.
    for (;;) {
        switch (step) {
        case Step::FindMark: {
            const auto byte = in.next();
            if (!byte) {
                return std::nullopt;
            }
            if (*byte == frame::kMark) {
                // The byte after a mark is consumed whatever it is: C3 C3 04
                // is no frame start.
                const auto next = in.next();
                if (!next) {
                    return std::nullopt;
                }
                afterMark = *next;
                step = Step::CheckStart;
            }
            break;
        }
        case Step::CheckStart:
            step = afterMark == frame::kStart ? Step::CheckAddress : Step::FindMark;
            break;
        case Step::CheckAddress: {
            const auto byte = in.next();
            if (!byte) {
                return std::nullopt;
            }
            if (*byte != address) {
                step = Step::FindMark; // a frame for another address: ignored
                break;
            }
            check = address;
            stored = 0;
            step = Step::ReadData;
            break;
        }
        case Step::ReadData: {
            const auto byte = in.next();
            if (!byte) {
                return std::nullopt;
            }
            if (*byte == frame::kMark) {
                const auto second = in.next();
                if (!second) {
                    return std::nullopt;
                }
                if (*second == frame::kEnd) {
                    if (check == 0) {
                        channel.writeByte(frame::kAck, timeout);
                        return stored;
                    }
                    // Wrong check byte: ask for the reply again and keep
                    // waiting within the same attempt.
                    channel.writeByte(frame::kNak, timeout);
                    step = Step::FindMark;
                    break;
                }
                if (*second != frame::kMark) {
                    // A mark inside the data abandons the frame; C3 04 here
                    // starts a new one, stored from the beginning again.
                    afterMark = *second;
                    step = Step::CheckStart;
                    break;
                }
                // C3 C3 is one data byte C3.
            }
            if (stored == data.size()) {
                return std::nullopt; // longer than the response area
            }
            data[stored++] = *byte;
            check ^= *byte;
            break;
        }
        }
    }
}

} // namespace

bool exchangeFrames(SerialChannel& channel, MessageBuffer& buffer, std::uint8_t address, std::uint8_t command,
                    std::chrono::milliseconds readTimeout, ExchangeTally& tally) {
    RequestFrame request;
    const std::size_t requestLength = buildRequestFrame(address, command, buffer.request(), request);
    const std::span<const std::uint8_t> requestBytes(request.data(), requestLength);
    ReplyData data;

    for (int attempt = 1;; ++attempt) {
        channel.purgeReceive();
        ++tally.purges;
        // Input is purged once more before giving up, so nothing the scale
        // sent late is taken for the answer to the next command.
        if (attempt > frame::kMaxAttempts) {
            buffer.discardReply();
            return false;
        }
        ++tally.attempts;
        // A request that fails to go out shows up as a silent scale.
        channel.writeBlock(requestBytes);

        const auto acknowledgement = channel.readByte(readTimeout);
        if (!acknowledgement || *acknowledgement == frame::kNak) {
            continue;
        }
        // Any other byte is taken as the acknowledgement and dropped.
        AttemptInput in(channel, readTimeout);
        if (const auto stored = receiveReply(channel, in, address, readTimeout, data)) {
            buffer.storeReply(std::span<const std::uint8_t>(data.data(), *stored));
            return true;
        }
    }
}
