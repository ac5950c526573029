#include "send_changes.h"

#include "link/commands.h"
#include "link/scale_link.h"
#include "link/user_interface.h"

#include <algorithm>
#include <variant>

namespace {

const std::string kErrorTitle = "Error!";

struct RowToSend {
    int row = 0;
    PluWriteRequest request;
};

// The rows in the range with a PLU of their own, converted as a write
// converts them. The first cell that does not convert is reported.
std::optional<std::vector<RowToSend>> convertRowsInRange(UserInterface& ui, const PluGrid& grid,
                                                         const GridPluIndex& index, int from, int to,
                                                         char separator) {
    std::vector<RowToSend> rows;
    for (int row = 1; row <= kPluDataRows; ++row) {
        const auto plu = index.pluOf(row);
        if (!plu || !inTransferScope(*plu, from, to)) {
            continue;
        }
        const auto converted = pluWriteRequestFromRow(grid.row(row), separator);
        if (const auto* failure = std::get_if<CellConversionFailure>(&converted)) {
            reportConversionError(ui, failure->text, failure->kind);
            return std::nullopt;
        }
        rows.push_back({row, std::get<PluWriteRequest>(converted)});
    }
    return rows;
}

std::vector<std::uint16_t> unknownPlus(const std::vector<RowToSend>& rows, const ScaleKnowledge& knowledge) {
    std::vector<std::uint16_t> plus;
    for (const RowToSend& row : rows) {
        if (!knowledge.knows(row.request.plu)) {
            plus.push_back(row.request.plu);
        }
    }
    std::sort(plus.begin(), plus.end());
    return plus;
}

// What a read-back shows against what was written.
PluColumnSet readBackDifference(const PluWriteRequest& written, const PluRecordRead& read) {
    const PluRecord* held = read.result == PluReadResult::Ok ? &read.record : nullptr;
    const RowVerdict verdict = compareWrittenWithScale(written.plu, written.record, held);
    // Written present, read absent: the price is what tells them apart.
    return verdict.verdict == RowAgainstScale::OnlyInGrid ? columnBit(PluColumn::Price) : verdict.columns;
}

} // namespace

bool inTransferScope(int plu, int from, int to) {
    if (plu == kFixedPluLow || plu == kFixedPluHigh) {
        return true;
    }
    return plu >= std::max(from, kFirstRangePlu) && plu <= std::min(to, kLastRangePlu);
}

std::vector<std::uint16_t> plusToReadFirst(const PluGrid& grid, const ScaleKnowledge& knowledge, int from,
                                           int to) {
    const GridPluIndex index(grid);
    std::vector<std::uint16_t> plus;
    for (int plu = 0; plu < kPluNumbers; ++plu) {
        if (inTransferScope(plu, from, to) && index.rowOf(plu) != 0 && !knowledge.knows(plu)) {
            plus.push_back(static_cast<std::uint16_t>(plu));
        }
    }
    return plus;
}

std::string verifyMismatchText(std::uint16_t plu, PluColumnSet columns) {
    std::string names;
    for (int column = 0; column < kPluColumns; ++column) {
        if ((columns & columnBit(column)) != 0) {
            names += (names.empty() ? "" : ", ") + std::string(kPluHeaders[static_cast<std::size_t>(column)]);
        }
    }
    return "PLU " + std::to_string(plu) + " reads back from the scale with other values than were written (" +
           names + "). The send stopped there.";
}

