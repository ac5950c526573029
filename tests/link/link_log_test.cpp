// The communication log on fixed frames: the lines an exchange writes, what a
// misbehaving line tells, the decoding of requests and replies, and the size
// of a whole table's log.

#include "link/commands.h"
#include "link/frame_exchange.h"
#include "link/link_log.h"
#include "link/link_log_format.h"
#include "link/scale_link.h"
#include "tests/support/recording_ui.h"
#include "tests/support/scripted_channel.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

using Bytes = std::vector<std::uint8_t>;
using K = LinkEventKind;

constexpr std::chrono::milliseconds kTimeout{1100};

// 2026-12-09T10:15:02.123456 UTC.
std::chrono::system_clock::time_point fixedTime() {
    using namespace std::chrono;
    return system_clock::time_point(seconds(1796811302)) + microseconds(123456);
}

class LogLines : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
#if defined(_WIN32)
        _putenv_s("TZ", "UTC");
        _tzset();
#else
        setenv("TZ", "UTC", 1);
        tzset();
#endif
    }
    void SetUp() override {
        channel.open(PortId::numbered(1), 9600);
        log.addSink([this](const LogLine& line) {
            lines.push_back(line.text);
            trouble.push_back(line.trouble);
        });
    }

    // Runs one exchange with the log watching; the lines without their time.
    std::vector<std::string> run(std::uint8_t command, int attempts = frame::kMaxAttempts) {
        lines.clear();
        trouble.clear();
        ExchangeTally tally;
        exchangeFrames(channel, buffer, 0, command, ExchangeSettings{kTimeout, attempts, &log}, tally);
        std::vector<std::string> bare;
        for (const auto& line : lines) {
            bare.push_back(line.substr(line.find(' ') + 1));
        }
        return bare;
    }

    ScriptedChannel channel;
    MessageBuffer buffer;
    LinkLog log{fixedTime};
    std::vector<std::string> lines;
    std::vector<bool> trouble;
};

TEST_F(LogLines, AGoodExchangeIsFourLinesWithTimeDirectionHexAndMeaning) {
    buffer.clear();
    buffer.putU16(7);
    buffer.putU8(0);
    buffer.putU8(54);
    Bytes record(54, 0x00);
    record[11] = 'A'; // the PLU's name
    record[12] = 'B';
    Bytes data = {0x00, 0x00}; // status, skipped
    data.insert(data.end(), record.begin(), record.end());
    channel.afterRequest(scaleReply(data));

    const auto bare = run(cmd::kReadPlu);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], "2026-12-09T10:15:02.123456 PC>SCALE C3 04 00 04 00 07 00 36 35 C3 02 | read PLU 7 (attempt 1)");
    EXPECT_EQ(bare[1], "SCALE>PC 06 | acknowledged");
    EXPECT_EQ(bare[2].substr(0, 21), "SCALE>PC C3 04 00 00 ");
    EXPECT_EQ(bare[2].substr(bare[2].find(" | ")), " | read PLU 7 reply, status 00: \"AB\"");
    EXPECT_EQ(bare[3], "PC>SCALE 06 | reply taken");
    EXPECT_EQ(trouble, (std::vector<bool>{false, false, false, false}));
}

TEST_F(LogLines, EveryMisstepOfTheLineIsToldAndCountsAsTrouble) {
    channel.deliverNow(hexBytes("AA BB")); // stale: discarded by the first purge
    channel.afterRequest({0x15});          // attempt 1: NAK
    channel.afterRequest({});              // attempt 2: silence
    // Attempt 3: noise, a frame with a wrong check byte, then the scale's
    // re-send of it, cut off.
    channel.afterRequest(hexBytes("06" "55 66" "C3 04 00 05 01 05 C3 02"));
    channel.onByteWritten = [&](std::uint8_t b) {
        if (b == 0x15) {
            channel.deliverNow(hexBytes("C3 04 00 05"));
        }
    };
    const auto bare = run(cmd::kIdentify);
    const std::vector<std::string> expected = {
        "LINK | purge discarded 2 bytes",
        "PC>SCALE C3 04 00 01 01 C3 02 | identify (attempt 1)",
        "SCALE>PC 15 | NAK received: the scale asks for the request again (attempt 1)",
        "PC>SCALE C3 04 00 01 01 C3 02 | identify (attempt 2)",
        "LINK | time-out: no answer to the request (attempt 2)",
        "PC>SCALE C3 04 00 01 01 C3 02 | identify (attempt 3)",
        "SCALE>PC 06 | acknowledged",
        "SCALE>PC 55 66 | 2 bytes outside any frame",
        "SCALE>PC C3 04 00 05 01 05 C3 02 | check-byte error: identify reply, status 05 rejected",
        "PC>SCALE 15 | NAK sent: the scale is asked to send the reply again",
        "SCALE>PC C3 04 00 05 | 4 bytes outside any frame",
        "LINK | time-out: the reply stopped before its end (attempt 3)",
        "LINK | identify failed after 3 attempts",
    };
    EXPECT_EQ(bare, expected);
    EXPECT_TRUE(trouble[0]);
    EXPECT_FALSE(trouble[1]);
    EXPECT_TRUE(trouble[2]);
}

