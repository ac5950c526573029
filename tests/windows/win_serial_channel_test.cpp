// The Windows serial port against simulated scales on COM ports: under Wine
// each port is a pseudo-terminal with a simulated scale on its other side.
// TALLIVOS_SCALE_PORT names a port whose scale answers, TALLIVOS_SILENT_PORT
// one whose scale takes every request and answers none, TALLIVOS_HUNG_UP_PORT
// one whose line hangs up at the first request.

#include "link/commands.h"
#include "link/port_name.h"
#include "link/scale_link.h"
#include "link/win_serial_channel.h"
#include "tests/support/recording_ui.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <memory>
#include <vector>
#include <windows.h>

namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;

constexpr std::uint32_t kBaud = 115200;
// PLU writes carry the price, code, department, tax class, flags, name and
// validity figure: bytes the scale stores as they come and sends back.
constexpr std::size_t kPluBytesStored = 4 + 4 + 1 + 1 + 1 + 31 + 2;
constexpr std::uint8_t kPluRecordSize = 54;

std::string portFromEnvironment(const char* variable) {
    const char* value = std::getenv(variable);
    return value != nullptr ? value : "";
}

class ScaleOnComPort : public ::testing::Test {
  protected:
    void SetUp() override {
        scalePort = portFromEnvironment("TALLIVOS_SCALE_PORT");
        silentPort = portFromEnvironment("TALLIVOS_SILENT_PORT");
        hungUpPort = portFromEnvironment("TALLIVOS_HUNG_UP_PORT");
        if (scalePort.empty() || silentPort.empty() || hungUpPort.empty()) {
            GTEST_SKIP()
                << "TALLIVOS_SCALE_PORT, TALLIVOS_SILENT_PORT and TALLIVOS_HUNG_UP_PORT name no ports";
        }
    }

    // The request frame of a PLU read, written past the link.
    static Bytes readPluRequest(std::uint8_t number) {
        const std::uint8_t check = 0x00 ^ cmd::kReadPlu ^ 0x00 ^ number ^ 0x00 ^ kPluRecordSize;
        return {0xC3, 0x04, 0x00, cmd::kReadPlu, 0x00, number, 0x00, kPluRecordSize, check, 0xC3, 0x02};
    }

    std::string scalePort;
    std::string silentPort;
    std::string hungUpPort;
    RecordingUi ui;
};

TEST_F(ScaleOnComPort, EveryByteValueGoesToTheScaleAndBackAtEverySpeed) {
    ScaleLink link(std::make_unique<WinSerialChannel>(), ui);
    for (const std::uint32_t baud : {1200u, 9600u, 14400u, 28800u, 57600u, kBaud}) {
        ASSERT_TRUE(link.openLink(portFromText(scalePort), baud))
            << baud << ": " << link.openFailure().reason;
        link.buffer().clear();
        ASSERT_TRUE(link.runCommand(cmd::kIdentify)) << baud;
        EXPECT_EQ(link.buffer().getText(32), "SIM SCALE");
    }
    EXPECT_EQ(ui.statusTexts.back(), "STATUS:00");

    // Whole PLU records made of every byte value in turn: none may be taken
    // for flow control, an end of file, a parity error or a null to drop.
    for (std::uint16_t plu = 1; (plu - 1) * kPluBytesStored < 256; ++plu) {
        const auto byteAt = [&](std::size_t i) {
            return static_cast<std::uint8_t>((plu - 1) * kPluBytesStored + i);
        };
        MessageBuffer& b = link.buffer();
        b.clear();
        b.putU16(plu);
        b.putU8(0);
        for (std::size_t i = 0; i < kPluBytesStored; ++i) {
            b.putU8(byteAt(i));
        }
        b.putU8(0);
        ASSERT_TRUE(link.runCommand(cmd::kWritePlu)) << plu;

        b.clear();
        b.putU16(plu);
        b.putU8(0);
        b.putU8(kPluRecordSize);
        ASSERT_TRUE(link.runCommand(cmd::kReadPlu)) << plu;
        for (std::size_t i = 0; i < kPluBytesStored; ++i) {
            ASSERT_EQ(b.getU8(), byteAt(i)) << "PLU " << plu << " byte " << i;
        }
    }
    EXPECT_TRUE(ui.errors.empty());
}

TEST_F(ScaleOnComPort, SilentScaleFailsAfterThreeAttempts) {
    ScaleLink link(std::make_unique<WinSerialChannel>(), ui);
    ASSERT_TRUE(link.openLink(portFromText(silentPort), kBaud)) << link.openFailure().reason;
    link.buffer().clear();
    EXPECT_FALSE(link.runCommand(cmd::kIdentify));
    EXPECT_TRUE(link.linkError());
    EXPECT_EQ(link.statistics().attempts, 3u);
    EXPECT_EQ(link.statistics().purges, 4u);
    EXPECT_EQ(ui.errors, (std::vector<RecordingUi::Message>{{"Comunication Error!", "Error!"}}));
}

TEST_F(ScaleOnComPort, LineThatHungUpFailsWithoutWaitingOutTheTimeOuts) {
    ScaleLink link(std::make_unique<WinSerialChannel>(), ui);
    ASSERT_TRUE(link.openLink(portFromText(hungUpPort), kBaud)) << link.openFailure().reason;
    link.buffer().clear();
    const ULONGLONG start = GetTickCount64();
    EXPECT_FALSE(link.runCommand(cmd::kIdentify));
    const auto waited = std::chrono::milliseconds(GetTickCount64() - start);
    EXPECT_EQ(link.statistics().attempts, 3u);
    EXPECT_EQ(ui.errors, (std::vector<RecordingUi::Message>{{"Comunication Error!", "Error!"}}));
    // A silent line costs three whole read time-outs; at most the read that
    // was waiting when the line went may wait out its own.
    EXPECT_LT(waited, 2 * kReadTimeout);
}

