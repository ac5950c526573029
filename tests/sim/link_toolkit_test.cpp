// The technician's toolkit against the simulated scale over real
// pseudo-terminals: the log sees every misstep of a misbehaving scale, a
// scale set to another speed is deaf at the wrong one, and the search finds a
// scale on an unknown port at an unknown speed.
#include "link/commands.h"
#include "link/link_log_format.h"
#include "link/port_diagnosis.h"
#include "link/scale_finder.h"
#include "scale_over_pty.h"
#include "sim/pseudo_terminal.h"

#include <set>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using K = LinkEventKind;

// The speeds of the port selector's speed list.
const std::vector<std::uint32_t> kSelectorSpeeds = {1200,  2400,  4800,  9600,  14400,
                                                    19200, 28800, 38400, 57600, 115200};

struct KindsSeen : LinkObserver {
    std::multiset<K> kinds;
    std::vector<std::string> lines;
    void onLinkEvent(const LinkEvent& event) override {
        kinds.insert(event.kind);
        lines.push_back(formatLogLine("", event));
    }
    bool saw(K kind) const { return kinds.count(kind) > 0; }
};

class Toolkit : public ScaleOverPty {
  protected:
    void SetUp() override {
        ScaleOverPty::SetUp();
        link.addObserver(seen);
    }
    bool identify() {
        link.buffer().clear();
        return link.runCommand(cmd::kIdentify);
    }
    KindsSeen seen;
};

TEST_F(Toolkit, TheObserverSeesEveryMisstepOfAMisbehavingScale) {
    // One fault after the other, each lasting one request; the scale answers
    // well after each, so every exchange but the flood's ends in success.
    const std::vector<std::pair<sim::Fault, std::vector<K>>> faults = {
        {sim::Fault::Nak, {K::NakReceived}},
        {sim::Fault::Silent, {K::AcknowledgementTimeout}},
        {sim::Fault::CorruptCheck, {K::CheckByteError, K::NakSent}},
        {sim::Fault::OtherAddressFirst, {K::StrayBytes}},
        {sim::Fault::NoiseFirst, {K::StrayBytes}},
        {sim::Fault::RestartFrame, {K::StrayBytes}},
        {sim::Fault::NoAcknowledgement, {K::ReplyTimeout}},
        {sim::Fault::OverlongReply, {K::ReplyTooLong}},
    };
    for (const auto& [fault, expected] : faults) {
        seen.kinds.clear();
        scale.injectFault(fault, 1);
        EXPECT_TRUE(identify()) << static_cast<int>(fault);
        for (const K kind : expected) {
            EXPECT_TRUE(seen.saw(kind)) << static_cast<int>(fault) << " " << static_cast<int>(kind);
        }
        // Every exchange ends with the reply taken.
        EXPECT_TRUE(seen.saw(K::ReplyReceived) && seen.saw(K::AcknowledgementSent))
            << static_cast<int>(fault);
    }

    // A flood in every attempt: each ends on its byte cap and the exchange
    // gives up. (How much of the flood is still on its way when the link
    // purges depends on the two threads' timing; the scripted channel's
    // tests count the purged bytes.)
    seen.kinds.clear();
    scale.injectFault(sim::Fault::Flood, 3);
    EXPECT_FALSE(identify());
    EXPECT_EQ(seen.kinds.count(K::TooManyBytes), 3u);
    EXPECT_EQ(seen.kinds.count(K::ExchangeFailed), 1u);
    EXPECT_EQ(seen.kinds.count(K::RequestSent), 3u);
}

