// COMPARE WITH SCALE and SEND CHANGES against the simulated scale over a real
// pseudo-terminal: what goes on the line, what the scale holds afterwards, and
// what the program still knows of it after STOP and failures.

#include "link/commands.h"
#include "plu/send_changes.h"
#include "plu_test_support.h"
#include "sim/scale_records.h"
#include "tests/sim/scale_over_pty.h"

#include <utility>
#include <vector>

namespace {

using Exchanges = std::vector<std::pair<int, int>>; // command, PLU (-1: none)
constexpr int kNoPlu = -1;

class SendChanges : public ScaleOverPty {
  protected:
    void SetUp() override {
        ScaleOverPty::SetUp();
        // Every PLU present, priced at 1.00 + its number in hundredths, with
        // running figures the scale counted.
        scale.withMemory([](sim::ScaleMemory& memory) {
            for (int plu = 0; plu < sim::kPluCount; ++plu) {
                sim::PluFields fields;
                fields.price = 100 + plu;
                fields.name = "PLU " + std::to_string(plu);
                fields.flags = 1;
                fields.quantity = 2 * plu;
                fields.total = 3 * plu;
                fields.count = 4;
                memory.plu[static_cast<std::size_t>(plu)] = sim::encodePlu(fields);
            }
            return 0;
        });
    }

    void load(int from = 1, int to = 1799) {
        ASSERT_EQ(loadPluRange(knowledge, link, grid, from, to, '.', {}), TransferEnd::Completed);
        scale.clearRequests();
    }
    // The row a load of the range from 1 gave PLU p.
    static int rowOf(int plu) { return plu == 0 ? 1 : plu == 1800 ? 2 : 2 + plu; }
    void setPrice(int plu, const char* price) { grid.setCell(rowOf(plu), PluColumn::Price, price); }

    SendChangesOutcome send(bool verify = false, int from = 1, int to = 1799) {
        return sendChangedRows(link, ui, grid, knowledge, {from, to, '.', verify}, hooks);
    }
    Exchanges exchanged() const {
        Exchanges seen;
        for (const auto& request : scale.requests()) {
            const bool numbered = request.command != cmd::kEndPluUpload && request.payload.size() >= 2;
            seen.emplace_back(request.command,
                              numbered ? request.payload[0] * 256 + request.payload[1] : kNoPlu);
        }
        return seen;
    }
    sim::PluFields onScale(int plu) {
        return scale.withMemory([plu](sim::ScaleMemory& memory) {
            return sim::decodePlu(memory.plu[static_cast<std::size_t>(plu)]);
        });
    }
    // Runs `action` after the send has written the PLU `plu`.
    void afterProgressOf(int plu, std::function<void()> action) {
        hooks.transfer.progress = [plu, action = std::move(action)](int, int done) {
            if (done == plu) {
                action();
            }
        };
    }

