// The frame exchange against a scripted scale: which replies are taken, how
// attempts and purges go, and the bounds that keep a misbehaving line finite.

#include "link/frame_exchange.h"
#include "tests/support/scripted_channel.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;
using Kind = ScriptedChannel::Event::Kind;

constexpr std::chrono::milliseconds kTimeout{1100};

class Exchange : public ::testing::Test {
  protected:
    void SetUp() override { channel.open(PortId::numbered(1), 9600); }

    bool run(std::uint8_t command = 0x01) {
        tally = {};
        return exchangeFrames(channel, buffer, 0, command, kTimeout, tally);
    }

    Bytes responseData() const {
        Bytes out;
        for (std::size_t i = 0; i < buffer.responseLength(); ++i) {
            out.push_back(buffer.responseByte(i));
        }
        return out;
    }

    ScriptedChannel channel;
    MessageBuffer buffer;
    ExchangeTally tally;
};

// --- Reply acceptance and rejection -----------------------------------

TEST_F(Exchange, GoodReplyIsAcknowledgedAndStored) {
    channel.afterRequest(hexBytes("06" /*ack*/ "C3 04" /*start*/ "00" /*address*/ "05 01" /*status, skipped*/
                                  "04" /*check: 00^05^01^04 = 0*/ "C3 02" /*end*/));
    ASSERT_TRUE(run());
    EXPECT_EQ(responseData(), hexBytes("05 01")); // the check byte is not data
    EXPECT_EQ(channel.singleBytes(), std::vector<Bytes>{{0x06}});
    EXPECT_EQ(tally.attempts, 1);
    EXPECT_EQ(channel.purges(), 1);
}

TEST_F(Exchange, WrongCheckGetsNakThenResentReplyIsTakenInTheSameAttempt) {
    const Bytes bad = hexBytes("06 C3 04 00 05 01 05 C3 02"); // check should be 04
    const Bytes good = hexBytes("C3 04 00 05 01 04 C3 02");   // the scale's re-send, no ack byte
    channel.afterRequest(bad);
    channel.onByteWritten = [&](std::uint8_t b) {
        if (b == 0x15) {
            channel.deliverNow(good);
        }
    };
    ASSERT_TRUE(run());
    EXPECT_EQ(channel.singleBytes(), (std::vector<Bytes>{{0x15}, {0x06}}));
    EXPECT_EQ(tally.attempts, 1);
    EXPECT_EQ(channel.requests().size(), 1u);
    EXPECT_EQ(responseData(), hexBytes("05 01"));
}

TEST_F(Exchange, ScanSkipsNoiseOtherAddressesAndFalseStarts) {
    channel.afterRequest(hexBytes("06" /*ack*/ "55 AA 00"   /*noise*/
                                  "C3 04 07 09 09 0E C3 02" /*a frame for address 07: ignored*/
                                  "C3 C3 04 00 01 01 C3 02" /*C3 C3 04 is no start*/
                                  "C3 04 00 02 00 02 C3 02" /*the reply*/));
    ASSERT_TRUE(run());
    EXPECT_EQ(responseData(), hexBytes("02 00"));
    EXPECT_EQ(channel.singleBytes(), std::vector<Bytes>{{0x06}});
}

TEST_F(Exchange, StuffedC3InsideReplyIsOneDataByte) {
    // Data C3 05 and check 00^C3^05 = C6.
    channel.afterRequest(hexBytes("06 C3 04 00"
                                  "C3 C3" /*one data C3*/ "05"
                                  "C6" /*check*/ "C3 02"));
    ASSERT_TRUE(run());
    EXPECT_EQ(responseData(), hexBytes("C3 05"));
}

TEST_F(Exchange, StartMarkInsideReplyRestartsTheFrame) {
    // The first frame is cut off by C3 04: its bytes are overwritten from 0.
    channel.afterRequest(hexBytes("06 C3 04 00 AA BB CC"
                                  "C3 04 00" /*restart*/ "05 01 04"
                                  "C3 02"));
    ASSERT_TRUE(run());
    EXPECT_EQ(responseData(), hexBytes("05 01"));
}

