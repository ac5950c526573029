#pragma once
// The scale's side of the line protocol: it reads request frames from the PC
// and writes reply frames back.
//
// A request is C3 04, the address, the command, the stuffed payload, the
// stuffed check byte, C3 02. A reply is C3 04, the address, the stuffed data
// (status byte, one byte of the scale's own, the command's payload, the check
// byte), C3 02. Stuffing doubles every data byte 0xC3; the check byte makes the
// XOR of the address and of every data byte (command included in a request) 0.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace sim {

inline constexpr std::uint8_t kFrameMark = 0xC3;
inline constexpr std::uint8_t kStartOfFrame = 0x04;
inline constexpr std::uint8_t kEndOfFrame = 0x02;
inline constexpr std::uint8_t kAcknowledge = 0x06;
inline constexpr std::uint8_t kNegativeAcknowledge = 0x15;

// The longest legal request carries 255 payload bytes and a check byte; a
// frame whose data runs past this is noise and is dropped.
inline constexpr std::size_t kMaxRequestData = 300;

// One request frame as the scale read it, de-stuffed.
struct RequestFrame {
    std::uint8_t address = 0;
    std::uint8_t command = 0;
    std::vector<std::uint8_t> payload; // without the check byte
    bool checkOk = false;
};

// Reads request frames byte by byte. Bytes outside a frame (acknowledgements
// from the PC, noise) are reported as such so the caller can act on them.
class RequestReader {
  public:
    enum class Step { Outside, InFrame, Complete };

    Step feed(std::uint8_t byte);
    // The frame completed by the last feed() that returned Complete.
    const RequestFrame& frame() const { return frame_; }
    bool inFrame() const { return state_ != State::Idle; }

  private:
    enum class State { Idle, Mark, Address, Command, Data, DataMark };
    State state_ = State::Idle;
    std::uint8_t address_ = 0;
    std::uint8_t command_ = 0;
    std::vector<std::uint8_t> data_;
    RequestFrame frame_;
};

// XOR of all bytes, starting from `seed`.
std::uint8_t xorOf(std::span<const std::uint8_t> bytes, std::uint8_t seed = 0);

// Appends `byte` to `out`, doubled when it is the frame mark.
void appendStuffed(std::vector<std::uint8_t>& out, std::uint8_t byte);

// A reply frame carrying `data` (status byte, spare byte, payload) followed by
// its check byte. `checkTamper` is XORed into the check byte (0: a good frame).
std::vector<std::uint8_t> encodeReplyFrame(std::uint8_t address, std::span<const std::uint8_t> data,
                                           std::uint8_t checkTamper = 0);

// The request frame the PC would send: for tests of the scale's reader.
std::vector<std::uint8_t> encodeRequestFrame(std::uint8_t address, std::uint8_t command,
                                             std::span<const std::uint8_t> payload);

} // namespace sim
