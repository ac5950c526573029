// The link against the simulated scale over a real pseudo-terminal: how many
// exchanges a second the program and the line manage, and how close a whole
// PLU table read comes to the time its bytes need on the wire.
#include "quiet_ui.h"
#include "link/commands.h"
#include "link/posix_serial_channel.h"
#include "link/scale_link.h"
#include "link/user_interface.h"
#include "sim/simulated_scale.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <memory>
#include <vector>

namespace {

constexpr std::uint32_t kLineSpeed = 115200; // bit/s
constexpr int kPluNumbers = 1801;            // PLUs 0 .. 1800

struct Bench {
    sim::SimulatedScale scale;
    QuietUi ui;
    ScaleLink link{std::make_unique<PosixSerialChannel>(), ui};

    bool open(std::uint32_t pacing) {
        scale.setPacing(pacing);
        return scale.start() && link.openLink(PortId::named(scale.device()), kLineSpeed);
    }
};

void BM_IdentifyExchange(benchmark::State& state) {
    Bench b;
    if (!b.open(0)) {
        state.SkipWithError("no pseudo-terminal");
        return;
    }
    for (auto _ : state) {
        b.link.buffer().clear();
        if (!b.link.runCommand(cmd::kIdentify)) {
            state.SkipWithError("exchange failed");
            return;
        }
    }
    state.counters["exchanges_per_s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_IdentifyExchange)->UseRealTime()->Unit(benchmark::kMicrosecond);

// The bare exchange of one PLU read, for comparison with a whole window's load.
void BM_ReadPluExchange(benchmark::State& state) {
    Bench b;
    if (!b.open(0)) {
        state.SkipWithError("no pseudo-terminal");
        return;
    }
    std::uint16_t plu = 0;
    for (auto _ : state) {
        MessageBuffer& m = b.link.buffer();
        m.clear();
        m.putU16(plu);
        m.putU8(0);
        m.putU8(54);
        if (!b.link.runCommand(cmd::kReadPlu)) {
            state.SkipWithError("exchange failed");
            return;
        }
        plu = static_cast<std::uint16_t>((plu + 1) % kPluNumbers);
    }
    state.counters["exchanges_per_s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ReadPluExchange)->UseRealTime()->Unit(benchmark::kMicrosecond);

void BM_PluTableAtLineSpeed(benchmark::State& state) {
    Bench b;
    if (!b.open(kLineSpeed)) {
        state.SkipWithError("no pseudo-terminal");
        return;
    }
    double measured = 0;
    double wire = 0;
    std::vector<double> exchangeSeconds;
    exchangeSeconds.reserve(kPluNumbers);
    for (auto _ : state) {
        const std::uint64_t before = b.scale.bytesSent() + b.scale.bytesReceived();
        const auto start = std::chrono::steady_clock::now();
        for (int plu = 0; plu < kPluNumbers; ++plu) {
            const auto exchangeStart = std::chrono::steady_clock::now();
            MessageBuffer& m = b.link.buffer();
            m.clear();
            m.putU16(static_cast<std::uint16_t>(plu));
            m.putU8(0);
            m.putU8(54);
            if (!b.link.runCommand(cmd::kReadPlu)) {
                state.SkipWithError("exchange failed");
                return;
            }
            exchangeSeconds.push_back(
                std::chrono::duration<double>(std::chrono::steady_clock::now() - exchangeStart).count());
        }
        measured += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        // Every byte both ways (requests, acknowledgements, replies) takes
        // 10 bit times: start bit, 8 data bits, stop bit.
        const std::uint64_t bytes = b.scale.bytesSent() + b.scale.bytesReceived() - before;
        wire += static_cast<double>(bytes) * 10.0 / kLineSpeed;
    }
    const auto n = static_cast<double>(state.iterations());
    state.counters["measured_s"] = measured / n;
    state.counters["wire_s"] = wire / n;
    state.counters["over_wire_pct"] = (measured / wire - 1.0) * 100.0;
    state.counters["ms_per_plu"] = measured / n / kPluNumbers * 1000.0;
    // What the two ends add to each exchange beyond the line itself: the
    // pseudo-terminal's hand-over and the wake-ups of both threads.
    state.counters["us_over_wire_per_plu"] = (measured - wire) / n / kPluNumbers * 1e6;
    // The typical exchange, untouched by the moments another process held
    // the processor: its median beside the wire time of an average exchange.
    std::nth_element(exchangeSeconds.begin(), exchangeSeconds.begin() + exchangeSeconds.size() / 2,
                     exchangeSeconds.end());
    const double median = exchangeSeconds[exchangeSeconds.size() / 2];
    const double wirePerExchange = wire / n / kPluNumbers;
    state.counters["median_over_wire_pct"] = (median / wirePerExchange - 1.0) * 100.0;
}
BENCHMARK(BM_PluTableAtLineSpeed)->UseRealTime()->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

BENCHMARK_MAIN();
