#pragma once
// Finding the scale: which port, at which speed. Every port at every speed,
// fastest first, with one identify each. A probe runs through the same frame
// code as every command, but with one attempt, a short time-out and a deadline
// of its own: a silent port costs a fraction of a second a speed instead of
// three read time-outs, and a line full of garbage cannot hold it longer.
// Each probe opens the port and closes it again, so no port is left open.

#include "link_observer.h"
#include "serial_channel.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// How long a probe waits for an answer beyond the time its request needs on
// the wire. A scale acknowledges at once; this leaves room for a slow one.
inline constexpr std::chrono::milliseconds kProbeAnswerTime{200};

struct ProbeResult {
    enum class Outcome { Answered, Silent, NotOpened };
    Outcome outcome = Outcome::Silent;
    std::string identification; // when it answered
    OpenFailure failure;        // when the port did not open
};

// One identify at `baud` on `port`, through `channel`, which is closed again afterwards.
ProbeResult probeScale(SerialChannel& channel, const PortId& port, std::uint32_t baud,
                       LinkObserver* observer = nullptr);

// The longest a probe at `baud` may take once the port is open.
std::chrono::milliseconds probeDeadline(std::uint32_t baud);

struct PortCandidate {
    PortId port;
    std::string label; // as the port selector shows it
};

class ScaleFinder {
public:
    struct Found {
        std::size_t portIndex = 0;
        std::uint32_t baud = 0;
        std::string identification;
    };
    struct Unopened {
        std::string label;
        OpenFailure failure;
    };

    // `speeds` in any order: they are tried fastest first.
    ScaleFinder(SerialChannel& channel, std::vector<PortCandidate> ports, std::vector<std::uint32_t> speeds,
                LinkObserver* observer = nullptr);

    // Tries the next port and speed. False once the search is over: the scale
    // was found, or every port and speed was tried.
    bool step();

    bool finished() const;
    // Probes made or skipped (a port that does not open skips its other speeds), of total().
    std::size_t tried() const { return tried_; }
    std::size_t total() const { return ports_.size() * speeds_.size(); }
    // What the next step tries; only while not finished.
    const PortCandidate& nextPort() const { return ports_[portIndex_]; }
    std::uint32_t nextSpeed() const { return speeds_[speedIndex_]; }

    const std::optional<Found>& found() const { return found_; }
    const std::vector<PortCandidate>& ports() const { return ports_; }
    const std::vector<Unopened>& unopened() const { return unopened_; }

private:
    void nextPortOnward();
    void nextSpeedOnward();

    SerialChannel& channel_;
    std::vector<PortCandidate> ports_;
    std::vector<std::uint32_t> speeds_;
    LinkObserver* observer_;
    std::size_t portIndex_ = 0;
    std::size_t speedIndex_ = 0;
    std::size_t tried_ = 0;
    std::optional<Found> found_;
    std::vector<Unopened> unopened_;
};
