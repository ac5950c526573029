#pragma once
// The Linux side of the diagnosis: who holds a port, from /proc, and which
// installed services are known to take serial adapters.

#include <filesystem>
#include <string>
#include <vector>

struct LinuxSystemView {
    std::filesystem::path proc = "/proc";
    std::vector<std::filesystem::path> programFolders = {"/usr/sbin", "/usr/bin", "/sbin", "/bin"};
};

struct PortHolder {
    int pid = 0;
    std::string name; // the process's command name
};

struct HolderSearch {
    std::vector<PortHolder> holders;
    bool someUnreadable = false; // processes whose open files this user may not see
};

// The processes other than this one that have `device` open (by its device
// number, so any name of it counts).
HolderSearch processesHolding(const std::filesystem::path& device, const LinuxSystemView& system);

std::vector<std::string> portTroubleCausesOn(const std::string& device, bool busy, const LinuxSystemView& system);