SendChangesOutcome sendChangedRows(ScaleLink& link, UserInterface& ui, const PluGrid& grid,
                                   ScaleKnowledge& knowledge, const SendChangesOptions& options,
                                   const SendChangesHooks& hooks) {
    SendChangesOutcome outcome;
    const auto finish = [&](SendChangesEnd end) {
        outcome.end = end;
        return outcome;
    };
    const int from = options.from;
    const int to = options.to;

    const GridPluIndex index(grid);
    if (!index.everyRowMatched()) {
        ui.showError(unmatchedRowsText(index) + " Nothing was sent.", ui.applicationTitle());
        return finish(SendChangesEnd::Refused);
    }
    // A row that does not convert would differ from whatever the scale holds,
    // so it would be sent: it stops the send before anything goes out. From
    // here on the rows are the converted ones, whatever happens to the grid
    // while events run, so the scale gets what the knowledge learns.
    const auto rows = convertRowsInRange(ui, grid, index, from, to, options.decimalSeparator);
    if (!rows) {
        return finish(SendChangesEnd::ConversionFailed);
    }

    // Only the PLUs the grid has rows for are read: no other is written.
    const std::vector<std::uint16_t> unknown = unknownPlus(*rows, knowledge);
    if (!unknown.empty()) {
        if (hooks.phaseBegins) {
            hooks.phaseBegins(SendPhase::ReadingUnknown,
                              std::max(0, std::min(to, kLastRangePlu) - std::max(from, kFirstRangePlu)));
        }
        const TransferEnd end = loadPluRange(
            from, to,
            [&](std::uint16_t plu, int) {
                if (!std::binary_search(unknown.begin(), unknown.end(), plu)) {
                    return PluReadResult::Ok; // known, or no row to judge: no exchange
                }
                const PluRecordRead read = readPluRecord(link, plu);
                if (read.result == PluReadResult::LinkFailed) {
                    knowledge.forget();
                } else {
                    knowledge.learnRead(plu, read.record);
                    ++outcome.plusRead;
                }
                return read.result;
            },
            hooks.transfer);
        if (end == TransferEnd::LinkFailed) {
            return finish(SendChangesEnd::LinkFailed);
        }
        if (end == TransferEnd::Stopped) {
            return finish(SendChangesEnd::Stopped);
        }
    }

    std::vector<PluWriteRequest> changed;
    for (const RowToSend& row : *rows) {
        const PluWriteRequest& request = row.request;
        if (compareWrittenWithScale(request.plu, request.record, knowledge.record(request.plu)).verdict !=
            RowAgainstScale::Same) {
            changed.push_back(request);
        }
    }
    if (changed.empty()) {
        return finish(SendChangesEnd::NothingToSend);
    }

    if (hooks.phaseBegins) {
        hooks.phaseBegins(SendPhase::Writing, static_cast<int>(changed.size()));
    }
    outcome.end = SendChangesEnd::Completed;
    for (std::size_t i = 0; i < changed.size(); ++i) {
        const PluWriteRequest& request = changed[i];
        encodePluWriteRequest(link.buffer(), request.plu, request.record);
        if (!link.runCommand(cmd::kWritePlu)) {
            knowledge.forget();
            outcome.end = SendChangesEnd::LinkFailed;
            break;
        }
        knowledge.learnWritten(request.plu, request.record);
        outcome.written.push_back(request.plu);

        if (options.verifyWrites) {
            const PluRecordRead read = readPluRecord(link, request.plu);
            if (read.result == PluReadResult::LinkFailed) {
                knowledge.forget();
                outcome.end = SendChangesEnd::LinkFailed;
                break;
            }
            knowledge.learnRead(request.plu, read.record);
            if (const PluColumnSet columns = readBackDifference(request, read)) {
                ui.showError(verifyMismatchText(request.plu, columns), kErrorTitle);
                outcome.mismatchedPlu = request.plu;
                outcome.mismatchedColumns = columns;
                outcome.end = SendChangesEnd::VerifyFailed;
                break;
            }
        }

        // As in a save: STOP is seen after the PLU's exchange, before the progress moves.
        if (hooks.transfer.working && !hooks.transfer.working()) {
            outcome.end = SendChangesEnd::Stopped;
            break;
        }
        if (hooks.transfer.progress) {
            hooks.transfer.progress(static_cast<int>(i + 1), request.plu);
        }
    }
    // The scale is told the upload is over whatever stopped it.
    endPluUpload(knowledge, link);
    return outcome;
}

