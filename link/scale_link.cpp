#include "scale_link.h"

#include "frame_exchange.h"
#include "link_observer.h"
#include "user_interface.h"

#include <cstdio>
#include <utility>

namespace {

constexpr std::uint8_t kCalibrationModeBit = 0x04; // StatusByte bit 2

const std::string kErrorTitle = "Error!";

// Marks a command as running for the span of one scope, nested calls included.
class InProgress {
public:
    explicit InProgress(int& depth) : depth_(depth) { ++depth_; }
    ~InProgress() { --depth_; }
    InProgress(const InProgress&) = delete;
    InProgress& operator=(const InProgress&) = delete;

private:
    int& depth_;
};

} // namespace

ScaleLink::ScaleLink(std::unique_ptr<SerialChannel> channel, UserInterface& ui)
    : channel_(std::move(channel)), ui_(ui) {}

ScaleLink::~ScaleLink() { channel_->close(); }

bool ScaleLink::openLink(const PortId& port, std::uint32_t baud) {
    const bool opened = channel_->open(port, baud);
    // The scale wants DTR high; a port that did not open ignores this.
    channel_->raiseDtr();
    if (LinkObserver* watching = observer()) {
        tellPortEvent(watching, opened ? LinkEventKind::PortOpened : LinkEventKind::PortOpenFailed,
                      portAtSpeed(port, baud) + (opened ? "" : ": " + openFailureText(channel_->failure())));
    }
    if (opened) {
        openPort_ = portLabel(port);
    }
    return opened;
}

void ScaleLink::closeLink() {
    const bool wasOpen = channel_->isOpen();
    channel_->close();
    if (wasOpen) {
        tellPortEvent(observer(), LinkEventKind::PortClosed, openPort_);
    }
}

bool ScaleLink::isOpen() const { return channel_->isOpen(); }

OpenFailure ScaleLink::openFailure() const { return channel_->failure(); }

void ScaleLink::exchange() {
    ExchangeTally tally;
    ExchangeSettings settings{kReadTimeout, frame::kMaxAttempts, observer()};
    const std::function<void()> waitWork = [this] {
        const InProgress running(inWaitWork_);
        whileWaiting_();
    };
    if (whileWaiting_ && inWaitWork_ == 0) {
        settings.whileWaiting = &waitWork;
    }
    linkError_ = !exchangeFrames(*channel_, buffer_, address_, command_, settings, tally);
    ++stats_.exchanges;
    stats_.attempts += static_cast<std::uint64_t>(tally.attempts);
    stats_.purges += static_cast<std::uint64_t>(tally.purges);
}

void ScaleLink::send(std::uint8_t command) {
    const InProgress running(inProgress_);
    command_ = command;
    exchange();
    buffer_.setCursor(0);
}

bool ScaleLink::runCommand(std::uint8_t command) { return runCommand(command, {}); }

bool ScaleLink::runCommand(std::uint8_t command, const std::function<std::string()>& failureDetails) {
    // Held through the error box too: its nested event loop may fire the
    // terminal's poll timer, which must not start an exchange on this buffer.
    const InProgress running(inProgress_);
    send(command);
    if (linkError_) {
        // A failed exchange leaves no reply to read a status from: the status
        // text and the "SYSTEM" tab keep what the last good reply set.
        if (failureDetails) {
            ui_.showErrorWithDetails("Comunication Error!", kErrorTitle, failureDetails());
        } else {
            ui_.showError("Comunication Error!", kErrorTitle);
        }
        return false;
    }
    const std::uint8_t status = buffer_.getU8();
    buffer_.getU8(); // reply byte 1 carries nothing the program uses
    char text[16];
    std::snprintf(text, sizeof text, "STATUS:%02X", static_cast<unsigned>(status));
    ui_.setStatusText(text);
    ui_.setSystemPageVisible((status & kCalibrationModeBit) != 0);
    return true;
}

bool ScaleLink::checkConnected() {
    if (channel_->isOpen()) {
        return true;
    }
    ui_.showError("You are not connected to the scale!", kErrorTitle);
    return false;
}

std::string portLabel(const PortId& port) {
    return port.number != 0 ? "COM" + std::to_string(port.number) : port.device;
}

std::string portAtSpeed(const PortId& port, std::uint32_t baud) {
    return portLabel(port) + " at " + std::to_string(baud) + " bit/s";
}

std::string openFailureText(const OpenFailure& failure) {
    if (failure.reason.empty() || failure.device.empty()) {
        return failure.device + failure.reason;
    }
    return failure.device + ": " + failure.reason;
}

std::string conversionErrorText(std::string_view text, NumberKind kind) {
    std::string message = "'";
    message += text;
    message += kind == NumberKind::Integer ? "' is not a valid integer value." : "' is not a valid floating point value.";
    return message;
}

void reportConversionError(UserInterface& ui, std::string_view text, NumberKind kind) {
    ui.showError(conversionErrorText(text, kind), ui.applicationTitle());
}
