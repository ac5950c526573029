#pragma once
// The Windows side of the diagnosis. Windows does not tell which program
// holds a port, so a held port gets the ways to free it; a port the PC does
// not have gets the ports it has, as the Device Manager names them.

#include "port_discovery.h"

#include <string>
#include <vector>

// `shown` is the port as the user typed or chose it ("COM5"); `present` the
// ports the PC has now.
std::vector<std::string> portTroubleCausesOn(const std::string& shown, bool busy,
                                             const std::vector<SerialPortInfo>& present);
