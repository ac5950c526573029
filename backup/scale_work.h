#pragma once
// What every whole-scale job shares: how it tells its progress and is
// stopped, how it ends, and the scale's identification it starts with.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

class ScaleLink;

struct WorkHooks {
    // Before each command: how many of `total` are done, and what comes next
    // ("PLU 17", "settings: clerk 2"), for the progress and for messages.
    std::function<void(int done, int total, const std::string& next)> step;
    // False once the person asked to stop; looked at between two PLUs.
    std::function<bool()> working;
};

enum class WorkEnd {
    Completed,
    Stopped,    // the person stopped it; a backup leaves no folder
    LinkFailed, // runCommand has told the user
    FileError,  // a file or folder could not be read or written
    Refused,    // what a file holds was refused by a check
};

struct WorkOutcome {
    WorkEnd end = WorkEnd::Completed;
    std::string problem; // for FileError and Refused: what and where
};

// Command 1: the identification text (width 32) and the status byte of its
// reply. A failure has been shown by runCommand.
struct ScaleIdentity {
    std::string text;
    std::uint8_t status = 0;
};
std::optional<ScaleIdentity> identifyScale(ScaleLink& link);
