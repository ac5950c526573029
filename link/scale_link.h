#pragma once
// The one link to the scale: the serial channel, the frame exchange and the
// message buffer that every feature shares, one command at a time.
//
// A feature's cycle: checkConnected(), buffer().clear(), puts, runCommand(code),
// and only when that returned true, gets in reply order.

#include "link_observer.h"
#include "message_buffer.h"
#include "serial_channel.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class UserInterface;

// Read time-out of the channel: 20 ticks of 55 ms.
inline constexpr std::chrono::milliseconds kReadTimeout{20 * 55};

class ScaleLink {
public:
    ScaleLink(std::unique_ptr<SerialChannel> channel, UserInterface& ui);
    ~ScaleLink();
    ScaleLink(const ScaleLink&) = delete;
    ScaleLink& operator=(const ScaleLink&) = delete;

    // Opens the port and raises DTR. The reason for a failure is in openFailure().
    bool openLink(const PortId& port, std::uint32_t baud);
    void closeLink();
    bool isOpen() const;
    OpenFailure openFailure() const;

    MessageBuffer& buffer() { return buffer_; }
    const MessageBuffer& buffer() const { return buffer_; }

    // The bare exchange: no status, no message. The cursor is 0 afterwards.
    void send(std::uint8_t command);
    // The command transaction: send, report a failure with "Comunication Error!",
    // show the status byte and the "SYSTEM" tab from a good reply; the cursor
    // is left at reply byte 2.
    bool runCommand(std::uint8_t command);
    // The same, with details for the error box that are worked out only when
    // the command fails (CONNECT finds out why the scale did not answer).
    bool runCommand(std::uint8_t command, const std::function<std::string()>& failureDetails);
    // The not-connected guard: "You are not connected to the scale!".
    bool checkConnected();

    // Result of the last exchange: true when all attempts failed.
    bool linkError() const { return linkError_; }

    // True from the start of a command's exchange until runCommand returns
    // (including while its error box runs a nested event loop). The terminal's
    // poll skips a tick while this holds.
    bool commandInProgress() const { return inProgress_ > 0; }

    // Work run while each exchange waits for its reply, once per exchange
    // (a window lets its pending events run there, rather than between
    // commands where the scale would wait for it); empty for none. The work
    // must not start a command itself, and is not run within itself.
    void setWhileWaiting(std::function<void()> work) { whileWaiting_ = std::move(work); }

    // Counters for tests and benchmarks.
    struct Statistics {
        std::uint64_t exchanges = 0;
        std::uint64_t attempts = 0;
        std::uint64_t purges = 0;
    };
    const Statistics& statistics() const { return stats_; }

    SerialChannel& channel() { return *channel_; }

    // Who is told of every frame and turn of the link. An observer is
    // removed before it goes; adding one twice adds it once.
    void addObserver(LinkObserver& observer) { observers_.add(observer); }
    void removeObserver(LinkObserver& observer) { observers_.remove(observer); }
    // What an exchange on this link's port tells: every observer, or null
    // when there is none, so an unwatched link tests one pointer.
    LinkObserver* observer() { return observers_.empty() ? nullptr : &observers_; }

private:
    void exchange();

    std::unique_ptr<SerialChannel> channel_;
    UserInterface& ui_;
    MessageBuffer buffer_;
    std::uint8_t address_ = 0; // always 0
    std::uint8_t command_ = 0;
    bool linkError_ = false;
    int inProgress_ = 0;
    std::function<void()> whileWaiting_;
    int inWaitWork_ = 0;
    Statistics stats_;
    LinkObservers observers_;
    std::string openPort_; // the port's label while open, for the log
};

// Sets the link's work while waiting for as long as it lives, and takes it
// away again however the scope is left.
class WorkWhileWaiting {
public:
    WorkWhileWaiting(ScaleLink& link, std::function<void()> work) : link_(link) {
        link_.setWhileWaiting(std::move(work));
    }
    ~WorkWhileWaiting() { link_.setWhileWaiting({}); }
    WorkWhileWaiting(const WorkWhileWaiting&) = delete;
    WorkWhileWaiting& operator=(const WorkWhileWaiting&) = delete;

private:
    ScaleLink& link_;
};

// Text for the box that reports a number that does not convert:
// "'12x' is not a valid integer value." / "... floating point value."
enum class NumberKind { Integer, FloatingPoint };
// How the log and the boxes name a port: "COM1", or the device as given.
std::string portLabel(const PortId& port);
// "COM1 at 9600 bit/s".
std::string portAtSpeed(const PortId& port, std::uint32_t baud);
// "/dev/ttyS0: Permission denied ...": the device and the reason, either may be missing.
std::string openFailureText(const OpenFailure& failure);

std::string conversionErrorText(std::string_view text, NumberKind kind);
// Shows it in an error box titled with the program's name.
void reportConversionError(UserInterface& ui, std::string_view text, NumberKind kind);
