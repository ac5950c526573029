#include "app/port_list.h"

std::vector<PortListItem> portListItems(const std::vector<SerialPortInfo>& found, bool withDemoScale) {
    std::vector<PortListItem> items;
    for (int n = 1; n <= kNumberedPortItems; ++n) {
        items.push_back({"COM" + std::to_string(n), {}});
    }
    for (const SerialPortInfo& port : found) {
        if (port.comNumber >= 1 && port.comNumber <= kNumberedPortItems) {
            // Already in the list by its number: the number's item tells what it is.
            items[static_cast<std::size_t>(port.comNumber - 1)].description = port.description();
        } else {
            items.push_back({port.name(), port.description()});
        }
    }
    if (withDemoScale) {
        items.push_back({kDemoScaleItem, "a scale to practise on, simulated inside this program"});
    }
    return items;
}
