// The command transaction over a scripted channel: what the person at the
// counter sees after good and failed commands, the guard, and the marker that
// keeps the terminal's poll out of a running command.

#include "link/commands.h"
#include "link/scale_link.h"
#include "tests/support/recording_ui.h"
#include "tests/support/scripted_channel.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;
using Kind = ScriptedChannel::Event::Kind;

class Link : public ::testing::Test {
protected:
    Link() {
        auto owned = std::make_unique<ScriptedChannel>();
        channel = owned.get();
        link = std::make_unique<ScaleLink>(std::move(owned), ui);
    }
    void connect() { ASSERT_TRUE(link->openLink(PortId::numbered(1), 9600)); }

    RecordingUi ui;
    ScriptedChannel* channel = nullptr;
    std::unique_ptr<ScaleLink> link;
};

TEST_F(Link, OpenRaisesDtrAndReportsFailures) {
    connect();
    EXPECT_TRUE(link->isOpen());
    EXPECT_EQ(channel->count(Kind::Dtr), 1);
    EXPECT_EQ(channel->lastBaud, 9600u);
    link->closeLink();
    EXPECT_FALSE(link->isOpen());

    channel->openResult = false;
    EXPECT_FALSE(link->openLink(PortId::named("ttyUSB7"), 14400));
    EXPECT_EQ(link->openFailure().reason, "scripted failure");
    EXPECT_EQ(channel->count(Kind::Dtr), 1); // a port that did not open gets no DTR
}

TEST_F(Link, GoodReplyShowsStatusAndLeavesCursorAtPayload) {
    connect();
    channel->afterRequest(scaleReply(hexBytes("05 01" /*status, skipped*/ "48 49 00" /*HI*/)));
    link->buffer().clear();
    ASSERT_TRUE(link->runCommand(cmd::kIdentify));
    EXPECT_EQ(ui.statusTexts, std::vector<std::string>{"STATUS:05"});
    EXPECT_EQ(ui.systemPageVisibility, std::vector<bool>{true}); // bit 2 of 05
    EXPECT_EQ(link->buffer().getText(32), "HI");
    EXPECT_EQ(link->buffer().cursor(), 35);
    EXPECT_TRUE(ui.errors.empty());
    EXPECT_FALSE(link->linkError());
}

TEST_F(Link, CalibrationBitAloneDecidesTheSystemTab) {
    connect();
    const std::pair<std::uint8_t, bool> cases[] = {{0x00, false}, {0x04, true}, {0xFB, false}, {0xAC, true}};
    for (const auto& [status, visible] : cases) {
        channel->afterRequest(scaleReply({status, 0x00}));
        link->buffer().clear();
        ASSERT_TRUE(link->runCommand(cmd::kReadClock));
        EXPECT_EQ(ui.systemPageVisibility.back(), visible) << int(status);
    }
    EXPECT_EQ(ui.statusTexts, (std::vector<std::string>{"STATUS:00", "STATUS:04", "STATUS:FB", "STATUS:AC"}));
}

TEST_F(Link, FailedCommandReportsOnceAndKeepsTheLastGoodStatus) {
    connect();
    channel->afterRequest(scaleReply(hexBytes("04 00")));
    ASSERT_TRUE(link->runCommand(cmd::kReadClock));
    // Three silent attempts, even with garbage left on the line before.
    channel->afterRequest(hexBytes("06 C3 04 00 00"));
    EXPECT_FALSE(link->runCommand(cmd::kReadClock));
    EXPECT_TRUE(link->linkError());
    EXPECT_EQ(ui.errors, (std::vector<RecordingUi::Message>{{"Comunication Error!", "Error!"}}));
    EXPECT_EQ(ui.statusTexts, std::vector<std::string>{"STATUS:04"});
    EXPECT_EQ(ui.systemPageVisibility, std::vector<bool>{true});
}

