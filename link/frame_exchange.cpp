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

constexpr std::uint8_t kAckByte[] = {frame::kAck};
constexpr std::uint8_t kNakByte[] = {frame::kNak};

// Tells the observer, when there is one, what an attempt saw. It keeps the
// bytes received since the last frame it told of, so that a reply frame is told
// with its own bytes, and whatever came before it as stray bytes. With no
// observer every call is one test of a pointer.
class AttemptTrace {
public:
    AttemptTrace(LinkObserver* observer, std::uint8_t command, std::span<const std::uint8_t> request)
        : observer_(observer), command_(command), request_(request) {}

    bool active() const { return observer_ != nullptr; }

    void startAttempt(int attempt) {
        attempt_ = attempt;
        kept_ = 0;
        frameStart_ = kNoFrame;
    }

    void tell(LinkEventKind kind, std::span<const std::uint8_t> bytes = {}, std::size_t count = 0) {
        if (observer_ != nullptr) {
            observer_->onLinkEvent(LinkEvent{kind, command_, attempt_, request_, bytes, count, {}});
        }
    }

    void received(std::uint8_t byte) {
        if (observer_ != nullptr && kept_ < bytes_.size()) {
            bytes_[kept_++] = byte;
        }
    }

    // The C3 04 of a frame start was the last two bytes received; what came
    // before it (an abandoned frame included) was outside any frame.
    void frameStarts() {
        if (observer_ != nullptr && kept_ >= 2) {
            frameStart_ = kept_ - 2;
        }
    }

    // The frame ended with C3 02; `good` tells whether its check byte was.
    void frameEnds(bool good) {
        if (observer_ == nullptr) {
            return;
        }
        const std::size_t start = frameStart_ == kNoFrame ? 0 : frameStart_;
        tellStray(start);
        tell(good ? LinkEventKind::ReplyReceived : LinkEventKind::CheckByteError,
             std::span<const std::uint8_t>(bytes_.data() + start, kept_ - start));
        kept_ = 0;
        frameStart_ = kNoFrame;
    }

    // The attempt ends without a good reply: what it kept was no frame.
    void attemptEnds(LinkEventKind why, std::size_t count = 0) {
        if (observer_ == nullptr) {
            return;
        }
        tellStray(kept_);
        kept_ = 0;
        frameStart_ = kNoFrame;
        tell(why, {}, count);
    }

private:
    static constexpr std::size_t kNoFrame = static_cast<std::size_t>(-1);

    void tellStray(std::size_t end) {
        if (end > 0) {
            tell(LinkEventKind::StrayBytes, std::span<const std::uint8_t>(bytes_.data(), end));
        }
    }

    LinkObserver* observer_;
    std::uint8_t command_;
    std::span<const std::uint8_t> request_;
    int attempt_ = 0;
    // Every byte an attempt may take after its acknowledgement byte.
    // Left uninitialised: only bytes written are read, and an exchange nobody
    // watches should not pay for clearing them.
    std::array<std::uint8_t, frame::kMaxBytesPerAttempt> bytes_;
    std::size_t kept_ = 0;
    std::size_t frameStart_ = kNoFrame;
};

// Reads the bytes of one attempt after its acknowledgement byte, refusing more
// than the attempt may receive. A refused or failed read ends the attempt.
class AttemptInput {
public:
    AttemptInput(SerialChannel& channel, std::chrono::milliseconds timeout, AttemptTrace& trace)
        : channel_(channel), timeout_(timeout), trace_(trace) {}

    std::optional<std::uint8_t> next() {
        if (received_ >= frame::kMaxBytesPerAttempt) {
            return std::nullopt;
        }
        const auto byte = channel_.readByte(timeout_);
        if (byte) {
            ++received_;
            trace_.received(*byte);
        }
        return byte;
    }

    // Why next() gave nothing: the attempt's share of bytes was used up, or
    // the line fell silent or failed.
    void tellEnd() {
        if (received_ >= frame::kMaxBytesPerAttempt) {
            trace_.attemptEnds(LinkEventKind::TooManyBytes, received_);
        } else {
            trace_.attemptEnds(LinkEventKind::ReplyTimeout);
        }
    }

private:
    SerialChannel& channel_;
    std::chrono::milliseconds timeout_;
    AttemptTrace& trace_;
    std::size_t received_ = 0;
};

using ReplyData = std::array<std::uint8_t, frame::kMaxReplyData>;

