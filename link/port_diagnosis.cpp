#include "port_diagnosis.h"

#include "scale_finder.h"
#include "scale_link.h"

#include <algorithm>

namespace {

std::string joined(std::string text, const std::vector<std::string>& causes) {
    for (const std::string& cause : causes) {
        text += "\n\n" + cause;
    }
    return text;
}

} // namespace

std::string openFailureDetails(const OpenFailure& failure, const std::vector<std::string>& causes) {
    return joined(openFailureText(failure), causes);
}

std::string diagnoseSilentPort(SerialChannel& channel, const PortId& port, std::uint32_t triedBaud,
                               const std::vector<std::uint32_t>& speeds, LinkObserver* observer) {
    std::vector<std::uint32_t> others = speeds;
    std::erase(others, triedBaud);
    ScaleFinder finder(channel, {PortCandidate{port, portLabel(port)}}, others, observer);
    while (finder.step()) {
    }
    std::string text;
    if (const auto& found = finder.found()) {
        text = "The scale answered at " + std::to_string(found->baud) + " bit/s, not at " +
               std::to_string(triedBaud) + ": choose " + std::to_string(found->baud) +
               " in the speed list, or set the scale's RS Baud rate to " + std::to_string(triedBaud) + ".";
        return text;
    }
    text = portLabel(port) + " opens but answers nothing at any speed: check the cable and the scale's RS Baud rate.";
    return joined(text, portTroubleCauses(port, false));
}
