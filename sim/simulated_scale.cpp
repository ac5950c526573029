#include "sim/simulated_scale.h"

#include "sim/line_speed.h"
#include "sim/pseudo_terminal.h"
#include "sim/scale_commands.h"
#include "sim/scale_display.h"
#include "sim/scale_frame.h"
#include "sim/seed_file.h"

#include <atomic>
#include <cerrno>
#include <deque>
#include <poll.h>
#include <thread>
#include <unistd.h>
#ifdef __linux__
#include <sys/prctl.h>
#endif

namespace sim {

namespace {
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// The scale answers only requests of its own address.
constexpr std::uint8_t kOwnAddress = 0x00;
// A stranger's address for the reply sent before the real one.
constexpr std::uint8_t kOtherAddress = 0x01;
// How long one wait for the line may last, so that stop() is prompt.
constexpr auto kPollSlice = 20ms;
// Paced, the last byte of a reply is waited for by spinning rather than
// sleeping: a thread woken from sleep runs tens of microseconds late, and the
// PC, waiting for that byte, would be charged for it.
constexpr auto kSpinBeforeLastByte = 200us;
// How often one reply is sent again on the PC's 0x15 before the scale gives up on it.
constexpr int kMaxResends = 8;
// A flood ends after this many bytes, or as soon as the PC writes again.
constexpr int kFloodBytes = 10'000;
constexpr std::size_t kFloodChunk = 256;
constexpr std::uint8_t kFloodByte = 0x55; // never the frame mark
// Data bytes of an over-long reply, check byte included.
constexpr std::size_t kOverlongData = 300;
// Bytes read from the line in one go.
constexpr std::size_t kReadChunk = 4096;
// What the program hears from a scale at another speed: as many garbled bytes
// as it sent, from a fixed sequence so every run sees the same garbage.
constexpr std::uint32_t kGarbageMultiplier = 1103515245; // a linear congruential sequence
constexpr std::uint32_t kGarbageIncrement = 12345;
// Noise sent before a reply: no frame mark at its end, so the reply's own mark is seen.
constexpr std::uint8_t kNoise[] = {0x55, 0xAA, 0x00, 0xFF, 0xC3, 0x12, 0x02, 0x7E};
// The start of a reply that is abandoned for a new frame.
constexpr std::uint8_t kAbandonedStart[] = {0xC3, 0x04, kOwnAddress, 0x00, 0x00, 0xEE, 0xEE, 0xEE, 0xEE};

struct PendingFault {
    Fault fault;
    int remaining;
    std::chrono::milliseconds delay;
};
} // namespace

struct SimulatedScale::Impl {
    explicit Impl(SimulatedScale& scale) : owner(scale) {}

    SimulatedScale& owner;
    PseudoTerminal line;
    std::thread server;
    std::atomic<bool> stopping{false};
    std::atomic<bool> hungUp{false};
    std::atomic<std::uint32_t> baud{0};
    std::atomic<std::uint32_t> scaleBaud{0};
    std::atomic<WrongSpeed> wrongSpeed{WrongSpeed::Silent};
    std::uint32_t garbageState = 1;
    std::atomic<std::uint64_t> sent{0};
    std::atomic<std::uint64_t> received{0};

    // Shared with the test thread, under owner.mutex_.
    std::vector<ReceivedRequest> requests;
    bool keepRequests = true;
    int framesReceived = 0;
    std::deque<PendingFault> faults;
    struct CounterAction {
        int due; // carried out requests after which it runs
        std::function<void(ScaleMemory&)> action;
    };
    std::vector<CounterAction> counterActions;
    int carriedOut = 0;

    // Serving thread only.
    RequestReader reader;
    struct TimedByte {
        std::uint8_t byte;
        Clock::time_point due;
    };
    std::deque<TimedByte> output;
    std::deque<TimedByte> input;         // bytes read, waiting for their arrival time on the wire
    Clock::time_point outputLineFree{};  // when the last queued byte has left
    Clock::time_point inputLineFree{};   // when the last read byte has fully arrived
    std::vector<std::uint8_t> lastReply; // sent again on the PC's 0x15
    bool awaitingAcknowledgement = false;
    int resends = 0;
    bool flooding = false;
    int floodLeft = 0;

