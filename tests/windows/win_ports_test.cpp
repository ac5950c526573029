// The COM ports as Windows lists them, and what the connection diagnosis says
// of a port that is held or missing. Under Wine the list holds the ports the
// test prefix maps (TALLIVOS_SCALE_PORT and the others), from SERIALCOMM.

#include "link/port_diagnosis.h"
#include "link/port_name.h"
#include "link/win_port_diagnosis.h"
#include "link/win_port_discovery.h"

#include <algorithm>
#include <cstdlib>
#include <gtest/gtest.h>

namespace {

bool mentions(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

TEST(WinPortDiscovery, DevicesAreDescribedAsTheDeviceManagerNamesThem) {
    const SerialPortInfo ch340 =
        windowsPortInfo("COM3", "USB-SERIAL CH340 (COM3)", "USB\\VID_1A86&PID_7523\\5&1A2B3C&0&2");
    EXPECT_TRUE(ch340.usb);
    EXPECT_EQ(ch340.comNumber, 3);
    EXPECT_EQ(ch340.serialNumber, ""); // made up by Windows from the socket
    EXPECT_EQ(ch340.description(), "USB-SERIAL CH340, 1a86:7523, COM3");

    const SerialPortInfo ftdi =
        windowsPortInfo("COM12", "USB Serial Port (COM12)", "usb\\vid_0403&pid_6001\\A50285BI");
    EXPECT_EQ(ftdi.description(), "USB Serial Port, serial A50285BI, 0403:6001, COM12");
    const SerialPortInfo ftdiBus =
        windowsPortInfo("COM4", "USB Serial Port (COM4)", "FTDIBUS\\VID_0403+PID_6015+DK0AB1CDA\\0000");
    EXPECT_EQ(ftdiBus.description(), "USB Serial Port, 0403:6015, COM4");

    const SerialPortInfo builtIn = windowsPortInfo("COM1", "Communications Port (COM1)", "ACPI\\PNP0501\\1");
    EXPECT_FALSE(builtIn.usb);
    EXPECT_EQ(builtIn.description(), "Communications Port, COM1");
    EXPECT_EQ(windowsPortInfo("CNCA0", "", "").description(), "serial port, CNCA0");

    std::vector<SerialPortInfo> ports;
    for (const char* name : {"COM10", "CNCA0", "COM2", "com2", "COM10", ""}) {
        addWindowsPort(ports, windowsPortInfo(name, "", ""));
    }
    sortWindowsPorts(ports);
    ASSERT_EQ(ports.size(), 3u);
    EXPECT_EQ(ports[0].device, "COM2");
    EXPECT_EQ(ports[1].device, "COM10");
    EXPECT_EQ(ports[2].device, "CNCA0");
}

TEST(WinPortDiscovery, TheMappedPortsAreListedAndAMissingPortGetsTheList) {
    const char* scalePort = std::getenv("TALLIVOS_SCALE_PORT");
    if (scalePort == nullptr) {
        GTEST_SKIP() << "TALLIVOS_SCALE_PORT names no port";
    }
    const auto ports = discoverSerialPorts();
    const auto found = std::find_if(ports.begin(), ports.end(),
                                    [&](const SerialPortInfo& port) { return port.device == scalePort; });
    ASSERT_NE(found, ports.end());
    EXPECT_EQ(found->comNumber, portFromText(scalePort).number);
    EXPECT_TRUE(
        std::is_sorted(ports.begin(), ports.end(), [](const SerialPortInfo& a, const SerialPortInfo& b) {
            return std::pair(a.comNumber == 0, a.comNumber) < std::pair(b.comNumber == 0, b.comNumber);
        }));

    // Present and free: nothing to say.
    EXPECT_TRUE(portTroubleCauses(portFromText(scalePort), false).empty());
    // Held: how to free it.
    const auto held = portTroubleCauses(PortId::named(std::string("\\\\.\\") + scalePort), true);
    ASSERT_EQ(held.size(), 1u);
    EXPECT_TRUE(mentions(held[0], std::string("Another program has ") + scalePort + " open")) << held[0];
    // Missing: the ports there are.
    const auto missing = portTroubleCauses(PortId::numbered(250), false);
    ASSERT_EQ(missing.size(), 1u);
    EXPECT_TRUE(mentions(missing[0], "The PC has no COM250 now. Its COM ports: ")) << missing[0];
    EXPECT_TRUE(mentions(missing[0], scalePort)) << missing[0];
    EXPECT_TRUE(mentions(missing[0], "Ports (COM & LPT)")) << missing[0];
}

TEST(WinPortDiagnosis, AMissingPortOnAPCWithoutPorts) {
    const auto causes = portTroubleCausesOn("COM3", false, {});
    ASSERT_EQ(causes.size(), 1u);
    EXPECT_TRUE(mentions(causes[0], "The PC has no COM3 now. It has no COM port at all.")) << causes[0];
    std::vector<SerialPortInfo> many;
    for (int n = 1; n <= 10; ++n) {
        many.push_back(windowsPortInfo("COM" + std::to_string(n), "Port " + std::to_string(n), ""));
    }
    const auto listed = portTroubleCausesOn("com11", true, many);
    ASSERT_EQ(listed.size(), 2u);
    EXPECT_TRUE(mentions(listed[1], "COM1 (Port 1), COM2 (Port 2)")) << listed[1];
    EXPECT_TRUE(mentions(listed[1], "COM8 (Port 8) and 2 more.")) << listed[1];
    EXPECT_EQ(portTroubleCausesOn("com10", false, many).size(), 0u); // any case names it
}

} // namespace
