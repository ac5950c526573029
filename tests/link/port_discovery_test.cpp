// Port discovery on a made-up sysfs tree: which ports are listed, with what
// names, and how they are described. Nothing is opened.

#include "link/linux_port_discovery.h"

#include <gtest/gtest.h>

#include <fstream>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

class MadeUpSysfs : public ::testing::Test {
protected:
    void SetUp() override {
        root = fs::temp_directory_path() / ("port-discovery-" + std::to_string(::getpid()));
        fs::remove_all(root);
        tty = root / "sys/class/tty";
        dev = root / "dev";
        fs::create_directories(tty);
        fs::create_directories(dev / "serial/by-id");
    }
    void TearDown() override { fs::remove_all(root); }

    static void write(const fs::path& file, const std::string& text) {
        fs::create_directories(file.parent_path());
        std::ofstream(file) << text << "\n";
    }
    // A tty whose device is `deviceFolder` (under sys/devices), with its node in dev/.
    void addTty(const std::string& name, const std::string& deviceFolder, const std::string& type = {}) {
        fs::create_directories(tty / name);
        fs::create_directories(root / "sys/devices" / deviceFolder);
        fs::create_directory_symlink(root / "sys/devices" / deviceFolder, tty / name / "device");
        if (!type.empty()) {
            write(tty / name / "type", type);
        }
        write(dev / name, "");
    }

    fs::path root, tty, dev;
};

TEST_F(MadeUpSysfs, UsbAdaptersAndRealUartsAreListedWithWhatTheyAre) {
    addTty("ttyS0", "pnp0/00:01", "4");
    addTty("ttyS1", "platform/serial8250/ttyS1", "0"); // reserved by the driver, no UART
    addTty("ttyS10", "pnp0/00:02", "99");
    fs::create_directories(tty / "tty0"); // a virtual terminal: no device
    addTty("ttyUSB0", "usb1/1-1/1-1:1.0/ttyUSB0");
    write(root / "sys/devices/usb1/1-1/idVendor", "0403");
    write(root / "sys/devices/usb1/1-1/idProduct", "6001");
    write(root / "sys/devices/usb1/1-1/manufacturer", "FTDI");
    write(root / "sys/devices/usb1/1-1/product", "FT232R USB UART");
    write(root / "sys/devices/usb1/1-1/serial", "A50285BI");
    addTty("ttyACM0", "usb1/1-2/1-2:1.0");
    write(root / "sys/devices/usb1/1-2/idVendor", "2341");
    write(root / "sys/devices/usb1/1-2/idProduct", "0043");
    write(root / "sys/devices/usb1/1-2/product", "Arduino Uno");
    fs::create_symlink("../../ttyUSB0", dev / "serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0");

    const auto ports = discoverSerialPortsIn(tty, dev);
    ASSERT_EQ(ports.size(), 4u);
    // In the order of their names, ttyS10 after ttyS0.
    EXPECT_EQ(ports[0].device, (dev / "ttyACM0").string());
    EXPECT_EQ(ports[1].device, (dev / "ttyS0").string());
    EXPECT_EQ(ports[2].device, (dev / "ttyS10").string());
    EXPECT_EQ(ports[3].device, (dev / "ttyUSB0").string());

    EXPECT_EQ(ports[1].comNumber, 1);
    EXPECT_EQ(ports[2].comNumber, 11);
    EXPECT_EQ(ports[1].description(), "built-in serial port, 16550A UART, " + ports[1].device);
    EXPECT_EQ(ports[2].hardware, "UART type 99");

    const SerialPortInfo& ftdi = ports[3];
    EXPECT_TRUE(ftdi.usb);
    EXPECT_EQ(ftdi.comNumber, 0);
    EXPECT_EQ(ftdi.name(), (dev / "serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0").string());
    EXPECT_EQ(ftdi.description(), "FTDI FT232R USB UART, serial A50285BI, 0403:6001, " + ftdi.device);

    const SerialPortInfo& acm = ports[0];
    EXPECT_TRUE(acm.usb);
    EXPECT_EQ(acm.name(), acm.device); // no stable name
    EXPECT_EQ(acm.description(), "Arduino Uno, 2341:0043, " + acm.device);
}

TEST_F(MadeUpSysfs, NoTreeNoPorts) {
    EXPECT_TRUE(discoverSerialPortsIn(root / "missing", dev).empty());
}

} // namespace
