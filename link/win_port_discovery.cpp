#include "win_port_discovery.h"

#include "port_name.h"

#include <algorithm>
#include <cctype>
#include <cwchar>
#include <tuple>

// The system header first: <setupapi.h> needs what it declares.
// clang-format off
#include <windows.h>
#include <setupapi.h>
// clang-format on

namespace {

// The Device Manager's "Ports (COM & LPT)" class, and the interface that
// serial port drivers register (some register only one of them).
constexpr GUID kPortsClass{0x4d36e978, 0xe325, 0x11ce, {0xbf, 0xc1, 0x08, 0x00, 0x2b, 0xe1, 0x03, 0x18}};
constexpr GUID kComPortInterface{
    0x86e0d1e0, 0x8089, 0x11d0, {0x9c, 0xe4, 0x08, 0x00, 0x3e, 0x30, 0x1f, 0x73}};
// Bounds on what is read of the system's lists.
constexpr DWORD kMaxDevicesLooked = 1024;
constexpr DWORD kMaxSerialCommValues = 1024;
constexpr DWORD kMaxTextChars = 512;

std::string upperCase(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return text;
}

std::string utf8(const wchar_t* text) {
    const int length = static_cast<int>(wcsnlen(text, kMaxTextChars));
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(std::max(bytes, 0)), '\0');
    if (bytes > 0) {
        WideCharToMultiByte(CP_UTF8, 0, text, length, out.data(), bytes, nullptr, nullptr);
    }
    return out;
}

// The four hex digits after `tag` ("VID_0403"); 0 when there are none.
std::uint16_t idAfter(const std::string& id, const char* tag) {
    const std::size_t at = id.find(tag);
    if (at == std::string::npos || at + 4 + 4 > id.size()) {
        return 0;
    }
    const std::string digits = id.substr(at + 4, 4);
    if (!std::all_of(digits.begin(), digits.end(),
                     [](char c) { return std::isxdigit(static_cast<unsigned char>(c)); })) {
        return 0;
    }
    return static_cast<std::uint16_t>(std::stoul(digits, nullptr, 16));
}

std::string deviceText(HDEVINFO set, SP_DEVINFO_DATA& device, DWORD property) {
    wchar_t text[kMaxTextChars + 1]{};
    DWORD type = 0;
    if (!SetupDiGetDeviceRegistryPropertyW(set, &device, property, &type, reinterpret_cast<BYTE*>(text),
                                           kMaxTextChars * sizeof(wchar_t), nullptr) ||
        type != REG_SZ) {
        return {};
    }
    return utf8(text);
}

