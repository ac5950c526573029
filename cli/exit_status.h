#pragma once
// The companion's exit statuses, for the scripts that run it.

namespace exit_status {
inline constexpr int kOk = 0;
inline constexpr int kLinkFailed = 1; // the port did not open, or the scale did not answer
inline constexpr int kUsage = 2;      // the command line is wrong
inline constexpr int kFileError = 3;  // a file or folder could not be read or written
inline constexpr int kRefused = 4;    // what a file holds was refused by a check
inline constexpr int kStopped = 130;  // stopped by Ctrl+C or a termination signal
} // namespace exit_status
