// A backup of a full scale (every PLU in use with a name of full width, every
// settings text at full width) through the plain core that tallivos-cli and
// the window run, against the simulated scale pacing its line at 115200
// bit/s: the time beside the wire time of every byte that crossed the line
// both ways, at 10 bit times a byte. The files are written and flushed to the
// disk as a real backup writes them.
#include "backup/scale_backup.h"
#include "full_scale.h"
#include "link/posix_serial_channel.h"
#include "link/scale_link.h"
#include "quiet_ui.h"
#include "region/regional_forms.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>

namespace {

constexpr int kBitsPerByte = 10;

// Fixed forms: the benchmark measures the link, not the locale.
class PointForms final : public RegionalForms {
  public:
    char decimalSeparator() const override { return '.'; }
    std::string shortDate(const LocalDateTime&) const override { return "08/12/2026"; }
    std::string longTime(const LocalDateTime&) const override { return "17:45:00"; }
};

void BM_BackupOfAFullScaleAtLineSpeed(benchmark::State& state) {
    const auto baud = static_cast<std::uint32_t>(state.range(0));
    sim::SimulatedScale scale;
    QuietUi ui;
    ScaleLink link{std::make_unique<PosixSerialChannel>(), ui};
    char pattern[] = "/tmp/backup-bench-XXXXXX";
    if (!scale.start() || !link.openLink(PortId::named(scale.device()), baud) || ::mkdtemp(pattern) == nullptr) {
        state.SkipWithError("no pseudo-terminal or no temporary folder");
        return;
    }
    const std::filesystem::path folder(pattern);
    scale.withMemory([](sim::ScaleMemory& memory) {
        fillEveryPlu(memory);
        fillEverySetting(memory);
        return 0;
    });
    scale.setPacing(baud);
    const PointForms forms;

    double measured = 0;
    double wire = 0;
    int failures = 0;
    int taken = 0;
    const ScaleLink::Statistics atStart = link.statistics();
    for (auto _ : state) {
        const std::filesystem::path target = folder / ("backup-" + std::to_string(taken++));
        const std::uint64_t before = scale.bytesSent() + scale.bytesReceived();
        const auto start = std::chrono::steady_clock::now();
        failures += takeBackup(link, ui, forms, "backup_bench", target, {}).end == WorkEnd::Completed ? 0 : 1;
        measured += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        const std::uint64_t bytes = scale.bytesSent() + scale.bytesReceived() - before;
        wire += static_cast<double>(bytes) * kBitsPerByte / baud;
        state.counters["bytes"] = static_cast<double>(bytes);
    }
    std::error_code error;
    std::filesystem::remove_all(folder, error);
    if (failures != 0 || ui.errors != 0) {
        state.SkipWithError("the backup failed");
        return;
    }
    const auto n = static_cast<double>(state.iterations());
    // A frame sent again costs a read time-out: a run with any is no measure.
    state.counters["repeated_attempts"] =
        static_cast<double>((link.statistics().attempts - atStart.attempts) -
                            (link.statistics().exchanges - atStart.exchanges));
    state.counters["commands"] = static_cast<double>(kBackupCommands);
    state.counters["measured_s"] = measured / n;
    state.counters["wire_s"] = wire / n;
    state.counters["ratio"] = measured / wire;
    state.counters["over_wire_pct"] = (measured / wire - 1.0) * 100.0;
    state.counters["us_over_wire_per_command"] = (measured - wire) / n / kBackupCommands * 1e6;
}
// About 12 s a backup at 115200 bit/s; scripts/benchmarks repeats it three
// times and reports the median.
BENCHMARK(BM_BackupOfAFullScaleAtLineSpeed)
    ->ArgNames({"baud"})
    ->Args({115200})
    ->Unit(benchmark::kSecond)
    ->UseRealTime()
    ->Iterations(2);

} // namespace

BENCHMARK_MAIN();
