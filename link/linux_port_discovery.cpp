#include "linux_port_discovery.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <map>
#include <system_error>

namespace fs = std::filesystem;

namespace {

// A USB device sits a few folders above its tty in sysfs (interface, port).
constexpr int kMaxLevelsToUsbDevice = 6;
constexpr int kNoUart = 0; // PORT_UNKNOWN: the driver reserved the port, no UART answered
constexpr int kHighestComNumber = 255;
constexpr std::size_t kMaxAttributeBytes = 256;

// One line of a sysfs attribute, without its line break; empty when missing.
std::string attribute(const fs::path& file) {
    std::ifstream in(file);
    std::string line;
    if (in) {
        std::getline(in, line);
    }
    if (line.size() > kMaxAttributeBytes) {
        line.resize(kMaxAttributeBytes);
    }
    while (!line.empty() && std::isspace(static_cast<unsigned char>(line.back()))) {
        line.pop_back();
    }
    return line;
}

std::uint16_t hexAttribute(const fs::path& file) {
    try {
        return static_cast<std::uint16_t>(std::stoul(attribute(file), nullptr, 16));
    } catch (const std::exception&) {
        return 0;
    }
}

// The UART names of the kernel's serial core, by the number its `type` shows.
std::string uartName(int type) {
    static const std::map<int, const char*> kNames = {
        {1, "8250"},     {2, "16450"},  {3, "16550"},   {4, "16550A"}, {5, "Cirrus"},   {6, "16650"},
        {7, "16650V2"},  {8, "16750"},  {9, "Startech"}, {10, "16C950"}, {11, "16654"}, {12, "16850"},
        {13, "RSA"},     {14, "NS16550A"},
    };
    const auto found = kNames.find(type);
    return found != kNames.end() ? std::string(found->second) + " UART" : "UART type " + std::to_string(type);
}

// ttyS10 after ttyS9: the name's digits at the end compare as a number.
bool namedBefore(const std::string& a, const std::string& b) {
    auto split = [](const std::string& name) {
        std::size_t digits = name.size();
        while (digits > 0 && std::isdigit(static_cast<unsigned char>(name[digits - 1]))) {
            --digits;
        }
        constexpr std::size_t kMaxDigits = 9; // an unsigned long holds them all
        digits = std::max(digits, name.size() > kMaxDigits ? name.size() - kMaxDigits : 0);
        const std::string tail = name.substr(digits);
        return std::pair<std::string, unsigned long>(name.substr(0, digits), tail.empty() ? 0 : std::stoul(tail));
    };
    return split(a) < split(b);
}

// "ttyS4" is COM5.
int comNumber(const std::string& name) {
    if (name.size() < 5 || name.rfind("ttyS", 0) != 0 ||
        !std::all_of(name.begin() + 4, name.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)); })) {
        return 0;
    }
    const int number = std::stoi(name.substr(4)) + 1;
    return number <= kHighestComNumber ? number : 0;
}

// Fills in the USB device's names when the tty hangs below one.
void readUsbDevice(const fs::path& ttyDevice, SerialPortInfo& port) {
    std::error_code error;
    fs::path folder = fs::canonical(ttyDevice, error);
    if (error) {
        return;
    }
    for (int level = 0; level <= kMaxLevelsToUsbDevice && folder.has_relative_path(); ++level) {
        if (fs::exists(folder / "idVendor", error) && fs::exists(folder / "idProduct", error)) {
            port.usb = true;
            port.vendorId = hexAttribute(folder / "idVendor");
            port.productId = hexAttribute(folder / "idProduct");
            port.manufacturer = attribute(folder / "manufacturer");
            port.product = attribute(folder / "product");
            port.serialNumber = attribute(folder / "serial");
            return;
        }
        folder = folder.parent_path();
    }
}

// Stable names by the device they point to.
std::map<fs::path, fs::path> stableNames(const fs::path& devRoot) {
    std::map<fs::path, fs::path> names;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(devRoot / "serial" / "by-id", error)) {
        const fs::path target = fs::canonical(entry.path(), error);
        if (!error && !names.contains(target)) {
            names[target] = entry.path();
        }
    }
    return names;
}

} // namespace

std::vector<SerialPortInfo> discoverSerialPortsIn(const fs::path& sysClassTty, const fs::path& devRoot) {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(sysClassTty, error)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end(), namedBefore);
    const auto stable = stableNames(devRoot);

    std::vector<SerialPortInfo> ports;
    for (const std::string& name : names) {
        const fs::path tty = sysClassTty / name;
        // Virtual terminals, pseudo-terminals and the console have no device.
        if (!fs::exists(fs::symlink_status(tty / "device", error))) {
            continue;
        }
        SerialPortInfo port;
        port.device = (devRoot / name).string();
        const std::string type = attribute(tty / "type");
        if (!type.empty()) {
            int number = kNoUart;
            try {
                number = std::stoi(type);
            } catch (const std::exception&) {
            }
            if (number == kNoUart) {
                continue;
            }
            port.hardware = uartName(number);
        }
        readUsbDevice(tty / "device", port);
        port.comNumber = port.usb ? 0 : comNumber(name);
        const fs::path node = fs::weakly_canonical(devRoot / name, error);
        if (const auto found = stable.find(node); found != stable.end()) {
            port.stablePath = found->second.string();
        }
        ports.push_back(std::move(port));
    }
    return ports;
}

std::vector<SerialPortInfo> discoverSerialPorts() { return discoverSerialPortsIn("/sys/class/tty", "/dev"); }
