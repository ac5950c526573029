#include "terminal_link.h"

#include "link/commands.h"
#include "link/scale_link.h"

bool pressScaleKey(ScaleLink& link, std::uint8_t keyCode) {
    link.buffer().clear();
    link.buffer().putU8(keyCode);
    return link.runCommand(cmd::kPressKey);
}

std::optional<TerminalDisplayState> pollTerminalDisplay(ScaleLink& link) {
    link.buffer().clear();
    link.send(cmd::kPollDisplay);
    if (link.linkError()) {
        return std::nullopt;
    }
    return decodeTerminalDisplay(link.buffer());
}