std::string portNameOf(HDEVINFO set, SP_DEVINFO_DATA& device) {
    HKEY key = SetupDiOpenDevRegKey(set, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
    if (key == INVALID_HANDLE_VALUE) {
        return {};
    }
    wchar_t text[kMaxTextChars + 1]{};
    DWORD type = 0;
    DWORD size = kMaxTextChars * sizeof(wchar_t);
    const LONG read =
        RegQueryValueExW(key, L"PortName", nullptr, &type, reinterpret_cast<BYTE*>(text), &size);
    RegCloseKey(key);
    return read == ERROR_SUCCESS && type == REG_SZ ? utf8(text) : std::string();
}

std::string instanceIdOf(HDEVINFO set, SP_DEVINFO_DATA& device) {
    wchar_t text[kMaxTextChars + 1]{};
    return SetupDiGetDeviceInstanceIdW(set, &device, text, kMaxTextChars, nullptr) ? utf8(text)
                                                                                   : std::string();
}

void addDevices(const GUID& kind, DWORD flags, std::vector<SerialPortInfo>& ports) {
    HDEVINFO set = SetupDiGetClassDevsW(&kind, nullptr, nullptr, flags | DIGCF_PRESENT);
    if (set == INVALID_HANDLE_VALUE) {
        return;
    }
    for (DWORD i = 0; i < kMaxDevicesLooked; ++i) {
        SP_DEVINFO_DATA device{};
        device.cbSize = sizeof device;
        if (!SetupDiEnumDeviceInfo(set, i, &device)) {
            break;
        }
        const std::string name = portNameOf(set, device);
        // The class holds the printer ports too.
        if (portFromText(name).number != 0) {
            addWindowsPort(ports, windowsPortInfo(name, deviceText(set, device, SPDRP_FRIENDLYNAME),
                                                  instanceIdOf(set, device)));
        }
    }
    SetupDiDestroyDeviceInfoList(set);
}

// Every port the serial drivers have made: value "\Device\Serial0" = "COM1".
void addSerialCommPorts(std::vector<SerialPortInfo>& ports) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &key) !=
        ERROR_SUCCESS) {
        return;
    }
    for (DWORD i = 0; i < kMaxSerialCommValues; ++i) {
        wchar_t name[kMaxTextChars + 1]{};
        wchar_t data[kMaxTextChars + 1]{};
        DWORD nameChars = kMaxTextChars;
        DWORD dataBytes = kMaxTextChars * sizeof(wchar_t);
        DWORD type = 0;
        const LONG read = RegEnumValueW(key, i, name, &nameChars, nullptr, &type,
                                        reinterpret_cast<BYTE*>(data), &dataBytes);
        if (read == ERROR_NO_MORE_ITEMS) {
            break;
        }
        if (read == ERROR_SUCCESS && type == REG_SZ) {
            addWindowsPort(ports, windowsPortInfo(utf8(data), {}, {}));
        }
    }
    RegCloseKey(key);
}

} // namespace

SerialPortInfo windowsPortInfo(const std::string& portName, const std::string& friendlyName,
                               const std::string& instanceId) {
    SerialPortInfo port;
    port.device = portName;
    port.comNumber = portFromText(portName).number;
    // "USB-SERIAL CH340 (COM3)": the port's name is told beside it anyway.
    port.friendlyName = friendlyName;
    const std::string suffix = " (" + portName + ")";
    if (port.friendlyName.size() > suffix.size() && port.friendlyName.ends_with(suffix)) {
        port.friendlyName.resize(port.friendlyName.size() - suffix.size());
    }
    // USB\VID_0403&PID_6001\A50285BI; FTDI's own driver: FTDIBUS\VID_0403+PID_6001+A50285BIA\0000.
    const std::string id = upperCase(instanceId);
    port.vendorId = idAfter(id, "VID_");
    port.productId = idAfter(id, "PID_");
    port.usb = port.vendorId != 0;
    if (id.rfind("USB\\", 0) == 0) {
        // The last part is the adapter's serial number when it has one;
        // otherwise Windows made it up from where it is plugged in (with '&').
        const std::size_t last = instanceId.rfind('\\');
        const std::string tail = instanceId.substr(last + 1);
        if (last > 4 && !tail.empty() && tail.find('&') == std::string::npos) {
            port.serialNumber = tail;
        }
    }
    return port;
}

void addWindowsPort(std::vector<SerialPortInfo>& ports, SerialPortInfo port) {
    const std::string name = upperCase(port.device);
    if (name.empty() || std::any_of(ports.begin(), ports.end(),
                                    [&](const SerialPortInfo& p) { return upperCase(p.device) == name; })) {
        return;
    }
    ports.push_back(std::move(port));
}

void sortWindowsPorts(std::vector<SerialPortInfo>& ports) {
    std::stable_sort(ports.begin(), ports.end(), [](const SerialPortInfo& a, const SerialPortInfo& b) {
        const auto key = [](const SerialPortInfo& p) {
            return std::make_tuple(p.comNumber == 0, p.comNumber, upperCase(p.device));
        };
        return key(a) < key(b);
    });
}

std::vector<SerialPortInfo> discoverSerialPorts() {
    std::vector<SerialPortInfo> ports;
    addDevices(kPortsClass, 0, ports);
    addDevices(kComPortInterface, DIGCF_DEVICEINTERFACE, ports);
    addSerialCommPorts(ports);
    sortWindowsPorts(ports);
    return ports;
}
