#include "progress_bar.h"

#include <algorithm>

namespace {

constexpr int kBarWidth = 30;
constexpr std::size_t kWhatWidth = 16; // "settings: department 39" is cut to fit one line
// Before this much of a job is done, the rate says little about the rest.
constexpr std::chrono::seconds kEstimateAfter{1};

std::string minutesAndSeconds(long long seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%lld:%02lld", seconds / 60, seconds % 60);
    return text;
}

} // namespace

std::string ProgressBar::line(int done, int total, const std::string& what, std::chrono::seconds elapsed) {
    total = std::max(total, 1);
    done = std::clamp(done, 0, total);
    const int filled = done * kBarWidth / total;
    std::string text = "[" + std::string(static_cast<std::size_t>(filled), '#') +
                       std::string(static_cast<std::size_t>(kBarWidth - filled), '-') + "]  " +
                       std::to_string(done) + "/" + std::to_string(total) + "  ";
    std::string label = what.substr(0, kWhatWidth);
    label.resize(kWhatWidth, ' ');
    text += label + "  ";
    if (done > 0 && elapsed >= kEstimateAfter) {
        const long long left = elapsed.count() * (total - done) / done;
        text += minutesAndSeconds(left) + " left";
    } else {
        text += "-:-- left";
    }
    return text;
}

void ProgressBar::show(int done, int total, const std::string& what) {
    const auto now = Clock::now();
    if (!begun_) {
        begun_ = true;
        started_ = now;
    } else if (now - lastDrawn_ < kRedrawInterval && done < total) {
        return;
    }
    lastDrawn_ = now;
    const std::string text =
        line(done, total, what, std::chrono::duration_cast<std::chrono::seconds>(now - started_));
    // Blanks over what a longer line left, then back to the line's start.
    std::string drawn = "\r" + text;
    if (drawnWidth_ > text.size()) {
        drawn += std::string(drawnWidth_ - text.size(), ' ');
    }
    std::fputs(drawn.c_str(), out_);
    std::fflush(out_);
    drawnWidth_ = text.size();
}

void ProgressBar::clear() {
    if (drawnWidth_ == 0) {
        return;
    }
    std::fputs(("\r" + std::string(drawnWidth_, ' ') + "\r").c_str(), out_);
    std::fflush(out_);
    drawnWidth_ = 0;
}
