// SEND CHANGES and COMPARE WITH SCALE through the plain PLU core, against the
// simulated scale pacing its line at a real speed: the time beside the wire
// time of every byte that crossed the line both ways, at 10 bit times a byte
// (start bit, 8 data bits, stop bit). And, without a line, the work each of
// them does on the program's side alone.
#include "full_scale.h"
#include "link/posix_serial_channel.h"
#include "link/scale_link.h"
#include "plu/plu_comparison.h"
#include "plu/send_changes.h"
#include "quiet_ui.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <memory>
#include <string>

namespace {

constexpr int kBitsPerByte = 10;
constexpr int kPlusPerTable = 1801; // PLU 0, PLU 1800 and the range 1..1799
constexpr int kChangedRows = 10;

// The scale, the link and a grid loaded from the scale, with the knowledge
// that load gave. Loaded unpaced; the line is paced from then on.
struct LoadedTable {
    sim::SimulatedScale scale;
    QuietUi ui;
    ScaleLink link{std::make_unique<PosixSerialChannel>(), ui};
    PluGrid grid;
    ScaleKnowledge knowledge;

    bool open(std::uint32_t lineSpeed) {
        baud = lineSpeed;
        if (!scale.start() || !link.openLink(PortId::named(scale.device()), baud)) {
            return false;
        }
        fillScaleWithFullTable(scale);
        const bool loaded = loadPluRange(knowledge, link, grid, kFirstRangePlu, kLastRangePlu, '.', {}) ==
                            TransferEnd::Completed;
        scale.setPacing(baud);
        return loaded && knowledge.knownCount() == kPlusPerTable;
    }

    // Runs `work` on the paced line, adding its time, its bytes' wire time and its exchanges.
    template <class Work> auto onLine(Work&& work) {
        const std::uint64_t bytesBefore = scale.bytesSent() + scale.bytesReceived();
        const std::uint64_t exchangesBefore = link.statistics().exchanges;
        const auto start = std::chrono::steady_clock::now();
        auto result = work();
        measured += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        wire += static_cast<double>(scale.bytesSent() + scale.bytesReceived() - bytesBefore) * kBitsPerByte /
                baud;
        exchanges += link.statistics().exchanges - exchangesBefore;
        return result;
    }
    void report(benchmark::State& state) const {
        const auto n = static_cast<double>(state.iterations());
        state.counters["exchanges"] = static_cast<double>(exchanges) / n;
        state.counters["measured_s"] = measured / n;
        state.counters["wire_s"] = wire / n;
        state.counters["over_wire_pct"] = (measured / wire - 1.0) * 100.0;
        state.counters["us_over_wire_per_exchange"] =
            (measured - wire) / static_cast<double>(exchanges) * 1e6;
    }

