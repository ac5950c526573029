// Whole PLU tables (1801 PLUs) loaded and saved through the "PLU" page,
// offscreen, against the simulated scale pacing its line at a real speed: the
// time beside the wire time of every byte that crossed the line both ways
// (request frames, acknowledgement bytes, reply frames), at 10 bit times a
// byte (start bit, 8 data bits, stop bit).
#include "full_scale.h"
#include "quiet_ui.h"
#include "gui/page_context.h"
#include "link/posix_serial_channel.h"
#include "link/scale_link.h"
#include "link/user_interface.h"
#include "plu/plu_page.h"
#include "sim/scale_records.h"
#include "sim/simulated_scale.h"

#include <QPushButton>
#include <benchmark/benchmark.h>
#include <chrono>
#include <memory>

namespace {

constexpr int kPlusPerTransfer = 1801; // PLU 0, PLU 1800 and the range 1..1799
constexpr int kBitsPerByte = 10;

enum Direction : int { kLoad = 0, kSave = 1 };

void BM_PageTransferAtLineSpeed(benchmark::State& state) {
    const auto baud = static_cast<std::uint32_t>(state.range(0));
    const auto direction = static_cast<Direction>(state.range(1));
    sim::SimulatedScale scale;
    QuietUi ui;
    RememberedText remembered;
    ScaleLink link{std::make_unique<PosixSerialChannel>(), ui};
    if (!scale.start() || !link.openLink(PortId::named(scale.device()), baud)) {
        state.SkipWithError("no pseudo-terminal");
        return;
    }
    fillScaleWithFullTable(scale);
    PluPage page(PageContext{link, ui, remembered, '.'});
    page.allClicked();
    page.resize(775, 400);
    page.show();
    // A save needs a full grid: fill it from the unpaced scale first.
    if (direction == kSave) {
        page.findChild<QPushButton*>("Button7")->click();
    }
    scale.setPacing(baud);
    QPushButton* button = page.findChild<QPushButton*>(direction == kLoad ? "Button7" : "Button8");

    double measured = 0;
    double wire = 0;
    const ScaleLink::Statistics atStart = link.statistics();
    for (auto _ : state) {
        const std::uint64_t before = scale.bytesSent() + scale.bytesReceived();
        const auto start = std::chrono::steady_clock::now();
        button->click();
        measured += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        const std::uint64_t bytes = scale.bytesSent() + scale.bytesReceived() - before;
        wire += static_cast<double>(bytes) * kBitsPerByte / baud;
        state.counters["bytes"] = static_cast<double>(bytes);
    }
    if (ui.errors != 0) {
        state.SkipWithError("the transfer reported an error");
        return;
    }
    const auto n = static_cast<double>(state.iterations());
    // A frame sent again costs a read time-out or a whole exchange: a run
    // with any is no measure of the turnaround.
    state.counters["repeated_attempts"] =
        static_cast<double>((link.statistics().attempts - atStart.attempts) -
                            (link.statistics().exchanges - atStart.exchanges));
    state.counters["measured_s"] = measured / n;
    state.counters["wire_s"] = wire / n;
    state.counters["ratio"] = measured / wire;
    state.counters["over_wire_pct"] = (measured / wire - 1.0) * 100.0;
    state.counters["us_over_wire_per_plu"] = (measured - wire) / n / kPlusPerTransfer * 1e6;
}
// 115200 bit/s takes about 11 s a table; 9600 bit/s about 130 s, so it runs once
// a repetition. scripts/benchmarks repeats each three times and reports the median.
BENCHMARK(BM_PageTransferAtLineSpeed)
    ->ArgNames({"baud", "save"})
    ->Args({115200, kLoad})
    ->Args({115200, kSave})
    ->Unit(benchmark::kSecond)
    ->UseRealTime()
    ->Iterations(2);
BENCHMARK(BM_PageTransferAtLineSpeed)
    ->Name("BM_PageTransferAtSlowLineSpeed")
    ->ArgNames({"baud", "save"})
    ->Args({9600, kLoad})
    ->Args({9600, kSave})
    ->Unit(benchmark::kSecond)
    ->UseRealTime()
    ->Iterations(1);

} // namespace
