// What the communication log costs one PLU read, on an in-memory line that
// answers at once, so that only the program's own work is measured: with no
// observer (one test of a pointer at each point that could tell), with an
// observer that does nothing (what the exchange spends telling), with the
// lines formatted, and with the lines written to a file as the program does.
#include "link/commands.h"
#include "link/frame_exchange.h"
#include "link/link_log.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <deque>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

// A line whose scale answers every request at once with the same PLU record.
class ReplayChannel final : public SerialChannel {
public:
    explicit ReplayChannel(std::vector<std::uint8_t> answer) : answer_(std::move(answer)) {}
    bool open(const PortId&, std::uint32_t) override { return true; }
    void close() override {}
    bool isOpen() const override { return true; }
    std::optional<std::uint8_t> readByte(std::chrono::milliseconds) override {
        if (next_ == answer_.size()) {
            return std::nullopt;
        }
        return answer_[next_++];
    }
    bool writeByte(std::uint8_t, std::chrono::milliseconds) override { return true; }
    bool writeBlock(std::span<const std::uint8_t>) override {
        next_ = 0;
        return true;
    }
    void purgeReceive() override { next_ = answer_.size(); }
    std::size_t pendingInput() const override { return answer_.size() - next_; }
    void raiseDtr() override {}
    OpenFailure failure() const override { return {}; }

private:
    std::vector<std::uint8_t> answer_;
    std::size_t next_ = 0;
};

// 06, then the reply of command 4: status, skipped byte, a 54-byte record, check byte.
std::vector<std::uint8_t> pluAnswer() {
    std::vector<std::uint8_t> data(2 + 54, 0x41);
    data[0] = data[1] = 0;
    data[2] = 0;
    std::vector<std::uint8_t> out = {0x06, 0xC3, 0x04, 0x00};
    std::uint8_t check = 0;
    for (const std::uint8_t b : data) {
        out.push_back(b);
        check ^= b;
    }
    out.push_back(check);
    out.insert(out.end(), {0xC3, 0x02});
    return out;
}

struct NullObserver final : LinkObserver {
    void onLinkEvent(const LinkEvent&) override { benchmark::ClobberMemory(); }
};

enum Watcher { kNone, kNullObserver, kLines, kFile };

void BM_ReadPluWithLog(benchmark::State& state) {
    const auto watcher = static_cast<Watcher>(state.range(0));
    ReplayChannel channel(pluAnswer());
    MessageBuffer buffer;
    NullObserver nothing;
    LinkLog log;
    std::size_t logBytes = 0;
    LogFile file;
    const std::string path = "/tmp/link_log_bench_" + std::to_string(::getpid()) + ".log";
    if (watcher == kFile) {
        file.open(path);
        log.addSink([&](const LogLine& line) {
            file.append(line.text);
            logBytes += line.text.size() + 1;
        });
    } else {
        log.addSink([&](const LogLine& line) { logBytes += line.text.size() + 1; });
    }
    LinkObserver* observer = nullptr;
    if (watcher == kNullObserver) {
        observer = &nothing;
    } else if (watcher != kNone) {
        observer = &log;
    }
    const ExchangeSettings settings{std::chrono::milliseconds(1100), frame::kMaxAttempts, observer};
    std::uint16_t plu = 0;
    for (auto _ : state) {
        buffer.clear();
        buffer.putU16(plu);
        buffer.putU8(0);
        buffer.putU8(54);
        ExchangeTally tally;
        if (!exchangeFrames(channel, buffer, 0, cmd::kReadPlu, settings, tally)) {
            state.SkipWithError("exchange failed");
            break;
        }
        plu = static_cast<std::uint16_t>((plu + 1) % 1801);
    }
    if (state.iterations() > 0) {
        state.counters["log_bytes_per_plu"] = static_cast<double>(logBytes) / static_cast<double>(state.iterations());
        // A whole table is 1801 PLUs.
        state.counters["log_MB_per_table"] = static_cast<double>(logBytes) / static_cast<double>(state.iterations()) * 1801 / 1e6;
    }
    file.close();
    std::remove(path.c_str());
}
BENCHMARK(BM_ReadPluWithLog)->ArgName("watcher")->Arg(kNone)->Arg(kNullObserver)->Arg(kLines)->Arg(kFile);

} // namespace

BENCHMARK_MAIN();