TEST_F(LogLines, FloodsAndOverlongRepliesEndTheAttemptWithACount) {
    channel.afterRequest(Bytes(1 + 3000, 0x55));
    auto bare = run(cmd::kIdentify, 1);
    ASSERT_EQ(bare.size(), 6u);
    // The stray bytes are cut after 64 in the hex, not in the count.
    EXPECT_EQ(bare[2].substr(bare[2].find(" | ")), " | 2048 bytes outside any frame");
    EXPECT_NE(bare[2].find("55 ... |"), std::string::npos);
    EXPECT_LT(bare[2].size(), 64 * 3 + 60);
    EXPECT_EQ(bare[3], "LINK | 2048 bytes without a good reply: attempt given up (attempt 1)");
    EXPECT_EQ(bare[4], "LINK | purge discarded 952 bytes"); // the rest of the flood
    EXPECT_EQ(bare[5], "LINK | identify failed after 1 attempt");

    channel.purgeReceive();
    channel.afterRequest(scaleReply(Bytes(300, 0x01)));
    bare = run(cmd::kIdentify, 1);
    EXPECT_EQ(bare[3], "LINK | reply longer than 256 data bytes: attempt given up (attempt 1)");
}

TEST(LogDecoding, RequestsAreNamedWithTheirMainField) {
    auto describe = [](std::uint8_t command, const char* hex) { return describeRequest(command, hexBytes(hex)); };
    EXPECT_EQ(describe(cmd::kIdentify, ""), "identify");
    EXPECT_EQ(describe(cmd::kReadPrintLine, "03"), "read receipt line 3");
    // A quote, a backslash and bytes outside ASCII are escaped; the text ends at its zero.
    EXPECT_EQ(describe(cmd::kWritePrintLine, "07 48 22 5C 80 00 41"), "write receipt line 7 \"H\\x22\\x5C\\x80\"");
    EXPECT_EQ(describe(cmd::kWriteDepartmentName, "05 4D 49 4C 4B 00"), "write department name 5 \"MILK\"");
    EXPECT_EQ(describe(cmd::kWriteClock, "1A 0C 09 0A 0F 02"), "set clock 2026-12-09 10:15:02");
    EXPECT_EQ(describe(cmd::kReadReportBlock, "08 00 40"), "read report block at 0x0800, 64 bytes");
    EXPECT_EQ(describe(cmd::kPressKey, "1F"), "press key 0x1F");
    EXPECT_EQ(describe(cmd::kWriteLogo, "01 E0 FF FF"), "write logo at offset 480, 2 bytes");
    Bytes write(48, 0);
    write[1] = 0x2A; // PLU 42
    write[14] = 'X';
    EXPECT_EQ(describeRequest(cmd::kWritePlu, write), "write PLU 42 \"X\"");
    EXPECT_EQ(describe(cmd::kReadPlu, "07"), "read PLU"); // too short for its field: the name alone
    EXPECT_EQ(describe(0x7F, ""), "command 7F");
    // Every command of the catalogue has a name of its own.
    for (const std::uint8_t code : cmd::kAll) {
        EXPECT_EQ(commandName(code).find("command"), std::string::npos) << int(code);
    }
}

