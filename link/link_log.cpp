#include "link_log.h"

#include "link_log_format.h"

#include <cerrno>
#include <cstring>

LinkLog::LinkLog() : LinkLog([] { return std::chrono::system_clock::now(); }) {}

LinkLog::LinkLog(Clock clock) : clock_(std::move(clock)) {}

void LinkLog::onLinkEvent(const LinkEvent& event) {
    deliver(LogLine{formatLogLine(logTimestamp(clock_()), event), isTroubleEvent(event.kind)});
}

void LinkLog::note(std::string_view text) {
    std::string line = logTimestamp(clock_());
    line += " LINK | ";
    line += text;
    deliver(LogLine{std::move(line), false});
}

void LinkLog::deliver(LogLine line) {
    for (const Sink& sink : sinks_) {
        sink(line);
    }
}

LogFile::~LogFile() { close(); }

bool LogFile::open(const std::string& path) {
    close();
    path_ = path;
    error_.clear();
    file_ = std::fopen(path.c_str(), "ab");
    if (file_ == nullptr) {
        error_ = std::strerror(errno);
        return false;
    }
    return true;
}

void LogFile::close() {
    if (file_ != nullptr) {
        if (std::fclose(file_) != 0 && error_.empty()) {
            error_ = std::strerror(errno);
        }
        file_ = nullptr;
    }
}

void LogFile::append(std::string_view line) {
    if (file_ == nullptr) {
        return;
    }
    const bool written = std::fwrite(line.data(), 1, line.size(), file_) == line.size() &&
                         std::fputc('\n', file_) != EOF && std::fflush(file_) == 0;
    if (!written) {
        error_ = std::strerror(errno);
        std::fclose(file_);
        file_ = nullptr;
    }
}
