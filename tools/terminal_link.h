#pragma once
// The terminal's two commands: a key press and the display poll.

#include "terminal_display.h"

#include <cstdint>
#include <optional>

class ScaleLink;

// Command 64 through runCommand: a failure is reported to the user there.
bool pressScaleKey(ScaleLink& link, std::uint8_t keyCode);

// Command 66 through the bare send: no status, no message. nullopt when the
// exchange failed.
std::optional<TerminalDisplayState> pollTerminalDisplay(ScaleLink& link);