TEST_F(Link, CommandWithoutClearSendsTheLastPayloadAgain) {
    connect();
    channel->afterRequest(scaleReply(hexBytes("00 00")));
    channel->afterRequest(scaleReply(hexBytes("00 00")));
    link->buffer().clear();
    link->buffer().putU16(7);
    link->buffer().putU8(54);
    ASSERT_TRUE(link->runCommand(cmd::kReadPlu));
    ASSERT_TRUE(link->runCommand(cmd::kReadPlu));
    const auto requests = channel->requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[1], hexBytes("C3 04 00 04" "00 07 36" "35" /*check*/ "C3 02"));
    EXPECT_EQ(requests[0], requests[1]);
}

TEST_F(Link, SendShowsNothingAndRewindsTheCursor) {
    connect();
    channel->afterRequest(scaleReply(hexBytes("04 00 31 32")));
    link->send(cmd::kPollDisplay);
    EXPECT_FALSE(link->linkError());
    EXPECT_EQ(link->buffer().cursor(), 0);
    EXPECT_EQ(link->buffer().responseByte(2), 0x31);
    link->send(cmd::kPollDisplay); // silent
    EXPECT_TRUE(link->linkError());
    EXPECT_TRUE(ui.errors.empty());
    EXPECT_TRUE(ui.statusTexts.empty());
    EXPECT_EQ(link->statistics().exchanges, 2u);
    EXPECT_EQ(link->statistics().attempts, 4u);
    EXPECT_EQ(link->statistics().purges, 5u);
}

TEST_F(Link, NotConnectedGuard) {
    EXPECT_FALSE(link->checkConnected());
    EXPECT_EQ(ui.errors, (std::vector<RecordingUi::Message>{{"You are not connected to the scale!", "Error!"}}));
    connect();
    EXPECT_TRUE(link->checkConnected());
    EXPECT_EQ(ui.errors.size(), 1u);
}

TEST_F(Link, CommandOnClosedLinkFailsWithoutWriting) {
    EXPECT_FALSE(link->runCommand(cmd::kIdentify));
    EXPECT_TRUE(channel->requests().empty());
    EXPECT_EQ(channel->purges(), 4);
    EXPECT_EQ(ui.errorCount("Comunication Error!"), 1);
}

TEST_F(Link, CommandIsInProgressWhileItsErrorBoxIsOpen) {
    connect();
    std::vector<bool> seen;
    ui.duringError = [&] { seen.push_back(link->commandInProgress()); };
    EXPECT_FALSE(link->commandInProgress());
    EXPECT_FALSE(link->runCommand(cmd::kReadClock));
    EXPECT_EQ(seen, std::vector<bool>{true});
    EXPECT_FALSE(link->commandInProgress());
}

// The window's events run while the request and its reply are on the line:
// once an exchange, after its first request went out, never inside itself,
// and not any more once the work is taken away.
TEST_F(Link, WorkWhileWaitingRunsOnceAnExchangeAfterTheRequest) {
    connect();
    std::vector<std::size_t> requestsSeen;
    link->setWhileWaiting([&] {
        requestsSeen.push_back(channel->requests().size());
        link->send(cmd::kIdentify); // a command inside it does not run it again
    });
    channel->afterRequest({}); // silent: the request goes a second time
    channel->afterRequest(scaleReply(hexBytes("00 00")));
    channel->afterRequest(scaleReply(hexBytes("00 00")));
    link->buffer().clear();
    EXPECT_TRUE(link->runCommand(cmd::kReadClock));
    EXPECT_EQ(requestsSeen, std::vector<std::size_t>{1});

    link->setWhileWaiting({});
    channel->afterRequest(scaleReply(hexBytes("00 00")));
    EXPECT_TRUE(link->runCommand(cmd::kReadClock));
    EXPECT_EQ(requestsSeen.size(), 1u);
}

TEST(ConversionError, TextsAndTitle) {
    EXPECT_EQ(conversionErrorText("12x", NumberKind::Integer), "'12x' is not a valid integer value.");
    EXPECT_EQ(conversionErrorText("", NumberKind::FloatingPoint), "'' is not a valid floating point value.");
    RecordingUi ui;
    ui.title = "scaleutil";
    reportConversionError(ui, "1,5", NumberKind::FloatingPoint);
    EXPECT_EQ(ui.errors,
              (std::vector<RecordingUi::Message>{{"'1,5' is not a valid floating point value.", "scaleutil"}}));
}

} // namespace
