// Whole PLU tables (1801 PLUs) against the simulated scale pacing its line at
// a real speed, two ways:
//
// - the program: "LOAD FROM SCALE" and "SAVE TO SCALE" clicked on the "PLU"
//   page of the main window, built and connected as the program's own main()
//   does (status line and SYSTEM tab following every reply), progress window
//   included, on whatever platform QT_QPA_PLATFORM names (offscreen or xcb);
// - a reference client: the same command 4 (or command 35 and 39) exchanges
//   through the link alone, with no window at all.
//
// Each reports its time beside the wire time of every byte that crossed the
// line both ways (request frames, acknowledgement bytes, reply frames), at 10
// bit times a byte (start bit, 8 data bits, stop bit), and the processor time
// of the thread that runs the exchanges, per PLU. The program's figures less
// the reference's are what the windows add.
#include "app/main_window.h"
#include "full_scale.h"
#include "link/commands.h"
#include "link/posix_serial_channel.h"
#include "link/scale_link.h"
#include "plu/plu_page.h"
#include "plu/plu_record.h"
#include "plu/plu_transfer.h"
#include "quiet_ui.h"
#include "sim/simulated_scale.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QWindow>
#include <benchmark/benchmark.h>
#include <chrono>
#include <memory>
#include <sys/resource.h>
#include <vector>

namespace {

constexpr int kPlusPerTransfer = 1801; // PLU 0, PLU 1800 and the range 1..1799
constexpr int kBitsPerByte = 10;
// A window that is not on the screen by then will not be.
constexpr int kExposeTimeoutMs = 5000;

enum Direction : int { kLoad = 0, kSave = 1 };

// Processor time (user and system) of the calling thread, in seconds.
double threadCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_THREAD, &usage);
    const auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec * 1e-6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Times one whole table per iteration and sets the counters both kinds share.
// Kept out of line, so that a profiler (valgrind --toggle-collect='*timeTables*')
// can single out the timed tables.
template <class OneTable>
[[gnu::noinline]] void timeTables(benchmark::State& state, sim::SimulatedScale& scale, ScaleLink& link,
                                  std::uint32_t baud, const QuietUi& ui, OneTable oneTable) {
    double measured = 0;
    double wire = 0;
    double cpu = 0;
    const ScaleLink::Statistics atStart = link.statistics();
    for (auto _ : state) {
        const std::uint64_t before = scale.bytesSent() + scale.bytesReceived();
        const double cpuBefore = threadCpuSeconds();
        const auto start = std::chrono::steady_clock::now();
        if (!oneTable()) {
            state.SkipWithError("an exchange failed");
            return;
        }
        measured += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        cpu += threadCpuSeconds() - cpuBefore;
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
    state.counters["repeated_attempts"] = static_cast<double>(
        (link.statistics().attempts - atStart.attempts) - (link.statistics().exchanges - atStart.exchanges));
    state.counters["measured_s"] = measured / n;
    state.counters["wire_s"] = wire / n;
    state.counters["ratio"] = measured / wire;
    state.counters["over_wire_pct"] = (measured / wire - 1.0) * 100.0;
    state.counters["us_over_wire_per_plu"] = (measured - wire) / n / kPlusPerTransfer * 1e6;
    state.counters["cpu_us_per_plu"] = cpu / n / kPlusPerTransfer * 1e6;
}

// The program's main window, connected to the simulated scale through the
// port and speed selectors and CONNECT, as a user does.
struct Program {
    sim::SimulatedScale scale;
    QuietUi ui;
    ScaleLink link{std::make_unique<PosixSerialChannel>(), ui};
    QTemporaryDir stateFolder;
    std::unique_ptr<TForm1> form;
    PluPage* page = nullptr;

    bool start(std::uint32_t baud) {
        if (!scale.start() || !stateFolder.isValid()) {
            return false;
        }
        fillScaleWithFullTable(scale);
        form = std::make_unique<TForm1>(link, ui, stateFolder.filePath(QStringLiteral("utility.CFG")));
        ui.onStatusText = [this](const std::string& text) {
            form->showStatusText(QString::fromLatin1(text));
        };
        ui.onSystemPage = [this](bool visible) { form->setSystemTabVisible(visible); };
        form->show();
        QElapsedTimer waited;
        waited.start();
        while (!(form->windowHandle() && form->windowHandle()->isExposed()) &&
               waited.elapsed() < kExposeTimeoutMs) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        }
        form->findChild<QComboBox*>(QStringLiteral("ComboBox2"))
            ->setEditText(QString::fromStdString(scale.device()));
        form->findChild<QComboBox*>(QStringLiteral("ComboBox1"))->setCurrentText(QString::number(baud));
        form->findChild<QPushButton*>(QStringLiteral("Button11"))->click();
        page = form->findChild<PluPage*>();
        return link.isOpen() && page != nullptr;
    }
    QPushButton* button(const char* name) const {
        return page->findChild<QPushButton*>(QString::fromLatin1(name));
    }
};

