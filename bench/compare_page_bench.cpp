// SEND CHANGES clicked on the "PLU" page, offscreen, against the simulated
// scale pacing its line: the time from the click to the closing note, beside
// the wire time of the bytes that crossed the line both ways (10 bit times a
// byte), so the progress window's showing and hiding is in the figure. And
// what the marks of a comparison cost the person typing: one edit of a grid
// that differs from the scale in every row, compared again and drawn.
#include "full_scale.h"
#include "gui/page_context.h"
#include "link/posix_serial_channel.h"
#include "link/scale_link.h"
#include "plu/plu_compare_send.h"
#include "plu/plu_page.h"
#include "plu/plu_table_model.h"
#include "quiet_ui.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>
#include <benchmark/benchmark.h>
#include <chrono>
#include <memory>
#include <string>

namespace {

constexpr int kBitsPerByte = 10;
constexpr int kChangedRows = 10;

// The page shown with the whole table loaded from the scale, unpaced; the
// line is paced from then on.
struct LoadedPage {
    sim::SimulatedScale scale;
    QuietUi ui;
    RememberedText remembered;
    ScaleLink link{std::make_unique<PosixSerialChannel>(), ui};
    std::unique_ptr<PluPage> page;

    bool open(std::uint32_t baud) {
        if (!scale.start() || !link.openLink(PortId::named(scale.device()), baud)) {
            return false;
        }
        fillScaleWithFullTable(scale);
        page = std::make_unique<PluPage>(PageContext{link, ui, remembered, '.'});
        page->allClicked();
        page->resize(775, 400);
        page->show();
        page->Button7->click();
        scale.setPacing(baud);
        return ui.errors == 0 && page->grid().cell(kPluDataRows, PluColumn::Num) == "1799";
    }
    ~LoadedPage() { page.reset(); }
};

void BM_PageSendChangesAtLineSpeed(benchmark::State& state) {
    const auto baud = static_cast<std::uint32_t>(state.range(0));
    LoadedPage loaded;
    if (!loaded.open(baud)) {
        state.SkipWithError("no pseudo-terminal, or the load failed");
        return;
    }
    PluTableModel& model = loaded.page->tableModel();
    double measured = 0;
    double wire = 0;
    int round = 0;
    for (auto _ : state) {
        ++round;
        // Ten rows across the table, a new price each round.
        state.PauseTiming();
        for (int i = 0; i < kChangedRows; ++i) {
            model.setCell(3 + i * 179, PluColumn::Price, std::to_string(round) + "." + std::to_string(10 + i));
        }
        QCoreApplication::processEvents();
        state.ResumeTiming();
        const std::uint64_t before = loaded.scale.bytesSent() + loaded.scale.bytesReceived();
        const auto start = std::chrono::steady_clock::now();
        loaded.page->SendChangesButton->click();
        measured += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        wire += static_cast<double>(loaded.scale.bytesSent() + loaded.scale.bytesReceived() - before) *
                kBitsPerByte / baud;
    }
    if (loaded.ui.errors != 0 || loaded.page->CompareSendNote->toolTip() != "SEND CHANGES: 10 PLUs written.") {
        state.SkipWithError("the send did not write the ten rows");
        return;
    }
    const auto n = static_cast<double>(state.iterations());
    state.counters["measured_s"] = measured / n;
    state.counters["wire_s"] = wire / n;
    state.counters["over_wire_pct"] = (measured / wire - 1.0) * 100.0;
}
BENCHMARK(BM_PageSendChangesAtLineSpeed)
    ->ArgName("baud")
    ->Arg(115200)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(20);
BENCHMARK(BM_PageSendChangesAtLineSpeed)
    ->Name("BM_PageSendChangesAtSlowLineSpeed")
    ->ArgName("baud")
    ->Arg(9600)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(4);

// The worst case for the marks: every price on the scale differs from the
// grid, so each edit compares 1801 rows again, marks them, refills the panel's
// 1801 findings and draws the view.
void BM_CompareMarksAfterAnEdit(benchmark::State& state) {
    LoadedPage loaded;
    if (!loaded.open(115200)) {
        state.SkipWithError("no pseudo-terminal, or the load failed");
        return;
    }
    loaded.scale.setPacing(0); // the compare itself is not timed
    loaded.scale.withMemory([](sim::ScaleMemory& memory) {
        for (auto& record : memory.plu) {
            sim::PluFields fields = sim::decodePlu(record);
            fields.price += 1;
            record = sim::encodePlu(fields);
        }
        return 0;
    });
    loaded.page->CompareButton->click();
    QCoreApplication::processEvents();
    PluTableModel& model = loaded.page->tableModel();
    bool other = false;
    for (auto _ : state) {
        model.setCell(17, PluColumn::Name, other ? "ANOTHER NAME" : "A NAME");
        QCoreApplication::processEvents();
        other = !other;
    }
    const PluComparison* comparison = loaded.page->compareSend().comparison();
    if (comparison == nullptr || comparison->differing.size() != static_cast<std::size_t>(kPluDataRows)) {
        state.SkipWithError("the comparison did not cover the whole table");
    }
}
BENCHMARK(BM_CompareMarksAfterAnEdit)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

} // namespace
