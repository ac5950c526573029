// The grid beside what the scale holds, without a line: which texts count as
// the same bytes, matching by number, the summary, and what the knowledge of
// the scale keeps and drops.

#include "link/commands.h"
#include "plu/plu_comparison.h"
#include "plu/plu_text_forms.h"
#include "plu/scale_knowledge_watch.h"
#include "plu/take_scale_values.h"
#include "plu_test_support.h"

#include <gtest/gtest.h>
#include <random>

namespace {

// What makeRow("7", "5.00") writes, with running figures of its own.
PluRecord heldRecord() {
    PluRecord record;
    record.price = 500;
    record.code = 1234;
    record.department = 3;
    record.taxClass = 2;
    record.flags = kFlagNw | kFlagBar;
    record.name = "ITEM";
    record.validDate = 10;
    record.quantity = 1500;
    record.total = 7500;
    record.count = 3;
    return record;
}

PluColumnSet columnsOf(const PluRow& row, const PluRecord* held, char separator = '.') {
    return compareRowWithScale(row, 7, held, separator).columns;
}

TEST(PluCellRules, TextsTheWriteTurnsIntoTheSameBytesAreEqual) {
    const PluRecord held = heldRecord();
    ASSERT_EQ(columnsOf(makeRow("7", "5.00"), &held), 0);
    struct Case {
        int column;
        const char* text;
        PluColumnSet differs;
    };
    const Case cases[] = {
        {PluColumn::Price, "5", 0},
        {PluColumn::Price, "5.009", 0}, // hundredths cut toward zero
        {PluColumn::Price, "5.01", columnBit(PluColumn::Price)},
        {PluColumn::Price, "5,00", columnBit(PluColumn::Price)}, // not a number with '.'
        {PluColumn::Code, "+01234", 0},
        {PluColumn::Code, "12.5", columnBit(PluColumn::Code)}, // typing lets it in, a write does not
        {PluColumn::Dep, "259", 0},                            // low 8 bits: 3
        {PluColumn::Tax, "3", columnBit(PluColumn::Tax)},
        {PluColumn::Nw, "0", columnBit(PluColumn::Nw)},
        {PluColumn::Fix, "1", columnBit(PluColumn::Fix)},
        {PluColumn::Bar, "0", columnBit(PluColumn::Bar)},
        {PluColumn::Name, "ITEMS", columnBit(PluColumn::Name)},
        {PluColumn::Name, "item", columnBit(PluColumn::Name)},
        {PluColumn::ValidDate, "65546", 0}, // low 16 bits: 10
        {PluColumn::ValidDate, "", columnBit(PluColumn::ValidDate)},
        {PluColumn::Quantity, "999", 0}, // running figures are never compared
        {PluColumn::Total, "", 0},
        {PluColumn::Count, "x", 0},
    };
    for (const Case& c : cases) {
        PluRow row = makeRow("7", "5.00");
        row[static_cast<std::size_t>(c.column)] = c.text;
        EXPECT_EQ(columnsOf(row, &held), c.differs) << "column " << c.column << " text '" << c.text << "'";
    }
    // Several failing cells are all marked, and the others still compared.
    PluRow broken = makeRow("7", "x");
    broken[PluColumn::Code] = "1.5";
    broken[PluColumn::Name] = "OTHER";
    EXPECT_EQ(columnsOf(broken, &held),
              columnBit(PluColumn::Price) | columnBit(PluColumn::Code) | columnBit(PluColumn::Name));
    EXPECT_EQ(columnsOf(makeRow("7", "5,00"), &held, ','), 0);

    // Flag bits without a column, and a name past 30 bytes, are not compared.
    PluRecord wide = held;
    wide.flags |= 0xF8;
    wide.name = std::string(30, 'N');
    EXPECT_EQ(columnsOf(makeRow("7", "5", std::string(35, 'N')), &wide), 0);

    // A negative price leaves the PLU absent: the same as a PLU the scale lacks.
    EXPECT_EQ(compareRowWithScale(makeRow("7", "-1.00"), 7, nullptr, '.').verdict, RowAgainstScale::Same);
    EXPECT_EQ(compareRowWithScale(makeRow("7", "5"), 7, nullptr, '.').verdict, RowAgainstScale::OnlyInGrid);
    EXPECT_EQ(columnsOf(makeRow("7", "-5"), &held), columnBit(PluColumn::Price));
}

// Whatever the scale sends, the rows a load makes of it compare equal: were
// any field's round trip lossy, a fresh load would already show differences
// and SEND CHANGES would rewrite the whole table.
TEST(PluCellRules, ATableJustLoadedComparesEqual) {
    std::mt19937 random(13);
    const auto bits = [&](int width) { return static_cast<std::uint32_t>(random()) >> (32 - width); };
    for (const char separator : {'.', ','}) {
        ScaleKnowledge scale;
        PluGrid grid;
        int row = 1;
        for (int plu = 0; plu < kPluNumbers; ++plu) {
            PluRecord record;
            record.price = static_cast<std::int32_t>(bits(32));
            record.code = static_cast<std::int32_t>(bits(32));
            record.department = static_cast<std::uint8_t>(bits(8));
            record.taxClass = static_cast<std::uint8_t>(bits(8));
            record.flags = static_cast<std::uint8_t>(bits(8));
            for (std::uint32_t n = bits(5); n > 0 && record.name.size() < kPluNameWidth; --n) {
                record.name += static_cast<char>(1 + bits(8) % 255); // any byte but zero
            }
            record.validDate = static_cast<std::int16_t>(bits(16));
            record.quantity = static_cast<std::int32_t>(bits(32));
            scale.learnRead(static_cast<std::uint16_t>(plu), record);
            if (scale.state(plu) == ScaleKnowledge::State::Present) {
                grid.row(row++) = pluRowFromRecord(record, static_cast<std::uint16_t>(plu), separator);
            }
        }
        const PluComparison comparison = comparePluTables(grid, scale, separator);
        EXPECT_TRUE(comparison.agrees()) << comparison.summary();
        EXPECT_EQ(comparison.comparedPlus, kPluNumbers);
    }
}

TEST(PluComparison, MatchesRowsByNumberAndCountsForTheSummary) {
    ScaleKnowledge scale;
    for (std::uint16_t plu = 0; plu <= 10; ++plu) {
        PluRecord record = heldRecord();
        record.price = plu >= 9 ? -1 : 100 * plu;
        scale.learnRead(plu, record);
    }
    PluGrid grid;
    grid.row(1) = makeRow("5", "5.00");        // same
    grid.row(2) = makeRow("3", "3.50");        // price differs
    grid.row(3) = makeRow("007", "7", "PEAR"); // name differs
    grid.row(4) = makeRow("9", "1");           // the scale lacks PLU 9
    grid.row(5) = makeRow("1500", "1");        // not read: left out
    grid.row(6) = makeRow("abc", "1");         // no PLU number
    grid.row(7) = makeRow("4", "4");           // PLU 4 twice
    grid.row(8) = makeRow("+4", "4");
    grid.row(9) = makeRow("3", "");     // not in use
    grid.row(10) = makeRow("10", "-2"); // absent on both sides

    const PluComparison comparison = comparePluTables(grid, scale, '.');
    ASSERT_EQ(comparison.differing.size(), 2u);
    EXPECT_EQ(comparison.differing[0].plu, 3);
    EXPECT_EQ(comparison.differing[0].row, 2);
    EXPECT_EQ(comparison.differing[0].columns, columnBit(PluColumn::Price));
    EXPECT_EQ(comparison.differing[0].scaleRow[PluColumn::Price], "3.00"); // for the tooltip
    EXPECT_EQ(comparison.differing[0].scaleRow[PluColumn::Count], "3");
    EXPECT_EQ(comparison.differing[1].plu, 7);
    EXPECT_TRUE(comparison.differing[1].differs(PluColumn::Name));
    EXPECT_FALSE(comparison.differing[1].differs(PluColumn::Price));
    EXPECT_EQ(comparison.differing[1].scaleRow[PluColumn::Name], "ITEM");
    EXPECT_EQ(comparison.gridOnlyRows, (std::vector<int>{4}));
    std::vector<int> scaleOnly;
    for (const ScaleOnlyPlu& plu : comparison.scaleOnly) {
        scaleOnly.push_back(plu.plu);
    }
    EXPECT_EQ(scaleOnly, (std::vector<int>{0, 1, 2, 6, 8})); // PLU 4 has rows, if two
    EXPECT_EQ(comparison.scaleOnly[0].scaleRow[PluColumn::Num], "0");
    EXPECT_EQ(comparison.unmatchedRows, (std::vector<int>{6, 7, 8}));
    EXPECT_EQ(comparison.comparedPlus, 11);
    EXPECT_EQ(
        comparison.summary(),
        "2 PLUs differ, 1 only in the grid, 5 only on the scale, 3 rows without a PLU number of their own");

    PluComparison one;
    one.comparedPlus = 1;
    one.differing.resize(1);
    EXPECT_EQ(one.summary(), "1 PLU differs, 0 only in the grid, 0 only on the scale");
    one.differing.clear();
    EXPECT_EQ(one.summary(), "The grid and the scale hold the same PLUs.");
}

TEST(GridPluIndex, NamesTheRowsWithoutANumberOfTheirOwn) {
    PluGrid grid;
    const char* numbers[] = {"", "1801", "-1", "5.0", "7", "x", "007"};
    for (int i = 0; i < 7; ++i) {
        grid.row(i + 1) = makeRow(numbers[i], "1");
    }
    grid.row(8) = makeRow("5", ""); // not in use: never judged
    grid.row(9) = makeRow("1800", "1");
    const GridPluIndex index(grid);
    EXPECT_EQ(index.rowOf(7), 0);
    EXPECT_TRUE(index.anyRowHolds(7));
    EXPECT_EQ(index.rowOf(1800), 9);
    EXPECT_EQ(index.pluOf(9), std::optional<std::uint16_t>(1800));
    EXPECT_EQ(index.pluOf(5), std::nullopt);
    EXPECT_EQ(unmatchedRowsText(index), "Rows 1, 2, 3, 4 and 6 have no PLU number from 0 to 1800. "
                                        "Rows 5 and 7 have PLU numbers that other rows have too.");
    PluGrid single;
    single.row(3) = makeRow("x", "1");
    EXPECT_EQ(unmatchedRowsText(GridPluIndex(single)), "Row 3 has no PLU number from 0 to 1800.");
    EXPECT_EQ(rowListText({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}), "rows 1, 2, 3, 4, 5, 6, 7, 8 and 4 more");
    EXPECT_EQ(rowListText({1, 2, 3, 4, 5, 6, 7, 8, 9}), "rows 1, 2, 3, 4, 5, 6, 7, 8 and 9");
}

TEST(ScaleKnowledge, KnowsExactlyWhatWasExchangedAndForgetsAllAtOnce) {
    ScaleKnowledge knowledge;
    PluRecord record = heldRecord();
    knowledge.learnRead(7, record);
    record.price = -1;
    knowledge.learnRead(5, record);
    knowledge.learnRead(0, record); // PLU 0 is held whatever its price
    EXPECT_EQ(knowledge.state(5), ScaleKnowledge::State::Absent);
    EXPECT_EQ(knowledge.state(0), ScaleKnowledge::State::Present);
    EXPECT_EQ(knowledge.state(6), ScaleKnowledge::State::Unknown);
    EXPECT_EQ(knowledge.knownCount(), 3);

    // A write keeps the running figures the scale counted, and the name as read back.
    PluRecord written = heldRecord();
    written.price = 999;
    written.name = std::string("AB\0CD", 5);
    written.quantity = written.total = 0;
    knowledge.learnWritten(7, written);
    ASSERT_NE(knowledge.record(7), nullptr);
    EXPECT_EQ(knowledge.record(7)->price, 999);
    EXPECT_EQ(knowledge.record(7)->name, "AB");
    EXPECT_EQ(knowledge.record(7)->quantity, 1500);
    EXPECT_EQ(knowledge.record(7)->total, 7500);
    written.price = -3;
    knowledge.learnWritten(8, written); // a write that removes the PLU
    knowledge.learnWritten(4464, written);
    EXPECT_EQ(knowledge.state(8), ScaleKnowledge::State::Absent);
    EXPECT_EQ(knowledge.state(4464), ScaleKnowledge::State::Unknown);
    EXPECT_EQ(knowledge.knownCount(), 4);

    ScaleKnowledge snapshot;
    snapshot.learnRead(8, heldRecord());
    snapshot.learnRead(9, heldRecord());
    knowledge.learnFrom(snapshot);
    EXPECT_EQ(knowledge.state(8), ScaleKnowledge::State::Present);
    EXPECT_EQ(knowledge.knownCount(), 5);

    // One compare's part follows the whole: a later write shows, and only its PLUs stay known.
    knowledge.learnWritten(9, written);
    snapshot.learnRead(1500, heldRecord());
    snapshot.followFor(knowledge);
    EXPECT_EQ(snapshot.state(9), ScaleKnowledge::State::Absent);
    EXPECT_EQ(snapshot.state(1500), ScaleKnowledge::State::Unknown);
    EXPECT_EQ(snapshot.knownCount(), 2);

    knowledge.forget();
    EXPECT_TRUE(knowledge.empty());
    for (int plu : {0, 5, 7, 8, 9}) {
        EXPECT_FALSE(knowledge.knows(plu));
    }
}

TEST(ScaleKnowledgeWatch, DropsTheKnowledgeAtAFailedExchangeAndAtAWriteFromElsewhere) {
    ScriptedLink scripted;
    ScaleKnowledge knowledge;
    bool own = false;
    std::vector<KnowledgeDropped> drops;
    ScaleKnowledgeWatch watch(knowledge, [&own] { return own; },
                              [&drops](KnowledgeDropped why) { drops.push_back(why); });
    scripted.link->addObserver(watch);
    const auto exchange = [&](std::uint8_t command) {
        scripted.link->buffer().clear();
        return scripted.link->runCommand(command);
    };

    scripted.silence(); // a settings page's read, say, that the scale never answers
    EXPECT_FALSE(exchange(cmd::kReadGeneralSettings));
    EXPECT_TRUE(drops.empty()); // nothing was known
    knowledge.learnRead(7, heldRecord());
    scripted.silence();
    EXPECT_FALSE(exchange(cmd::kReadGeneralSettings));
    EXPECT_TRUE(knowledge.empty());

    knowledge.learnRead(7, heldRecord());
    own = true; // the owner's own write is learnt, not dropped
    scripted.answer({});
    EXPECT_TRUE(exchange(cmd::kWritePlu));
    scripted.answer({});
    EXPECT_TRUE(exchange(cmd::kReadClock));
    EXPECT_TRUE(knowledge.knows(7));
    own = false; // a restore from a backup
    scripted.answer({});
    EXPECT_TRUE(exchange(cmd::kWritePlu));
    EXPECT_TRUE(knowledge.empty());
    EXPECT_EQ(drops, (std::vector<KnowledgeDropped>{KnowledgeDropped::ExchangeFailed,
                                                    KnowledgeDropped::WrittenElsewhere}));
    scripted.link->removeObserver(watch);
}

TEST(TakeScaleValues, DifferingRowsTakeTheScalesRowAndScaleOnlyPlusFillEmptyRows) {
    ScaleKnowledge scale;
    for (std::uint16_t plu : {3, 5, 20, 21, 22}) {
        scale.learnRead(plu, heldRecord());
    }
    PluRecord absent;
    absent.price = -1;
    scale.learnRead(4, absent);
    PluGrid grid;
    grid.row(1) = makeRow("3", "9.99"); // differs
    grid.row(2) = makeRow("4", "1");    // only in the grid
    grid.row(4) = makeRow("5", "6");    // differs
    grid.row(5)[PluColumn::Name] = "HALF TYPED";
    grid.row(6) = makeRow("1", "1"); // the last row holding anything
    const PluComparison comparison = comparePluTables(grid, scale, '.');
    ASSERT_EQ(comparison.scaleOnly.size(), 3u);

    // Below the last row in use first, then the gaps above it; a half-typed row is not empty.
    TakeScaleValuesPlan all = planTakeAllScaleValues(grid, comparison);
    std::vector<int> rows;
    for (const PluRowEdit& edit : all.edits) {
        rows.push_back(edit.row);
    }
    EXPECT_EQ(rows, (std::vector<int>{1, 4, 7, 8, 9}));
    EXPECT_EQ(all.edits[0].after, comparison.differing[0].scaleRow);
    EXPECT_EQ(all.edits[0].after[PluColumn::Price], "5.00");
    EXPECT_EQ(all.edits[0].after[PluColumn::Count], "3"); // every cell as a load shows it
    EXPECT_EQ(takeScaleValuesReport(all),
              "Rows 1 and 4 took the scale's values. PLUs 20, 21 and 22, only on the scale, went into the "
              "empty rows 7, 8 and 9. 1 row only in the grid was left as it is: the scale does not hold its "
              "PLU.");

    // A grid with no room below: the gaps, then nothing.
    grid.row(kPluDataRows) = makeRow("1000", "1");
    const PluComparison full = comparePluTables(grid, scale, '.');
    const TakeScaleValuesPlan some = planTakeScaleValues(grid, full, {4}, {21, 22});
    EXPECT_EQ(some.placed, (std::vector<std::pair<std::uint16_t, int>>{{21, 3}, {22, 7}}));
    EXPECT_TRUE(some.noRoom.empty());
    EXPECT_EQ(some.rowsTaken, (std::vector<int>{4}));
    for (int row = 6; row < kPluDataRows; ++row) {
        grid.row(row)[PluColumn::Name] = "x";
    }
    const TakeScaleValuesPlan crowded = planTakeScaleValues(grid, comparePluTables(grid, scale, '.'), {}, {20, 21, 22});
    EXPECT_EQ(crowded.noRoom, (std::vector<std::uint16_t>{21, 22}));
    EXPECT_EQ(takeScaleValuesReport(crowded),
              "PLU 20, only on the scale, went into the empty row 3. No empty row was left for PLUs 21 and 22.");
}

} // namespace
