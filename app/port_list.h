#pragma once
// The items of the port selector, built in one place: COM1 to COM8 first, in
// the places the saved state file's positions refer to, then every other port
// found, by the name that opens it. Later items go at the end of this list:
// last of all the demo scale built into the program, where it has one.

#include "link/port_discovery.h"

#include <string>
#include <vector>

inline constexpr int kNumberedPortItems = 8; // COM1 .. COM8
inline constexpr const char* kDemoScaleItem = "DEMO SCALE";

struct PortListItem {
    std::string text;        // what the selector shows and the link opens
    std::string description; // what it is, for the list's second column
};

std::vector<PortListItem> portListItems(const std::vector<SerialPortInfo>& found, bool withDemoScale);