TEST(LogDecoding, AnAbsentPluAndAStuffedIdentificationReadBack) {
    LinkEvent reply{};
    reply.kind = K::ReplyReceived;
    reply.command = cmd::kReadPlu;
    const Bytes request = hexBytes("07 08 00 36");
    reply.request = request;
    Bytes data = {0x04, 0x00, 0xFF, 0xFF, 0xFF, 0xFF}; // a negative price: absent
    const Bytes absent = scaleReply(data);
    reply.bytes = std::span<const std::uint8_t>(absent).subspan(1); // without the 06
    EXPECT_EQ(describeLinkEvent(reply), "read PLU 1800 reply, status 04: absent");

    reply.command = cmd::kIdentify;
    reply.request = {};
    const Bytes identified = scaleReply(hexBytes("00 00 C3 41 00"));
    reply.bytes = std::span<const std::uint8_t>(identified).subspan(1);
    EXPECT_EQ(describeLinkEvent(reply), "identify reply, status 00: \"\\xC3A\"");
}

// Whole tables, read and written, keep their log well under 2 MB.
TEST(LogSize, AWholeTableLoadOrSaveWritesUnderTwoMegabytes) {
    const auto folder = std::filesystem::temp_directory_path() / ("link-log-size-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    for (const std::uint8_t command : {cmd::kReadPlu, cmd::kWritePlu}) {
        const std::string path = (folder / ("table-" + std::to_string(command) + ".log")).string();
        {
            RecordingUi ui;
            auto owned = std::make_unique<ScriptedChannel>();
            ScriptedChannel& channel = *owned;
            ScaleLink link(std::move(owned), ui);
            LogFile file;
            ASSERT_TRUE(file.open(path));
            LinkLog log;
            log.addSink([&file](const LogLine& line) { file.append(line.text); });
            link.addObserver(log);
            ASSERT_TRUE(link.openLink(PortId::numbered(1), 115200));
            Bytes record(2 + 54, 0x41); // every byte in use, the name of full width
            record[0] = record[1] = 0;
            record[2] = 0x00;
            record[13 + 30] = 0;
            for (int plu = 0; plu <= 1800; ++plu) {
                channel.afterRequest(scaleReply(command == cmd::kReadPlu ? record : Bytes{0, 0}));
                link.buffer().clear();
                link.buffer().putU16(static_cast<std::uint16_t>(plu));
                for (int i = 0; i < (command == cmd::kReadPlu ? 2 : 46); ++i) {
                    link.buffer().putU8(0x41);
                }
                ASSERT_TRUE(link.runCommand(command));
            }
            link.closeLink();
            EXPECT_TRUE(file.error().empty());
        }
        const auto size = std::filesystem::file_size(path);
        EXPECT_LT(size, 2'000'000u) << int(command);
        EXPECT_GT(size, 1801u * 4 * 40) << int(command); // four lines a PLU
    }
    std::filesystem::remove_all(folder);
}

TEST(LogFileWriting, ALineThatCannotBeWrittenIsReportedOnce) {
    LogFile file;
    EXPECT_FALSE(file.open("/nonexistent-folder/x.log"));
    EXPECT_FALSE(file.error().empty());
    if (std::filesystem::exists("/dev/full")) {
        ASSERT_TRUE(file.open("/dev/full"));
        file.append("a line");
        EXPECT_FALSE(file.isOpen());
        EXPECT_NE(file.error(), "");
        file.append("another"); // nothing more happens
    }
}

TEST(LinkEvents, PortsOpeningAndClosingAreToldToEveryObserver) {
    RecordingUi ui;
    auto owned = std::make_unique<ScriptedChannel>();
    ScriptedChannel& channel = *owned;
    ScaleLink link(std::move(owned), ui);
    struct Collect : LinkObserver {
        std::vector<std::string> meanings;
        void onLinkEvent(const LinkEvent& e) override { meanings.push_back(describeLinkEvent(e)); }
    } collect, second;
    link.addObserver(collect);
    link.addObserver(second);
    link.addObserver(collect); // once is enough
    ASSERT_TRUE(link.openLink(PortId::numbered(3), 9600));
    link.closeLink();
    link.closeLink(); // closing a closed port tells nothing
    link.removeObserver(second);
    channel.openResult = false;
    EXPECT_FALSE(link.openLink(PortId::named("/dev/ttyUSB9"), 19200));
    EXPECT_EQ(collect.meanings, (std::vector<std::string>{"opened COM3 at 9600 bit/s", "closed COM3",
                                                  "cannot open /dev/ttyUSB9 at 19200 bit/s: /dev/scripted: scripted failure"}));
    EXPECT_EQ(second.meanings, (std::vector<std::string>{"opened COM3 at 9600 bit/s", "closed COM3"}));
    link.removeObserver(collect);
    EXPECT_EQ(link.observer(), nullptr);
}

} // namespace
