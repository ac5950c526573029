// The PLU table at full size. Whole-range loads and saves (1801 PLUs) run
// through the "PLU" page offscreen against the simulated scale on a
// pseudo-terminal, reported per PLU beside the bare command 4 exchange, so the
// window's share of the time shows as the difference. The PLU text file is
// written and read with all 1801 rows in use. The workbench on a full grid:
// a keystroke of the find, a price change of every row, a paste of 1801 x 10
// cells, undo and redo of a whole LOAD FROM SCALE, CSV export and import.
#include "gui/page_context.h"
#include "link/posix_serial_channel.h"
#include "link/scale_link.h"
#include "link/user_interface.h"
#include "plu/csv_columns.h"
#include "plu/file_bytes.h"
#include "plu/file_replace.h"
#include "plu/plu_bulk_edit.h"
#include "plu/plu_csv.h"
#include "plu/plu_file.h"
#include "plu/plu_page.h"
#include "plu/plu_record.h"
#include "plu/plu_transfer.h"
#include "plu/plu_workbench.h"
#include "plu/progress_window.h"
#include "gui/range_spin_edit.h"
#include "quiet_ui.h"
#include "sim/scale_records.h"
#include "sim/simulated_scale.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QUndoStack>
#include <array>
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

// The page as the user sees it, offscreen, over the bench's link.
std::unique_ptr<PluPage> shownPage(ScaleBench& b) {
    auto page = std::make_unique<PluPage>(PageContext{b.link, b.ui, b.remembered, '.'});
    page->allClicked();
    page->resize(775, 400);
    page->show();
    return page;
}

