// The range transfer loops: which PLUs are read into which rows, which rows
// are sent, where STOP takes effect, and that a save always ends with the
// end-of-upload command. Driven by fake per-PLU operations, then once over a
// scripted link.

#include "plu/plu_transfer.h"
#include "plu_test_support.h"

#include <gtest/gtest.h>
#include <map>
#include <set>

namespace {

struct FakeScale {
    std::set<int> absent;
    int failOn = -1; // the PLU (load) or row (save) whose exchange fails
    PluWriteResult failure = PluWriteResult::LinkFailed;
    std::vector<std::pair<int, int>> reads; // (PLU, row)
    std::vector<int> writes;                // rows
    int endUploads = 0;
    std::vector<int> progress; // positions
    int stopAfterPlu = -1;     // STOP is clicked while events run after this PLU
    bool working = true;

    ReadOnePlu reader() {
        return [this](std::uint16_t plu, int row) {
            reads.emplace_back(plu, row);
            if (plu == failOn) {
                return PluReadResult::LinkFailed;
            }
            return absent.count(plu) != 0 ? PluReadResult::Absent : PluReadResult::Ok;
        };
    }
    WriteOneRow writer() {
        return [this](int row) {
            writes.push_back(row);
            return row == failOn ? failure : PluWriteResult::Ok;
        };
    }
    EndUpload ender() {
        return [this] { ++endUploads; };
    }
    TransferHooks hooks() {
        int lastPlu = -1;
        return {[this] { return working; },
                [this, lastPlu](int position, int plu) mutable {
                    progress.push_back(position);
                    lastPlu = plu;
                    if (plu == stopAfterPlu) {
                        working = false;
                    }
                }};
    }
};

using Reads = std::vector<std::pair<int, int>>;

TEST(PluLoadLoop, FixedPlusFirstThenTheRangeWithoutGaps) {
    FakeScale scale;
    EXPECT_EQ(loadPluRange(5, 5, scale.reader(), scale.hooks()), TransferEnd::Completed);
    EXPECT_EQ(scale.reads, (Reads{{0, 1}, {1800, 2}, {5, 3}}));

    FakeScale backwards;
    loadPluRange(7, 3, backwards.reader(), backwards.hooks());
    EXPECT_EQ(backwards.reads, (Reads{{0, 1}, {1800, 2}}));
    EXPECT_TRUE(backwards.progress.empty());

    FakeScale no1800;
    no1800.absent = {1800, 11};
    loadPluRange(10, 12, no1800.reader(), no1800.hooks());
    EXPECT_EQ(no1800.reads, (Reads{{0, 1}, {1800, 2}, {10, 2}, {11, 3}, {12, 3}}));
    EXPECT_EQ(no1800.progress, (std::vector<int>{0, 1, 2}));
}

TEST(PluLoadLoop, LinkFailureEndsAtOnceAndStopTakesOneMoreExchange) {
    FakeScale failing;
    failing.failOn = 0;
    EXPECT_EQ(loadPluRange(1, 10, failing.reader(), failing.hooks()), TransferEnd::LinkFailed);
    EXPECT_EQ(failing.reads.size(), 1u);

    FakeScale stopped;
    stopped.stopAfterPlu = 40;
    EXPECT_EQ(loadPluRange(1, 1799, stopped.reader(), stopped.hooks()), TransferEnd::Stopped);
    EXPECT_EQ(stopped.reads.back(), (std::pair<int, int>{41, 43}));
    EXPECT_EQ(stopped.progress.back(), 39);
}

TEST(PluSaveLoop, RowsByPositionAndAlwaysTheEndCommand) {
    FakeScale scale;
    EXPECT_EQ(savePluRange(5, 5, scale.writer(), scale.ender(), scale.hooks()), TransferEnd::Completed);
    EXPECT_EQ(scale.writes, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(scale.endUploads, 1);

    FakeScale backwards;
    savePluRange(9, 2, backwards.writer(), backwards.ender(), backwards.hooks());
    EXPECT_EQ(backwards.writes, (std::vector<int>{1, 2}));
    EXPECT_EQ(backwards.endUploads, 1);

    FakeScale full;
    savePluRange(1, 1799, full.writer(), full.ender(), full.hooks());
    ASSERT_EQ(full.writes.size(), 1801u);
    EXPECT_EQ(full.writes.back(), 1801);
    EXPECT_EQ(full.progress.back(), 1798);
}

TEST(PluSaveLoop, FailureAndStopStillSendTheEndCommand) {
    for (const PluWriteResult failure : {PluWriteResult::LinkFailed, PluWriteResult::ConversionFailed}) {
        FakeScale scale;
        scale.failOn = 4;
        scale.failure = failure;
        const TransferEnd end = savePluRange(1, 10, scale.writer(), scale.ender(), scale.hooks());
        EXPECT_EQ(end, failure == PluWriteResult::LinkFailed ? TransferEnd::LinkFailed
                                                             : TransferEnd::ConversionFailed);
        EXPECT_EQ(scale.writes, (std::vector<int>{1, 2, 3, 4}));
        EXPECT_EQ(scale.endUploads, 1);
    }
    FakeScale stopped;
    stopped.stopAfterPlu = 3;
    EXPECT_EQ(savePluRange(1, 10, stopped.writer(), stopped.ender(), stopped.hooks()), TransferEnd::Stopped);
    EXPECT_EQ(stopped.writes, (std::vector<int>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(stopped.endUploads, 1);
}

TEST(PluSaveOverLink, EmptyFirstRowsAreNotSentAndCommand39Closes) {
    ScriptedLink scale;
    PluGrid grid;
    grid.row(1) = makeRow("0", "");
    grid.row(2) = makeRow("1800", "");
    grid.row(3) = makeRow("7", "1.00");
    scale.answer({}); // the write of row 3
    scale.answer({}); // command 39
    EXPECT_EQ(savePluRange(*scale.link, scale.ui, grid, 1, 1, '.', {}), TransferEnd::Completed);
    const auto requests = scale.channel->requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0][3], 0x23); // command byte: write one PLU
    EXPECT_EQ(requests[0][4], 0x00);
    EXPECT_EQ(requests[0][5], 0x07); // PLU 7 from its "NUM" cell
    EXPECT_EQ(requests[1], hexBytes("C3 04"
                                    " 00"
                                    " 27" /*end of upload, empty*/ " 27" /*check*/ " C3 02"));
    EXPECT_TRUE(scale.ui.errors.empty());
}

} // namespace
