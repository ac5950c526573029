#pragma once
// One communication log file per run of the program, in one folder, the last
// runs kept: run-20261209-101502-123456.log, named by the moment the run
// started, so the names sort as the runs went.

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>

inline constexpr std::size_t kRunLogsKept = 20;

// Creates this run's file (never one that exists) and removes the oldest run
// files beyond the last `kept`, this one included. nullopt with `error` set
// when the folder or the file cannot be made.
std::optional<std::filesystem::path> startRunLog(const std::filesystem::path& folder,
                                                 std::chrono::system_clock::time_point start, std::string* error,
                                                 std::size_t kept = kRunLogsKept);
