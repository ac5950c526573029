#include "port_discovery.h"

#include <cstdio>

std::string SerialPortInfo::description() const {
    std::string text;
    auto add = [&text](const std::string& piece) {
        if (!piece.empty()) {
            text += text.empty() ? piece : ", " + piece;
        }
    };
    if (usb) {
        // Many adapters repeat their maker at the start of the product's name.
        std::string what = product;
        if (!manufacturer.empty() && product.rfind(manufacturer, 0) != 0) {
            what = product.empty() ? manufacturer : manufacturer + " " + product;
        }
        add(!friendlyName.empty() ? friendlyName : what.empty() ? "USB serial adapter" : what);
        add(serialNumber.empty() ? "" : "serial " + serialNumber);
        char ids[16];
        std::snprintf(ids, sizeof ids, "%04x:%04x", vendorId, productId);
        add(ids);
    } else if (!friendlyName.empty()) {
        add(friendlyName);
    } else if (!hardware.empty()) {
        add("built-in serial port");
        add(hardware);
    } else {
        add("serial port");
    }
    add(device);
    return text;
}