    PluGrid grid;
    ScaleKnowledge knowledge;
    SendChangesHooks hooks;
    bool working = true;
};

constexpr int kRead = cmd::kReadPlu;
constexpr int kWrite = cmd::kWritePlu;
constexpr int kEnd = cmd::kEndPluUpload;

TEST_F(SendChanges, LoadAndSaveFeedTheKnowledgeWithoutChangingAByte) {
    PluGrid plain;
    ASSERT_EQ(loadPluRange(link, plain, 1, 30, '.', {}), TransferEnd::Completed);
    ASSERT_EQ(savePluRange(link, ui, plain, 1, 30, '.', {}), TransferEnd::Completed);
    const auto plainRequests = scale.requests();
    scale.clearRequests();

    ASSERT_EQ(loadPluRange(knowledge, link, grid, 1, 30, '.', {}), TransferEnd::Completed);
    EXPECT_EQ(knowledge.knownCount(), 32);
    knowledge.forget();
    ASSERT_EQ(savePluRange(knowledge, link, ui, grid, 1, 30, '.', {}), TransferEnd::Completed);
    EXPECT_EQ(knowledge.knownCount(), 32); // every PLU written is known as written

    const auto knowingRequests = scale.requests();
    ASSERT_EQ(knowingRequests.size(), plainRequests.size());
    for (std::size_t i = 0; i < knowingRequests.size(); ++i) {
        EXPECT_EQ(knowingRequests[i].command, plainRequests[i].command) << i;
        EXPECT_EQ(knowingRequests[i].payload, plainRequests[i].payload) << i;
    }
    EXPECT_EQ(grid.row(3), plain.row(3));
    EXPECT_TRUE(ui.errors.empty());
}

// A person loads the table, changes prices, someone at the counter changes
// another PLU and sells one of the edited ones in the middle of the send.
TEST_F(SendChanges, OnlyTheEditedRowsAreWrittenAndTheCountersChangeSurvives) {
    load();
    setPrice(3, "9.99");
    setPrice(500, "12.34");
    setPrice(1800, "0.50");
    scale.atCounter(1, [](sim::ScaleMemory& memory) {
        sim::PluFields seven = sim::decodePlu(memory.plu[7]);
        seven.price = 4242;
        memory.plu[7] = sim::encodePlu(seven);
        sim::recordSale(memory.plu[500], 2500);
    });

    const SendChangesOutcome outcome = send();
    EXPECT_EQ(outcome.end, SendChangesEnd::Completed);
    EXPECT_EQ(outcome.written, (std::vector<std::uint16_t>{1800, 3, 500})); // row order
    EXPECT_EQ(exchanged(), (Exchanges{{kWrite, 1800}, {kWrite, 3}, {kWrite, 500}, {kEnd, kNoPlu}}));
    EXPECT_EQ(onScale(7).price, 4242); // not overwritten by the grid's older 1.07
    const sim::PluFields sold = onScale(500);
    EXPECT_EQ(sold.price, 1234);
    // A write leaves the scale's running figures as the sale left them.
    EXPECT_EQ(sold.quantity, 1000 + 2500);
    EXPECT_EQ(sold.total, 1500 + 600 * 2500); // sold by the piece at 6.00
    EXPECT_EQ(sold.count, 5);

    // A compare shows exactly the counter's change: a sale is no difference.
    scale.clearRequests();
    const CompareOutcome compared = compareWithScale(link, grid, knowledge, 1, 1799, '.', {});
    EXPECT_EQ(compared.end, TransferEnd::Completed);
    EXPECT_EQ(scale.requests().size(), 1801u);
    const PluComparison& comparison = compared.comparison;
    ASSERT_EQ(comparison.differing.size(), 1u) << comparison.summary();
    EXPECT_EQ(comparison.differing[0].plu, 7);
    EXPECT_EQ(comparison.differing[0].row, rowOf(7));
    EXPECT_EQ(comparison.differing[0].columns, columnBit(PluColumn::Price));
    EXPECT_EQ(comparison.differing[0].scaleRow[PluColumn::Price], "42.42");
    EXPECT_EQ(comparison.summary(), "1 PLU differs, 0 only in the grid, 0 only on the scale");
    EXPECT_EQ(grid.cell(rowOf(7), PluColumn::Price), "1.07"); // a compare never touches the grid
    EXPECT_TRUE(ui.errors.empty());

    // Now the program knows the scale's 42.42, so the grid's 1.07 is a change.
    scale.clearRequests();
    EXPECT_EQ(send().written, (std::vector<std::uint16_t>{7}));
}

TEST_F(SendChanges, WithoutKnowledgeTheRowsPlusAreReadFirst) {
    // Rows as a file might give them, the same as the scale holds.
    for (int plu : {3, 5, 40, 1800}) {
        PluRecord same;
        same.price = 100 + plu;
        same.flags = 1;
        same.name = "PLU " + std::to_string(plu);
        grid.row(rowOf(plu)) = pluRowFromRecord(same, static_cast<std::uint16_t>(plu), '.');
    }
    setPrice(5, "7.77");
    EXPECT_EQ(plusToReadFirst(grid, knowledge, 1, 30), (std::vector<std::uint16_t>{3, 5, 1800}));

    std::vector<std::pair<SendPhase, int>> phases;
    hooks.phaseBegins = [&](SendPhase phase, int steps) { phases.emplace_back(phase, steps); };
    const SendChangesOutcome outcome = send(false, 1, 30);
    EXPECT_EQ(outcome.end, SendChangesEnd::Completed);
    EXPECT_EQ(outcome.plusRead, 3);
    EXPECT_EQ(exchanged(), (Exchanges{{kRead, 1800}, {kRead, 3}, {kRead, 5}, {kWrite, 5}, {kEnd, kNoPlu}}));
    EXPECT_EQ(phases, (std::vector<std::pair<SendPhase, int>>{{SendPhase::ReadingUnknown, 29},
                                                              {SendPhase::Writing, 1}}));

    scale.clearRequests();
    EXPECT_EQ(send(false, 1, 30).end, SendChangesEnd::NothingToSend);
    EXPECT_TRUE(scale.requests().empty());
}

TEST_F(SendChanges, VerificationReadsEachWriteBackAndStopsAtOneThatDiffers) {
    load(1, 20);
    for (int plu : {3, 4, 5}) {
        setPrice(plu, "2.00");
    }
    // Someone renames PLU 4 at the counter just after it was written.
    scale.atCounter(3, [](sim::ScaleMemory& memory) {
        sim::PluFields four = sim::decodePlu(memory.plu[4]);
        four.name = "RENAMED";
        memory.plu[4] = sim::encodePlu(four);
    });
    const SendChangesOutcome outcome = send(true, 1, 20);
    EXPECT_EQ(outcome.end, SendChangesEnd::VerifyFailed);
    EXPECT_EQ(outcome.mismatchedPlu, 4);
    EXPECT_EQ(exchanged(), (Exchanges{{kWrite, 3}, {kRead, 3}, {kWrite, 4}, {kRead, 4}, {kEnd, kNoPlu}}));
    ASSERT_EQ(ui.errors.size(), 1u);
    EXPECT_EQ(ui.errors[0],
              (RecordingUi::Message{"PLU 4 reads back from the scale with other values than were "
                                    "written (NAME). The send stopped there.",
                                    "Error!"}));
    // What was read back is what the program now knows.
    ASSERT_NE(knowledge.record(4), nullptr);
    EXPECT_EQ(knowledge.record(4)->name, "RENAMED");
    EXPECT_EQ(knowledge.record(4)->price, 200);
}

TEST_F(SendChanges, StopKeepsWhatWasWrittenAndAFailureDropsAllKnowledge) {
    load(1, 20);
    for (int plu = 1; plu <= 5; ++plu) {
        setPrice(plu, "3.00");
    }
    // STOP clicked while events run after PLU 2: PLU 3 is still written.
    hooks.transfer.working = [this] { return working; };
    afterProgressOf(2, [this] { working = false; });
    SendChangesOutcome outcome = send(false, 1, 20);
    EXPECT_EQ(outcome.end, SendChangesEnd::Stopped);
    EXPECT_EQ(exchanged(), (Exchanges{{kWrite, 1}, {kWrite, 2}, {kWrite, 3}, {kEnd, kNoPlu}}));
    EXPECT_EQ(knowledge.knownCount(), 22);
    working = true;
    scale.clearRequests();
    EXPECT_EQ(send(false, 1, 20).written, (std::vector<std::uint16_t>{4, 5}));

    // The scale stops answering the write of PLU 3.
    for (int plu = 1; plu <= 5; ++plu) {
        setPrice(plu, "4.00");
    }
    afterProgressOf(2, [this] { scale.injectFault(sim::Fault::Nak, 3); });
    scale.clearRequests();
    outcome = send(false, 1, 20);
    EXPECT_EQ(outcome.end, SendChangesEnd::LinkFailed);
    EXPECT_EQ(outcome.written, (std::vector<std::uint16_t>{1, 2}));
    EXPECT_EQ(exchanged(),
              (Exchanges{{kWrite, 1}, {kWrite, 2}, {kWrite, 3}, {kWrite, 3}, {kWrite, 3}, {kEnd, kNoPlu}}));
    EXPECT_EQ(ui.errorCount("Comunication Error!"), 1);
    EXPECT_TRUE(knowledge.empty()); // was PLU 3 written? Nobody knows, so nothing is kept
    EXPECT_EQ(plusToReadFirst(grid, knowledge, 1, 20).size(), 22u);

    // A compare that fails leaves nothing known either.
    load(1, 20);
    scale.injectFault(sim::Fault::Nak, 3);
    const CompareOutcome compared = compareWithScale(link, grid, knowledge, 1, 20, '.', {});
    EXPECT_EQ(compared.end, TransferEnd::LinkFailed);
    EXPECT_TRUE(knowledge.empty());
}

TEST_F(SendChanges, RowsThatCannotBeMatchedOrConvertedStopItBeforeAnythingIsSent) {
    grid.row(1) = makeRow("abc", "1");
    grid.row(2) = makeRow("1801", "1");
    grid.row(3) = makeRow("7", "1");
    grid.row(4) = makeRow("007", "2");
    grid.row(5) = makeRow("8", "");
    EXPECT_EQ(send().end, SendChangesEnd::Refused);
    ASSERT_EQ(ui.errors.size(), 1u);
    EXPECT_EQ(ui.errors[0].text, "Rows 1 and 2 have no PLU number from 0 to 1800. Rows 3 and 4 have PLU "
                                 "numbers that other rows have too. Nothing was sent.");
    EXPECT_EQ(ui.errors[0].title, ui.title);

    grid.clear();
    grid.row(1) = makeRow("7", "1");
    grid.row(2) = makeRow("8", "1");
    grid.row(2)[PluColumn::Code] = "12.5"; // typing lets a fraction in; the write does not
    EXPECT_EQ(send().end, SendChangesEnd::ConversionFailed);
    ASSERT_EQ(ui.errors.size(), 2u);
    EXPECT_EQ(ui.errors[1].text, "'12.5' is not a valid integer value.");
    EXPECT_TRUE(scale.requests().empty());
}

} // namespace
