// What the simulated scale does with each command, without a line in between.
#include "sim/scale_commands.h"
#include "sim/scale_display.h"
#include "sim/scale_records.h"
#include "sim/seed_file.h"

#include <gtest/gtest.h>

namespace {

using Bytes = std::vector<std::uint8_t>;
using sim::carryOut;
namespace code = sim::code;

class ScaleCommands : public ::testing::Test {
  protected:
    sim::ScaleMemory memory = sim::blankMemory();
};

TEST_F(ScaleCommands, WritingAPluKeepsTheRunningFigures) {
    sim::PluFields counted;
    counted.price = 100;
    counted.quantity = 4500;
    counted.total = 12345;
    counted.count = 17;
    memory.plu[7] = sim::encodePlu(counted);

    sim::PluFields sent;
    sent.price = 299;
    sent.code = -5;
    sent.department = 3;
    sent.tax = 2;
    sent.flags = 0x05;
    sent.name = "Pears";
    sent.valid = -2;
    const sim::PluBytes record = sim::encodePlu(sent);
    Bytes request{0x00, 0x07, 0x00};
    request.insert(request.end(), record.begin(), record.begin() + sim::kPluWrittenBytes);
    request.push_back(0x00);
    ASSERT_EQ(request.size(), 48u);
    EXPECT_TRUE(carryOut(memory, code::kWritePlu, request).empty());

    const sim::PluFields stored = sim::decodePlu(memory.plu[7]);
    EXPECT_EQ(stored.price, 299);
    EXPECT_EQ(stored.code, -5);
    EXPECT_EQ(stored.flags, 0x05);
    EXPECT_EQ(stored.name, "Pears");
    EXPECT_EQ(stored.valid, -2);
    EXPECT_EQ(stored.quantity, 4500);
    EXPECT_EQ(stored.total, 12345);
    EXPECT_EQ(stored.count, 17);

    // Read back: the 54-byte record as stored.
    const Bytes reply = carryOut(memory, code::kReadPlu, Bytes{0x00, 0x07, 0x00, 54});
    EXPECT_EQ(reply, Bytes(memory.plu[7].begin(), memory.plu[7].end()));
}

TEST_F(ScaleCommands, PluNumbersOutsideTheTableReadAbsentAndWriteNothing) {
    const Bytes reply = carryOut(memory, code::kReadPlu, Bytes{0x07, 0x09 /*1801*/, 0x00, 54});
    ASSERT_EQ(reply.size(), 54u);
    EXPECT_EQ(Bytes(reply.begin(), reply.begin() + 4), (Bytes{0xFF, 0xFF, 0xFF, 0xFF}));

    Bytes write(48, 0x00);
    write[0] = 0x07;
    write[1] = 0x09;
    const auto before = memory.plu;
    carryOut(memory, code::kWritePlu, write);
    carryOut(memory, code::kWritePlu, Bytes{0x00, 0x01, 0x00}); // too short to be a record
    EXPECT_EQ(memory.plu, before);
}

TEST_F(ScaleCommands, TextsAreFixedWidthBothWays) {
    // A clerk name of 20 bytes is stored as its first 16 and read back as 17 bytes.
    Bytes write{0x02};
    for (char c : std::string("ABCDEFGHIJKLMNOPQRST")) {
        write.push_back(static_cast<std::uint8_t>(c));
    }
    carryOut(memory, code::kWriteClerk, write);
    EXPECT_EQ(memory.clerkNames[2], "ABCDEFGHIJKLMNOP");
    const Bytes reply = carryOut(memory, code::kReadClerk, Bytes{0x02});
    ASSERT_EQ(reply.size(), 17u);
    EXPECT_EQ(reply.back(), 0x00);

    // Lines are numbered 1 to 8; 0 and 9 are no lines.
    carryOut(memory, code::kWriteLine, Bytes{0x08, 0x80, 'E', 0x00});
    carryOut(memory, code::kWriteLine, Bytes{0x09, 'X', 0x00});
    carryOut(memory, code::kWriteLine, Bytes{0x00, 'X', 0x00});
    EXPECT_EQ(memory.printLines[7], "\x80"
                                    "E");
    EXPECT_EQ(carryOut(memory, code::kReadLine, Bytes{0x09}), Bytes(33, 0x00));

    carryOut(memory, code::kWriteDepartment, Bytes{39, 'F', 'i', 's', 'h', 0x00});
    EXPECT_EQ(memory.departmentNames[39], "Fish");
    EXPECT_EQ(carryOut(memory, code::kReadDepartment, Bytes{40}).size(), 17u);

    memory.identification = "SCALE";
    const Bytes id = carryOut(memory, code::kIdentify, {});
    ASSERT_EQ(id.size(), 33u);
    EXPECT_EQ(std::string(id.begin(), id.begin() + 5), "SCALE");
}

TEST_F(ScaleCommands, NumbersRoundTripAsStored) {
    const Bytes taxes{0x02, 0xBC, 0xFF, 0x06, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x07, 0xCF};
    carryOut(memory, code::kWriteTaxes, taxes);
    EXPECT_EQ(memory.taxRates[0], 700);
    EXPECT_EQ(memory.taxRates[1], -250);
    EXPECT_EQ(memory.taxRates[7], 1999);
    EXPECT_EQ(carryOut(memory, code::kReadTaxes, Bytes{39}), taxes);

    const Bytes clock{26, 12, 8, 23, 59, 58};
    carryOut(memory, code::kWriteClock, clock);
    EXPECT_EQ(carryOut(memory, code::kReadClock, {}), clock);

    Bytes settings(52);
    for (std::size_t i = 0; i < settings.size(); ++i) {
        settings[i] = static_cast<std::uint8_t>(0xC0 + i);
    }
    carryOut(memory, code::kWriteSettings, settings);
    EXPECT_EQ(carryOut(memory, code::kReadSettings, {}), settings);

    Bytes system(24, 0x11);
    carryOut(memory, code::kWriteSystem, system);
    EXPECT_TRUE(memory.systemParametersWritten);
    EXPECT_EQ(Bytes(memory.systemParameters.begin(), memory.systemParameters.end()), system);
}

TEST_F(ScaleCommands, ReportBlocksAndLogoRowsAreBoundedByTheirMemories) {
    memory.reportMemory[0x0800] = 0x12;
    memory.reportMemory[0x08BF] = 0x34;
    const Bytes block = carryOut(memory, code::kReadReport, Bytes{0x08, 0x00, 192});
    ASSERT_EQ(block.size(), 192u);
    EXPECT_EQ(block.front(), 0x12);
    EXPECT_EQ(block.back(), 0x34);
    // A block running past the top of the address space reads zeros there.
    memory.reportMemory[0xFFFF] = 0x77;
    EXPECT_EQ(carryOut(memory, code::kReadReport, Bytes{0xFF, 0xFF, 3}), (Bytes{0x77, 0x00, 0x00}));

    carryOut(memory, code::kWriteLogo, Bytes{0x00, 0x00, 250});
    carryOut(memory, code::kWriteLogo, Bytes{0x00, 0x01, 0x80, 0x01});
    EXPECT_EQ(memory.logoMemory[0], 250);
    EXPECT_EQ(memory.logoMemory[1], 0x80);
    EXPECT_EQ(memory.logoMemory[2], 0x01);
    // The last row ends at the end of the memory; bytes beyond are dropped.
    const auto last = static_cast<std::uint16_t>(sim::kLogoMemorySize - 1);
    carryOut(memory, code::kWriteLogo,
             Bytes{static_cast<std::uint8_t>(last >> 8), static_cast<std::uint8_t>(last & 0xFF), 0xAA, 0xBB});
    EXPECT_EQ(memory.logoMemory.back(), 0xAA);
    EXPECT_EQ(memory.logoMemory.size(), static_cast<std::size_t>(sim::kLogoMemorySize));
}

TEST_F(ScaleCommands, KeysChangeWhatThePollShows) {
    memory.weightGrams = 1250;
    sim::redrawDisplay(memory);
    for (std::uint8_t key : {'1', '9', '9'}) {
        carryOut(memory, code::kPressKey, Bytes{key});
    }
    EXPECT_EQ(memory.keysPressed, (std::vector<std::uint8_t>{'1', '9', '9'}));

    const Bytes poll = carryOut(memory, code::kPollDisplay, {});
    // Reply bytes 2..30: spare, line 1, spare, line 2, spare, line 3, three marks, A, B.
    ASSERT_EQ(poll.size(), 29u);
    EXPECT_EQ(std::string(poll.begin() + 1, poll.begin() + 8), "   1250");   // 1.250 kg
    EXPECT_EQ(std::string(poll.begin() + 9, poll.begin() + 16), "    199");  // 1.99 a kg
    EXPECT_EQ(std::string(poll.begin() + 17, poll.begin() + 24), "    249"); // 2.49 to pay
    EXPECT_EQ(poll[24], 3);
    EXPECT_EQ(poll[25], 2);
    EXPECT_EQ(poll[27] & sim::kIndicatorZero, 0);

    carryOut(memory, code::kPressKey, Bytes{0x43}); // C clears the keyed price
    EXPECT_EQ(memory.displayLines[1], "    000");
    carryOut(memory, code::kPressKey, Bytes{0x73}); // shift lights SHIFT
    EXPECT_EQ(memory.indicatorsB & sim::kIndicatorShift, sim::kIndicatorShift);
    carryOut(memory, code::kPressKey, Bytes{0x5A}); // -0- zeroes the weight
    EXPECT_EQ(memory.displayLines[0], "   0000");
    EXPECT_NE(memory.indicatorsA & sim::kIndicatorZero, 0);
}

TEST_F(ScaleCommands, ThePluKeyRecallsAPrice) {
    sim::PluFields apples;
    apples.price = 349;
    memory.plu[12] = sim::encodePlu(apples);
    for (std::uint8_t key : {'1', '2', 'P'}) {
        carryOut(memory, code::kPressKey, Bytes{key});
    }
    EXPECT_EQ(memory.keyedPrice, 349);
    for (std::uint8_t key : {'1', '3', 'P'}) { // PLU 13 is absent
        carryOut(memory, code::kPressKey, Bytes{key});
    }
    EXPECT_EQ(memory.keyedPrice, 0);
}

TEST(ScaleDisplay, NumbersFitSevenCellsOrShowDashes) {
    EXPECT_EQ(sim::displayNumber(0, 3), "   0000");
    EXPECT_EQ(sim::displayNumber(5, 2), "    005");
    EXPECT_EQ(sim::displayNumber(-5, 2), "   -005");
    EXPECT_EQ(sim::displayNumber(9'999'999, 2), "9999999");
    EXPECT_EQ(sim::displayNumber(10'000'000, 2), "-------");
}

TEST_F(ScaleCommands, UnknownCommandsAnswerNothing) {
    EXPECT_TRUE(carryOut(memory, 0x99, Bytes{1, 2, 3}).empty());
    EXPECT_TRUE(carryOut(memory, code::kEndOfPluUpload, {}).empty());
    EXPECT_EQ(memory.endOfPluUploads, 1);
}

} // namespace
