#pragma once
// Serial ports on Linux, read from sysfs without opening any of them: a port
// opened to look at it would have its modem lines toggled, and one that the
// user may not open would not be listed, which is the port the user most
// needs to see.

#include "port_discovery.h"

#include <filesystem>

// The ports under `sysClassTty` (/sys/class/tty), with their stable names
// from `devRoot`/serial/by-id and devices named `devRoot`/<name>.
std::vector<SerialPortInfo> discoverSerialPortsIn(const std::filesystem::path& sysClassTty,
                                                  const std::filesystem::path& devRoot);
