// CONNECT's diagnoses on a real pseudo-terminal and a made-up system: a
// permission the user lacks, a program that holds the port, and services
// known to take serial adapters.

#include "link/linux_port_diagnosis.h"
#include "link/port_diagnosis.h"
#include "link/posix_serial_channel.h"

#include <fcntl.h>
#include <grp.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <fstream>

namespace {

namespace fs = std::filesystem;

class PseudoTerminalPort : public ::testing::Test {
protected:
    void SetUp() override {
        master = posix_openpt(O_RDWR | O_NOCTTY);
        ASSERT_GE(master, 0);
        ASSERT_EQ(grantpt(master), 0);
        ASSERT_EQ(unlockpt(master), 0);
        device = ptsname(master);
    }
    void TearDown() override { ::close(master); }

    int master = -1;
    std::string device;
};

bool contains(const std::vector<std::string>& causes, const std::string& piece) {
    for (const auto& c : causes) {
        if (c.find(piece) != std::string::npos) {
            return true;
        }
    }
    return false;
}

TEST_F(PseudoTerminalPort, AProgramHoldingThePortIsNamedWithItsPid) {
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t holder = fork();
    ASSERT_GE(holder, 0);
    if (holder == 0) {
        // The other program: holds the port as a terminal program does.
        const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY);
        flock(fd, LOCK_EX | LOCK_NB);
        [[maybe_unused]] const ssize_t told = write(ready[1], "x", 1);
        pause();
        _exit(0);
    }
    char byte = 0;
    ASSERT_EQ(read(ready[0], &byte, 1), 1);

    PosixSerialChannel channel;
    EXPECT_FALSE(channel.open(PortId::named(device), 9600));
    EXPECT_TRUE(channel.failure().inUse);
    const auto causes = portTroubleCauses(PortId::named(device), true);
    EXPECT_TRUE(contains(causes, "(pid " + std::to_string(holder) + ")")) << (causes.empty() ? "" : causes[0]);
    EXPECT_TRUE(contains(causes, "kill " + std::to_string(holder)));
    const std::string details = openFailureDetails(channel.failure(), causes);
    EXPECT_EQ(details.find(device + ": the port is in use by another program"), 0u) << details;

    kill(holder, SIGTERM);
    waitpid(holder, nullptr, 0);
    ::close(ready[0]);
    ::close(ready[1]);
    EXPECT_TRUE(portTroubleCauses(PortId::named(device), true).empty());
}

TEST_F(PseudoTerminalPort, ADeviceOfAGroupTheUserLacksGetsTheUsermodCommand) {
    // Root opens any device, so root looks as an ordinary user would, for the
    // span of this test; an ordinary user shuts itself out with the mode.
    constexpr uid_t kNobody = 65534;
    const group* dialout = getgrnam("dialout");
    const bool root = geteuid() == 0;
    if (root && dialout == nullptr) {
        GTEST_SKIP() << "no dialout group here";
    }
    struct stat info {};
    ASSERT_EQ(stat(device.c_str(), &info), 0);
    const group* own = getgrgid(info.st_gid);
    const std::string group = root ? "dialout" : (own != nullptr ? own->gr_name : std::to_string(info.st_gid));
    if (root) {
        ASSERT_EQ(chown(device.c_str(), 0, dialout->gr_gid), 0);
    }
    ASSERT_EQ(chmod(device.c_str(), root ? 0660 : 0060), 0);
    if (root && seteuid(kNobody) != 0) {
        GTEST_SKIP() << "cannot look as an ordinary user";
    }
    PosixSerialChannel channel;
    const bool opened = channel.open(PortId::named(device), 9600);
    const OpenFailure failure = channel.failure();
    if (root) {
        ASSERT_EQ(seteuid(0), 0);
    }
    ASSERT_FALSE(opened);
    EXPECT_NE(failure.reason.find("the group '" + group + "'"), std::string::npos) << failure.reason;
    EXPECT_NE(failure.reason.find("sudo usermod -aG " + group + " $USER"), std::string::npos) << failure.reason;
}

TEST(SystemServices, BrlttyAndModemManagerAreNamedForUsbAdaptersOnly) {
    const fs::path root = fs::temp_directory_path() / ("diagnosis-" + std::to_string(getpid()));
    fs::create_directories(root / "bin");
    fs::create_directories(root / "proc/812");
    std::ofstream(root / "bin/brltty") << "";
    std::ofstream(root / "bin/ModemManager") << "";
    std::ofstream(root / "proc/812/comm") << "ModemManager\n";
    const LinuxSystemView system{root / "proc", {root / "bin"}};

    const auto usb = portTroubleCausesOn("/dev/ttyUSB0", false, system);
    ASSERT_EQ(usb.size(), 2u);
    EXPECT_NE(usb[0].find("brltty is installed. "), std::string::npos) << usb[0];
    EXPECT_NE(usb[0].find("sudo apt remove brltty"), std::string::npos);
    EXPECT_NE(usb[1].find("ModemManager is installed and running"), std::string::npos) << usb[1];
    EXPECT_NE(usb[1].find("sudo systemctl stop ModemManager"), std::string::npos);

    EXPECT_TRUE(portTroubleCausesOn("/dev/null", false, system).empty()); // present, and no adapter
    fs::remove_all(root);
}

} // namespace