void pageTransfer(benchmark::State& state, const char* button) {
    ScaleBench b;
    if (!b.open()) {
        state.SkipWithError("no pseudo-terminal");
        return;
    }
    const auto page = shownPage(b);
    // A save needs a full grid: load it once first.
    page->findChild<QPushButton*>("Button7")->click();
    for (auto _ : state) {
        page->findChild<QPushButton*>(button)->click();
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

// --- The workbench on a full grid ----------------------------------------

// Every row in use; one name in ten holds "APPLE", and names carry bytes
// beyond ASCII, as a shop's do.
std::vector<PluRowEdit> workbenchRows() {
    std::vector<PluRowEdit> rows;
    for (int row = 1; row <= kPluDataRows; ++row) {
        const std::string n = std::to_string(row - 1);
        rows.push_back(
            {row,
             {n, "12.34", std::to_string(200000 + row), "3", "1", "0", "0", "0",
              (row % 10 == 0 ? "APPLE \xC4PFEL " : "PEAR CR\xC8ME ") + n, "7", "1.500", "99.99", "4"}});
    }
    return rows;
}

// The page with a full grid.
struct WorkbenchBench {
    ScaleBench b;
    std::unique_ptr<PluPage> shown = shownPage(b);
    PluPage& page = *shown;

    WorkbenchBench() {
        page.applyRowsAsOneStep(QStringLiteral("full grid"), workbenchRows());
        QCoreApplication::processEvents();
    }
};

// Each operation on the page is timed until the view is drawn again.

// A keystroke in the find: "APPL" and "APPLE" in turn.
void BM_FindKeystroke(benchmark::State& state) {
    WorkbenchBench w;
    bool longer = false;
    for (auto _ : state) {
        w.page.FindEdit->setText(longer ? QStringLiteral("APPLE") : QStringLiteral("APPL"));
        QCoreApplication::processEvents();
        longer = !longer;
    }
    if (w.page.StringGrid1->model()->rowCount() != kPluDataRows / 10) {
        state.SkipWithError("the find showed other rows");
    }
}
BENCHMARK(BM_FindKeystroke)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// Every price of the table changed by an amount, planned and applied as one
// undo step; +0.01 and -0.01 in turn, so every row changes each time.
void BM_BulkPriceChange(benchmark::State& state) {
    WorkbenchBench w;
    const std::vector<int> rows = w.page.shownRows();
    bool up = true;
    for (auto _ : state) {
        const PriceChange change{PriceChangeKind::Amount, *parseChangeNumber(up ? "0.01" : "-0.01", '.'), 1};
        BulkEditPlan plan = planPriceChange(w.page.grid(), rows, change, '.');
        if (w.page.applyRowsAsOneStep(QStringLiteral("price change"), std::move(plan.edits)) !=
            kPluDataRows) {
            state.SkipWithError("not every row changed");
            break;
        }
        QCoreApplication::processEvents();
        up = !up;
    }
}
BENCHMARK(BM_BulkPriceChange)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// A spreadsheet's block of 1801 rows x 10 columns (NUM to Valid Date) pasted
// at the first cell, two different blocks in turn.
void BM_PasteWholeTable(benchmark::State& state) {
    WorkbenchBench w;
    std::array<QString, 2> blocks;
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        std::string text;
        for (int row = 1; row <= kPluDataRows; ++row) {
            text += std::to_string(row - 1) + "\t" + (i == 0 ? "1.25" : "2.50") + "\t" + std::to_string(row) +
                    "\t1\t1\t0\t0\t1\tPASTED \xC3\x84 " + std::to_string(row) + "\t30\r\n";
        }
        blocks[i] = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    }
    w.page.StringGrid1->setCurrentIndex(w.page.StringGrid1->model()->index(0, 0));
    std::size_t next = 0;
    for (auto _ : state) {
        state.PauseTiming();
        QGuiApplication::clipboard()->setText(blocks[next]);
        state.ResumeTiming();
        w.page.workbench().pasteAtCurrentCell();
        QCoreApplication::processEvents();
        if (w.page.grid().cell(kPluDataRows, PluColumn::Price) != (next == 0 ? "1.25" : "2.50")) {
            state.SkipWithError("the paste was refused");
            break;
        }
        next = 1 - next;
    }
}
BENCHMARK(BM_PasteWholeTable)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// A whole LOAD FROM SCALE (1801 PLUs) undone and redone, one per iteration.
void BM_UndoWholeLoad(benchmark::State& state) {
    ScaleBench b;
    if (!b.open()) {
        state.SkipWithError("no pseudo-terminal");
        return;
    }
    const auto shown = shownPage(b);
    PluPage& page = *shown;
    page.findChild<QPushButton*>("Button7")->click();
    if (page.undoStack().count() != 1 || page.grid().cell(kPluDataRows, PluColumn::Num) != "1799") {
        state.SkipWithError("the load did not fill the grid as one step");
        return;
    }
    bool undo = true;
    for (auto _ : state) {
        if (undo) {
            page.undoStep();
        } else {
            page.redoStep();
        }
        QCoreApplication::processEvents();
        undo = !undo;
    }
}
BENCHMARK(BM_UndoWholeLoad)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

PluGrid workbenchGrid() {
    PluGrid grid;
    for (PluRowEdit& edit : workbenchRows()) {
        grid.row(edit.row) = std::move(edit.after);
    }
    return grid;
}

// The table written as CSV (UTF-8 with its mark) and put in
// place atomically, as the export does.
void BM_CsvExport(benchmark::State& state) {
    const PluGrid grid = workbenchGrid();
    const auto path = std::filesystem::temp_directory_path() / "plu_bench_export.csv";
    for (auto _ : state) {
        if (!replaceFileContents(path, formatPluCsv(grid, {';', CsvEncoding::Utf8, false}, '.'))) {
            state.SkipWithError("export failed");
            break;
        }
    }
    std::filesystem::remove(path);
}
BENCHMARK(BM_CsvExport)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// That file read back: bytes, records, header matching and every row checked.
void BM_CsvImport(benchmark::State& state) {
    const auto path = std::filesystem::temp_directory_path() / "plu_bench_import.csv";
    replaceFileContents(path, formatPluCsv(workbenchGrid(), {';', CsvEncoding::Utf8, false}, '.'));
    const PluGrid empty;
    for (auto _ : state) {
        std::string bytes;
        if (readFileBytes(path, kMaxPluCsvBytes, bytes) != FileRead::Ok) {
            state.SkipWithError("read failed");
            break;
        }
        const PluCsvTable table = readPluCsv(bytes);
        const CsvImportPlan plan =
            planCsvImport(empty, table, matchCsvColumns(table.headers, {}).columnOfField, '.');
        if (plan.edits.size() != static_cast<std::size_t>(kPluDataRows)) {
            state.SkipWithError("rows were refused");
            break;
        }
    }
    std::filesystem::remove(path);
}
BENCHMARK(BM_CsvImport)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

} // namespace
