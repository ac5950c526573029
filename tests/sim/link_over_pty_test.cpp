// Every command of the catalogue, end to end: the program's link on one side of
// a pseudo-terminal, the simulated scale on the other.
#include "link/commands.h"
#include "scale_over_pty.h"
#include "sim/scale_records.h"

#include <set>

namespace {

using Bytes = std::vector<std::uint8_t>;

TEST_F(ScaleOverPty, IdentifyShowsTheTextAndTheStatus) {
    scale.withMemory([](sim::ScaleMemory& m) {
        m.identification = "ABC";
        m.status = 0x04;
        return 0;
    });
    link.buffer().clear();
    ASSERT_TRUE(link.runCommand(cmd::kIdentify));
    EXPECT_EQ(link.buffer().getText(32), "ABC");
    EXPECT_EQ(link.buffer().cursor(), 35);
    ASSERT_FALSE(ui.statusTexts.empty());
    EXPECT_EQ(ui.statusTexts.back(), "STATUS:04");
    EXPECT_TRUE(ui.systemPageVisibility.back());
    EXPECT_TRUE(ui.errors.empty());

    const auto requests = scale.requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].command, cmd::kIdentify);
    EXPECT_TRUE(requests[0].payload.empty());
}

TEST_F(ScaleOverPty, APluWrittenIsReadBackWithTheScalesRunningFigures) {
    sim::PluFields counted;
    counted.price = 100;
    counted.quantity = 1234;
    counted.total = -7;
    counted.count = 9;
    scale.withMemory([&](sim::ScaleMemory& m) {
        m.plu[0xC3] = sim::encodePlu(counted); // a number that is stuffed on the wire
        return 0;
    });

    MessageBuffer& b = link.buffer();
    b.clear();
    b.putU16(0xC3);
    b.putU8(0);
    b.putU32(static_cast<std::uint32_t>(-199)); // negative: absent once stored
    b.putU32(0xC3C3C3C3);
    b.putU8(4);
    b.putU8(2);
    b.putU8(0x07);
    b.putText("Caf\xE9 \x80 \x11\x13\x03\r", 30);
    b.putU16(0xFFFE);
    b.putU8(0);
    ASSERT_TRUE(link.runCommand(cmd::kWritePlu));

    b.clear();
    b.putU16(0xC3);
    b.putU8(0);
    b.putU8(54);
    ASSERT_TRUE(link.runCommand(cmd::kReadPlu));
    EXPECT_EQ(static_cast<std::int32_t>(b.getU32()), -199);
    EXPECT_EQ(b.getU32(), 0xC3C3C3C3u);
    EXPECT_EQ(b.getU8(), 4);
    EXPECT_EQ(b.getU8(), 2);
    EXPECT_EQ(b.getU8(), 0x07);
    EXPECT_EQ(b.getText(30), "Caf\xE9 \x80 \x11\x13\x03\r");
    EXPECT_EQ(static_cast<std::int16_t>(b.getU16()), -2);
    EXPECT_EQ(static_cast<std::int32_t>(b.getU32()), 1234);
    EXPECT_EQ(static_cast<std::int32_t>(b.getU32()), -7);
    EXPECT_EQ(static_cast<std::int16_t>(b.getU16()), 9);

    // Beyond the table, and never written on a fresh scale: absent.
    for (std::uint16_t number : {1801, 1}) {
        b.clear();
        b.putU16(number);
        b.putU8(0);
        b.putU8(54);
        ASSERT_TRUE(link.runCommand(cmd::kReadPlu));
        EXPECT_EQ(static_cast<std::int32_t>(b.getU32()), -1) << number;
    }

    b.clear();
    ASSERT_TRUE(link.runCommand(cmd::kEndPluUpload));
    EXPECT_EQ(scale.snapshot().endOfPluUploads, 1);
}

