#pragma once
// Start-up timing shared by the utility's start-up probe and the minimal Qt
// Widgets program it is compared with, so both are measured the same way.
//
// The launcher puts its CLOCK_MONOTONIC reading (nanoseconds) taken just
// before it started the process into TALLIVOS_T0_NS. The probe prints, on
// one line, the time from then to the window's first Show event and to its
// first paint, and the peak memory so far, then ends the program. Without
// TALLIVOS_T0_NS the program runs as a plain window (for timing under a real
// X server from outside).

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <sys/resource.h>

namespace startup_probe {

inline long long monotonicNs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1'000'000'000LL + now.tv_nsec;
}

// Gives up on a paint that never comes, so a launcher never waits for ever.
inline constexpr int kPaintTimeoutMs = 5000;

class WindowShownProbe : public QObject {
  public:
    explicit WindowShownProbe(long long startNs) : startNs_(startNs) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && shownNs_ < 0) {
            shownNs_ = monotonicNs() - startNs_;
        } else if (event->type() == QEvent::Paint && shownNs_ >= 0 && paintedNs_ < 0) {
            paintedNs_ = monotonicNs() - startNs_;
            QTimer::singleShot(0, this, [this] { report(); });
        }
        return QObject::eventFilter(watched, event);
    }

    void report() {
        if (reported_) {
            return;
        }
        reported_ = true;
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        std::printf("shown_ns=%lld painted_ns=%lld maxrss_kb=%ld\n", shownNs_, paintedNs_, usage.ru_maxrss);
        std::fflush(stdout);
        QCoreApplication::exit(0);
    }

  private:
    long long startNs_;
    long long shownNs_ = -1;
    long long paintedNs_ = -1;
    bool reported_ = false;
};

// Watches `window` when the launcher asked for it.
inline void watch(QWidget& window) {
    const char* start = std::getenv("TALLIVOS_T0_NS");
    if (start == nullptr) {
        return;
    }
    auto* probe = new WindowShownProbe(std::atoll(start));
    probe->setParent(&window);
    window.installEventFilter(probe);
    QTimer::singleShot(kPaintTimeoutMs, probe, [probe] { probe->report(); });
}

} // namespace startup_probe