TEST_F(ScaleOnComPort, PurgeDiscardsAStaleReply) {
    ScaleLink link(std::make_unique<WinSerialChannel>(), ui);
    ASSERT_TRUE(link.openLink(portFromText(scalePort), kBaud)) << link.openFailure().reason;
    SerialChannel& channel = link.channel();

    // The simulated scale answers within milliseconds, and in one piece.
    constexpr DWORD kReplyArrivedMs = 500;

    // A reply that came in while nobody read: the driver holds it.
    ASSERT_TRUE(channel.writeBlock(readPluRequest(1)));
    Sleep(kReplyArrivedMs);
    channel.purgeReceive();
    EXPECT_EQ(channel.readByte(50ms), std::nullopt);

    // A reply whose first byte has been handed out: the channel took the
    // rest from the driver with it.
    ASSERT_TRUE(channel.writeBlock(readPluRequest(2)));
    Sleep(kReplyArrivedMs);
    ASSERT_EQ(channel.readByte(2000ms), std::optional<std::uint8_t>(0x06));
    channel.purgeReceive();
    EXPECT_EQ(channel.readByte(50ms), std::nullopt);

    // The line works on as before.
    link.buffer().clear();
    ASSERT_TRUE(link.runCommand(cmd::kIdentify));
    EXPECT_EQ(link.buffer().getText(32), "SIM SCALE");
}

TEST_F(ScaleOnComPort, HeldPortIsRefusedUntilItIsReleased) {
    WinSerialChannel first;
    WinSerialChannel second;
    ASSERT_TRUE(first.open(portFromText(scalePort), kBaud)) << first.failure().reason;
    // The same port under every name it has, each shown as the user knows it.
    const std::string lower = "com" + scalePort.substr(3);
    const std::pair<PortId, std::string> names[] = {{portFromText(scalePort), scalePort},
                                                    {PortId::named("\\\\.\\" + scalePort), scalePort},
                                                    {PortId::named(lower), lower}};
    for (const auto& [same, shown] : names) {
        EXPECT_FALSE(second.open(same, kBaud)) << shown;
        EXPECT_FALSE(second.isOpen());
        EXPECT_EQ(second.failure().device, shown);
        EXPECT_EQ(second.failure().reason, kPortInUseReason);
        EXPECT_TRUE(second.failure().inUse);
    }
    // Another port is not held by it.
    EXPECT_TRUE(second.open(portFromText(silentPort), kBaud)) << second.failure().reason;
    first.close();
    EXPECT_TRUE(second.open(PortId::named("\\\\.\\" + scalePort), kBaud)) << second.failure().reason;
    // Reopening by the same channel releases what it held first.
    EXPECT_TRUE(second.open(portFromText(scalePort), 9600)) << second.failure().reason;
}

TEST(WinSerialChannel, OpenFailuresSayWhy) {
    WinSerialChannel channel;
    EXPECT_FALSE(channel.open(PortId::numbered(0), kBaud));
    EXPECT_FALSE(channel.failure().reason.empty());
    EXPECT_FALSE(channel.open(PortId::numbered(256), kBaud));
    EXPECT_FALSE(channel.open(PortId::named(""), kBaud));

    // A port the PC does not have: the system's words, its code, and where to look.
    EXPECT_FALSE(channel.open(PortId::numbered(250), kBaud));
    EXPECT_EQ(channel.failure().device, "COM250");
    EXPECT_NE(channel.failure().reason.find("(error "), std::string::npos) << channel.failure().reason;
    EXPECT_NE(channel.failure().reason.find("Device Manager"), std::string::npos) << channel.failure().reason;

    // A device that is not a serial port.
    EXPECT_FALSE(channel.open(PortId::named("NUL"), kBaud));
    EXPECT_EQ(channel.failure().device, "NUL");
    EXPECT_EQ(channel.failure().reason.rfind("not a serial port", 0), 0u) << channel.failure().reason;
    EXPECT_FALSE(channel.isOpen());

    EXPECT_FALSE(channel.open(PortId::numbered(1), 0));
    EXPECT_EQ(channel.failure().reason, "0 bit/s is not a speed");
}

TEST(WinSerialChannel, PortsAboveNineAndTypedNamesOpenAsDevices) {
    EXPECT_EQ(WinSerialChannel::devicePath(PortId::numbered(1)), "\\\\.\\COM1");
    EXPECT_EQ(WinSerialChannel::devicePath(PortId::numbered(12)), "\\\\.\\COM12");
    EXPECT_EQ(WinSerialChannel::devicePath(PortId::numbered(255)), "\\\\.\\COM255");
    EXPECT_EQ(WinSerialChannel::devicePath(PortId::named("COM12")), "\\\\.\\COM12");
    EXPECT_EQ(WinSerialChannel::devicePath(PortId::named("\\\\.\\COM12")), "\\\\.\\COM12");
    EXPECT_EQ(WinSerialChannel::devicePath(PortId::named("CNCA0")), "\\\\.\\CNCA0");
    EXPECT_EQ(WinSerialChannel::devicePath(PortId::named("\\\\.\\")), "");
}

TEST(WinSerialChannel, NeverOpenedChannelFailsAtOnce) {
    WinSerialChannel channel;
    EXPECT_FALSE(channel.isOpen());
    EXPECT_EQ(channel.readByte(5000ms), std::nullopt);
    EXPECT_FALSE(channel.writeByte(0x06, 5000ms));
    EXPECT_FALSE(channel.writeBlock(Bytes{1}));
    channel.purgeReceive();
    channel.raiseDtr();
}

} // namespace
