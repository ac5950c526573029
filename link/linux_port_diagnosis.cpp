#include "linux_port_diagnosis.h"

#include "port_diagnosis.h"
#include "posix_serial_channel.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <system_error>

namespace fs = std::filesystem;

namespace {

// Holders listed by name; more are counted.
constexpr std::size_t kMaxHoldersNamed = 8;

bool isNumber(const std::string& text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)); });
}

std::string commandName(const fs::path& processFolder) {
    std::ifstream in(processFolder / "comm");
    std::string name;
    std::getline(in, name);
    return name.empty() ? "?" : name;
}

bool installed(const LinuxSystemView& system, const char* program) {
    std::error_code error;
    for (const auto& folder : system.programFolders) {
        if (fs::exists(folder / program, error)) {
            return true;
        }
    }
    return false;
}

bool running(const LinuxSystemView& system, const std::string& name) {
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(system.proc, error)) {
        if (isNumber(entry.path().filename().string()) && commandName(entry.path()) == name) {
            return true;
        }
    }
    return false;
}

// Adapters that brltty and ModemManager take for their own come over USB; a
// device that is not there may be one that brltty made vanish.
bool mayBeUsbAdapter(const std::string& device) {
    std::error_code error;
    return device.find("USB") != std::string::npos || device.find("ACM") != std::string::npos ||
           device.find("usb") != std::string::npos || !fs::exists(device, error);
}

} // namespace

HolderSearch processesHolding(const fs::path& device, const LinuxSystemView& system) {
    HolderSearch search;
    struct stat wanted {};
    if (stat(device.c_str(), &wanted) != 0 || !S_ISCHR(wanted.st_mode)) {
        return search;
    }
    std::error_code error;
    const std::string self = std::to_string(getpid());
    for (const auto& process : fs::directory_iterator(system.proc, error)) {
        const std::string pid = process.path().filename().string();
        // This program is not the other program the user is looking for.
        if (!isNumber(pid) || pid == self) {
            continue;
        }
        std::error_code fdError;
        fs::directory_iterator fds(process.path() / "fd", fdError);
        if (fdError) {
            search.someUnreadable = search.someUnreadable || fdError == std::errc::permission_denied;
            continue;
        }
        for (const auto& fd : fds) {
            struct stat open {};
            // stat follows the descriptor's link to the device it has open.
            if (stat(fd.path().c_str(), &open) == 0 && S_ISCHR(open.st_mode) && open.st_rdev == wanted.st_rdev) {
                search.holders.push_back({std::stoi(pid), commandName(process.path())});
                break;
            }
        }
    }
    return search;
}

std::vector<std::string> portTroubleCausesOn(const std::string& device, bool busy, const LinuxSystemView& system) {
    std::vector<std::string> causes;
    const HolderSearch search = processesHolding(device, system);
    if (!search.holders.empty()) {
        std::string text = device + " is open in ";
        for (std::size_t i = 0; i < search.holders.size() && i < kMaxHoldersNamed; ++i) {
            const PortHolder& h = search.holders[i];
            text += (i == 0 ? "" : ", ") + h.name + " (pid " + std::to_string(h.pid) + ")";
        }
        if (search.holders.size() > kMaxHoldersNamed) {
            text += " and " + std::to_string(search.holders.size() - kMaxHoldersNamed) + " more";
        }
        text += ": close that program, or end it with: kill " + std::to_string(search.holders.front().pid);
        causes.push_back(text);
    } else if (busy && search.someUnreadable) {
        causes.push_back("Another user's program holds " + device +
                         "; this user cannot see which. To see it: sudo fuser -v " + device);
    }
    if (mayBeUsbAdapter(device)) {
        if (installed(system, "brltty")) {
            causes.push_back(std::string("brltty is installed") + (running(system, "brltty") ? " and running" : "") +
                             ". It takes some USB serial adapters (CH340, CH341, CP210x) for braille displays, so "
                             "their port is held or vanishes. Without a braille display, remove it: "
                             "sudo apt remove brltty");
        }
        if (installed(system, "ModemManager")) {
            causes.push_back(std::string("ModemManager is installed") +
                             (running(system, "ModemManager") ? " and running" : "") +
                             ". It probes a newly plugged serial adapter as a modem, holding the port and sending "
                             "it AT commands for a while. Stop it: sudo systemctl stop ModemManager "
                             "(or remove it: sudo apt remove modemmanager)");
        }
    }
    return causes;
}

std::vector<std::string> portTroubleCauses(const PortId& port, bool busy) {
    const std::string device = PosixSerialChannel::devicePath(port);
    if (device.empty()) {
        return {};
    }
    return portTroubleCausesOn(device, busy, LinuxSystemView{});
}
