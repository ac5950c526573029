#pragma once
// Why CONNECT failed, and what fixes it: the details of its error boxes. The
// boxes' own texts stay as they are; the details name the cause and the exact
// command or setting that cures it.

#include "link_observer.h"
#include "serial_channel.h"

#include <cstdint>
#include <string>
#include <vector>

// What this computer shows about a port that would not open or did not
// answer: programs holding it, services known to take serial adapters. One
// sentence each, with its fix. `busy` says the open failed because the port
// was in use, so that holders nobody can see are mentioned too.
std::vector<std::string> portTroubleCauses(const PortId& port, bool busy);

// The details of "Cannot inicialize COM port!": the device and the system's
// reason, then the causes.
std::string openFailureDetails(const OpenFailure& failure, const std::vector<std::string>& causes);

// After an identify that got no answer at CONNECT: tries the port's other
// speeds with one short identify each (the port is left closed) and says at
// which the scale answered, or that it answered at none, then the causes.
std::string diagnoseSilentPort(SerialChannel& channel, const PortId& port, std::uint32_t triedBaud,
                               const std::vector<std::uint32_t>& speeds, LinkObserver* observer = nullptr);
