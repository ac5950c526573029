// One log file per run, the last runs kept, and the port list's first eight
// items in their places.

#include "app/port_list.h"
#include "app/run_logs.h"

#include <gtest/gtest.h>

#include <fstream>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

TEST(RunLogs, EachRunGetsAFileOfItsOwnAndOnlyTheLastTwentyStay) {
    const fs::path folder = fs::temp_directory_path() / ("run-logs-" + std::to_string(getpid())) / "logs";
    fs::remove_all(folder.parent_path());
    const auto start = std::chrono::system_clock::now();
    std::vector<fs::path> made;
    for (int run = 0; run < 25; ++run) {
        std::string error;
        const auto file = startRunLog(folder, start + std::chrono::seconds(run), &error);
        ASSERT_TRUE(file.has_value()) << error;
        made.push_back(*file);
        if (run == 0) {
            std::ofstream(folder / "notes.txt") << "mine";
        }
    }
    // Two runs in the same microsecond get two files.
    const auto twin = startRunLog(folder, start + std::chrono::seconds(24), nullptr);
    ASSERT_TRUE(twin.has_value());
    EXPECT_NE(*twin, made.back());

    std::size_t runs = 0;
    for (const auto& entry : fs::directory_iterator(folder)) {
        runs += entry.path().extension() == ".log" ? 1 : 0;
    }
    EXPECT_EQ(runs, kRunLogsKept);
    EXPECT_FALSE(fs::exists(made[5]));
    EXPECT_TRUE(fs::exists(made[24]));
    EXPECT_TRUE(fs::exists(folder / "notes.txt")); // not a run's log: left alone

    std::string error;
    EXPECT_FALSE(startRunLog("/proc/no-logs-here", start, &error).has_value());
    EXPECT_FALSE(error.empty());
    fs::remove_all(folder.parent_path());
}

TEST(PortList, TheNumberedPortsKeepTheirPlacesAndFoundPortsFollow) {
    SerialPortInfo builtIn;
    builtIn.device = "/dev/ttyS0";
    builtIn.comNumber = 1;
    builtIn.hardware = "16550A UART";
    SerialPortInfo ninth = builtIn;
    ninth.device = "/dev/ttyS8";
    ninth.comNumber = 9;
    SerialPortInfo usb;
    usb.device = "/dev/ttyUSB0";
    usb.stablePath = "/dev/serial/by-id/usb-X";
    usb.usb = true;
    const auto items = portListItems({builtIn, ninth, usb}, true);
    ASSERT_EQ(items.size(), 11u);
    EXPECT_EQ(items[0].text, "COM1");
    EXPECT_EQ(items[0].description, "built-in serial port, 16550A UART, /dev/ttyS0");
    EXPECT_EQ(items[7].text, "COM8");
    EXPECT_EQ(items[8].text, "/dev/ttyS8");
    EXPECT_EQ(items[9].text, "/dev/serial/by-id/usb-X");
    EXPECT_EQ(items[10].text, "DEMO SCALE"); // last, after every port found
    EXPECT_EQ(portListItems({builtIn}, false).size(), 8u);
}

} // namespace
