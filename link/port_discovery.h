#pragma once
// The serial ports this computer has, each described as a person would know
// it. One small interface for every platform: each lists its ports its own way
// (Linux from sysfs, in linux_port_discovery.cpp; Windows from its device
// list, in win_port_discovery.cpp).

#include <cstdint>
#include <string>
#include <vector>

struct SerialPortInfo {
    std::string device;     // what the system calls it: /dev/ttyUSB0, /dev/ttyS0, COM3
    std::string stablePath; // a name that outlives re-plugging (/dev/serial/by-id/...); empty when none
    int comNumber = 0;      // the numbered port that opens it ("COMn" is n); 0 when none does
    bool usb = false;
    std::string manufacturer; // USB adapters: as the adapter tells
    std::string product;
    std::string serialNumber;
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    std::string hardware;     // built-in ports: the UART, e.g. "16550A UART"
    std::string friendlyName; // Windows: the Device Manager's name, e.g. "USB-SERIAL CH340"

    // The name to type or to keep: the stable path when there is one.
    std::string name() const { return stablePath.empty() ? device : stablePath; }
    // "FTDI FT232R USB UART, serial A50285BI, 0403:6001, /dev/ttyUSB0"; a
    // friendly name stands for what the port is, as the user knows it there.
    std::string description() const;
};

// Every port found, in the order of the system's names (ttyS2 before ttyS10).
// Built-in ports are listed only when they have a UART; nothing is opened.
std::vector<SerialPortInfo> discoverSerialPorts();
