#pragma once
// The frame exchange: one request out, one reply back.
//
// Words used throughout the link:
// - request: the frame the PC sends: C3 04, address, command, the payload
//   stuffed, the check byte (stuffed), C3 02.
// - stuffing: a data byte C3 travels as C3 C3, so C3 followed by anything
//   else is always a frame mark (04 starts a frame, 02 ends it).
// - check byte: the XOR of the address, the command (in a request) and every
//   data byte before stuffing; a reply's data ends with the scale's check
//   byte, so the XOR over the address and all reply data is 0 when it is good.
// - acknowledgement: the single byte the scale sends before its reply frame
//   (06 = taken, 15 = send it again), and the byte the PC sends after a reply
//   frame (06 = good, 15 = wrong check byte, send it again).
// - reply frame: C3 04, address, the data bytes stuffed (status byte, a byte
//   the program skips, the command's payload, the check byte), C3 02.
// - attempt: one purge of stale input, one request and the wait for its
//   reply; at most three per exchange.

#include "link_observer.h"
#include "message_buffer.h"
#include "serial_channel.h"

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>

namespace frame {

inline constexpr std::uint8_t kMark = 0xC3;  // precedes every frame delimiter
inline constexpr std::uint8_t kStart = 0x04; // C3 04 starts a frame
inline constexpr std::uint8_t kEnd = 0x02;   // C3 02 ends a frame
inline constexpr std::uint8_t kAck = 0x06;
inline constexpr std::uint8_t kNak = 0x15;

inline constexpr int kMaxAttempts = 3; // requests per exchange

// Bytes of the longest request: C3 04, address, command, 255 payload bytes all
// doubled, a doubled check byte, C3 02.
inline constexpr std::size_t kMaxRequestPayload = 255; // bytes; the length is one byte
inline constexpr std::size_t kMaxFrameSize = 4 + 2 * kMaxRequestPayload + 2 + 2; // 518 bytes

// A line that keeps delivering bytes that never form a good reply ends the
// attempt after this many bytes following the acknowledgement byte (rejected
// and re-sent reply frames count). The longest real reply is under 400 bytes
// stuffed, so five full re-sends still fit.
inline constexpr std::size_t kMaxBytesPerAttempt = 2048; // bytes

// The response area holds 256 data bytes (status, skipped byte, payload, check
// byte); a reply with more data ends the attempt.
inline constexpr std::size_t kMaxReplyData = MessageBuffer::kAreaSize; // bytes

} // namespace frame

using RequestFrame = std::array<std::uint8_t, frame::kMaxFrameSize>;

// The check byte of a request: XOR of address, command and the payload.
std::uint8_t requestCheck(std::uint8_t address, std::uint8_t command, std::span<const std::uint8_t> payload);

// Builds the stuffed request in `frame` and returns its length in bytes. A
// payload longer than 255 bytes is cut there (the length travels in one byte).
std::size_t buildRequestFrame(std::uint8_t address, std::uint8_t command, std::span<const std::uint8_t> payload,
                              RequestFrame& frame);

// How much work an exchange took, for the link's statistics.
struct ExchangeTally {
    int attempts = 0;
    int purges = 0;
};

// How an exchange runs: the read time-out of every byte it waits for, the
// attempts it makes, and who watches it (nobody when null).
struct ExchangeSettings {
    std::chrono::milliseconds readTimeout;
    int attempts = frame::kMaxAttempts;
    LinkObserver* observer = nullptr;
    // Work done while the first request and its reply cross the line: run
    // once per exchange, right after that request went out, so its time is
    // spent in a wait the exchange has anyway. Null: none.
    const std::function<void()>* whileWaiting = nullptr;
};

// Runs the whole exchange: up to `attempts` attempts, each purging stale
// input, sending the request and waiting for a good reply. On success the
// reply's data (check byte last) is stored in `buffer` and true is returned; on
// failure the buffer holds no readable reply.
bool exchangeFrames(SerialChannel& channel, MessageBuffer& buffer, std::uint8_t address, std::uint8_t command,
                    const ExchangeSettings& settings, ExchangeTally& tally);

// Three attempts, nobody watching.
inline bool exchangeFrames(SerialChannel& channel, MessageBuffer& buffer, std::uint8_t address,
                           std::uint8_t command, std::chrono::milliseconds readTimeout, ExchangeTally& tally) {
    return exchangeFrames(channel, buffer, address, command, ExchangeSettings{readTimeout}, tally);
}
