// The PLU table at full size. Whole-range loads and saves (1801 PLUs) run
// through the "PLU" page offscreen against the simulated scale on a
// pseudo-terminal, reported per PLU beside the bare command 4 exchange, so the
// window's share of the time shows as the difference. The PLU text file is
// written and read with all 1801 rows in use.
#include "quiet_ui.h"
#include "gui/page_context.h"
#include "link/posix_serial_channel.h"
#include "link/scale_link.h"
#include "link/user_interface.h"
#include "plu/plu_file.h"
#include "plu/plu_page.h"
#include "plu/plu_record.h"
#include "plu/plu_transfer.h"
#include "plu/progress_window.h"
#include "gui/range_spin_edit.h"
#include "sim/scale_records.h"
#include "sim/simulated_scale.h"

#include <QCoreApplication>
#include <QPushButton>
#include <benchmark/benchmark.h>
#include <filesystem>
#include <memory>
#include <sstream>

namespace {

constexpr std::uint32_t kLineSpeed = 115200; // bit/s
constexpr int kPlusPerTransfer = 1801;       // PLU 0, PLU 1800 and the range 1..1799

struct ScaleBench {
    sim::SimulatedScale scale;
    QuietUi ui;
    RememberedText remembered;
    ScaleLink link{std::make_unique<PosixSerialChannel>(), ui};

    bool open() {
        if (!scale.start() || !link.openLink(PortId::named(scale.device()), kLineSpeed)) {
            return false;
        }
        scale.withMemory([](sim::ScaleMemory& memory) {
            for (int plu = 0; plu < sim::kPluCount; ++plu) {
                sim::PluFields fields;
                fields.price = 100 + plu;
                fields.code = plu;
                fields.name = "ITEM " + std::to_string(plu);
                memory.plu[static_cast<std::size_t>(plu)] = sim::encodePlu(fields);
            }
            return 0;
        });
        return true;
    }
};

void perPlu(benchmark::State& state, int plusPerIteration) {
    state.counters["per_PLU"] =
        benchmark::Counter(static_cast<double>(plusPerIteration),
                           benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// The bare exchange: command 4 for one PLU and its decoding into a row.
void BM_ReadOnePluBare(benchmark::State& state) {
    ScaleBench b;
    if (!b.open()) {
        state.SkipWithError("no pseudo-terminal");
        return;
    }
    PluGrid grid;
    for (auto _ : state) {
        if (readPlu(b.link, grid, 17, 1, '.') != PluReadResult::Ok) {
            state.SkipWithError("exchange failed");
            return;
        }
    }
    perPlu(state, 1);
}
BENCHMARK(BM_ReadOnePluBare)->Unit(benchmark::kMicrosecond);

void pageTransfer(benchmark::State& state, const char* button) {
    ScaleBench b;
    if (!b.open()) {
        state.SkipWithError("no pseudo-terminal");
        return;
    }
    PluPage page(PageContext{b.link, b.ui, b.remembered, '.'});
    page.allClicked();
    page.resize(775, 400);
    page.show();
    // A save needs a full grid: load it once first.
    page.findChild<QPushButton*>("Button7")->click();
    for (auto _ : state) {
        page.findChild<QPushButton*>(button)->click();
    }
    if (b.ui.errors != 0) {
        state.SkipWithError("the transfer reported an error");
    }
    perPlu(state, kPlusPerTransfer);
}

void BM_PageLoadFullRange(benchmark::State& state) {
    pageTransfer(state, "Button7");
}
BENCHMARK(BM_PageLoadFullRange)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_PageSaveFullRange(benchmark::State& state) {
    pageTransfer(state, "Button8");
}
BENCHMARK(BM_PageSaveFullRange)->Unit(benchmark::kMillisecond)->Iterations(3);

// What the progress window adds to each PLU of a range: one step of the bar
// and the label, then the pending events, as the transfers run them.
void BM_ProgressWindowStep(benchmark::State& state) {
    ScaleBench b; // the window needs a context, not a line
    TForm2 progress(PageContext{b.link, b.ui, b.remembered, '.'});
    progress.beginTransfer(kLastRangePlu - kFirstRangePlu);
    int plu = kFirstRangePlu;
    for (auto _ : state) {
        progress.setProgress(plu - kFirstRangePlu, plu);
        QCoreApplication::processEvents();
        plu = plu == kLastRangePlu ? kFirstRangePlu : plu + 1;
    }
    progress.endTransfer();
}
BENCHMARK(BM_ProgressWindowStep)->Unit(benchmark::kMicrosecond);

PluGrid fullGrid() {
    PluGrid grid;
    for (int row = 1; row <= kPluDataRows; ++row) {
        grid.row(row) = {std::to_string(row - 1),          "1234.56", "123456", "12",      "3", "1", "0", "1",
                         "A NAME OF THIRTY CHARACTERS...", "365",     "1.500",  "9999.99", "42"};
    }
    return grid;
}

void BM_PluFileSave(benchmark::State& state) {
    const PluGrid grid = fullGrid();
    const auto path = std::filesystem::temp_directory_path() / "plu_bench_save.TXT";
    for (auto _ : state) {
        if (savePluFile(path, grid, "08.12.2026", "17:05:09") != PluFileResult::Ok) {
            state.SkipWithError("save failed");
            break;
        }
    }
    std::filesystem::remove(path);
    perPlu(state, kPluDataRows);
}
BENCHMARK(BM_PluFileSave)->Unit(benchmark::kMillisecond);

void BM_PluFileLoad(benchmark::State& state) {
    const std::string bytes = formatPluFile(fullGrid(), "08.12.2026", "17:05:09");
    PluGrid grid;
    for (auto _ : state) {
        std::istringstream in(bytes);
        if (readPluFile(in, grid, '.').rowsLoaded != kPluDataRows) {
            state.SkipWithError("load failed");
            break;
        }
    }
    perPlu(state, kPluDataRows);
}
BENCHMARK(BM_PluFileLoad)->Unit(benchmark::kMillisecond);

} // namespace