TEST_F(Exchange, OtherMarkInsideReplyAbandonsFrameAndScanGoesOn) {
    // C3 07 abandons the frame; the scan then finds the good one.
    channel.afterRequest(hexBytes("06 C3 04 00 11 C3 07 22"
                                  "C3 04 00 05 01 04 C3 02"));
    ASSERT_TRUE(run());
    EXPECT_EQ(responseData(), hexBytes("05 01"));
}

TEST_F(Exchange, ReplyWithoutAcknowledgementIsNotTaken) {
    // Its first C3 is taken as the acknowledgement; 04 00 ... never shows a
    // start mark, so every attempt ends when the line falls silent.
    for (int i = 0; i < 3; ++i) {
        channel.afterRequest(scaleReply(hexBytes("05 01"), 0, /*withAcknowledgement=*/false));
    }
    EXPECT_FALSE(run());
    EXPECT_EQ(tally.attempts, 3);
    EXPECT_TRUE(channel.singleBytes().empty());
}

TEST_F(Exchange, AnyFirstByteButNakCountsAsAcknowledgement) {
    Bytes reply = scaleReply(hexBytes("05 01"));
    reply[0] = 0x99;
    channel.afterRequest(reply);
    EXPECT_TRUE(run());
}

TEST_F(Exchange, EmptyReplyIsAcceptedAndReadsZeros) {
    channel.afterRequest(hexBytes("06 C3 04 00"
                                  "00" /*check only*/ "C3 02"));
    ASSERT_TRUE(run());
    EXPECT_EQ(buffer.responseLength(), 0u);
    EXPECT_EQ(buffer.getU8(), 0);
}

// --- Attempts and purges ---------------------------------------------

TEST_F(Exchange, SilentScaleFailsAfterThreeAttemptsAndFourPurges) {
    EXPECT_FALSE(run());
    EXPECT_EQ(tally.attempts, 3);
    EXPECT_EQ(tally.purges, 4);
    EXPECT_EQ(channel.requests().size(), 3u);
    EXPECT_EQ(channel.purges(), 4);
    // The order: purge before every request, and once more at the end.
    std::vector<Kind> order;
    for (const auto& e : channel.events) {
        if (e.kind == Kind::Purge || e.kind == Kind::Block) {
            order.push_back(e.kind);
        }
    }
    EXPECT_EQ(order, (std::vector<Kind>{Kind::Purge, Kind::Block, Kind::Purge, Kind::Block, Kind::Purge,
                                        Kind::Block, Kind::Purge}));
    EXPECT_TRUE(channel.singleBytes().empty()); // nothing is answered to silence
}

TEST_F(Exchange, NakResendsTheWholeRequestAndThreeNaksFail) {
    channel.afterRequest({0x15});
    channel.afterRequest({0x15});
    channel.afterRequest(scaleReply(hexBytes("00 00")));
    buffer.clear();
    buffer.putU16(0x1234);
    ASSERT_TRUE(run(0x04));
    const auto requests = channel.requests();
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_EQ(requests[0], requests[2]);
    EXPECT_EQ(requests[0], hexBytes("C3 04 00 04 12 34 22 C3 02"));

    channel.events.clear();
    for (int i = 0; i < 3; ++i) {
        channel.afterRequest({0x15});
    }
    EXPECT_FALSE(run(0x04));
    EXPECT_EQ(channel.requests().size(), 3u);
    EXPECT_EQ(channel.purges(), 4);
}

TEST_F(Exchange, StaleInputIsPurgedBeforeTheRequest) {
    channel.deliverNow(scaleReply(hexBytes("77 77"))); // left over from an earlier command
    channel.afterRequest(scaleReply(hexBytes("05 01")));
    ASSERT_TRUE(run());
    EXPECT_EQ(responseData(), hexBytes("05 01"));
}

TEST_F(Exchange, ReplyCutOffEndsTheAttemptAndTheNextOneSucceeds) {
    channel.afterRequest(hexBytes("06 C3 04 00 05 01")); // the line falls silent mid-frame
    channel.afterRequest(scaleReply(hexBytes("05 01")));
    ASSERT_TRUE(run());
    EXPECT_EQ(tally.attempts, 2);
}