TEST_F(ScaleOverPty, SettingsTextsAndRatesComeBackAsSent) {
    MessageBuffer& b = link.buffer();
    Bytes settings(52);
    for (std::size_t i = 0; i < settings.size(); ++i) {
        settings[i] = static_cast<std::uint8_t>(0xB0 + i); // passes 0xC3 and 0xC4
    }
    b.clear();
    for (std::uint8_t v : settings) {
        b.putU8(v);
    }
    ASSERT_TRUE(link.runCommand(cmd::kWriteGeneralSettings));
    b.clear();
    ASSERT_TRUE(link.runCommand(cmd::kReadGeneralSettings));
    Bytes back;
    for (std::size_t i = 0; i < settings.size(); ++i) {
        back.push_back(b.getU8());
    }
    EXPECT_EQ(back, settings);

    struct TextCommand {
        std::uint8_t write, read, index, width;
        std::string text;
    };
    const TextCommand texts[] = {
        {cmd::kWriteClerkName, cmd::kReadClerkName, 3, 16, "Lor Daviken "},
        {cmd::kWritePrintLine, cmd::kReadPrintLine, 8, 32, "  ~1 Foot \xC3 Line Message! \x80"},
        {cmd::kWriteDepartmentName, cmd::kReadDepartmentName, 39, 16, "Seventeen chars!"},
    };
    for (const auto& t : texts) {
        b.clear();
        b.putU8(t.index);
        b.putText(t.text, t.width);
        ASSERT_TRUE(link.runCommand(t.write));
        b.clear();
        b.putU8(t.index);
        ASSERT_TRUE(link.runCommand(t.read));
        EXPECT_EQ(b.getText(t.width), t.text.substr(0, t.width));
    }

    b.clear();
    for (std::int16_t rate : {700, -250, 1999, 0, 0, 0, 0, 1550}) {
        b.putU16(static_cast<std::uint16_t>(rate));
    }
    ASSERT_TRUE(link.runCommand(cmd::kWriteTaxRates));
    b.clear();
    b.putU8(39); // the program may leave the last department index in the request
    ASSERT_TRUE(link.runCommand(cmd::kReadTaxRates));
    EXPECT_EQ(static_cast<std::int16_t>(b.getU16()), 700);
    EXPECT_EQ(static_cast<std::int16_t>(b.getU16()), -250);
    EXPECT_EQ(static_cast<std::int16_t>(b.getU16()), 1999);

    b.clear();
    for (std::uint8_t v : {26, 12, 8, 17, 45, 30}) {
        b.putU8(v);
    }
    ASSERT_TRUE(link.runCommand(cmd::kWriteClock));
    b.clear();
    ASSERT_TRUE(link.runCommand(cmd::kReadClock));
    Bytes clock;
    for (int i = 0; i < 6; ++i) {
        clock.push_back(b.getU8());
    }
    EXPECT_EQ(clock, (Bytes{26, 12, 8, 17, 45, 30}));

    b.clear();
    for (std::uint8_t v : {0x08, 0x0F, 0x02, 0x20}) {
        b.putU8(v);
    }
    b.putU16(1);
    b.putU16(1000);
    b.putU8(0x02);
    b.putU32(97994);
    b.putU32(97994);
    b.putU8(10);
    b.putU32(6000);
    b.putU8(0);
    b.putU8(3);
    ASSERT_TRUE(link.runCommand(cmd::kWriteSystemParameters));
    const auto system = scale.snapshot().systemParameters;
    EXPECT_EQ(Bytes(system.begin(), system.end()),
              (Bytes{0x08, 0x0F, 0x02, 0x20, 0x00, 0x01, 0x03, 0xE8, 0x02, 0x00, 0x01, 0x7E,
                     0xCA, 0x00, 0x01, 0x7E, 0xCA, 0x0A, 0x00, 0x00, 0x17, 0x70, 0x00, 0x03}));
}

TEST_F(ScaleOverPty, ReportBlocksLogoRowsKeysAndThePoll) {
    scale.withMemory([](sim::ScaleMemory& m) {
        for (std::size_t i = 0; i < 192; ++i) {
            m.reportMemory[0x0800 + i] = static_cast<std::uint8_t>(0xC3 ^ i);
        }
        m.weightGrams = 500;
        return 0;
    });
    MessageBuffer& b = link.buffer();
    b.clear();
    b.putU16(0x0800);
    b.putU8(192);
    ASSERT_TRUE(link.runCommand(cmd::kReadReportBlock));
    for (std::size_t i = 0; i < 192; ++i) {
        ASSERT_EQ(b.getU8(), static_cast<std::uint8_t>(0xC3 ^ i)) << i;
    }

    b.clear();
    b.putU16(0);
    b.putU8(1);
    ASSERT_TRUE(link.runCommand(cmd::kWriteLogo));
    b.clear();
    b.putU16(1);
    for (int i = 0; i < 48; ++i) {
        b.putU8(i == 0 ? 0x80 : (i == 47 ? 0x01 : 0xC3));
    }
    ASSERT_TRUE(link.runCommand(cmd::kWriteLogo));
    const auto logo = scale.snapshot().logoMemory;
    EXPECT_EQ(logo[0], 1);
    EXPECT_EQ(logo[1], 0x80);
    EXPECT_EQ(logo[2], 0xC3);
    EXPECT_EQ(logo[48], 0x01);
    EXPECT_EQ(logo[49], 0x00);

    for (std::uint8_t key : {'2', '0', '0'}) {
        b.clear();
        b.putU8(key);
        ASSERT_TRUE(link.runCommand(cmd::kPressKey));
    }
    EXPECT_EQ(scale.snapshot().keysPressed, (Bytes{'2', '0', '0'}));

    // The poll goes with send() and is read by position.
    b.clear();
    link.send(cmd::kPollDisplay);
    ASSERT_FALSE(link.linkError());
    std::string line2, line3;
    for (std::size_t i = 11; i <= 17; ++i) {
        line2.push_back(static_cast<char>(b.responseByte(i)));
    }
    for (std::size_t i = 19; i <= 25; ++i) {
        line3.push_back(static_cast<char>(b.responseByte(i)));
    }
    EXPECT_EQ(line2, "    200"); // 2.00 a kg keyed in
    EXPECT_EQ(line3, "    100"); // 0.5 kg at 2.00 is 1.00
    EXPECT_EQ(b.responseByte(27), 2);
    EXPECT_EQ(b.responseByte(29) & 0x01, 0x01); // STAB
}

