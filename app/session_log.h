#pragma once
// This run's communication log: the link's observer. Every line goes to this
// run's log file (when one was started) and into a bounded memory that the log
// window shows; a hook tells the window that lines came.

#include "link/link_log.h"

#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <string>

// Lines the window can show; the file keeps them all.
inline constexpr std::size_t kLogLinesInMemory = 100'000;

class SessionLog {
public:
    SessionLog();
    SessionLog(const SessionLog&) = delete;
    SessionLog& operator=(const SessionLog&) = delete;

    LinkObserver& observer() { return log_; }
    LinkLog& linkLog() { return log_; }

    // Starts this run's file in `folder` (keeping the last runs there). False
    // with fileError() set when it cannot.
    bool startFile(const std::filesystem::path& folder);
    const std::string& filePath() const { return file_.path(); }
    // Why the file is not being written, or empty.
    std::string fileError() const;

    // The lines in memory, oldest first; line number firstLine() is the front.
    const std::deque<LogLine>& lines() const { return lines_; }
    std::uint64_t firstLine() const { return dropped_; }
    std::uint64_t lineCount() const { return dropped_ + lines_.size(); }

    // Called after every line.
    std::function<void()> onLine;

private:
    void take(const LogLine& line);

    LinkLog log_;
    LogFile file_;
    std::string startError_;
    std::deque<LogLine> lines_;
    std::uint64_t dropped_ = 0;
};
