#pragma once
// The communication log as an observer of the link: every event becomes one
// line (see link_log_format.h), stamped with the local time when it happens,
// and goes to every sink attached: a log file, a window, a test.

#include "link_observer.h"

#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

struct LogLine {
    std::string text;     // without its line break
    bool trouble = false; // something went wrong: what "errors only" shows
};

class LinkLog : public LinkObserver {
public:
    using Sink = std::function<void(const LogLine&)>;
    using Clock = std::function<std::chrono::system_clock::time_point()>;

    LinkLog();
    // Lines stamped by `clock` instead of the system's (for fixed lines in tests).
    explicit LinkLog(Clock clock);

    void addSink(Sink sink) { sinks_.push_back(std::move(sink)); }
    void onLinkEvent(const LinkEvent& event) override;
    // A line of the program's own, between the link's: the start of a run, a search.
    void note(std::string_view text);

private:
    void deliver(LogLine line);

    Clock clock_;
    std::vector<Sink> sinks_;
};

// An append-only text file of log lines. Each line is flushed as it is
// written, so a program that dies leaves its log whole up to its last event.
// The first failed write is kept in error() and ends the writing.
class LogFile {
public:
    LogFile() = default;
    ~LogFile();
    LogFile(const LogFile&) = delete;
    LogFile& operator=(const LogFile&) = delete;

    // Opens `path` for appending, creating it when missing.
    bool open(const std::string& path);
    void close();
    void append(std::string_view line);

    bool isOpen() const { return file_ != nullptr; }
    const std::string& path() const { return path_; }
    // Empty while every line went out; otherwise the system's reason.
    const std::string& error() const { return error_; }

private:
    std::FILE* file_ = nullptr;
    std::string path_;
    std::string error_;
};