TEST_F(ScaleOverPty, EveryByteValueCrossesTheLineUnchanged) {
    // A cooked terminal would swallow 0x03, 0x11 and 0x13 and turn 0x0D into
    // 0x0A; both directions must carry all 256 values as they are.
    MessageBuffer& b = link.buffer();
    for (int first : {0, 128}) {
        b.clear();
        b.putU16(static_cast<std::uint16_t>(1 + first));
        for (int v = first; v < first + 128; ++v) {
            b.putU8(static_cast<std::uint8_t>(v));
        }
        ASSERT_TRUE(link.runCommand(cmd::kWriteLogo));
    }
    const auto logo = scale.snapshot().logoMemory;
    for (int v = 0; v < 256; ++v) {
        ASSERT_EQ(logo[static_cast<std::size_t>(1 + v)], v);
    }

    scale.withMemory([](sim::ScaleMemory& m) {
        for (int v = 0; v < 256; ++v) {
            m.reportMemory[0x1000 + static_cast<std::size_t>(v)] = static_cast<std::uint8_t>(255 - v);
        }
        return 0;
    });
    for (int first : {0, 128}) {
        b.clear();
        b.putU16(static_cast<std::uint16_t>(0x1000 + first));
        b.putU8(128);
        ASSERT_TRUE(link.runCommand(cmd::kReadReportBlock));
        for (int v = first; v < first + 128; ++v) {
            ASSERT_EQ(b.getU8(), 255 - v);
        }
    }
}

TEST_F(ScaleOverPty, EveryCatalogueCommandIsAnswered) {
    // A plausible request for each; the reply must be a good frame every time.
    for (std::uint8_t code : cmd::kAll) {
        MessageBuffer& b = link.buffer();
        b.clear();
        for (int i = 0; i < 4; ++i) {
            b.putU8(0x01);
        }
        if (code == cmd::kPollDisplay) {
            link.send(code);
            EXPECT_FALSE(link.linkError());
        } else {
            EXPECT_TRUE(link.runCommand(code)) << int{code};
        }
    }
    EXPECT_TRUE(ui.errors.empty());
    std::set<std::uint8_t> seen;
    for (const auto& r : scale.requests()) {
        seen.insert(r.command);
    }
    EXPECT_EQ(seen.size(), std::size(cmd::kAll));
    EXPECT_EQ(link.statistics().attempts, std::size(cmd::kAll));
}

TEST_F(ScaleOverPty, AnUnknownCommandGetsAnEmptyReply) {
    link.buffer().clear();
    ASSERT_TRUE(link.runCommand(0x7E));
    EXPECT_EQ(link.buffer().responseLength(), 2u); // status and spare byte only
}

TEST_F(ScaleOverPty, ThePortCanBeClosedAndOpenedAgain) {
    link.closeLink();
    ASSERT_TRUE(link.openLink(PortId::named(scale.device()), 9600));
    link.buffer().clear();
    EXPECT_TRUE(link.runCommand(cmd::kIdentify));
}

TEST(ScaleOverPtyOpen, ASecondOpenOfAHeldPortFails) {
    sim::SimulatedScale scale;
    ASSERT_TRUE(scale.start());
    RecordingUi ui;
    ScaleLink first(std::make_unique<PosixSerialChannel>(), ui);
    ScaleLink second(std::make_unique<PosixSerialChannel>(), ui);
    ASSERT_TRUE(first.openLink(PortId::named(scale.device()), 115200));
    EXPECT_FALSE(second.openLink(PortId::named(scale.device()), 115200));
    EXPECT_FALSE(second.isOpen());
    first.buffer().clear();
    EXPECT_TRUE(first.runCommand(cmd::kIdentify)); // the holder still works
}

TEST(ScaleOverPtyOpen, AChannelNeverOpenedFailsAtOnce) {
    RecordingUi ui;
    ScaleLink link(std::make_unique<PosixSerialChannel>(), ui);
    const auto start = std::chrono::steady_clock::now();
    link.buffer().clear();
    EXPECT_FALSE(link.runCommand(cmd::kIdentify));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(200));
    ASSERT_EQ(ui.errors.size(), 1u);
    EXPECT_EQ(ui.errors[0].text, "Comunication Error!");
    EXPECT_EQ(ui.errors[0].title, "Error!");
}

} // namespace

namespace {

TEST_F(ScaleOverPty, APacedScaleTakesAtLeastTheWireTime) {
    scale.setPacing(9600);
    const auto sentBefore = scale.bytesSent();
    const auto start = std::chrono::steady_clock::now();
    link.buffer().clear();
    ASSERT_TRUE(link.runCommand(cmd::kIdentify));
    const auto took = std::chrono::steady_clock::now() - start;
    // 0x06 and the 41-byte reply frame (status, spare byte, 33 text bytes, check).
    EXPECT_EQ(scale.bytesSent() - sentBefore, 42u);
    // The 7-byte request and those 42 bytes, ten bit times each.
    EXPECT_GE(took, std::chrono::microseconds((7 + 42) * 10'000'000LL / 9600));
}

} // namespace
