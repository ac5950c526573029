// The scale's own frame reader and writer, fed byte by byte as the line delivers them.
#include "sim/scale_frame.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;
using sim::RequestReader;

// Feeds bytes and returns the frames completed on the way.
std::vector<sim::RequestFrame> feedAll(RequestReader& reader, const Bytes& bytes) {
    std::vector<sim::RequestFrame> frames;
    for (std::uint8_t b : bytes) {
        if (reader.feed(b) == RequestReader::Step::Complete) {
            frames.push_back(reader.frame());
        }
    }
    return frames;
}

TEST(ScaleFrameReader, ReadsTheIdentifyRequestAndItsCheck) {
    RequestReader reader;
    const auto frames = feedAll(reader, {0xC3, 0x04 /*start*/, 0x00 /*address*/, 0x01 /*command*/,
                                         0x01 /*check*/, 0xC3, 0x02 /*end*/});
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].command, 0x01);
    EXPECT_TRUE(frames[0].payload.empty());
    EXPECT_TRUE(frames[0].checkOk);
}

TEST(ScaleFrameReader, UndoesStuffingOfPayloadAndCheck) {
    RequestReader reader;
    // Payload 00 C3 doubled on the wire; check C7 is not a mark.
    auto frames = feedAll(reader, {0xC3, 0x04, 0x00, 0x04, 0x00, 0xC3, 0xC3, 0xC7, 0xC3, 0x02});
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].payload, (Bytes{0x00, 0xC3}));
    EXPECT_TRUE(frames[0].checkOk);
    // Payload C2 makes the check byte C3, which is doubled too.
    frames = feedAll(reader, {0xC3, 0x04, 0x00, 0x01, 0xC2, 0xC3, 0xC3, 0xC3, 0x02});
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].payload, (Bytes{0xC2}));
    EXPECT_TRUE(frames[0].checkOk);
}

TEST(ScaleFrameReader, EveryByteValueSurvivesTheRoundTrip) {
    Bytes payload;
    for (int v = 0; v < 256; ++v) {
        payload.push_back(static_cast<std::uint8_t>(v));
    }
    payload.resize(255); // the longest request
    RequestReader reader;
    const auto frames = feedAll(reader, sim::encodeRequestFrame(0x00, 0x23, payload));
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].payload, payload);
    EXPECT_TRUE(frames[0].checkOk);
}

TEST(ScaleFrameReader, FlagsABadCheckAndAnEmptyFrame) {
    RequestReader reader;
    auto frames = feedAll(reader, {0xC3, 0x04, 0x00, 0x01, 0x02 /*wrong check*/, 0xC3, 0x02});
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_FALSE(frames[0].checkOk);
    frames = feedAll(reader, {0xC3, 0x04, 0x00, 0x01, 0xC3, 0x02}); // no check byte at all
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_FALSE(frames[0].checkOk);
}

TEST(ScaleFrameReader, ReportsBytesOutsideFramesAndRestartsOnANewStart) {
    RequestReader reader;
    EXPECT_EQ(reader.feed(0x06), RequestReader::Step::Outside);
    EXPECT_EQ(reader.feed(0x15), RequestReader::Step::Outside);
    // C3 04 inside a frame abandons it; the later frame counts alone.
    const auto frames =
        feedAll(reader, {0xC3, 0x04, 0x00, 0x05, 0x11, 0x22, 0xC3, 0x04, 0x00, 0x01, 0x01, 0xC3, 0x02});
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].command, 0x01);
    EXPECT_TRUE(frames[0].checkOk);
    // A mark followed by anything else drops the frame.
    EXPECT_TRUE(feedAll(reader, {0xC3, 0x04, 0x00, 0x01, 0xC3, 0x99, 0x01, 0xC3, 0x02}).empty());
    EXPECT_FALSE(reader.inFrame());
}

TEST(ScaleFrameReader, DropsARunawayFrameAndRecovers) {
    RequestReader reader;
    Bytes runaway{0xC3, 0x04, 0x00, 0x23};
    runaway.insert(runaway.end(), sim::kMaxRequestData + 50, 0x11);
    runaway.insert(runaway.end(), {0xC3, 0x02});
    EXPECT_TRUE(feedAll(reader, runaway).empty());
    EXPECT_EQ(feedAll(reader, sim::encodeRequestFrame(0, 1, {})).size(), 1u);
}

TEST(ScaleReplyFrame, ChecksToZeroAndStuffsMarks) {
    const Bytes data{0x05, 0x00, 0xC3, 0x41};
    const Bytes frame = sim::encodeReplyFrame(0x00, data);
    // C3 04 00, 05 00 C3C3 41, check 05^C3^41 = 0x87, C3 02
    EXPECT_EQ(frame, (Bytes{0xC3, 0x04, 0x00, 0x05, 0x00, 0xC3, 0xC3, 0x41, 0x87, 0xC3, 0x02}));
    const Bytes tampered = sim::encodeReplyFrame(0x00, data, 0xFF);
    EXPECT_EQ(tampered[8], 0x87 ^ 0xFF);
}

} // namespace
