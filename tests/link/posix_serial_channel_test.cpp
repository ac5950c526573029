// The POSIX serial port on a real pseudo-terminal opened by the test: the
// test holds the master side and plays the scale's end of the line.

#include "link/posix_serial_channel.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <vector>

namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;

class PseudoTerminal : public ::testing::Test {
protected:
    void SetUp() override {
        master = posix_openpt(O_RDWR | O_NOCTTY);
        ASSERT_GE(master, 0);
        ASSERT_EQ(grantpt(master), 0);
        ASSERT_EQ(unlockpt(master), 0);
        const char* name = ptsname(master);
        ASSERT_NE(name, nullptr);
        slavePath = name;
        // Raw on the master side as well, so no byte is translated there.
        termios settings{};
        ASSERT_EQ(tcgetattr(master, &settings), 0);
        cfmakeraw(&settings);
        ASSERT_EQ(tcsetattr(master, TCSANOW, &settings), 0);
    }
    void TearDown() override {
        if (master >= 0) {
            ::close(master);
        }
    }

    void writeFromScale(const Bytes& bytes) const {
        ASSERT_EQ(::write(master, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }
    // Reads up to `count` bytes that the channel sent, waiting at most 2 s.
    Bytes readAtScale(std::size_t count) const {
        Bytes out;
        const auto deadline = std::chrono::steady_clock::now() + 2s;
        while (out.size() < count && std::chrono::steady_clock::now() < deadline) {
            pollfd watch{master, POLLIN, 0};
            if (poll(&watch, 1, 100) <= 0) {
                continue;
            }
            std::uint8_t chunk[512];
            const ssize_t got = ::read(master, chunk, std::min(sizeof chunk, count - out.size()));
            if (got <= 0) {
                break;
            }
            out.insert(out.end(), chunk, chunk + got);
        }
        return out;
    }

    int master = -1;
    std::string slavePath;
};

TEST_F(PseudoTerminal, EveryByteValuePassesBothWays) {
    PosixSerialChannel channel;
    ASSERT_TRUE(channel.open(PortId::named(slavePath), 9600)) << channel.failure().reason;
    channel.raiseDtr(); // refused by a pty; must be harmless
    Bytes all(256);
    for (int i = 0; i < 256; ++i) {
        all[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);
    }
    writeFromScale(all);
    for (int i = 0; i < 256; ++i) {
        const auto byte = channel.readByte(2000ms);
        ASSERT_TRUE(byte.has_value()) << "byte " << i;
        EXPECT_EQ(*byte, i);
    }
    ASSERT_TRUE(channel.writeBlock(all));
    EXPECT_EQ(readAtScale(256), all);
    ASSERT_TRUE(channel.writeByte(0x15, 1100ms));
    EXPECT_EQ(readAtScale(1), Bytes{0x15});
}

TEST_F(PseudoTerminal, SecondOpenOfAHeldPortFailsUntilItIsReleased) {
    PosixSerialChannel first;
    PosixSerialChannel second;
    ASSERT_TRUE(first.open(PortId::named(slavePath), 9600));
    EXPECT_FALSE(second.open(PortId::named(slavePath), 9600));
    EXPECT_FALSE(second.isOpen());
    EXPECT_EQ(second.failure().device, slavePath);
    EXPECT_EQ(second.failure().reason, "the port is in use by another program");
    first.close();
    EXPECT_TRUE(second.open(PortId::named(slavePath), 9600)) << second.failure().reason;
    // Reopening by the same channel releases the old descriptor first.
    EXPECT_TRUE(second.open(PortId::named(slavePath), 19200)) << second.failure().reason;
}

TEST_F(PseudoTerminal, SpeedsZeroRefusedNonStandardAccepted) {
    PosixSerialChannel channel;
    EXPECT_FALSE(channel.open(PortId::named(slavePath), 0));
    EXPECT_FALSE(channel.isOpen());
    // The refused open did not keep the port held.
    PosixSerialChannel other;
    EXPECT_TRUE(other.open(PortId::named(slavePath), 115200)) << other.failure().reason;
    other.close();
    for (const std::uint32_t baud : {14400u, 28800u, 1200u}) {
        EXPECT_TRUE(channel.open(PortId::named(slavePath), baud)) << baud << ": " << channel.failure().reason;
    }
}

TEST_F(PseudoTerminal, PurgeDiscardsWaitingInput) {
    PosixSerialChannel channel;
    ASSERT_TRUE(channel.open(PortId::named(slavePath), 9600));
    writeFromScale({0x01, 0x02, 0x03});
    ASSERT_EQ(channel.readByte(2000ms), std::optional<std::uint8_t>(0x01)); // the rest has arrived with it
    channel.purgeReceive();
    EXPECT_EQ(channel.readByte(50ms), std::nullopt);
    writeFromScale({0x04});
    EXPECT_EQ(channel.readByte(2000ms), std::optional<std::uint8_t>(0x04));
}

TEST_F(PseudoTerminal, ReadTimesOutAndHangUpFailsFast) {
    PosixSerialChannel channel;
    ASSERT_TRUE(channel.open(PortId::named(slavePath), 9600));
    EXPECT_EQ(channel.readByte(30ms), std::nullopt);
    ::close(master);
    master = -1;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(channel.readByte(5000ms), std::nullopt);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 2000ms); // not the whole time-out
    EXPECT_FALSE(channel.writeBlock(Bytes{1, 2, 3}));
}

TEST_F(PseudoTerminal, WriteGivesUpWhenTheLineDoesNotDrain) {
    PosixSerialChannel channel;
    ASSERT_TRUE(channel.open(PortId::named(slavePath), 9600));
    // Nobody reads the master side: fill what the kernel buffers. A pty
    // buffers well under this many bytes.
    constexpr int kMostBytesBuffered = 1 << 20;
    int written = 0;
    while (written < kMostBytesBuffered && channel.writeByte(0x55, 0ms)) {
        ++written;
    }
    ASSERT_LT(written, kMostBytesBuffered);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(channel.writeByte(0x06, 50ms));
    EXPECT_GE(std::chrono::steady_clock::now() - start, 50ms); // it did wait for room
}

TEST(PosixSerialChannel, NeverOpenedChannelFailsAtOnce) {
    PosixSerialChannel channel;
    EXPECT_FALSE(channel.isOpen());
    EXPECT_EQ(channel.readByte(5000ms), std::nullopt);
    EXPECT_FALSE(channel.writeByte(0x06, 5000ms));
    EXPECT_FALSE(channel.writeBlock(Bytes{1}));
    channel.purgeReceive();
    channel.raiseDtr();
}

TEST(PosixSerialChannel, PortNamesMapToDevices) {
    EXPECT_EQ(PosixSerialChannel::devicePath(PortId::numbered(1)), "/dev/ttyS0");
    EXPECT_EQ(PosixSerialChannel::devicePath(PortId::numbered(8)), "/dev/ttyS7");
    EXPECT_EQ(PosixSerialChannel::devicePath(PortId::numbered(0)), "");
    EXPECT_EQ(PosixSerialChannel::devicePath(PortId::numbered(256)), "");
    EXPECT_EQ(PosixSerialChannel::devicePath(PortId::named("ttyUSB0")), "/dev/ttyUSB0");
    EXPECT_EQ(PosixSerialChannel::devicePath(PortId::named("/dev/serial/by-id/x")), "/dev/serial/by-id/x");
    EXPECT_EQ(PosixSerialChannel::devicePath(PortId::named("")), "");
}

TEST(PosixSerialChannel, OpenFailuresSayWhy) {
    PosixSerialChannel channel;
    EXPECT_FALSE(channel.open(PortId::numbered(0), 9600));
    EXPECT_FALSE(channel.failure().reason.empty());

    EXPECT_FALSE(channel.open(PortId::named("/nonexistent/ttyX"), 9600));
    EXPECT_EQ(channel.failure().device, "/nonexistent/ttyX");
    EXPECT_NE(channel.failure().reason.find("No such file"), std::string::npos) << channel.failure().reason;

    EXPECT_FALSE(channel.open(PortId::named("/dev/null"), 9600));
    EXPECT_EQ(channel.failure().reason, "not a serial port");
    EXPECT_FALSE(channel.isOpen());
}

} // namespace
