// The plain side of the PLU workbench: exact price arithmetic and its
// rounding, operations on many rows, the spreadsheet clipboard's all-or-nothing
// paste, finding rows, and the marks on cells that will not reach the scale.

#include "plu/cell_block.h"
#include "plu/plu_bulk_edit.h"
#include "plu/plu_find.h"
#include "plu/transfer_marks.h"
#include "plu_test_support.h"

#include <gtest/gtest.h>

namespace {

PriceChange change(PriceChangeKind kind, const char* by, int step) {
    return {kind, *parseChangeNumber(by, '.'), step};
}

struct PriceCase {
    const char* price;
    PriceChangeKind kind;
    const char* by;
    int step;
    std::int64_t expected; // hundredths
};

constexpr auto kPercent = PriceChangeKind::Percent;
constexpr auto kAmount = PriceChangeKind::Amount;

TEST(PriceChangeArithmetic, ExactDecimalsRoundedHalfAwayFromZero) {
    const PriceCase cases[] = {
        {"2.50", kPercent, "5", 5, 265},      // 2.625 is a half: up, where a double gives 2.60
        {"2.49", kPercent, "5", 5, 260},      // 2.6145
        {"2.49", kPercent, "5", 1, 261},      // 2.6145
        {"1.00", kPercent, "12.5", 1, 113},   // 1.125
        {"-1.00", kPercent, "12.5", 1, -113}, // away from zero below zero too
        {"1.10", kPercent, "-12.5", 10, 100}, // 0.9625
        {"3", kPercent, "-100", 1, 0},        {"9.99", kAmount, "0.005", 1, 1000}, // 9.995
        {"9.99", kAmount, "-0.005", 1, 999},                                       // 9.985
        {"0.1", kAmount, "0.2", 1, 30},       {"1.999", kPercent, "0", 1, 200}, // a price with three decimals
        {"2.49", kPercent, "0", 100, 200},    {"2.50", kPercent, "0", 100, 300},
        {"5e2", kAmount, "1", 1, 50100},
    };
    for (const PriceCase& c : cases) {
        const auto result = changedPriceHundredths(c.price, change(c.kind, c.by, c.step), '.');
        ASSERT_TRUE(result) << c.price << " by " << c.by;
        EXPECT_EQ(*result, c.expected) << c.price << " by " << c.by << " step " << c.step;
    }
    // Under a comma the price's separator is the locale's; the change may use either.
    EXPECT_EQ(changedPriceHundredths("2,50", {kPercent, *parseChangeNumber("2,5", ','), 1}, ','), 256);
    EXPECT_EQ(changedPriceHundredths("2,50", {kPercent, *parseChangeNumber("2.5", ','), 1}, ','), 256);
    EXPECT_FALSE(parseChangeNumber("2,5", '.'));
    // Too long to compute exactly in 64 bits: refused, not approximated.
    EXPECT_FALSE(changedPriceHundredths("99999999999999999", change(kPercent, "1000", 1), '.'));
    EXPECT_FALSE(changedPriceHundredths("abc", change(kPercent, "1", 1), '.'));
    EXPECT_TRUE(priceEquals("5", 500, '.'));
    EXPECT_FALSE(priceEquals("5.001", 500, '.'));
}

PluGrid sampleGrid() {
    PluGrid grid;
    grid.row(1) = makeRow("1", "2.49");
    grid.row(2) = makeRow("2", "9999.00");
    grid.row(4) = makeRow("4", "-1.00");
    grid.row(5) = makeRow("5", "5");
    return grid;
}

TEST(BulkEdit, PriceChangeLeavesRefusedRowsAndReportsThemOnce) {
    const PluGrid grid = sampleGrid();
    const BulkEditPlan plan = planPriceChange(grid, {1, 2, 3, 4, 5}, change(kPercent, "5", 5), '.');
    ASSERT_EQ(plan.edits.size(), 2u);
    EXPECT_EQ(plan.edits[0].row, 1);
    EXPECT_EQ(plan.edits[0].after[PluColumn::Price], "2.60");
    EXPECT_EQ(plan.edits[0].after[PluColumn::Name], "ITEM"); // the rest of the row stays
    EXPECT_EQ(plan.edits[1].after[PluColumn::Price], "5.25");
    EXPECT_EQ(plan.notInUse, 1);
    ASSERT_EQ(plan.refused.size(), 2u);
    EXPECT_EQ(plan.refused[0].row, 2);
    const std::string report = bulkEditReport(plan, grid);
    EXPECT_NE(report.find("2 rows changed."), std::string::npos) << report;
    EXPECT_NE(report.find("row 2 (PLU 2): the new price 10498.95 is above 9999.99"), std::string::npos)
        << report;
    EXPECT_NE(report.find("row 4 (PLU 4): the new price -1.05 is below zero"), std::string::npos) << report;
    EXPECT_EQ(bulkEditPreview(plan), "2 rows change, 2 rows are refused.");
    // No change in value is no change: "5" stays "5", not "5.00".
    EXPECT_EQ(planPriceChange(grid, {5}, change(kPercent, "0", 1), '.').unchanged, 1);
}

TEST(BulkEdit, ColumnValueIsCheckedLikeTypingAndClearEmptiesWholeRows) {
    PluGrid grid = sampleGrid();
    EXPECT_TRUE(planColumnValue(grid, {1, 2}, PluColumn::Dep, "41", '.').edits.empty());
    EXPECT_EQ(planColumnValue(grid, {1, 2}, PluColumn::Dep, "41", '.').refused.size(), 2u);
    const BulkEditPlan dep = planColumnValue(grid, {1, 2, 3}, PluColumn::Dep, "3", '.');
    EXPECT_EQ(dep.unchanged, 2); // makeRow's department is 3
    EXPECT_EQ(dep.notInUse, 1);
    const BulkEditPlan valid = planColumnValue(grid, {1}, PluColumn::ValidDate, "12.5", ',');
    ASSERT_EQ(valid.edits.size(), 1u);
    EXPECT_EQ(valid.edits[0].after[PluColumn::ValidDate], "12,5");

    grid.setCell(3, PluColumn::Count, "7"); // a row not in use still holds texts
    const BulkEditPlan clear = planClearRows(grid, {3, 6});
    ASSERT_EQ(clear.edits.size(), 1u);
    EXPECT_EQ(clear.edits[0].after, PluRow{});
    EXPECT_EQ(clear.unchanged, 1);

    // A long list of refusals is cut, with the rest counted.
    BulkEditPlan many;
    for (int row = 1; row <= 20; ++row) {
        many.refused.push_back({row, "no"});
    }
    EXPECT_NE(bulkEditReport(many, grid).find("... and 8 more"), std::string::npos);
}

TEST(CellBlockPaste, WholeBlockOrNothing) {
    PluGrid grid = sampleGrid();
    const std::vector<int> rows = {2, 4, 5};
    // Two rows from PRICE on: a point pastes under a comma and is kept as the
    // locale's; UTF-8 names become the grid's bytes.
    const PastePlan ok = planPaste(grid, rows, PluColumn::Price, "1.5\t77\r\n2,25\t78\r\n", ',');
    ASSERT_TRUE(ok.accepted()) << pasteRefusalMessage(ok);
    ASSERT_EQ(ok.edits.size(), 2u);
    EXPECT_EQ(ok.edits[0].row, 2);
    EXPECT_EQ(ok.edits[0].after[PluColumn::Price], "1,5");
    EXPECT_EQ(ok.edits[1].row, 4);
    EXPECT_EQ(ok.edits[1].after[PluColumn::Code], "78");
    const PastePlan name =
        planPaste(grid, rows, PluColumn::Name, "\"Caf\xC3\xA9\t\xE2\x82\xAC\r\n2\"\"\"", '.');
    ASSERT_TRUE(name.accepted());
    EXPECT_EQ(name.edits[0].after[PluColumn::Name], "Caf\xE9\t\x80\r\n2\"");

    // One refused cell refuses the block; every refused cell is named.
    const PastePlan refused =
        planPaste(grid, rows, PluColumn::Price, "1.00\t1\r\n10000\t2\r\n3.00\t\xCE\xA9\r\n", '.');
    EXPECT_TRUE(refused.edits.empty());
    ASSERT_EQ(refused.refused.size(), 2u);
    const std::string message = pasteRefusalMessage(refused);
    EXPECT_NE(message.find("2 cells were refused"), std::string::npos) << message;
    EXPECT_NE(message.find("row 4, PRICE: '10000'"), std::string::npos) << message;
    EXPECT_NE(message.find("row 5, CODE: '?'"), std::string::npos) << message;
    // The scale's running figures refuse any text, an empty one too.
    const PastePlan total = planPaste(grid, rows, PluColumn::Total, "\r\n", '.');
    EXPECT_NE(pasteRefusalMessage(total).find("row 2, TOTAL: '' (kept by the scale"), std::string::npos);
    // Too wide, too tall, empty.
    EXPECT_NE(planPaste(grid, rows, PluColumn::Count, "1\t2", '.').problem.find("2 columns wide"),
              std::string::npos);
    EXPECT_NE(planPaste(grid, rows, 0, "1\n2\n3\n4", '.').problem.find("4 rows"), std::string::npos);
    EXPECT_FALSE(planPaste(grid, rows, 0, "", '.').accepted());
}

TEST(CellBlockPaste, CopiedCellsPasteBackAsTheyWere) {
    PluGrid grid;
    grid.row(1) = makeRow("1", "1.00", "TAB\tIN");
    grid.row(2) = makeRow("2", "2.00", "\"QUOTED\" \r\n LINES");
    const std::string copied = formatCellBlock(grid, {1, 2}, {PluColumn::Name, PluColumn::ValidDate});
    EXPECT_EQ(copied, "\"TAB\tIN\"\t10\r\n\"\"\"QUOTED\"\" \r\n LINES\"\t10\r\n");
    const PastePlan back = planPaste(PluGrid{}, {1, 2}, PluColumn::Name, copied, '.');
    ASSERT_TRUE(back.accepted()) << pasteRefusalMessage(back);
    EXPECT_EQ(back.edits[0].after[PluColumn::Name], "TAB\tIN");
    EXPECT_EQ(back.edits[1].after[PluColumn::Name], "\"QUOTED\" \r\n LINES");
}

TEST(PluFind, CaseFreeOnNumCodeAndNameOrOneColumnByValue) {
    EXPECT_EQ(foldCase1252('A'), 'a');
    EXPECT_EQ(foldCase1252(0xC9), 0xE9); // É
    EXPECT_EQ(foldCase1252(0x8A), 0x9A); // Š
    EXPECT_EQ(foldCase1252(0x9F), 0xFF); // Ÿ
    EXPECT_EQ(foldCase1252(0xD7), 0xD7); // the multiplication sign has no case
    PluRow row = makeRow("17", "2.49", "Caf\xE9 CR\xC8ME");
    row[PluColumn::Code] = "2000017";
    const auto finds = [&](const char* text, bool inUseOnly = false) {
        return PluRowFinder(PluFindQuery{text, inUseOnly}).matches(row);
    };
    EXPECT_TRUE(finds(""));
    EXPECT_TRUE(finds("CAF\xC9"));
    EXPECT_TRUE(finds("cr\xe8me"));
    EXPECT_TRUE(finds("0001"));
    EXPECT_TRUE(finds("17"));
    EXPECT_FALSE(finds("2.49")); // the price is not searched
    EXPECT_FALSE(finds("caf\xE9 cr\xC8me!"));
    EXPECT_TRUE(finds("", true));
    // "<column>=<value>": the cell is the value, blanks and case aside.
    EXPECT_TRUE(finds("DEP=3"));
    EXPECT_TRUE(finds(" dep = 3 "));
    EXPECT_FALSE(finds("DEP=13"));
    EXPECT_TRUE(finds("valid date=10"));
    EXPECT_TRUE(finds("Name=CAF\xC9 CR\xC8ME"));
    EXPECT_FALSE(finds("Name=CAF\xC9"));
    EXPECT_FALSE(finds("X=1")); // no such column: a plain find of "x=1"
    row[PluColumn::Num].clear();
    EXPECT_FALSE(finds("", true)); // in use here means a PLU number
}

TEST(TransferMarks, CellsThatWillNotReachTheScaleAsShown) {
    struct Case {
        int column;
        const char* text;
        const char* reason; // a part of it, or nullptr for none
    };
    const Case cases[] = {
        {PluColumn::Num, "17", nullptr},
        {PluColumn::Num, "70000", "as 4464"},
        {PluColumn::Num, "1801", "PLUs 0 to 1800"},
        {PluColumn::Num, "12.5", "stops at this row"},
        {PluColumn::Price, "1.999", "as 1.99"},
        {PluColumn::Price, "-0.01", "no such PLU"},
        {PluColumn::Price, "30000000", "does not fit"},
        {PluColumn::Code, "", "empty: SAVE TO SCALE stops"},
        {PluColumn::Code, "12.5", "stops"},
        {PluColumn::Dep, "-3", "as 253"},
        {PluColumn::Dep, "40", nullptr},
        {PluColumn::Nw, "2", "other flags"},
        {PluColumn::Name, "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456", "'456' is lost"},
        {PluColumn::Name, "A\x98", "0x98"},
        {PluColumn::Name, "A\tB", "0x09"},
        {PluColumn::Name, "Caf\xE9", nullptr},
        {PluColumn::ValidDate, "-70000", "as -4464"},
        {PluColumn::Total, "anything", nullptr},
    };
    for (const Case& c : cases) {
        PluRow row = makeRow("5", "1.00");
        row[static_cast<std::size_t>(c.column)] = c.text;
        const auto reason = transferLoss(row, c.column, '.');
        if (c.reason == nullptr) {
            EXPECT_FALSE(reason) << c.text << ": " << reason.value_or("");
        } else {
            ASSERT_TRUE(reason) << c.text;
            EXPECT_NE(reason->find(c.reason), std::string::npos) << c.text << ": " << *reason;
        }
    }
    // PLU 0 may have a negative price; a row not in use goes nowhere.
    EXPECT_FALSE(transferLoss(makeRow("0", "-1.00"), PluColumn::Price, '.'));
    EXPECT_FALSE(transferLoss(makeRow("70000", ""), PluColumn::Num, '.'));
}

} // namespace