TEST_F(Toolkit, AScaleAtAnotherSpeedIsDeafThereAndAnswersAtItsOwn) {
    // The link opened at 115200; the scale is set to 9600.
    scale.setScaleSpeed(9600, sim::WrongSpeed::Garbage);
    const ProbeResult garbled = probeScale(link.channel(), PortId::named(scale.device()), 115200, &seen);
    EXPECT_EQ(garbled.outcome, ProbeResult::Outcome::Silent);
    EXPECT_TRUE(seen.saw(K::RequestSent));
    EXPECT_FALSE(seen.saw(K::ReplyReceived));
    EXPECT_TRUE(scale.requests().empty()); // nothing reached the scale

    scale.setScaleSpeed(9600, sim::WrongSpeed::Silent);
    seen.kinds.clear();
    EXPECT_EQ(probeScale(link.channel(), PortId::named(scale.device()), 19200, &seen).outcome,
              ProbeResult::Outcome::Silent);
    EXPECT_TRUE(seen.saw(K::AcknowledgementTimeout));

    const ProbeResult answered = probeScale(link.channel(), PortId::named(scale.device()), 9600, &seen);
    EXPECT_EQ(answered.outcome, ProbeResult::Outcome::Answered);
    EXPECT_EQ(answered.identification, "SIM SCALE");
    EXPECT_FALSE(link.channel().isOpen()); // a probe leaves the port closed
}

TEST_F(Toolkit, AFailedConnectSaysAtWhichSpeedTheScaleAnswersOrThatItAnswersAtNone) {
    scale.setScaleSpeed(9600);
    const PortId port = PortId::named(scale.device());
    std::string details = diagnoseSilentPort(link.channel(), port, 115200, kSelectorSpeeds);
    EXPECT_EQ(details,
              "The scale answered at 9600 bit/s, not at 115200: choose 9600 in the speed list, or set "
              "the scale's RS Baud rate to 115200.");
    EXPECT_FALSE(link.channel().isOpen());

    scale.setScaleSpeed(300); // a speed the list does not offer
    details = diagnoseSilentPort(link.channel(), port, 9600, kSelectorSpeeds);
    EXPECT_EQ(details,
              scale.device() +
                  " opens but answers nothing at any speed: check the cable and the scale's RS Baud rate.");
}

// Two ports where nobody answers, the scale at 9600 bit/s on the third, a
// missing port after it. The search tries fastest first and stops at the scale.
TEST(FindScale, AScaleOnAnUnknownPortAtAnUnknownSpeedIsFound) {
    sim::PseudoTerminal silent[2];
    for (auto& line : silent) {
        ASSERT_TRUE(line.open(nullptr));
    }
    sim::SimulatedScale scale;
    scale.setScaleSpeed(9600, sim::WrongSpeed::Garbage);
    ASSERT_TRUE(scale.start());
    const std::vector<PortCandidate> ports = {
        {PortId::named(silent[0].slavePath()), "first"},
        {PortId::named(silent[1].slavePath()), "second"},
        {PortId::named(scale.device()), "scale"},
        {PortId::named("/dev/nonexistent-serial-port"), "missing"},
    };
    PosixSerialChannel channel;
    ScaleFinder finder(channel, ports, kSelectorSpeeds);
    const auto start = Clock::now();
    std::size_t steps = 0;
    while (finder.step()) {
        ++steps;
        EXPECT_LE(finder.tried(), finder.total());
    }
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
    ASSERT_TRUE(finder.found().has_value());
    EXPECT_EQ(finder.found()->portIndex, 2u);
    EXPECT_EQ(finder.found()->baud, 9600u);
    EXPECT_EQ(finder.found()->identification, "SIM SCALE");
    // Ten speeds on each silent port, seven on the scale's: 115200 down to 9600.
    EXPECT_EQ(steps + 1, 10u + 10u + 7u);
    EXPECT_EQ(finder.tried(), 10u + 10u + 7u);
    EXPECT_FALSE(channel.isOpen());
    // The scale was asked exactly once, at its own speed.
    EXPECT_EQ(scale.requests().size(), 1u);
    std::printf("found after %lld ms\n", static_cast<long long>(took.count()));

    // Nothing at all: every port and speed is tried, and the search ends; a
    // missing port is tried once, not at every speed.
    ScaleFinder nothing(channel, {ports[3], ports[0]}, {115200, 9600});
    std::size_t probes = 0;
    while (nothing.step()) {
        ++probes;
    }
    EXPECT_EQ(probes + 1, 1u + 2u);
    EXPECT_FALSE(nothing.found().has_value());
    EXPECT_EQ(nothing.tried(), nothing.total());
    ASSERT_EQ(nothing.unopened().size(), 1u);
    EXPECT_EQ(nothing.unopened()[0].label, "missing");
}

} // namespace
