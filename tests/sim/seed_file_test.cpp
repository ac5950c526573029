// Seed files: the demo seed loads, a dump gives the same scale back, bad lines are named.
#include "sim/demo_shop.h"
#include "sim/scale_records.h"
#include "sim/seed_file.h"

#include <gtest/gtest.h>
#include <sstream>

namespace {

std::string dump(const sim::ScaleMemory& memory) {
    std::ostringstream out;
    sim::writeSeed(out, memory);
    return out.str();
}

bool parse(const std::string& text, sim::ScaleMemory& memory, std::string* error = nullptr) {
    std::istringstream in(text);
    return sim::parseSeed(in, memory, error);
}

std::uint32_t reportField(const sim::ScaleMemory& m, std::size_t address, int width) {
    return sim::getBigEndian(m.reportMemory, address, width);
}

TEST(SeedFile, TheDemoSeedDescribesAShop) {
    sim::ScaleMemory m;
    std::string error;
    ASSERT_TRUE(sim::loadSeedFile(TALLIVOS_DEMO_SEED, m, &error)) << error;
    int present = 0;
    for (const auto& record : m.plu) {
        present += sim::isPresent(record) ? 1 : 0;
    }
    EXPECT_GE(present, 24);
    EXPECT_FALSE(sim::isPresent(m.plu[0]));
    EXPECT_FALSE(sim::isPresent(m.plu[1800]));
    EXPECT_EQ(sim::decodePlu(m.plu[1]).name, "Apples Braeburn");
    EXPECT_FALSE(m.clerkNames[0].empty());
    EXPECT_FALSE(m.printLines[0].empty());
    EXPECT_FALSE(m.departmentNames[1].empty());
    EXPECT_EQ(m.generalSettings[46], 0x80); // the currency byte

    // The grand total is the sum of the hours, and some hours sold.
    std::int64_t hours = 0;
    int busyHours = 0;
    for (std::size_t h = 0; h < 24; ++h) {
        hours += static_cast<std::int32_t>(reportField(m, sim::kGeneralReportAddress + 44 + 4 * h, 4));
        busyHours += reportField(m, sim::kGeneralReportAddress + 140 + 2 * h, 2) != 0 ? 1 : 0;
    }
    EXPECT_EQ(hours, static_cast<std::int32_t>(reportField(m, sim::kGeneralReportAddress + 4, 4)));
    EXPECT_GE(busyHours, 8);

    // The shop built into the programs is this very file.
    EXPECT_EQ(dump(sim::demoShopMemory()), dump(m));
}

TEST(SeedFile, ADumpGivesTheSameScaleBack) {
    sim::ScaleMemory m;
    ASSERT_TRUE(sim::loadSeedFile(TALLIVOS_DEMO_SEED, m, nullptr));
    // Bytes a seed must carry unchanged: every value in a name, a negative price, the logo.
    sim::PluFields odd;
    odd.price = -250;
    odd.code = 0x7FFFFFFF;
    odd.name = std::string("\"q\\\x80\xC3\x01", 7);
    odd.valid = -1;
    odd.count = -3;
    m.plu[1800] = sim::encodePlu(odd);
    m.clerkNames[3] = "Se\xF1ora";
    m.logoMemory[0] = 2;
    m.logoMemory[12000] = 0xFF;
    m.taxRates[7] = -5;
    m.status = 0x04;

    sim::ScaleMemory back;
    std::string error;
    ASSERT_TRUE(parse(dump(m), back, &error)) << error;
    EXPECT_EQ(back.plu, m.plu);
    EXPECT_EQ(back.reportMemory, m.reportMemory);
    EXPECT_EQ(back.logoMemory, m.logoMemory);
    EXPECT_EQ(back.generalSettings, m.generalSettings);
    EXPECT_EQ(back.clerkNames, m.clerkNames);
    EXPECT_EQ(back.taxRates, m.taxRates);
    EXPECT_EQ(back.displayLines, m.displayLines);
    EXPECT_EQ(dump(back), dump(m));
}

TEST(SeedFile, ABadLineIsNamedAndChangesNothing) {
    sim::ScaleMemory m;
    m.identification = "KEEP";
    const std::pair<const char*, const char*> cases[] = {
        {"id \"OK\"\nplu 1801 price=1.00\n", "line 2"},
        {"plu 3 price=1.999\n", "line 1"},
        {"plu 3 colour=red\n", "unknown field"},
        {"clerk 5 \"Nobody\"\n", "line 1"},
        {"dept 0 \"Seventeen letters\"\n", "longer than 16"},
        {"tax I 7.00\n", "A to H"},
        {"settings 00 11\n", "52"},
        {"report 0xFFFF 01 02\n", "past the end"},
        {"line 1 \"open\n", "not closed"},
        {"mystery 1\n", "unknown item"},
    };
    for (const auto& [text, why] : cases) {
        std::string error;
        EXPECT_FALSE(parse(text, m, &error)) << text;
        EXPECT_NE(error.find(why), std::string::npos) << text << " gave: " << error;
        EXPECT_EQ(m.identification, "KEEP");
    }
}

TEST(SeedFile, LoadingStartsFromABlankScale) {
    sim::ScaleMemory m;
    m.clerkNames[0] = "old";
    ASSERT_TRUE(parse("# nothing but a comment\n\nplu 5 price=1.5 name=\"Figs\"  # trailing comment\n", m));
    EXPECT_TRUE(m.clerkNames[0].empty());
    EXPECT_FALSE(sim::isPresent(m.plu[4]));
    EXPECT_EQ(sim::decodePlu(m.plu[5]).price, 150);
    EXPECT_EQ(sim::decodePlu(m.plu[5]).name, "Figs");
}

} // namespace