// Scans for a reply frame and answers it. Returns the number of data bytes of
// the accepted reply, or nullopt when the attempt ends without one.
std::optional<std::size_t> receiveReply(SerialChannel& channel, AttemptInput& in, AttemptTrace& trace,
                                        std::uint8_t address, std::chrono::milliseconds timeout,
                                        ReplyData& data) {
    enum class Step { FindMark, CheckStart, CheckAddress, ReadData };
    Step step = Step::FindMark;
    std::uint8_t afterMark = 0; // the byte that followed a frame mark
    std::uint8_t check = 0;
    std::size_t stored = 0;
    auto ended = [&in]() -> std::optional<std::size_t> {
        in.tellEnd();
        return std::nullopt;
    };
    // Every pass through FindMark, CheckAddress and ReadData reads a byte and
    // CheckStart always leads to one of them, so AttemptInput's cap ends this.
    for (;;) {
        switch (step) {
        case Step::FindMark: {
            const auto byte = in.next();
            if (!byte) {
                return ended();
            }
            if (*byte == frame::kMark) {
                // The byte after a mark is consumed whatever it is: C3 C3 04
                // is no frame start.
                const auto next = in.next();
                if (!next) {
                    return ended();
                }
                afterMark = *next;
                step = Step::CheckStart;
            }
            break;
        }
        case Step::CheckStart:
            if (afterMark == frame::kStart) {
                trace.frameStarts();
                step = Step::CheckAddress;
            } else {
                step = Step::FindMark;
            }
            break;
        case Step::CheckAddress: {
            const auto byte = in.next();
            if (!byte) {
                return ended();
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
                return ended();
            }
            if (*byte == frame::kMark) {
                const auto second = in.next();
                if (!second) {
                    return ended();
                }
                if (*second == frame::kEnd) {
                    trace.frameEnds(check == 0);
                    if (check == 0) {
                        channel.writeByte(frame::kAck, timeout);
                        trace.tell(LinkEventKind::AcknowledgementSent, kAckByte);
                        return stored;
                    }
                    // Wrong check byte: ask for the reply again and keep
                    // waiting within the same attempt.
                    channel.writeByte(frame::kNak, timeout);
                    trace.tell(LinkEventKind::NakSent, kNakByte);
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
                trace.attemptEnds(LinkEventKind::ReplyTooLong, stored + 1);
                return std::nullopt; // longer than the response area
            }
            data[stored++] = *byte;
            check ^= *byte;
            break;
        }
        }
    }
}

// Empties the receive buffer, telling how many bytes it threw away.
void purge(SerialChannel& channel, AttemptTrace& trace, ExchangeTally& tally) {
    const std::size_t waiting = trace.active() ? channel.pendingInput() : 0;
    channel.purgeReceive();
    ++tally.purges;
    if (waiting > 0) {
        trace.tell(LinkEventKind::Purged, {}, waiting);
    }
}

} // namespace

bool exchangeFrames(SerialChannel& channel, MessageBuffer& buffer, std::uint8_t address, std::uint8_t command,
                    const ExchangeSettings& settings, ExchangeTally& tally) {
    RequestFrame request;
    const std::size_t requestLength = buildRequestFrame(address, command, buffer.request(), request);
    const std::span<const std::uint8_t> requestBytes(request.data(), requestLength);
    ReplyData data;
    AttemptTrace trace(settings.observer, command, buffer.request());

    for (int attempt = 1;; ++attempt) {
        purge(channel, trace, tally);
        // Input is purged once more before giving up, so nothing the scale
        // sent late is taken for the answer to the next command.
        if (attempt > settings.attempts) {
            buffer.discardReply();
            trace.tell(LinkEventKind::ExchangeFailed, {}, static_cast<std::size_t>(settings.attempts));
            return false;
        }
        ++tally.attempts;
        trace.startAttempt(attempt);
        // A request that fails to go out shows up as a silent scale.
        channel.writeBlock(requestBytes);
        trace.tell(LinkEventKind::RequestSent, requestBytes);
        if (attempt == 1 && settings.whileWaiting != nullptr) {
            (*settings.whileWaiting)();
        }

        const auto acknowledgement = channel.readByte(settings.readTimeout);
        if (!acknowledgement) {
            trace.tell(LinkEventKind::AcknowledgementTimeout);
            continue;
        }
        const std::uint8_t firstByte = *acknowledgement;
        if (firstByte == frame::kNak) {
            trace.tell(LinkEventKind::NakReceived, kNakByte);
            continue;
        }
        // Any other byte is taken as the acknowledgement and dropped.
        trace.tell(LinkEventKind::AcknowledgementTaken, std::span<const std::uint8_t>(&firstByte, 1));
        AttemptInput in(channel, settings.readTimeout, trace);
        if (const auto stored = receiveReply(channel, in, trace, address, settings.readTimeout, data)) {
            buffer.storeReply(std::span<const std::uint8_t>(data.data(), *stored));
            return true;
        }
    }
}
