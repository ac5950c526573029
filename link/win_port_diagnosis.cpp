#include "win_port_diagnosis.h"

#include "port_diagnosis.h"
#include "port_discovery.h"
#include "win_serial_channel.h"

#include <algorithm>
#include <cctype>

namespace {

// Ports named in the list of what the PC has; more are counted.
constexpr std::size_t kMaxPortsNamed = 8;

bool sameName(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::toupper(static_cast<unsigned char>(x)) ==
                      std::toupper(static_cast<unsigned char>(y));
           });
}

} // namespace

std::vector<std::string> portTroubleCausesOn(const std::string& shown, bool busy,
                                             const std::vector<SerialPortInfo>& present) {
    std::vector<std::string> causes;
    if (busy) {
        causes.push_back(
            "Another program has " + shown +
            " open: close it (a terminal program, another scale program, or a tool of a phone, "
            "modem or GPS that watches the COM ports). Windows does not tell which program it is; "
            "when none is to be found, unplugging a USB adapter and plugging it in again, or "
            "restarting the PC, frees the port.");
    }
    const bool there = std::any_of(present.begin(), present.end(),
                                   [&](const SerialPortInfo& port) { return sameName(port.device, shown); });
    if (!there) {
        std::string text = "The PC has no " + shown + " now. ";
        if (present.empty()) {
            text += "It has no COM port at all";
        } else {
            text += "Its COM ports: ";
            for (std::size_t i = 0; i < present.size() && i < kMaxPortsNamed; ++i) {
                const SerialPortInfo& port = present[i];
                text += (i == 0 ? "" : ", ") + port.device +
                        (port.friendlyName.empty() ? "" : " (" + port.friendlyName + ")");
            }
            if (present.size() > kMaxPortsNamed) {
                text += " and " + std::to_string(present.size() - kMaxPortsNamed) + " more";
            }
        }
        text +=
            ". A USB adapter has a port only while it is plugged in and its driver is installed, and may get "
            "another number in another USB socket: the Device Manager shows it under \"Ports (COM & LPT)\".";
        causes.push_back(text);
    }
    return causes;
}

std::vector<std::string> portTroubleCauses(const PortId& port, bool busy) {
    const std::string device = WinSerialChannel::devicePath(port);
    if (device.empty()) {
        return {};
    }
    return portTroubleCausesOn(WinSerialChannel::shownName(device), busy, discoverSerialPorts());
}