TEST_F(Exchange, ChannelNeverOpenedFailsAtOnce) {
    ScriptedChannel closed;
    EXPECT_FALSE(exchangeFrames(closed, buffer, 0, 0x01, kTimeout, tally));
    EXPECT_EQ(tally.attempts, 3);
    EXPECT_EQ(closed.purges(), 4);
    EXPECT_TRUE(closed.requests().empty()); // a closed port writes nothing
}

TEST_F(Exchange, FailureLeavesNoReadableReply) {
    channel.afterRequest(scaleReply(hexBytes("05 01 AA BB")));
    ASSERT_TRUE(run());
    EXPECT_EQ(buffer.responseLength(), 4u);
    EXPECT_FALSE(run()); // silent now
    EXPECT_EQ(buffer.responseLength(), 0u);
    EXPECT_EQ(buffer.responseByte(2), 0);
}

// --- Bounds ----------------------------------------------------------

TEST_F(Exchange, FloodEndsEachAttemptAfter2048Bytes) {
    for (int i = 0; i < 3; ++i) {
        channel.afterRequest(Bytes(1 + 5000, 0x55)); // ack, then endless noise
    }
    struct Purges : LinkObserver {
        std::vector<std::size_t> discarded;
        void onLinkEvent(const LinkEvent& event) override {
            if (event.kind == LinkEventKind::Purged) {
                discarded.push_back(event.count);
            }
        }
    } purges;
    tally = {};
    EXPECT_FALSE(exchangeFrames(channel, buffer, 0, 0x01,
                                ExchangeSettings{kTimeout, frame::kMaxAttempts, &purges}, tally));
    EXPECT_EQ(tally.attempts, 3);
    EXPECT_EQ(channel.bytesRead, 3u * (1 + frame::kMaxBytesPerAttempt));
    // What each attempt left of its noise is thrown away, and the log says how much.
    const std::size_t left = 5000 - frame::kMaxBytesPerAttempt;
    EXPECT_EQ(purges.discarded, (std::vector<std::size_t>{left, left, left}));
}

TEST_F(Exchange, RejectedResendsCountTowardTheFloodBound) {
    // A scale that answers every 15 with the same bad frame again.
    const Bytes bad = hexBytes("C3 04 00 05 01 05 C3 02"); // 8 bytes, wrong check
    Bytes first{0x06};
    first.insert(first.end(), bad.begin(), bad.end());
    for (int i = 0; i < 3; ++i) {
        channel.afterRequest(first);
    }
    channel.onByteWritten = [&](std::uint8_t b) {
        if (b == 0x15) {
            channel.deliverNow(bad);
        }
    };
    EXPECT_FALSE(run());
    // 2048 bytes hold 256 bad frames of 8 bytes, each answered with 15; then
    // the attempt ends and the next one sends the request again.
    EXPECT_EQ(channel.singleBytes().size(), 3 * frame::kMaxBytesPerAttempt / bad.size());
    EXPECT_EQ(channel.requests().size(), 3u);
}

TEST_F(Exchange, ReplyOf256DataBytesFitsAnd257thEndsTheAttempt) {
    // 255 bytes of data plus the check byte fill the response area exactly.
    Bytes data(255);
    for (std::size_t i = 0; i < data.size(); ++i) {
        data[i] = static_cast<std::uint8_t>(i);
    }
    channel.afterRequest(scaleReply(data));
    ASSERT_TRUE(run());
    EXPECT_EQ(buffer.responseLength(), 255u);
    EXPECT_EQ(buffer.responseByte(254), 254);

    // One more data byte would be stored at index 256: the attempt ends.
    data.push_back(0x42);
    for (int i = 0; i < 3; ++i) {
        channel.afterRequest(scaleReply(data));
    }
    EXPECT_FALSE(run());
    EXPECT_EQ(tally.attempts, 3);
    EXPECT_EQ(channel.singleBytes().size(), 1u); // only the first exchange's 06
}

TEST_F(Exchange, ReplyOfAllC3DataIsDestuffed) {
    // The longest stuffed reply: 255 data bytes C3 and a check byte C3.
    const Bytes data(255, 0xC3);
    channel.afterRequest(scaleReply(data));
    ASSERT_TRUE(run());
    EXPECT_EQ(buffer.responseLength(), 255u);
    EXPECT_EQ(buffer.responseByte(100), 0xC3);
}

} // namespace
