#include "scale_finder.h"

#include "commands.h"
#include "frame_exchange.h"
#include "message_buffer.h"
#include "scale_link.h"

#include <algorithm>

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr std::uint64_t kBitsPerByte = 10;         // start bit, 8 data bits, stop bit
constexpr std::size_t kIdentifyRequestBytes = 7;   // C3 04 00 01 01 C3 02
// The acknowledgement and the longest identify reply, every data byte stuffed:
// C3 04, address, 2 × (status, skipped byte, 33 text bytes, check byte), C3 02.
constexpr std::size_t kLongestIdentifyAnswer = 1 + 3 + 2 * 36 + 2;
constexpr std::uint8_t kIdentificationWidth = 32;
constexpr std::uint8_t kReplyPayloadStart = 2; // after the status byte and the skipped byte

milliseconds wireTime(std::size_t bytes, std::uint32_t baud) {
    return milliseconds(static_cast<milliseconds::rep>(baud == 0 ? 0 : bytes * kBitsPerByte * 1000 / baud + 1));
}

// The channel under a probe: every read waits no longer than the probe's
// deadline allows, so bytes that never form a reply cannot hold it.
class DeadlineChannel final : public SerialChannel {
public:
    DeadlineChannel(SerialChannel& inner, Clock::time_point deadline) : inner_(inner), deadline_(deadline) {}

    bool open(const PortId& port, std::uint32_t baud) override { return inner_.open(port, baud); }
    void close() override { inner_.close(); }
    bool isOpen() const override { return inner_.isOpen(); }
    std::optional<std::uint8_t> readByte(milliseconds timeout) override {
        const auto left = std::chrono::ceil<milliseconds>(deadline_ - Clock::now());
        if (left <= milliseconds::zero()) {
            return std::nullopt;
        }
        return inner_.readByte(std::min(timeout, left));
    }
    bool writeByte(std::uint8_t byte, milliseconds timeout) override { return inner_.writeByte(byte, timeout); }
    bool writeBlock(std::span<const std::uint8_t> bytes) override { return inner_.writeBlock(bytes); }
    void purgeReceive() override { inner_.purgeReceive(); }
    std::size_t pendingInput() const override { return inner_.pendingInput(); }
    void raiseDtr() override { inner_.raiseDtr(); }
    OpenFailure failure() const override { return inner_.failure(); }

private:
    SerialChannel& inner_;
    Clock::time_point deadline_;
};

} // namespace

milliseconds probeDeadline(std::uint32_t baud) {
    return wireTime(kIdentifyRequestBytes, baud) + kProbeAnswerTime + wireTime(kLongestIdentifyAnswer, baud) +
           kProbeAnswerTime;
}

ProbeResult probeScale(SerialChannel& channel, const PortId& port, std::uint32_t baud, LinkObserver* observer) {
    ProbeResult result;
    const bool opened = channel.open(port, baud);
    if (!opened) {
        result.outcome = ProbeResult::Outcome::NotOpened;
        result.failure = channel.failure();
        tellPortEvent(observer, LinkEventKind::PortOpenFailed,
                      portAtSpeed(port, baud) + ": " + openFailureText(result.failure));
        return result;
    }
    channel.raiseDtr();
    tellPortEvent(observer, LinkEventKind::PortOpened, portAtSpeed(port, baud));

    DeadlineChannel bounded(channel, Clock::now() + probeDeadline(baud));
    MessageBuffer buffer;
    buffer.clear();
    ExchangeTally tally;
    const ExchangeSettings settings{wireTime(kIdentifyRequestBytes, baud) + kProbeAnswerTime, 1, observer};
    constexpr std::uint8_t kAddress = 0;
    if (exchangeFrames(bounded, buffer, kAddress, cmd::kIdentify, settings, tally)) {
        result.outcome = ProbeResult::Outcome::Answered;
        buffer.setCursor(kReplyPayloadStart);
        result.identification = buffer.getText(kIdentificationWidth);
    }
    channel.close();
    tellPortEvent(observer, LinkEventKind::PortClosed, portLabel(port));
    return result;
}

ScaleFinder::ScaleFinder(SerialChannel& channel, std::vector<PortCandidate> ports, std::vector<std::uint32_t> speeds,
                         LinkObserver* observer)
    : channel_(channel), ports_(std::move(ports)), speeds_(std::move(speeds)), observer_(observer) {
    std::sort(speeds_.begin(), speeds_.end(), std::greater<>());
    speeds_.erase(std::unique(speeds_.begin(), speeds_.end()), speeds_.end());
    std::erase(speeds_, 0u);
}

bool ScaleFinder::finished() const { return found_.has_value() || portIndex_ >= ports_.size() || speeds_.empty(); }

void ScaleFinder::nextPortOnward() {
    ++portIndex_;
    speedIndex_ = 0;
}

void ScaleFinder::nextSpeedOnward() {
    ++tried_;
    if (++speedIndex_ == speeds_.size()) {
        nextPortOnward();
    }
}

bool ScaleFinder::step() {
    if (finished()) {
        return false;
    }
    const PortCandidate& candidate = ports_[portIndex_];
    const std::uint32_t baud = speeds_[speedIndex_];
    const ProbeResult result = probeScale(channel_, candidate.port, baud, observer_);
    switch (result.outcome) {
    case ProbeResult::Outcome::Answered:
        ++tried_;
        found_ = Found{portIndex_, baud, result.identification};
        return false;
    case ProbeResult::Outcome::NotOpened:
        if (result.failure.speedRefused) {
            nextSpeedOnward();
            break;
        }
        // Missing, forbidden or held: so it is at every speed.
        tried_ += speeds_.size() - speedIndex_;
        unopened_.push_back({candidate.label, result.failure});
        nextPortOnward();
        break;
    case ProbeResult::Outcome::Silent:
        nextSpeedOnward();
        break;
    }
    return !finished();
}
