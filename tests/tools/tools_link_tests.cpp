// The report, terminal and logo commands over a scripted scale.

#include "link/commands.h"
#include "scripted_link.h"
#include "tools/logo_upload.h"
#include "tools/report_reader.h"
#include "tools/terminal_link.h"

#include <gtest/gtest.h>

namespace {

using Bytes = std::vector<std::uint8_t>;

const ReportStamp kStamp{"1/2/26", "3:04:05 PM", false};
const RecordingUi::Message kCommunicationError{"Comunication Error!", "Error!"};

std::vector<std::string> runReport(ScriptedLink& scale, bool* complete = nullptr) {
    std::vector<std::string> lines;
    const bool done = readReport(scale.link(), scale.ui, kStamp, '.',
                                 [&lines](const std::string& line) { lines.push_back(line); });
    if (complete != nullptr) {
        *complete = done;
    }
    return lines;
}

TEST(ReportOverTheLink, AsksForTheFiveBlocksByAddressAndLength) {
    ScriptedLink scale;
    scale.replyWith(Bytes(192, 0));
    for (int clerk = 0; clerk < 4; ++clerk) {
        scale.replyWith(Bytes(80, 0));
    }
    bool complete = false;
    const auto lines = runReport(scale, &complete);
    EXPECT_TRUE(complete);
    EXPECT_EQ(lines.size(), 8u + 4 * 11);
    const auto requests = scale.requests();
    ASSERT_EQ(requests.size(), 5u);
    const Bytes expected[] = {
        {0x08, 0x00, 0xC0} /* 0x0800, 192 */,
        {0x09, 0x00, 0x50} /* 0x0900, 80 */,
        {0x09, 0x50, 0x50},
        {0x09, 0xA0, 0x50},
        {0x09, 0xF0, 0x50},
    };
    for (std::size_t i = 0; i < requests.size(); ++i) {
        EXPECT_EQ(requests[i].command, cmd::kReadReportBlock);
        EXPECT_EQ(requests[i].payload, expected[i]) << "block " << i;
    }
    EXPECT_TRUE(scale.ui.errors.empty());
}

TEST(ReportOverTheLink, FailedThirdClerkKeepsTheSectionsBeforeIt) {
    ScriptedLink scale;
    scale.replyWith(Bytes(192, 0));
    scale.replyWith(Bytes(80, 0));
    scale.replyWith(Bytes(80, 0)); // clerk 3 then gets no answer on any attempt
    bool complete = true;
    const auto lines = runReport(scale, &complete);
    EXPECT_FALSE(complete);
    ASSERT_EQ(lines.size(), 8u + 2 * 11);
    EXPECT_EQ(lines[8 + 11], "----------------------- CLERK 2");
    EXPECT_EQ(lines.back(), "");
    EXPECT_EQ(scale.ui.errors, std::vector<RecordingUi::Message>{kCommunicationError});
    EXPECT_EQ(scale.requests().back().payload, (Bytes{0x09, 0xA0, 0x50})) << "clerk 4 is never asked for";
}

TEST(ReportOverTheLink, ShortReplyIsAFailedBlockNotOnePaddedWithOldBytes) {
    ScriptedLink scale;
    // A longer reply first leaves bytes in the response area behind it.
    scale.replyWith(Bytes(192, 0x11));
    ASSERT_TRUE(readReportBlock(scale.link(), scale.ui, 0x0800, 192));
    scale.replyWith(Bytes(100, 0));
    EXPECT_FALSE(readReportBlock(scale.link(), scale.ui, 0x0800, 192));
    EXPECT_EQ(scale.ui.errors, std::vector<RecordingUi::Message>{kCommunicationError});

    scale.replyWith(Bytes(80, 0x22));
    const auto block = readReportBlock(scale.link(), scale.ui, 0x0900, 80);
    ASSERT_TRUE(block);
    EXPECT_EQ(*block, Bytes(80, 0x22));
}

TEST(ReportOverTheLink, FailedGeneralBlockWritesNothing) {
    ScriptedLink scale;
    EXPECT_TRUE(runReport(scale).empty());
    EXPECT_EQ(scale.requests().size(), 3u) << "three attempts, then no clerk";
    EXPECT_EQ(scale.ui.errors.size(), 1u);
}

TEST(TerminalOverTheLink, KeyGoesAsCommand64AndAFailedPollShowsNothing) {
    ScriptedLink scale;
    scale.replyWith();
    EXPECT_TRUE(pressScaleKey(scale.link(), 0x68));
    EXPECT_FALSE(pollTerminalDisplay(scale.link()));
    EXPECT_TRUE(scale.ui.errors.empty());
    const auto requests = scale.requests();
    ASSERT_EQ(requests.size(), 4u);
    EXPECT_EQ(requests[0].command, cmd::kPressKey);
    EXPECT_EQ(requests[0].payload, Bytes{0x68});
    EXPECT_EQ(requests[1].command, cmd::kPollDisplay);
    EXPECT_TRUE(requests[1].payload.empty()) << "the key's byte is not sent again";
    EXPECT_EQ(scale.ui.statusTexts.size(), 1u) << "only the key's reply shows the status";
}

TEST(LogoOverTheLink, HeaderThenRowsStoppingAtTheFirstFailure) {
    LogoBitmap logo;
    logo.height = 3;
    logo.rows.assign(3 * kLogoRowBytes, 0);
    logo.rows[0] = 0x80;
    logo.rows[kLogoRowBytes + 47] = 0x01;
    ScriptedLink scale;
    scale.replyWith(); // header
    scale.replyWith(); // row 0; row 1 then fails
    std::vector<int> progress;
    EXPECT_FALSE(sendLogo(scale.link(), logo, [&progress](int row) { progress.push_back(row); }));
    EXPECT_EQ(progress, std::vector<int>{0});
    const auto requests = scale.requests();
    ASSERT_EQ(requests.size(), 2u + 3);
    EXPECT_EQ(requests[0].payload, (Bytes{0x00, 0x00, 0x03})); // offset 0, height 3
    ASSERT_EQ(requests[1].payload.size(), 2u + 48);
    EXPECT_EQ(requests[1].payload[0], 0x00);
    EXPECT_EQ(requests[1].payload[1], 0x01); // offset 1
    EXPECT_EQ(requests[1].payload[2], 0x80);
    EXPECT_EQ(requests[2].payload[1], 0x31); // offset 49
    EXPECT_EQ(requests[2].payload[49], 0x01);
    EXPECT_EQ(scale.ui.errors.size(), 1u);
}

TEST(LogoOverTheLink, NoPictureSendsHeightZeroAndNoRows) {
    ScriptedLink scale;
    scale.replyWith();
    EXPECT_TRUE(sendLogo(scale.link(), LogoBitmap{}, nullptr));
    const auto requests = scale.requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].payload, (Bytes{0x00, 0x00, 0x00}));
}

} // namespace
