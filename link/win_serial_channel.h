#pragma once
// The serial port on Windows, through the Win32 communications calls.
//
// Port n is the device \\.\COMn, so ports above COM9 open as well. The port
// is 8N1 without flow control and held exclusively: the driver refuses a
// second opener, and a named lock per port keeps a second channel of this
// program or its companion away even where the driver would not (Wine, some
// virtual port drivers). Whatever the driver holds is taken in one read and
// handed out byte by byte; when it holds nothing, a one-byte read waits for
// the next byte with the caller's time-out, so a reply is handed out as soon
// as it starts to arrive.

#include "serial_channel.h"

#include <array>
#include <cstddef>
#include <string>

class WinSerialChannel final : public SerialChannel {
  public:
    WinSerialChannel() = default;
    ~WinSerialChannel() override;
    WinSerialChannel(const WinSerialChannel&) = delete;
    WinSerialChannel& operator=(const WinSerialChannel&) = delete;

    bool open(const PortId& port, std::uint32_t baud) override;
    void close() override;
    bool isOpen() const override { return port_ != nullptr; }

    std::optional<std::uint8_t> readByte(std::chrono::milliseconds timeout) override;
    bool writeByte(std::uint8_t byte, std::chrono::milliseconds timeout) override;
    bool writeBlock(std::span<const std::uint8_t> bytes) override;

    void purgeReceive() override;
    void raiseDtr() override;

    OpenFailure failure() const override { return failure_; }

    // The device a port names: port n is \\.\COMn; a typed name is a device
    // under \\.\ ("COM12", "CNCA0") unless it is a device path already
    // ("\\.\COM12"). Empty when it names none.
    static std::string devicePath(const PortId& port);
    // The name a user knows a device by: COM12 rather than \\.\COM12.
    static std::string shownName(const std::string& devicePath);

  private:
    // The comm time-outs the next call needs, set only when they change.
    struct Timeouts {
        unsigned long readInterval = 0;
        unsigned long readConstant = 0;
        unsigned long writeConstant = 0;
        bool operator==(const Timeouts&) const = default;
    };

    bool fail(std::string device, std::string reason);
    bool configure(const std::string& device, std::uint32_t baud);
    bool useTimeouts(const Timeouts& wanted);
    bool readTimeoutsFor(std::chrono::milliseconds timeout);
    bool writeWithin(std::span<const std::uint8_t> bytes, std::chrono::milliseconds limit);
    // Refills the receive buffer, waiting until `timeout` for the first byte.
    bool fill(std::chrono::milliseconds timeout);

    // Large enough for a whole reply frame with every byte stuffed.
    static constexpr std::size_t kReceiveBufferSize = 4096;

    void* port_ = nullptr;     // HANDLE of the open device
    void* portLock_ = nullptr; // HANDLE of the named lock held while open
    std::uint32_t baud_ = 0;
    Timeouts timeouts_;
    bool timeoutsSet_ = false; // false until the driver has been given them
    std::array<std::uint8_t, kReceiveBufferSize> received_{};
    std::size_t receivedNext_ = 0; // next byte to hand out
    std::size_t receivedEnd_ = 0;  // one past the last byte held
    OpenFailure failure_;
};
