#pragma once
// The serial port on Linux and other POSIX systems, through termios.
//
// The port is raw (every byte value passes unchanged), 8N1 without flow
// control, and held exclusively: a second program, or a second open in this
// one, is refused even for root. Reads wait with poll(); a hang-up of the line
// fails the read at once instead of waiting out the time-out. Whatever the
// driver holds is taken in one read and handed out byte by byte, so a reply
// costs a few system calls rather than two per byte.

#include "serial_channel.h"

#include <array>
#include <cstddef>
#include <string>

class PosixSerialChannel final : public SerialChannel {
public:
    PosixSerialChannel() = default;
    ~PosixSerialChannel() override;
    PosixSerialChannel(const PosixSerialChannel&) = delete;
    PosixSerialChannel& operator=(const PosixSerialChannel&) = delete;

    bool open(const PortId& port, std::uint32_t baud) override;
    void close() override;
    bool isOpen() const override { return fd_ >= 0; }

    std::optional<std::uint8_t> readByte(std::chrono::milliseconds timeout) override;
    bool writeByte(std::uint8_t byte, std::chrono::milliseconds timeout) override;
    bool writeBlock(std::span<const std::uint8_t> bytes) override;

    void purgeReceive() override;
    std::size_t pendingInput() const override;
    void raiseDtr() override;

    OpenFailure failure() const override { return failure_; }

    // The device a port names: port n is /dev/ttyS(n-1); a name is taken as
    // an absolute path or as a device under /dev. Empty when it names none.
    static std::string devicePath(const PortId& port);

private:
    bool fail(std::string device, std::string reason);
    bool configure(int fd, const std::string& device, std::uint32_t baud);

    // Refills the receive buffer, waiting until `timeout` for the first byte.
    bool fill(std::chrono::milliseconds timeout);

    // Large enough for a whole reply frame with every byte stuffed.
    static constexpr std::size_t kReceiveBufferSize = 4096;

    int fd_ = -1;
    std::uint32_t baud_ = 0;
    std::array<std::uint8_t, kReceiveBufferSize> received_{};
    std::size_t receivedNext_ = 0; // next byte to hand out
    std::size_t receivedEnd_ = 0;  // one past the last byte held
    OpenFailure failure_;
};
