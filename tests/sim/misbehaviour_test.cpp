// The link against a scale that misbehaves: each fault, its outcome and the
// attempts it costs. Faults last one attempt wherever the point allows, so the
// next attempt succeeds and the suite stays fast.
#include "link/commands.h"
#include "scale_over_pty.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

class Misbehaving : public ScaleOverPty {
  protected:
    void SetUp() override {
        ScaleOverPty::SetUp();
        scale.withMemory([](sim::ScaleMemory& m) {
            m.identification = "FAULTY";
            return 0;
        });
    }

    // Runs identify; true when it succeeded with the right text.
    bool identify() {
        link.buffer().clear();
        const bool ok = link.runCommand(cmd::kIdentify);
        return ok && link.buffer().getText(32) == "FAULTY";
    }
};

TEST_F(Misbehaving, ASilentScaleFailsAfterThreeAttemptsAndFourPurges) {
    scale.injectFault(sim::Fault::Silent, 3);
    const auto start = Clock::now();
    EXPECT_FALSE(identify());
    const auto took = Clock::now() - start;
    const auto tally = lastExchange();
    EXPECT_EQ(tally.attempts, 3u);
    EXPECT_EQ(tally.purges, 4u);
    EXPECT_EQ(scale.requests().size(), 3u);
    EXPECT_GE(took, 3 * kReadTimeout - 50ms);
    EXPECT_LT(took, 3 * kReadTimeout + 1s);
    ASSERT_EQ(ui.errors.size(), 1u);
    EXPECT_EQ(ui.errors[0].text, "Comunication Error!");
    // The scale answers again afterwards.
    EXPECT_TRUE(identify());
}

TEST_F(Misbehaving, NegativeAcknowledgementsCostAttempts) {
    scale.injectFault(sim::Fault::Nak, 2);
    EXPECT_TRUE(identify());
    EXPECT_EQ(lastExchange().attempts, 3u);

    scale.injectFault(sim::Fault::Nak, 3);
    const auto start = Clock::now();
    EXPECT_FALSE(identify());
    EXPECT_LT(Clock::now() - start, 500ms); // no time-out involved
    EXPECT_EQ(lastExchange().attempts, 3u);
}

TEST_F(Misbehaving, RepairableRepliesSucceedInOneAttempt) {
    // A wrong check is answered with 0x15 and the scale sends the reply again;
    // another address's reply is skipped; noise before the frame is skipped;
    // a frame restarted with C3 04 is taken from its later start.
    for (sim::Fault fault : {sim::Fault::CorruptCheck, sim::Fault::OtherAddressFirst, sim::Fault::NoiseFirst,
                             sim::Fault::RestartFrame}) {
        scale.injectFault(fault, 1);
        EXPECT_TRUE(identify()) << static_cast<int>(fault);
        EXPECT_EQ(lastExchange().attempts, 1u) << static_cast<int>(fault);
    }
    EXPECT_TRUE(ui.errors.empty());
    EXPECT_EQ(scale.requests().size(), 4u); // the repeated reply needed no second request
}

TEST_F(Misbehaving, ALineThatSpoilsEveryCopyCostsTheWholeAttempt) {
    scale.injectFault(sim::Fault::CorruptEveryCheck, 1);
    EXPECT_TRUE(identify());
    EXPECT_EQ(lastExchange().attempts, 2u);
    EXPECT_TRUE(ui.errors.empty());
}

TEST_F(Misbehaving, TheRestartedFramesBytesAreTheOnesKept) {
    scale.injectFault(sim::Fault::RestartFrame, 1);
    MessageBuffer& b = link.buffer();
    b.clear();
    b.putU16(0x0800);
    b.putU8(8);
    scale.withMemory([](sim::ScaleMemory& m) {
        for (int i = 0; i < 8; ++i) {
            m.reportMemory[0x0800 + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i + 1);
        }
        return 0;
    });
    ASSERT_TRUE(link.runCommand(cmd::kReadReportBlock));
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(b.getU8(), i + 1);
    }
    EXPECT_EQ(b.responseLength(), 10u); // status, spare byte, the 8 bytes of the later frame
}

TEST_F(Misbehaving, AMissingAcknowledgementEndsTheAttemptWhenTheLineFallsSilent) {
    scale.injectFault(sim::Fault::NoAcknowledgement, 1);
    const auto start = Clock::now();
    EXPECT_TRUE(identify());
    EXPECT_GE(Clock::now() - start, kReadTimeout - 50ms);
    EXPECT_EQ(lastExchange().attempts, 2u);
}

TEST_F(Misbehaving, ALateAnswerWithinTheTimeOutIsTaken) {
    scale.injectFault(sim::Fault::Late, 1, 600ms);
    const auto start = Clock::now();
    EXPECT_TRUE(identify());
    EXPECT_GE(Clock::now() - start, 550ms);
    EXPECT_EQ(lastExchange().attempts, 1u);
}

TEST_F(Misbehaving, AnOverlongReplyCostsItsAttempt) {
    scale.injectFault(sim::Fault::OverlongReply, 1);
    const auto start = Clock::now();
    EXPECT_TRUE(identify());
    EXPECT_LT(Clock::now() - start, 500ms); // refused by size, not by a time-out
    EXPECT_EQ(lastExchange().attempts, 2u);
}

TEST_F(Misbehaving, AFloodFailsWithinBounds) {
    scale.injectFault(sim::Fault::Flood, 3);
    const auto start = Clock::now();
    EXPECT_FALSE(identify());
    EXPECT_LT(Clock::now() - start, 2s);
    EXPECT_EQ(lastExchange().attempts, 3u);
    ASSERT_EQ(ui.errors.size(), 1u);
    // The flood stops once the program speaks again; the next command gets through.
    EXPECT_TRUE(identify());
}

TEST_F(Misbehaving, AHangUpFailsQuicklyAndTheScaleIsGone) {
    scale.injectFault(sim::Fault::HangUp, 1);
    const auto start = Clock::now();
    EXPECT_FALSE(identify());
    EXPECT_LT(Clock::now() - start, 1s);
    EXPECT_TRUE(scale.hungUp());
    EXPECT_FALSE(identify()); // still failing, still quick
    EXPECT_LT(Clock::now() - start, 2s);
}

TEST_F(Misbehaving, ARequestWithABadCheckIsAnsweredWithANak) {
    // Written straight to the line: the program never sends a bad check.
    scale.clearRequests();
    ASSERT_TRUE(
        link.channel().writeBlock(std::vector<std::uint8_t>{0xC3, 0x04, 0x00, 0x01, 0x02, 0xC3, 0x02}));
    const auto answer = link.channel().readByte(kReadTimeout);
    ASSERT_TRUE(answer.has_value());
    EXPECT_EQ(*answer, 0x15);
    EXPECT_EQ(scale.framesReceived(), 1);
    EXPECT_TRUE(scale.requests().empty());

    // Another address is not answered at all.
    ASSERT_TRUE(
        link.channel().writeBlock(std::vector<std::uint8_t>{0xC3, 0x04, 0x05, 0x01, 0x04, 0xC3, 0x02}));
    EXPECT_FALSE(link.channel().readByte(200ms).has_value());
}

} // namespace
