// COMPARE WITH SCALE and SEND CHANGES on the page, driven like a user against
// the simulated scale over a real pseudo-terminal: the marks and the result
// panel, what goes on the line, STOP, a failure in the middle of a send, and
// taking the scale's values as one step of the undo history.

#include "link/commands.h"
#include "plu/compare_result_panel.h"
#include "plu/comparison_marks.h"
#include "plu/plu_compare_send.h"
#include "plu/scale_knowledge.h"
#include "plu_page_fixture.h"

#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QUndoStack>
#include <set>

namespace {

using Cell = std::pair<int, int>; // data row, column

class CompareSendTest : public PluPageTest {
  protected:
    // The row a load of the whole range gave PLU p.
    static int rowOf(int plu) { return plu == 0 ? 1 : plu == 1800 ? 2 : 2 + plu; }

    // Every PLU on the scale, the whole table loaded, the line forgotten.
    void loadAll() {
        connect();
        fillScale();
        click("Button7");
        ASSERT_TRUE(ui.errors.empty());
        scale.clearRequests();
    }
    void onScale(int plu, const std::function<void(sim::PluFields&)>& change) {
        scale.withMemory([&](sim::ScaleMemory& memory) {
            sim::PluFields fields = sim::decodePlu(memory.plu[static_cast<std::size_t>(plu)]);
            change(fields);
            memory.plu[static_cast<std::size_t>(plu)] = sim::encodePlu(fields);
            return 0;
        });
    }
    std::vector<std::pair<int, int>> exchanges() const { // command, PLU (-1: none)
        std::vector<std::pair<int, int>> seen;
        for (const auto& request : scale.requests()) {
            const bool numbered = request.command != cmd::kEndPluUpload && request.payload.size() >= 2;
            seen.emplace_back(request.command, numbered ? request.payload[0] * 256 + request.payload[1] : -1);
        }
        return seen;
    }
    // Every cell drawn in a colour of the comparison, with the colour's kind.
    std::set<Cell> markedCells(const QColor& colour) {
        QCoreApplication::processEvents(); // a change is compared once it is whole
        std::set<Cell> cells;
        for (int row = 1; row <= kPluDataRows; ++row) {
            for (int column = 0; column < kPluColumns; ++column) {
                if (model().index(row - 1, column).data(Qt::BackgroundRole).value<QColor>() == colour) {
                    cells.insert({row, column});
                }
            }
        }
        return cells;
    }
    QString tooltip(int row, int column) { return model().index(row - 1, column).data(Qt::ToolTipRole).toString(); }
    QString note() { return page->findChild<QLabel*>("CompareSendNote")->toolTip(); }
    CompareResultPanel& panel() { return *page->findChild<CompareResultPanel*>("CompareResult"); }
    QStringList findings() {
        QStringList texts;
        for (int i = 0; i < panel().Findings->count(); ++i) {
            texts.append(panel().Findings->item(i)->text());
        }
        return texts;
    }
};

constexpr int kRead = cmd::kReadPlu;
constexpr int kWrite = cmd::kWritePlu;
constexpr int kEnd = cmd::kEndPluUpload;

TEST_F(CompareSendTest, TenPricesChangedAreTenWritesAndACounterChangeIsExactlyOneMark) {
    // The new controls stand above LOAD FROM SCALE and SAVE TO SCALE, as wide, under the grid.
    auto* compare = page->findChild<QPushButton*>("CompareButton");
    auto* send = page->findChild<QPushButton*>("SendChangesButton");
    auto* verify = page->findChild<QCheckBox*>("VerifyWrites");
    ASSERT_TRUE(compare && send && verify);
    EXPECT_EQ(compare->text(), "COMPARE WITH SCALE");
    EXPECT_EQ(send->text(), "SEND CHANGES");
    EXPECT_FALSE(verify->isChecked());
    for (auto [above, below] : {std::pair{compare, page->Button7}, std::pair{send, page->Button8}}) {
        EXPECT_EQ(above->geometry().left(), below->geometry().left());
        EXPECT_EQ(above->width(), below->width());
        EXPECT_LT(above->geometry().bottom(), below->geometry().top());
        EXPECT_GT(above->geometry().top(), grid().geometry().bottom());
    }
    EXPECT_LT(verify->geometry().right(), compare->geometry().left());

    loadAll();
    const int plus[] = {0, 3, 17, 250, 251, 900, 1234, 1700, 1799, 1800};
    for (const int plu : plus) {
        setCell(rowOf(plu), PluColumn::Price, "77.70");
    }
    click("SendChangesButton");
    std::vector<std::pair<int, int>> expected;
    for (const int plu : {0, 1800, 3, 17, 250, 251, 900, 1234, 1700, 1799}) { // row order
        expected.emplace_back(kWrite, plu);
    }
    expected.emplace_back(kEnd, -1);
    EXPECT_EQ(exchanges(), expected);
    EXPECT_EQ(note(), "SEND CHANGES: 10 PLUs written.");
    EXPECT_TRUE(ui.errors.empty());
    EXPECT_FALSE(progress().isVisible());

    // Someone at the counter changes PLU 7; a compare shows exactly that.
    onScale(7, [](sim::PluFields& seven) { seven.price = 4242; });
    scale.clearRequests();
    click("CompareButton");
    EXPECT_EQ(scale.requests().size(), 1801u);
    EXPECT_EQ(markedCells(ComparisonMarks::differsColour()), (std::set<Cell>{{rowOf(7), PluColumn::Price}}));
    EXPECT_EQ(tooltip(rowOf(7), PluColumn::Price), "On the scale: 42.42, changed there since the program read it");
    EXPECT_TRUE(markedCells(ComparisonMarks::gridOnlyColour()).empty());
    EXPECT_EQ(note(), "1 PLU differs, 0 only in the grid, 0 only on the scale");
    EXPECT_TRUE(panel().isVisible());
    EXPECT_FALSE(panel().isModal());
    EXPECT_EQ(findings(), QStringList{"PLU 7, row 9, changed on the scale in PRICE"});
    EXPECT_EQ(cell(rowOf(7), PluColumn::Price), "0.07"); // the grid is not touched

    // The marks follow the edits: the grid agrees, then a row only in the grid.
    setCell(rowOf(7), PluColumn::Price, "42.42");
    EXPECT_TRUE(markedCells(ComparisonMarks::differsColour()).empty());
    EXPECT_EQ(note(), "The grid and the scale hold the same PLUs.");
    onScale(5, [](sim::PluFields& five) { five.price = -1; });
    click("CompareButton");
    std::set<Cell> rowOfFive;
    for (int column = 0; column <= PluColumn::ValidDate; ++column) {
        rowOfFive.insert({rowOf(5), column});
    }
    EXPECT_EQ(markedCells(ComparisonMarks::gridOnlyColour()), rowOfFive);
    EXPECT_EQ(findings(), QStringList{"PLU 5, row 7, only in the grid"});

    // CLEAR takes the marks and the panel away.
    click("Button17");
    EXPECT_TRUE(markedCells(ComparisonMarks::gridOnlyColour()).empty());
    EXPECT_FALSE(panel().isVisible());
    EXPECT_EQ(page->compareSend().comparison(), nullptr);
}

TEST_F(CompareSendTest, StopEndsACompareAndASendAfterTheExchangeInHand) {
    loadAll();
    auto* label = progress().findChild<QLabel*>("Label1");
    duringTransfer([&] {
        if (label->text() != "40 PLUs") {
            return false;
        }
        progress().Button1->click();
        return true;
    });
    onScale(100, [](sim::PluFields& plu) { plu.price = 1; }); // beyond where the compare stops
    click("CompareButton");
    EXPECT_EQ(scale.requests().size(), 43u); // 0, 1800, 1..41
    EXPECT_TRUE(panel().Summary->text().startsWith("Stopped: only the PLUs read before STOP were compared."));
    EXPECT_EQ(note(), "The grid and the scale hold the same PLUs.");

    // Verification reads each write back; STOP after the second PLU still
    // writes and reads the third, then ends the upload.
    page->VerifyWrites->setChecked(true);
    for (int plu = 1; plu <= 5; ++plu) {
        setCell(rowOf(plu), PluColumn::Price, "1.50");
    }
    duringTransfer([&] {
        if (progress().ProgressBar1->value() != 2) {
            return false;
        }
        progress().Button1->click();
        return true;
    });
    scale.clearRequests();
    click("SendChangesButton");
    EXPECT_EQ(exchanges(), (std::vector<std::pair<int, int>>{{kWrite, 1},
                                                             {kRead, 1},
                                                             {kWrite, 2},
                                                             {kRead, 2},
                                                             {kWrite, 3},
                                                             {kRead, 3},
                                                             {kEnd, -1}}));
    EXPECT_EQ(note(), "SEND CHANGES: Stopped: 3 PLUs written.");
    EXPECT_FALSE(progress().isVisible());

    scale.clearRequests();
    click("SendChangesButton");
    EXPECT_EQ(note(), "SEND CHANGES: 2 PLUs written, each read back as written.");
    EXPECT_EQ(exchanges().size(), 5u);
}

TEST_F(CompareSendTest, ACounterChangeIsKeptOnRequestAndAFailureMidSendLeavesNothingKnown) {
    loadAll();
    onScale(9, [](sim::PluFields& nine) { nine.name = "AT THE COUNTER"; });
    click("CompareButton");
    ASSERT_EQ(markedCells(ComparisonMarks::differsColour()), (std::set<Cell>{{rowOf(9), PluColumn::Name}}));
    for (int plu = 1; plu <= 4; ++plu) {
        setCell(rowOf(plu), PluColumn::Price, "2.50");
    }
    // The grid's PLU 9 is older than the scale's: the user is asked before it
    // goes out, and keeps the scale's. The scale then stops answering at the
    // third write: was it carried out? Nobody knows.
    ui.answers.push_back(std::size_t{0}); // KEEP THE SCALE'S
    // Two plain answers (the writes of PLUs 1 and 2), then none for the third.
    scale.injectFault(sim::Fault::Late, 2);
    scale.injectFault(sim::Fault::Nak, 3);
    scale.clearRequests();
    click("SendChangesButton");
    ASSERT_EQ(ui.questions.size(), 1u);
    EXPECT_EQ(ui.questions[0].text,
              "PLU 9 was changed on the scale since the program read it, and the grid still holds the older "
              "values. SEND CHANGES would write those back over the change.\n\nKEEP THE SCALE'S: the grid "
              "takes the scale's values for it, and the rest is written. WRITE THE GRID'S: every differing row "
              "is written.");
    EXPECT_EQ(cell(rowOf(9), PluColumn::Name), "AT THE COUNTER");
    EXPECT_EQ(ui.errorCount("Comunication Error!"), 1);
    EXPECT_EQ(requestedPlus(kWrite), (std::vector<int>{1, 2, 3, 3, 3}));
    EXPECT_EQ(exchanges().back(), std::make_pair(kEnd, -1));
    EXPECT_TRUE(page->scaleKnowledge().empty());
    EXPECT_TRUE(markedCells(ComparisonMarks::differsColour()).empty());
    EXPECT_FALSE(panel().isVisible());
    EXPECT_EQ(note(), "SEND CHANGES: PLU 9 kept the scale's values. The link failed after 2 PLUs written. What "
                      "the scale holds is no longer known: the next SEND CHANGES compares first.");

    // Without knowledge a send compares first and asks before writing.
    ui.answers.push_back(std::size_t{1}); // DO NOT WRITE
    scale.clearRequests();
    click("SendChangesButton");
    ASSERT_EQ(ui.questions.size(), 2u);
    EXPECT_EQ(ui.questions[1].text,
              "The program did not know what the scale holds, so it compared first. PLUs 3 and 4 differ "
              "from the scale; the grid shows where. A PLU changed at the counter would be overwritten with "
              "the grid's values.\n\nWrite these 2 PLUs to the scale?");
    EXPECT_EQ(scale.requests().size(), 1801u); // the compare, and nothing written
    EXPECT_EQ(markedCells(ComparisonMarks::differsColour()),
              (std::set<Cell>{{rowOf(3), PluColumn::Price}, {rowOf(4), PluColumn::Price}}));

    // Once known, a send writes without asking; a failure on another page drops it all again.
    scale.clearRequests();
    click("SendChangesButton");
    EXPECT_EQ(ui.questions.size(), 2u);
    EXPECT_EQ(requestedPlus(kWrite), (std::vector<int>{3, 4}));
    scale.injectFault(sim::Fault::Nak, 3);
    link.buffer().clear();
    EXPECT_FALSE(link.runCommand(cmd::kReadGeneralSettings));
    EXPECT_TRUE(page->scaleKnowledge().empty());
    EXPECT_EQ(note(), "An exchange with the scale failed: what the scale holds is no longer known, and SEND "
                      "CHANGES compares first.");
}

TEST_F(CompareSendTest, TakingTheScalesValuesIsOneStepAndPlacesScaleOnlyPlusInEmptyRows) {
    connect();
    fillScale();
    setRange(1, 30);
    click("Button7");
    onScale(3, [](sim::PluFields& three) { three.price = 333; });
    onScale(4, [](sim::PluFields& four) { four.name = "NEW NAME"; });
    for (int column = 0; column < kPluColumns; ++column) {
        setCell(rowOf(10), column, ""); // PLU 10 gone from the grid: a gap
    }
    click("CompareButton");
    EXPECT_EQ(panel().Summary->text(), "PLUs 0, 1800 and 1 to 30 compared.\n"
                                       "2 PLUs differ, 0 only in the grid, 1 only on the scale");
    EXPECT_EQ(findings(), (QStringList{"PLU 3, row 5, changed on the scale in PRICE",
                                       "PLU 4, row 6, changed on the scale in NAME",
                                       "PLU 10, only on the scale: 0.10 PLU 10"}));
    const PluGrid before = page->grid();

    // The panel's selection: PLU 4 alone.
    panel().Findings->item(1)->setSelected(true);
    panel().TakeSelectedButton->click();
    EXPECT_EQ(cell(rowOf(4), PluColumn::Name), "NEW NAME");
    EXPECT_EQ(cell(rowOf(3), PluColumn::Price), "0.03");
    EXPECT_EQ(findings().size(), 2);

    // Everything else, into the first empty row after the last one in use.
    panel().TakeAllButton->click();
    EXPECT_EQ(cell(rowOf(3), PluColumn::Price), "3.33");
    EXPECT_EQ(cell(33, PluColumn::Num), "10");
    EXPECT_EQ(cell(rowOf(10), PluColumn::Num), "");
    EXPECT_EQ(ui.informations.back().text,
              "Row 5 took the scale's values. PLU 10, only on the scale, went into the empty row 33.");
    EXPECT_EQ(note(), "The grid and the scale hold the same PLUs.");
    EXPECT_TRUE(findings().isEmpty());

    // Each take is one step; undoing both brings the grid and its marks back.
    EXPECT_EQ(page->undoStack().undoText(), "taking the scale's values");
    page->undoStep();
    page->undoStep();
    EXPECT_EQ(page->grid().row(rowOf(4)), before.row(rowOf(4)));
    EXPECT_EQ(page->grid().row(33), before.row(33));
    EXPECT_EQ(markedCells(ComparisonMarks::differsColour()),
              (std::set<Cell>{{rowOf(3), PluColumn::Price}, {rowOf(4), PluColumn::Name}}));
    EXPECT_EQ(note(), "2 PLUs differ, 0 only in the grid, 1 only on the scale");
}

} // namespace