    std::uint32_t baud = 0;
    double measured = 0;
    double wire = 0;
    std::uint64_t exchanges = 0;
};

// Ten prices changed across the table after a load: 10 writes and command 39.
void BM_SendChangesAtLineSpeed(benchmark::State& state) {
    const auto baud = static_cast<std::uint32_t>(state.range(0));
    LoadedTable table;
    if (!table.open(baud)) {
        state.SkipWithError("no pseudo-terminal, or the load failed");
        return;
    }
    int round = 0;
    for (auto _ : state) {
        ++round;
        // Rows spread over the whole table; a new price each round, so every
        // round has its ten changes against what the last one wrote.
        for (int i = 0; i < kChangedRows; ++i) {
            table.grid.setCell(3 + i * 179, PluColumn::Price,
                               std::to_string(round) + "." + std::to_string(10 + i));
        }
        const SendChangesOutcome outcome = table.onLine([&] {
            return sendChangedRows(table.link, table.ui, table.grid, table.knowledge,
                                   {kFirstRangePlu, kLastRangePlu, '.', false}, {});
        });
        if (outcome.end != SendChangesEnd::Completed || outcome.written.size() != kChangedRows) {
            state.SkipWithError("the send did not write the ten rows");
            return;
        }
    }
    if (table.ui.errors != 0) {
        state.SkipWithError("the send reported an error");
        return;
    }
    table.report(state);
}
// About 60 ms a send at 115200 bit/s and 0.7 s at 9600.
BENCHMARK(BM_SendChangesAtLineSpeed)
    ->ArgName("baud")
    ->Arg(115200)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(20);
BENCHMARK(BM_SendChangesAtLineSpeed)
    ->Name("BM_SendChangesAtSlowLineSpeed")
    ->ArgName("baud")
    ->Arg(9600)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(4);

// The whole table compared with the scale: 1801 reads, as a load.
void BM_CompareWholeTableAtLineSpeed(benchmark::State& state) {
    const auto baud = static_cast<std::uint32_t>(state.range(0));
    LoadedTable table;
    if (!table.open(baud)) {
        state.SkipWithError("no pseudo-terminal, or the load failed");
        return;
    }
    for (auto _ : state) {
        const CompareOutcome outcome = table.onLine([&] {
            return compareWithScale(table.link, table.grid, table.knowledge, kFirstRangePlu, kLastRangePlu,
                                    '.', {});
        });
        if (outcome.end != TransferEnd::Completed || !outcome.comparison.agrees()) {
            state.SkipWithError("the compare failed or found differences");
            return;
        }
    }
    table.report(state);
}
// About 10.5 s a table at 115200 bit/s; 130 s at 9600.
BENCHMARK(BM_CompareWholeTableAtLineSpeed)
    ->ArgName("baud")
    ->Arg(115200)
    ->Unit(benchmark::kSecond)
    ->UseRealTime()
    ->Iterations(1);
BENCHMARK(BM_CompareWholeTableAtLineSpeed)
    ->Name("BM_CompareWholeTableAtSlowLineSpeed")
    ->ArgName("baud")
    ->Arg(9600)
    ->Unit(benchmark::kSecond)
    ->UseRealTime()
    ->Iterations(1);

// What the program adds on its own side, without a line: two whole tables
// compared in memory (a compare's last step), and a send that finds nothing
// to write (matching, converting and judging all 1801 rows, as every send
// does before its first write).
struct TablesInMemory {
    ScaleKnowledge scale;
    PluGrid grid;
    TablesInMemory() {
        for (int plu = 0; plu < kPlusPerTable; ++plu) {
            PluRecord record;
            record.price = 100 + plu;
            record.code = 2000000 + plu;
            record.name = std::string(kPluNameWidth, 'N');
            scale.learnRead(static_cast<std::uint16_t>(plu), record);
            grid.row(plu + 1) = pluRowFromRecord(record, static_cast<std::uint16_t>(plu), '.');
        }
    }
};

void BM_CompareTablesInMemory(benchmark::State& state) {
    const TablesInMemory tables;
    for (auto _ : state) {
        const PluComparison comparison = comparePluTables(tables.grid, tables.scale, '.');
        benchmark::DoNotOptimize(comparison.comparedPlus);
    }
}
BENCHMARK(BM_CompareTablesInMemory)->Unit(benchmark::kMillisecond);

void BM_SendChangesWorkBeforeTheFirstWrite(benchmark::State& state) {
    TablesInMemory tables;
    QuietUi ui;
    ScaleLink link{std::make_unique<PosixSerialChannel>(), ui}; // never opened: nothing is sent
    for (auto _ : state) {
        const SendChangesOutcome outcome = sendChangedRows(link, ui, tables.grid, tables.scale,
                                                           {kFirstRangePlu, kLastRangePlu, '.', false}, {});
        if (outcome.end != SendChangesEnd::NothingToSend) {
            state.SkipWithError("the send found something to write");
            return;
        }
    }
}
BENCHMARK(BM_SendChangesWorkBeforeTheFirstWrite)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
