#pragma once
// The progress of a long job on a terminal: one line on standard error,
// redrawn in place, with a bar, the count, what is being done and the time
// left:
//
//   [##############----------------]  812/1862  PLU 809  0:07 left
//
// Drawn at most kRedrawInterval apart; cleared before a message and at the end.

#include <chrono>
#include <cstdio>
#include <string>

class ProgressBar {
  public:
    explicit ProgressBar(std::FILE* out) : out_(out) {}
    ~ProgressBar() { clear(); }
    ProgressBar(const ProgressBar&) = delete;
    ProgressBar& operator=(const ProgressBar&) = delete;

    void show(int done, int total, const std::string& what);
    // Takes the line off the terminal, if it is drawn.
    void clear();

    // The line for a state, without drawing: for tests.
    static std::string line(int done, int total, const std::string& what, std::chrono::seconds elapsed);

  private:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::milliseconds kRedrawInterval{100};

    std::FILE* out_;
    Clock::time_point started_{};
    Clock::time_point lastDrawn_{};
    bool begun_ = false;
    std::size_t drawnWidth_ = 0;
};
