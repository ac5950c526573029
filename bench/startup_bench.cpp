// Time from start to the first shown and painted main window, and peak
// memory, of the utility beside the smallest Qt Widgets program, both started
// the same way: a fresh process, offscreen, launched from here. Each probe
// program prints its own figures (see window_shown_probe.h); the whole life
// of the process and its peak memory come from wait4().
#include "window_shown_probe.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// A probe line is short; anything longer is not one.
constexpr std::size_t kMaxReportBytes = 512;

struct Launch {
    bool ok = false;
    double shownMs = 0;
    double paintedMs = 0;
    double exitedMs = 0;
    double maxRssMb = 0;
};

std::filesystem::path besideThisProgram(const char* name) {
    return std::filesystem::read_symlink("/proc/self/exe").parent_path() / name;
}

Launch launch(const std::filesystem::path& program) {
    Launch result;
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) {
        return result;
    }
    const long long t0 = startup_probe::monotonicNs();
    const pid_t child = fork();
    if (child < 0) {
        close(pipeEnds[0]);
        close(pipeEnds[1]);
        return result;
    }
    if (child == 0) {
        dup2(pipeEnds[1], STDOUT_FILENO);
        close(pipeEnds[0]);
        close(pipeEnds[1]);
        setenv("TALLIVOS_T0_NS", std::to_string(t0).c_str(), 1);
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    close(pipeEnds[1]);
    std::string report;
    char chunk[128];
    ssize_t got = 0;
    while (report.size() < kMaxReportBytes && (got = read(pipeEnds[0], chunk, sizeof chunk)) > 0) {
        report.append(chunk, static_cast<std::size_t>(got));
    }
    close(pipeEnds[0]);
    int status = 0;
    rusage usage{};
    if (wait4(child, &status, 0, &usage) != child) {
        return result;
    }
    result.exitedMs = static_cast<double>(startup_probe::monotonicNs() - t0) / 1e6;
    long long shown = -1;
    long long painted = -1;
    long rss = 0;
    if (std::sscanf(report.c_str(), "shown_ns=%lld painted_ns=%lld maxrss_kb=%ld", &shown, &painted, &rss) != 3 ||
        shown < 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        return result;
    }
    result.ok = true;
    result.shownMs = static_cast<double>(shown) / 1e6;
    result.paintedMs = static_cast<double>(painted) / 1e6;
    result.maxRssMb = static_cast<double>(usage.ru_maxrss) / 1024.0;
    return result;
}

void startUp(benchmark::State& state, const char* programName) {
    const auto program = besideThisProgram(programName);
    double shown = 0;
    double painted = 0;
    double rss = 0;
    for (auto _ : state) {
        const Launch run = launch(program);
        if (!run.ok) {
            state.SkipWithError(("could not start " + program.string()).c_str());
            return;
        }
        state.SetIterationTime(run.shownMs / 1e3);
        shown += run.shownMs;
        painted += run.paintedMs;
        rss = std::max(rss, run.maxRssMb);
        state.counters["exited_ms"] = run.exitedMs;
    }
    const auto n = static_cast<double>(state.iterations());
    state.counters["shown_ms"] = shown / n;
    state.counters["painted_ms"] = painted / n;
    state.counters["peak_MB"] = rss;
}

void BM_StartUpUtility(benchmark::State& state) {
    startUp(state, "utility_startup");
}
BENCHMARK(BM_StartUpUtility)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

void BM_StartUpMinimalQtWindow(benchmark::State& state) {
    startUp(state, "minimal_qt_window");
}
BENCHMARK(BM_StartUpMinimalQtWindow)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

} // namespace

BENCHMARK_MAIN();