    Clock::duration byteTime() const {
        const std::uint32_t b = baud.load();
        // 10 bits a byte: start bit, 8 data bits, stop bit.
        return b == 0 ? Clock::duration::zero()
                      : std::chrono::duration_cast<Clock::duration>(
                            std::chrono::nanoseconds(10'000'000'000LL / b));
    }

    void queue(std::span<const std::uint8_t> bytes, Clock::time_point notBefore) {
        const auto step = byteTime();
        // The schedule follows the modelled line, not the moment this thread
        // got round to it: a late wake-up sends the bytes that are due at once.
        Clock::time_point t = std::max(notBefore, outputLineFree);
        for (std::uint8_t b : bytes) {
            t += step; // a byte is on the PC's side once all its bits have crossed
            output.push_back({b, t});
        }
        outputLineFree = t;
    }
    void queue(std::initializer_list<std::uint8_t> bytes, Clock::time_point notBefore) {
        queue(std::span<const std::uint8_t>(bytes.begin(), bytes.size()), notBefore);
    }

    std::optional<PendingFault> takeFault() {
        std::lock_guard lock(owner.mutex_);
        if (faults.empty()) {
            return std::nullopt;
        }
        PendingFault f = faults.front();
        if (--faults.front().remaining <= 0) {
            faults.pop_front();
        }
        return f;
    }

    // Under owner.mutex_: what the counter did since the last request.
    void runCounterActions() {
        for (auto it = counterActions.begin(); it != counterActions.end();) {
            if (it->due <= carriedOut) {
                it->action(owner.memory_);
                it = counterActions.erase(it);
            } else {
                ++it;
            }
        }
    }

    void handleFrame(const RequestFrame& frame, Clock::time_point arrived) {
        {
            std::lock_guard lock(owner.mutex_);
            ++framesReceived;
        }
        if (frame.address != kOwnAddress) {
            return;
        }
        if (!frame.checkOk) {
            queue({kNegativeAcknowledge}, arrived);
            return;
        }
        {
            std::lock_guard lock(owner.mutex_);
            if (keepRequests) {
                requests.push_back({frame.address, frame.command, frame.payload});
            }
        }
        // A plain answer is a late one without delay.
        const std::optional<PendingFault> fault = takeFault();
        const Fault kind = fault ? fault->fault : Fault::Late;
        const auto delay = fault ? fault->delay : 0ms;
        // The scale that did not hear, or asks again, carries nothing out.
        if (kind == Fault::Silent) {
            return;
        }
        if (kind == Fault::Nak) {
            queue({kNegativeAcknowledge}, arrived);
            return;
        }
        if (kind == Fault::HangUp) {
            // Known as gone before the line drops: whoever sees the hang-up
            // may ask at once.
            hungUp = true;
            line.hangUp();
            return;
        }

        std::vector<std::uint8_t> data;
        {
            std::lock_guard lock(owner.mutex_);
            runCounterActions();
            data.push_back(owner.memory_.status);
            data.push_back(kSpareByte);
            const auto payload = carryOut(owner.memory_, frame.command, frame.payload);
            ++carriedOut;
            data.insert(data.end(), payload.begin(), payload.end());
        }
        lastReply = encodeReplyFrame(kOwnAddress, data);
        awaitingAcknowledgement = true;
        resends = 0;

        const auto at = arrived + delay;
        switch (kind) {
        case Fault::Late:
            queue({kAcknowledge}, at);
            queue(lastReply, at);
            break;
        case Fault::CorruptCheck:
            queue({kAcknowledge}, at);
            queue(encodeReplyFrame(kOwnAddress, data, 0xFF), at);
            break;
        case Fault::CorruptEveryCheck:
            lastReply = encodeReplyFrame(kOwnAddress, data, 0xFF);
            queue({kAcknowledge}, at);
            queue(lastReply, at);
            break;
        case Fault::NoAcknowledgement:
            queue(lastReply, at);
            break;
        case Fault::OtherAddressFirst:
            queue({kAcknowledge}, at);
            queue(encodeReplyFrame(kOtherAddress, data), at);
            queue(lastReply, at);
            break;
        case Fault::NoiseFirst:
            queue({kAcknowledge}, at);
            queue(kNoise, at);
            queue(lastReply, at);
            break;
        case Fault::Flood:
            queue({kAcknowledge}, at);
            flooding = true;
            floodLeft = kFloodBytes;
            awaitingAcknowledgement = false;
            break;
        case Fault::OverlongReply: {
            std::vector<std::uint8_t> longData = data;
            longData.resize(kOverlongData - 1, 0x00);
            queue({kAcknowledge}, at);
            queue(encodeReplyFrame(kOwnAddress, longData), at);
            awaitingAcknowledgement = false;
            break;
        }
        case Fault::RestartFrame:
            queue({kAcknowledge}, at);
            queue(kAbandonedStart, at);
            queue(lastReply, at);
            break;
        case Fault::Silent:
        case Fault::Nak:
        case Fault::HangUp:
            break; // answered above
        }
    }

    void handleByte(std::uint8_t byte, Clock::time_point arrived) {
        switch (reader.feed(byte)) {
        case RequestReader::Step::Complete:
            awaitingAcknowledgement = false;
            handleFrame(reader.frame(), arrived);
            break;
        case RequestReader::Step::Outside:
            if (awaitingAcknowledgement && byte == kAcknowledge) {
                awaitingAcknowledgement = false;
            } else if (awaitingAcknowledgement && byte == kNegativeAcknowledge) {
                // The PC found the check wrong: the frame again, without a new 0x06.
                if (++resends <= kMaxResends) {
                    queue(lastReply, arrived);
                } else {
                    awaitingAcknowledgement = false;
                }
            }
            break;
        case RequestReader::Step::InFrame:
            break;
        }
    }

    // Reads what the PC wrote. Returns false when the line is gone.
    bool readLine() {
        std::uint8_t buffer[kReadChunk];
        const ssize_t n = ::read(line.master(), buffer, sizeof buffer);
        if (n < 0) {
            return errno == EAGAIN || errno == EINTR;
        }
        if (n == 0) {
            return true;
        }
        received += static_cast<std::uint64_t>(n);
        const std::uint32_t own = scaleBaud.load();
        if (own != 0 && lineSpeed(line.master()) != own) {
            // Framing errors only: no byte reaches the scale's frame reader,
            // and a frame it had begun is lost.
            reader = RequestReader{};
            if (wrongSpeed.load() == WrongSpeed::Garbage) {
                std::vector<std::uint8_t> garbage(static_cast<std::size_t>(n));
                for (auto& b : garbage) {
                    garbageState = garbageState * kGarbageMultiplier + kGarbageIncrement;
                    b = static_cast<std::uint8_t>(garbageState >> 16);
                }
                queue(garbage, Clock::now());
            }
            return true;
        }
        if (flooding) {
            // The PC speaks again: the flood ends here.
            flooding = false;
            floodLeft = 0;
            output.clear();
            outputLineFree = Clock::now();
        }
        const auto step = byteTime();
        Clock::time_point t = std::max(inputLineFree, Clock::now());
        for (ssize_t i = 0; i < n; ++i) {
            t += step;
            input.push_back({buffer[i], t});
        }
        inputLineFree = t;
        return true;
    }

    // Whether the next wait is a look at the line rather than a sleep.
    bool spinning(Clock::time_point now, bool blocked) const {
        return baud.load() != 0 && !blocked && output.size() == 1 &&
               output.front().due - now <= kSpinBeforeLastByte;
    }

    // Writes the bytes that are due. Returns false when the line is gone.
    bool writeLine(bool& blocked) {
        blocked = false;
        const auto now = Clock::now();
        std::uint8_t buffer[kReadChunk];
        std::size_t n = 0;
        while (n < sizeof buffer && n < output.size() && output[n].due <= now) {
            buffer[n] = output[n].byte;
            ++n;
        }
        if (n == 0) {
            return true;
        }
        // Counted before the write: the peer may read the last byte and ask
        // for the count before this thread runs again.
        sent += n;
        const ssize_t written = ::write(line.master(), buffer, n);
        sent -= n - static_cast<std::size_t>(std::max<ssize_t>(written, 0));
        if (written < 0) {
            if (errno == EAGAIN || errno == EINTR) {
                blocked = true;
                return true;
            }
            return false;
        }
        output.erase(output.begin(), output.begin() + written);
        blocked = static_cast<std::size_t>(written) < n;
        return true;
    }

    void serve() {
#ifdef __linux__
        prctl(PR_SET_TIMERSLACK, 1UL, 0, 0, 0); // paced bytes leave on time
#endif
        bool blocked = false;
        while (!stopping && !hungUp) {
            if (flooding && floodLeft > 0 && output.size() < kFloodChunk) {
                const std::size_t chunk =
                    std::min<std::size_t>(kFloodChunk, static_cast<std::size_t>(floodLeft));
                std::vector<std::uint8_t> noise(chunk, kFloodByte);
                queue(noise, Clock::now());
                floodLeft -= static_cast<int>(chunk);
            }

            const auto now = Clock::now();
            Clock::time_point wake = now + kPollSlice;
            if (!input.empty()) {
                wake = std::min(wake, input.front().due);
            }
            if (!output.empty() && !blocked) {
                wake = std::min(wake, output.front().due);
            }
            auto wait = std::max(Clock::duration::zero(), wake - now);
            if (spinning(now, blocked)) {
                wait = Clock::duration::zero();
            }
            timespec timeout{};
            const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(wait).count();
            timeout.tv_sec = static_cast<time_t>(ns / 1'000'000'000);
            timeout.tv_nsec = static_cast<long>(ns % 1'000'000'000);

            pollfd fd{line.master(), POLLIN, 0};
            if (blocked) {
                fd.events |= POLLOUT;
            }
            const int ready = ppoll(&fd, 1, &timeout, nullptr);
            if (ready < 0 && errno != EINTR) {
                break;
            }
            if (ready > 0 && (fd.revents & (POLLERR | POLLNVAL)) != 0) {
                break;
            }
            if (ready > 0 && (fd.revents & POLLIN) != 0 && !readLine()) {
                break;
            }
            const auto arrivedBy = Clock::now();
            while (!input.empty() && input.front().due <= arrivedBy && !hungUp) {
                const TimedByte b = input.front();
                input.pop_front();
                handleByte(b.byte, b.due);
            }
            if (hungUp) {
                break;
            }
            if (!writeLine(blocked)) {
                break;
            }
        }
    }
};

SimulatedScale::SimulatedScale() : impl_(std::make_unique<Impl>(*this)), memory_(blankMemory()) {}

SimulatedScale::~SimulatedScale() {
    stop();
}

bool SimulatedScale::start(std::string* error) {
    if (impl_->server.joinable()) {
        return true;
    }
    std::string reason;
    if (!impl_->line.open(&reason)) {
        if (error != nullptr) {
            *error = reason;
        }
        return false;
    }
    impl_->stopping = false;
    impl_->hungUp = false;
    impl_->server = std::thread([this] { impl_->serve(); });
    return true;
}

void SimulatedScale::stop() {
    impl_->stopping = true;
    if (impl_->server.joinable()) {
        impl_->server.join();
    }
    impl_->line.close();
}

std::string SimulatedScale::device() const {
    return impl_->line.slavePath();
}

ScaleMemory SimulatedScale::snapshot() const {
    std::lock_guard lock(mutex_);
    return memory_;
}

std::vector<ReceivedRequest> SimulatedScale::requests() const {
    std::lock_guard lock(mutex_);
    return impl_->requests;
}

void SimulatedScale::clearRequests() {
    std::lock_guard lock(mutex_);
    impl_->requests.clear();
}

void SimulatedScale::keepRequests(bool keep) {
    std::lock_guard lock(mutex_);
    impl_->keepRequests = keep;
    if (!keep) {
        impl_->requests.clear();
    }
}

int SimulatedScale::framesReceived() const {
    std::lock_guard lock(mutex_);
    return impl_->framesReceived;
}

void SimulatedScale::injectFault(Fault fault, int times, std::chrono::milliseconds delay) {
    if (times <= 0) {
        return;
    }
    std::lock_guard lock(mutex_);
    impl_->faults.push_back({fault, times, delay});
}

void SimulatedScale::clearFaults() {
    std::lock_guard lock(mutex_);
    impl_->faults.clear();
}

void SimulatedScale::atCounter(int afterRequests, std::function<void(ScaleMemory&)> action) {
    std::lock_guard lock(mutex_);
    impl_->counterActions.push_back({impl_->carriedOut + std::max(0, afterRequests), std::move(action)});
}

void SimulatedScale::setPacing(std::uint32_t baud) {
    impl_->baud = baud;
}

void SimulatedScale::setScaleSpeed(std::uint32_t baud, WrongSpeed atWrongSpeed) {
    impl_->wrongSpeed = atWrongSpeed;
    impl_->scaleBaud = baud;
}

std::uint64_t SimulatedScale::bytesSent() const {
    return impl_->sent;
}

std::uint64_t SimulatedScale::bytesReceived() const {
    return impl_->received;
}

bool SimulatedScale::hungUp() const {
    return impl_->hungUp;
}

bool SimulatedScale::loadSeed(const std::string& path, std::string* error) {
    std::lock_guard lock(mutex_);
    return loadSeedFile(path, memory_, error);
}

bool SimulatedScale::dumpMemory(const std::string& path) const {
    std::lock_guard lock(mutex_);
    return writeSeedFile(path, memory_);
}

} // namespace sim
