#include "app/run_logs.h"

#include "link/link_log_format.h"
#include "plu/file_system_calls.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr const char* kPrefix = "run-";
constexpr const char* kSuffix = ".log";
// Names tried when the first is taken (another run started in the same microsecond).
constexpr int kMaxNameTries = 100;

bool isRunLog(const fs::path& file) {
    const std::string name = file.filename().string();
    return name.rfind(kPrefix, 0) == 0 && name.size() > 8 && name.ends_with(kSuffix);
}

std::string runLogName(std::chrono::system_clock::time_point start) {
    using namespace std::chrono;
    const auto micros = duration_cast<microseconds>(start.time_since_epoch()).count();
    const std::time_t seconds = static_cast<std::time_t>(micros / 1'000'000);
    const std::tm local = localCalendarTime(seconds);
    char text[64];
    const std::size_t n = std::strftime(text, sizeof text, "run-%Y%m%d-%H%M%S", &local);
    std::snprintf(text + n, sizeof text - n, "-%06lld.log", static_cast<long long>(micros % 1'000'000));
    return text;
}

void keepLatest(const fs::path& folder, std::size_t kept) {
    std::vector<fs::path> runs;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error)) {
        if (entry.is_regular_file(error) && isRunLog(entry.path())) {
            runs.push_back(entry.path());
        }
    }
    if (runs.size() <= kept) {
        return;
    }
    std::sort(runs.begin(), runs.end());
    for (std::size_t i = 0; i + kept < runs.size(); ++i) {
        fs::remove(runs[i], error);
    }
}

} // namespace

std::optional<fs::path> startRunLog(const fs::path& folder, std::chrono::system_clock::time_point start,
                                    std::string* error, std::size_t kept) {
    std::error_code made;
    fs::create_directories(folder, made);
    if (made) {
        if (error != nullptr) {
            *error = made.message();
        }
        return std::nullopt;
    }
    for (int attempt = 0; attempt < kMaxNameTries; ++attempt) {
        const fs::path file = folder / runLogName(start + std::chrono::microseconds(attempt));
        // Never a file that is there already, another run's above all.
        if (std::FILE* created = createNewFile(file)) {
            std::fclose(created);
            keepLatest(folder, kept);
            return file;
        }
        if (errno != EEXIST) {
            if (error != nullptr) {
                *error = std::strerror(errno);
            }
            return std::nullopt;
        }
    }
    if (error != nullptr) {
        *error = "no free name for the log file";
    }
    return std::nullopt;
}
