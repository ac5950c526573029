#include "port_name.h"

#include <cctype>

namespace {

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) {
        text.remove_prefix(1);
    }
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) {
        text.remove_suffix(1);
    }
    return text;
}

// n for "COMn" with 1 <= n <= the highest port number and no leading zero; 0 otherwise.
int numberedPort(std::string_view text) {
    if (text.size() < 4 || text.size() > 6) {
        return 0;
    }
    for (std::size_t i = 0; i < 3; ++i) {
        if (std::toupper(static_cast<unsigned char>(text[i])) != "COM"[i]) {
            return 0;
        }
    }
    if (text[3] == '0') {
        return 0;
    }
    int number = 0;
    for (const char c : text.substr(3)) {
        if (c < '0' || c > '9') {
            return 0;
        }
        number = number * 10 + (c - '0');
    }
    return number <= kHighestPortNumber ? number : 0;
}

} // namespace

PortId portFromText(std::string_view text) {
    text = trimmed(text);
    if (const int number = numberedPort(text)) {
        return PortId::numbered(number);
    }
    return PortId::named(std::string(text));
}