void BM_ProgramTransferAtLineSpeed(benchmark::State& state) {
    const auto baud = static_cast<std::uint32_t>(state.range(0));
    const auto direction = static_cast<Direction>(state.range(1));
    Program program;
    if (!program.start(baud)) {
        state.SkipWithError("no pseudo-terminal or no window");
        return;
    }
    // A save needs a full grid: fill it from the unpaced scale first.
    if (direction == kSave) {
        program.button("Button7")->click();
    }
    program.scale.setPacing(baud);
    QPushButton* button = program.button(direction == kLoad ? "Button7" : "Button8");
    timeTables(state, program.scale, program.link, baud, program.ui, [&] {
        button->click();
        return true;
    });
}

// The PLU numbers in the order every transfer exchanges them.
std::vector<std::uint16_t> transferOrder() {
    std::vector<std::uint16_t> plus{kFixedPluLow, kFixedPluHigh};
    for (int plu = kFirstRangePlu; plu <= kLastRangePlu; ++plu) {
        plus.push_back(static_cast<std::uint16_t>(plu));
    }
    return plus;
}

// The same exchanges through the link alone: the requests and replies the
// program's transfers send and take, and nothing else.
void BM_ReferenceClientAtLineSpeed(benchmark::State& state) {
    const auto baud = static_cast<std::uint32_t>(state.range(0));
    const auto direction = static_cast<Direction>(state.range(1));
    sim::SimulatedScale scale;
    QuietUi ui;
    ScaleLink link{std::make_unique<PosixSerialChannel>(), ui};
    if (!scale.start() || !link.openLink(PortId::named(scale.device()), baud)) {
        state.SkipWithError("no pseudo-terminal");
        return;
    }
    fillScaleWithFullTable(scale);
    const std::vector<std::uint16_t> plus = transferOrder();
    const auto readOne = [&](std::uint16_t plu) {
        encodePluReadRequest(link.buffer(), plu);
        return link.runCommand(cmd::kReadPlu);
    };
    // A save sends back what a load read, as the program's does.
    std::vector<PluRecord> records;
    if (direction == kSave) {
        for (const std::uint16_t plu : plus) {
            if (!readOne(plu)) {
                state.SkipWithError("exchange failed");
                return;
            }
            records.push_back(decodePluRecord(link.buffer()));
        }
    }
    scale.setPacing(baud);
    timeTables(state, scale, link, baud, ui, [&] {
        if (direction == kLoad) {
            for (const std::uint16_t plu : plus) {
                if (!readOne(plu)) {
                    return false;
                }
            }
            return true;
        }
        for (std::size_t i = 0; i < plus.size(); ++i) {
            encodePluWriteRequest(link.buffer(), plus[i], records[i]);
            if (!link.runCommand(cmd::kWritePlu)) {
                return false;
            }
        }
        endPluUpload(link);
        return true;
    });
}

// 115200 bit/s takes about 11 s a table; 9600 bit/s about 130 s, so it runs once
// a repetition. scripts/benchmarks repeats each three times, interleaved, and
// reports the median.
BENCHMARK(BM_ProgramTransferAtLineSpeed)
    ->ArgNames({"baud", "save"})
    ->Args({115200, kLoad})
    ->Args({115200, kSave})
    ->Unit(benchmark::kSecond)
    ->UseRealTime()
    ->Iterations(2);
BENCHMARK(BM_ReferenceClientAtLineSpeed)
    ->ArgNames({"baud", "save"})
    ->Args({115200, kLoad})
    ->Args({115200, kSave})
    ->Unit(benchmark::kSecond)
    ->UseRealTime()
    ->Iterations(2);
BENCHMARK(BM_ProgramTransferAtLineSpeed)
    ->Name("BM_ProgramTransferAtSlowLineSpeed")
    ->ArgNames({"baud", "save"})
    ->Args({9600, kLoad})
    ->Args({9600, kSave})
    ->Unit(benchmark::kSecond)
    ->UseRealTime()
    ->Iterations(1);

} // namespace
