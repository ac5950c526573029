// The bytes of a request as they leave the PC.

#include "link/frame_exchange.h"
#include "tests/support/scripted_channel.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes frameOf(std::uint8_t command, const Bytes& payload) {
    RequestFrame frame{};
    const std::size_t length = buildRequestFrame(0, command, payload, frame);
    return Bytes(frame.begin(), frame.begin() + static_cast<std::ptrdiff_t>(length));
}

// Reads a request back the way the scale would: de-stuffs the payload and
// verifies the check byte; nullopt for anything that is not one frame.
std::optional<Bytes> unstuffRequest(const Bytes& frame, std::uint8_t expectedCommand) {
    if (frame.size() < 7 || frame[0] != 0xC3 || frame[1] != 0x04 || frame[3] != expectedCommand) {
        return std::nullopt;
    }
    Bytes data;
    std::size_t i = 4;
    while (i < frame.size()) {
        if (frame[i] == 0xC3) {
            if (i + 1 >= frame.size()) {
                return std::nullopt;
            }
            if (frame[i + 1] == 0x02) {
                break;
            }
            if (frame[i + 1] != 0xC3) {
                return std::nullopt;
            }
            ++i;
        }
        data.push_back(frame[i]);
        ++i;
    }
    if (i + 2 != frame.size() || data.empty()) {
        return std::nullopt; // the end mark must close the frame
    }
    std::uint8_t check = frame[2] ^ frame[3];
    for (const auto b : data) {
        check ^= b;
    }
    if (check != 0) {
        return std::nullopt;
    }
    data.pop_back();
    return data;
}

TEST(RequestFrame, KnownFramesAreByteExact) {
    // Command 1, no payload: the check byte is 00 ^ 01.
    EXPECT_EQ(frameOf(0x01, {}), hexBytes("C3 04" /*start*/ "00" /*address*/ "01" /*command*/
                                          "01" /*check*/ "C3 02" /*end*/));
    // A payload C3 is doubled; the check byte C7 = 04 ^ 00 ^ C3 is not.
    EXPECT_EQ(frameOf(0x04, {0x00, 0xC3}), hexBytes("C3 04" /*start*/ "00" /*address*/ "04" /*command*/
                                                    "00 C3C3" /*payload*/ "C7" /*check*/ "C3 02" /*end*/));
    // A check byte equal to C3 is doubled too, before the end mark.
    EXPECT_EQ(frameOf(0x01, {0xC2}), hexBytes("C3 04" /*start*/ "00" /*address*/ "01" /*command*/
                                              "C2" /*payload*/ "C3C3" /*check*/ "C3 02" /*end*/));
}

TEST(RequestFrame, EveryByteValueSurvivesStuffingAndCheck) {
    // Each value alone, and all 256 in one payload, must read back unchanged
    // on the scale's side with a good check byte.
    for (int v = 0; v < 256; ++v) {
        const Bytes payload{static_cast<std::uint8_t>(v)};
        const auto back = unstuffRequest(frameOf(0x23, payload), 0x23);
        ASSERT_TRUE(back.has_value()) << "byte " << v;
        EXPECT_EQ(*back, payload) << "byte " << v;
    }
    Bytes all;
    for (int v = 0; v < 255; ++v) {
        all.push_back(static_cast<std::uint8_t>(v ^ 0x5A));
    }
    const auto back = unstuffRequest(frameOf(0x23, all), 0x23);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(*back, all);
}

TEST(RequestFrame, WorstCaseFitsTheFrameBuffer) {
    // 255 payload bytes C3 and a command chosen so that the check byte is C3
    // as well: every stuffed byte doubled, 518 bytes in all.
    const Bytes payload(255, 0xC3);
    const auto command = static_cast<std::uint8_t>(requestCheck(0, 0, payload) ^ 0xC3);
    const Bytes frame = frameOf(command, payload);
    EXPECT_EQ(frame.size(), frame::kMaxFrameSize);
    EXPECT_EQ(frame.size(), 518u);
    const auto back = unstuffRequest(frame, command);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(*back, payload);
}

TEST(RequestFrame, PayloadBeyondOneByteLengthIsCut) {
    const Bytes payload(300, 0x11);
    const auto back = unstuffRequest(frameOf(0x23, payload), 0x23);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(back->size(), 255u);
}

} // namespace
