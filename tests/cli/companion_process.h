#pragma once
// Runs the companion as a process, as a scheduled job would: arguments in,
// standard output, standard error and the exit status out. Standard error is
// a pipe, or the slave of a pseudo-terminal when the test wants a terminal.

#include <chrono>
#include <functional>
#include <string>
#include <vector>

struct CompanionRun {
    int status = -1; // exit status; -1 when it did not exit by itself
    std::string out;
    std::string err;
};

// Only a guard against a hang: a stuck companion is killed after this.
inline constexpr std::chrono::seconds kCompanionHangGuard{60};

// `terminalErrors`: standard error is a terminal (the progress bar draws).
// `environment`: NAME=VALUE settings added to the test's own (LC_ALL=...).
// `interruptWhen`: asked while it runs; once true, the companion gets the
// SIGINT of a Ctrl+C.
CompanionRun runCompanion(const std::vector<std::string>& arguments, bool terminalErrors = false,
                          const std::vector<std::string>& environment = {},
                          const std::function<bool()>& interruptWhen = {});
