#include "plu_transfer.h"

#include "link/commands.h"
#include "link/scale_link.h"
#include "plu_grid.h"

#include <algorithm>

namespace {

bool stillWorking(const TransferHooks& hooks) {
    return !hooks.working || hooks.working();
}

// After each PLU of the range the progress moves on.
void afterRangePlu(const TransferHooks& hooks, int from, int plu) {
    if (hooks.progress) {
        hooks.progress(plu - from, plu);
    }
}

} // namespace

TransferEnd loadPluRange(int from, int to, const ReadOnePlu& readOne, const TransferHooks& hooks) {
    // The range the user can pick bounds the loop, whatever the caller passed.
    from = std::max(from, kFirstRangePlu);
    to = std::min(to, kLastRangePlu);
    int nextRow = 1;
    // Rows are only taken by PLUs the scale holds, so an absent PLU leaves
    // no gap. At most 2 + 1799 rows are filled: the grid always has room.
    const auto readInto = [&](int plu) {
        const PluReadResult result = readOne(static_cast<std::uint16_t>(plu), nextRow);
        if (result == PluReadResult::Ok) {
            ++nextRow;
        }
        return result != PluReadResult::LinkFailed;
    };

    if (!readInto(kFixedPluLow) || !readInto(kFixedPluHigh)) {
        return TransferEnd::LinkFailed;
    }
    for (int plu = from; plu <= to; ++plu) {
        if (!readInto(plu)) {
            return TransferEnd::LinkFailed;
        }
        if (!stillWorking(hooks)) {
            return TransferEnd::Stopped;
        }
        afterRangePlu(hooks, from, plu);
    }
    return TransferEnd::Completed;
}

TransferEnd savePluRange(int from, int to, const WriteOneRow& writeOne, const EndUpload& endUpload,
                         const TransferHooks& hooks) {
    const auto toEnd = [&](TransferEnd end) {
        // The scale is told the upload is over whatever stopped it, so it
        // never waits on a half-finished upload.
        endUpload();
        return end;
    };
    from = std::max(from, kFirstRangePlu);
    to = std::min(to, kLastRangePlu);
    const auto failureOf = [](PluWriteResult result) {
        return result == PluWriteResult::LinkFailed ? TransferEnd::LinkFailed : TransferEnd::ConversionFailed;
    };

    for (int row : {1, 2}) {
        if (const PluWriteResult result = writeOne(row); result != PluWriteResult::Ok) {
            return toEnd(failureOf(result));
        }
    }
    for (int plu = from; plu <= to; ++plu) {
        const int row = 3 + plu - from; // at most 1801 within the pickable range
        if (const PluWriteResult result = writeOne(row); result != PluWriteResult::Ok) {
            return toEnd(failureOf(result));
        }
        if (!stillWorking(hooks)) {
            return toEnd(TransferEnd::Stopped);
        }
        afterRangePlu(hooks, from, plu);
    }
    return toEnd(TransferEnd::Completed);
}

TransferEnd loadPluRange(ScaleLink& link, PluGrid& grid, int from, int to, char separator,
                         const TransferHooks& hooks) {
    return loadPluRange(
        from, to,
        [&](std::uint16_t plu, int row) {
            // Cannot happen with a range within 1..1799; guards the grid all the same.
            if (!PluGrid::isDataRow(row)) {
                return PluReadResult::Absent;
            }
            return readPlu(link, grid, plu, row, separator);
        },
        hooks);
}

TransferEnd savePluRange(ScaleLink& link, UserInterface& ui, const PluGrid& grid, int from, int to,
                         char separator, const TransferHooks& hooks) {
    return savePluRange(
        from, to, [&](int row) { return writePluRow(link, ui, grid, row, separator); },
        [&] { endPluUpload(link); }, hooks);
}

void endPluUpload(ScaleLink& link) {
    link.buffer().clear();
    link.runCommand(cmd::kEndPluUpload);
}
