#pragma once
// The narrow channel under the frame exchange: one byte in with a time-out,
// bytes out, discard stale input, raise DTR. The exchange never opens a device
// itself; the POSIX serial port is one implementation, a scripted in-memory
// channel in the tests is another, and a Windows port can sit beside them.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

// Which port to open: a numbered port ("COMn" is number n) or a device name
// typed by the user (/dev/ttyUSB0, /dev/serial/by-id/..., or ttyUSB0 under /dev).
struct PortId {
    int number = 0;     // 1..255; 0 when the port is named by device
    std::string device; // used when number is 0

    static PortId numbered(int n) { return PortId{n, {}}; }
    static PortId named(std::string name) { return PortId{0, std::move(name)}; }
};

// Why an open failed, for the details of the box the user sees.
struct OpenFailure {
    std::string device; // the device that was tried, e.g. /dev/ttyS0
    std::string reason; // the system's words, with advice where it helps
    bool speedRefused = false; // the port exists and opened, but not at this speed
    bool inUse = false;        // another program holds the port
};

// The reason every channel gives when another program holds the port.
inline constexpr const char* kPortInUseReason = "the port is in use by another program";

class SerialChannel {
public:
    virtual ~SerialChannel() = default;

    // Opens and configures the port: the given speed, 8 data bits, no parity,
    // one stop bit, no flow control, raw bytes. Any port held before is
    // released first. On failure the channel is closed and failure() says why.
    virtual bool open(const PortId& port, std::uint32_t baud) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;

    // One byte, or nothing when the time-out ran out, the read failed, the
    // line hung up or the channel is not open.
    virtual std::optional<std::uint8_t> readByte(std::chrono::milliseconds timeout) = 0;

    // True when the byte went out. Gives up after `timeout` in all.
    virtual bool writeByte(std::uint8_t byte, std::chrono::milliseconds timeout) = 0;
    // Writes the whole block (partial writes are continued); true when it all went out.
    virtual bool writeBlock(std::span<const std::uint8_t> bytes) = 0;

    virtual void purgeReceive() = 0;
    // Bytes received and not read yet, as far as the channel can tell (0 when
    // it cannot): the traffic log names what a purge throws away.
    virtual std::size_t pendingInput() const { return 0; }
    virtual void raiseDtr() = 0;

    virtual OpenFailure failure() const = 0;
};
