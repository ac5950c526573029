#pragma once
// An in-memory SerialChannel that plays a scripted scale.
//
// Input is scripted per request: each chunk queued with afterRequest() becomes
// readable when the program writes its next request frame (writeBlock), so a
// test can say "after the 1st request, deliver these bytes; after the 2nd,
// nothing". Reading past the delivered bytes is a time-out at once, with no
// real waiting. Everything the program does to the channel is recorded.
//
// The channel starts closed, like a real port; open() succeeds unless
// openResult says otherwise.

#include "link/serial_channel.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class ScriptedChannel : public SerialChannel {
public:
    using Bytes = std::vector<std::uint8_t>;

    struct Event {
        enum class Kind { Open, Close, Block, Byte, Purge, Dtr };
        Kind kind;
        Bytes bytes; // what was written, for Block and Byte
    };

    // --- Script -------------------------------------------------------
    // Bytes delivered after the next request frame not yet scripted. An empty
    // chunk is a scale that stays silent for that request.
    void afterRequest(Bytes chunk) { chunks_.push_back(std::move(chunk)); }
    // Bytes readable at once, before any request.
    void deliverNow(const Bytes& bytes) { input_.insert(input_.end(), bytes.begin(), bytes.end()); }
    // Called with every single byte the program writes (its 06 or 15 after a
    // reply), to answer it; may call deliverNow().
    std::function<void(std::uint8_t)> onByteWritten;

    bool openResult = true;
    bool writeBlockResult = true;
    OpenFailure failureToReport{"/dev/scripted", "scripted failure"};

    // --- Record -------------------------------------------------------
    std::vector<Event> events;
    int timeouts = 0;           // reads that found nothing
    std::size_t bytesRead = 0;  // bytes handed to the program
    PortId lastPort;
    std::uint32_t lastBaud = 0;

    std::vector<Bytes> requests() const { return written(Event::Kind::Block); }
    std::vector<Bytes> singleBytes() const { return written(Event::Kind::Byte); }
    int count(Event::Kind kind) const {
        int n = 0;
        for (const auto& e : events) {
            n += e.kind == kind ? 1 : 0;
        }
        return n;
    }
    int purges() const { return count(Event::Kind::Purge); }
    std::size_t pendingInput() const override { return input_.size(); }

    // --- SerialChannel ------------------------------------------------
    bool open(const PortId& port, std::uint32_t baud) override {
        events.push_back({Event::Kind::Open, {}});
        lastPort = port;
        lastBaud = baud;
        open_ = openResult;
        return open_;
    }
    void close() override {
        events.push_back({Event::Kind::Close, {}});
        open_ = false;
    }
    bool isOpen() const override { return open_; }

    std::optional<std::uint8_t> readByte(std::chrono::milliseconds) override {
        if (!open_ || input_.empty()) {
            ++timeouts;
            return std::nullopt;
        }
        const std::uint8_t byte = input_.front();
        input_.pop_front();
        ++bytesRead;
        return byte;
    }
    bool writeByte(std::uint8_t byte, std::chrono::milliseconds) override {
        if (!open_) {
            return false;
        }
        events.push_back({Event::Kind::Byte, {byte}});
        if (onByteWritten) {
            onByteWritten(byte);
        }
        return true;
    }
    bool writeBlock(std::span<const std::uint8_t> bytes) override {
        if (!open_) {
            return false;
        }
        events.push_back({Event::Kind::Block, Bytes(bytes.begin(), bytes.end())});
        if (!chunks_.empty()) {
            deliverNow(chunks_.front());
            chunks_.pop_front();
        }
        return writeBlockResult;
    }
    void purgeReceive() override {
        events.push_back({Event::Kind::Purge, {}});
        input_.clear();
    }
    void raiseDtr() override {
        if (open_) {
            events.push_back({Event::Kind::Dtr, {}});
        }
    }
    OpenFailure failure() const override { return open_ ? OpenFailure{} : failureToReport; }

private:
    std::vector<Bytes> written(Event::Kind kind) const {
        std::vector<Bytes> out;
        for (const auto& e : events) {
            if (e.kind == kind) {
                out.push_back(e.bytes);
            }
        }
        return out;
    }

    bool open_ = false;
    std::deque<Bytes> chunks_;
    std::deque<std::uint8_t> input_;
};

// "C3 04 00 01" -> bytes; blanks between pairs are optional. For test frames
// written as hex with a comment per field.
inline std::vector<std::uint8_t> hexBytes(std::string_view hex) {
    std::vector<std::uint8_t> out;
    int high = -1;
    for (const char c : hex) {
        int v = -1;
        if (c >= '0' && c <= '9') {
            v = c - '0';
        } else if (c >= 'a' && c <= 'f') {
            v = c - 'a' + 10;
        } else if (c >= 'A' && c <= 'F') {
            v = c - 'A' + 10;
        } else {
            continue;
        }
        if (high < 0) {
            high = v;
        } else {
            out.push_back(static_cast<std::uint8_t>(high * 16 + v));
            high = -1;
        }
    }
    return out;
}

// A reply as the scale sends it: the acknowledgement byte 06, then a reply
// frame for address 0 carrying `data` stuffed and followed by its correct
// check byte.
inline std::vector<std::uint8_t> scaleReply(const std::vector<std::uint8_t>& data, std::uint8_t address = 0,
                                            bool withAcknowledgement = true) {
    std::vector<std::uint8_t> out;
    if (withAcknowledgement) {
        out.push_back(0x06);
    }
    out.insert(out.end(), {0xC3, 0x04, address});
    std::uint8_t check = address;
    auto putStuffed = [&out](std::uint8_t b) {
        out.push_back(b);
        if (b == 0xC3) {
            out.push_back(0xC3);
        }
    };
    for (const std::uint8_t b : data) {
        putStuffed(b);
        check ^= b;
    }
    putStuffed(check);
    out.insert(out.end(), {0xC3, 0x02});
    return out;
}
