#pragma once
// Serial ports on Windows, as the Device Manager lists them under "Ports (COM
// & LPT)", with the ports of the system's SERIALCOMM list that no device
// names (virtual ports, Wine's). Nothing is opened.

#include "port_discovery.h"

#include <string>
#include <vector>

// A port from what Windows keeps of its device: its name ("COM3"), the
// Device Manager's name ("USB-SERIAL CH340 (COM3)") and the device instance
// ("USB\VID_1A86&PID_7523\5&1A2B3C&0&2"), from which a USB adapter's ids
// and serial number come.
SerialPortInfo windowsPortInfo(const std::string& portName, const std::string& friendlyName,
                               const std::string& instanceId);

// Adds `port` unless a port of that name (in any case) is listed already.
void addWindowsPort(std::vector<SerialPortInfo>& ports, SerialPortInfo port);

// The ports in the order of their numbers (COM2 before COM10), named ones last.
void sortWindowsPorts(std::vector<SerialPortInfo>& ports);