namespace {

std::string plusWritten(std::size_t n) {
    return std::to_string(n) + (n == 1 ? " PLU written" : " PLUs written");
}

} // namespace

std::string sendChangesNote(const SendChangesOutcome& outcome, bool verified) {
    const std::size_t n = outcome.written.size();
    switch (outcome.end) {
    case SendChangesEnd::Completed:
        return plusWritten(n) + (verified ? ", each read back as written." : ".");
    case SendChangesEnd::NothingToSend:
        return "Nothing to send: every row agrees with what the scale holds.";
    case SendChangesEnd::Refused:
    case SendChangesEnd::ConversionFailed:
        return "Nothing was sent.";
    case SendChangesEnd::Stopped:
        return n == 0 ? "Stopped before any PLU was written." : "Stopped: " + plusWritten(n) + ".";
    case SendChangesEnd::LinkFailed:
        return "The link failed after " + plusWritten(n) +
               ". What the scale holds is no longer known: the next SEND CHANGES compares first.";
    case SendChangesEnd::VerifyFailed:
        return plusWritten(n) + "; PLU " + std::to_string(outcome.mismatchedPlu) +
               " read back different, and the send stopped there.";
    }
    return {};
}

int rowsToWrite(const PluComparison& comparison) {
    return static_cast<int>(comparison.differing.size() + comparison.gridOnlyRows.size());
}

std::string writeAfterCompareQuestion(const PluComparison& comparison, const PluGrid& grid) {
    const GridPluIndex index(grid);
    std::vector<int> plus;
    for (const DifferingPlu& differing : comparison.differing) {
        plus.push_back(differing.plu);
    }
    for (const int row : comparison.gridOnlyRows) {
        if (const auto plu = index.pluOf(row)) {
            plus.push_back(*plu);
        }
    }
    std::sort(plus.begin(), plus.end());
    return "The program did not know what the scale holds, so it compared first. " +
           numberListText("PLU ", "PLUs ", plus) + (plus.size() == 1 ? " differs" : " differ") +
           " from the scale; the grid shows where. A PLU changed at the counter would be overwritten "
           "with the grid's values.\n\nWrite " +
           (plus.size() == 1 ? std::string("it") : "these " + std::to_string(plus.size()) + " PLUs") +
           " to the scale?";
}

std::vector<std::uint16_t> plusOverwritingScaleChanges(const PluGrid& grid, const ScaleKnowledge& before,
                                                       const ScaleKnowledge& now, int from, int to,
                                                       char separator) {
    const GridPluIndex index(grid);
    std::vector<std::uint16_t> plus;
    for (int plu = 0; plu < kPluNumbers; ++plu) {
        const int row = index.rowOf(plu);
        if (row == 0 || !before.knows(plu) || !now.knows(plu) || !inTransferScope(plu, from, to)) {
            continue;
        }
        // A row that does not convert cannot be what was known before.
        const auto converted = pluWriteRequestFromRow(grid.row(row), separator);
        const auto* request = std::get_if<PluWriteRequest>(&converted);
        const auto number = static_cast<std::uint16_t>(plu);
        if (request != nullptr &&
            compareWrittenWithScale(number, request->record, before.record(plu)).verdict == RowAgainstScale::Same &&
            compareWrittenWithScale(number, request->record, now.record(plu)).verdict != RowAgainstScale::Same) {
            plus.push_back(number);
        }
    }
    return plus;
}

std::string overwriteQuestion(const std::vector<std::uint16_t>& plus) {
    const std::vector<int> numbers(plus.begin(), plus.end());
    const bool one = plus.size() == 1;
    return numberListText("PLU ", "PLUs ", numbers) + (one ? " was" : " were") +
           " changed on the scale since the program read " + (one ? "it" : "them") +
           ", and the grid still holds the older values. SEND CHANGES would write those back over the "
           "change.\n\nKEEP THE SCALE'S: the grid takes the scale's values for " + (one ? "it" : "them") +
           ", and the rest is written. WRITE THE GRID'S: every differing row is written.";
}
