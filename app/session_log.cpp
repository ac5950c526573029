#include "app/session_log.h"

#include "app/run_logs.h"

SessionLog::SessionLog() {
    log_.addSink([this](const LogLine& line) { take(line); });
}

bool SessionLog::startFile(const std::filesystem::path& folder) {
    startError_.clear();
    const auto path = startRunLog(folder, std::chrono::system_clock::now(), &startError_);
    if (!path) {
        startError_ = folder.string() + ": " + startError_;
        return false;
    }
    if (!file_.open(path->string())) {
        startError_ = path->string() + ": " + file_.error();
        return false;
    }
    // What came before the file was opened goes in first.
    for (const LogLine& line : lines_) {
        file_.append(line.text);
    }
    return true;
}

std::string SessionLog::fileError() const {
    if (!startError_.empty()) {
        return startError_;
    }
    return file_.error().empty() ? std::string() : file_.path() + ": " + file_.error();
}

void SessionLog::take(const LogLine& line) {
    file_.append(line.text);
    lines_.push_back(line);
    if (lines_.size() > kLogLinesInMemory) {
        lines_.pop_front();
        ++dropped_;
    }
    if (onLine) {
        onLine();
    }
}
