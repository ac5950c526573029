#include "plu_comparison.h"

#include <algorithm>
#include <variant>

namespace {

// What a row converts to, with the cells that do not convert set apart.
struct ConvertedRow {
    PluRecord record;
    PluColumnSet unconvertible = 0;
};

// Converts the row as a write would. A cell that does not convert is marked
// and takes the scale's own text (or 0 when the scale holds nothing), so the
// other cells are still compared.
ConvertedRow convertRow(const PluRow& row, std::uint16_t plu, const PluRecord* held, char separator) {
    ConvertedRow result;
    const auto whole = pluWriteRequestFromRow(row, separator);
    if (const auto* request = std::get_if<PluWriteRequest>(&whole)) {
        result.record = request->record;
        return result;
    }
    PluRow probe = row;
    std::optional<PluRow> scaleRow;
    // Each pass replaces one failing cell by a text that converts, so one
    // pass per column ends it.
    for (int pass = 0; pass <= kPluColumns; ++pass) {
        const auto converted = pluWriteRequestFromRow(probe, separator);
        if (const auto* request = std::get_if<PluWriteRequest>(&converted)) {
            result.record = request->record;
            return result;
        }
        const int column = std::get<CellConversionFailure>(converted).column;
        result.unconvertible |= columnBit(column);
        if (held != nullptr && !scaleRow) {
            scaleRow = pluRowFromRecord(*held, plu, separator);
        }
        probe[static_cast<std::size_t>(column)] =
            scaleRow ? (*scaleRow)[static_cast<std::size_t>(column)] : "0";
    }
    return result;
}

// Of the PLUs both know, what `before` knew of those `now` knows otherwise.
ScaleKnowledge changedSince(const ScaleKnowledge& before, const ScaleKnowledge& now) {
    ScaleKnowledge changed;
    PluRecord absent;
    absent.price = -1;
    for (int plu = 0; plu < kPluNumbers; ++plu) {
        if (!before.knows(plu) || !now.knows(plu)) {
            continue;
        }
        const PluRecord* was = before.record(plu);
        const PluRecord* is = now.record(plu);
        if ((was == nullptr) != (is == nullptr) || (was != nullptr && differingColumns(*was, *is) != 0)) {
            changed.learnRead(static_cast<std::uint16_t>(plu), was != nullptr ? *was : absent);
        }
    }
    return changed;
}

std::string counted(std::size_t n, const char* one, const char* many) {
    return std::to_string(n) + (n == 1 ? one : many);
}

} // namespace

PluColumnSet differingColumns(const PluRecord& written, const PluRecord& held) {
    PluColumnSet columns = 0;
    const auto mark = [&](bool differs, int column) {
        if (differs) {
            columns |= columnBit(column);
        }
    };
    mark(written.price != held.price, PluColumn::Price);
    mark(written.code != held.code, PluColumn::Code);
    mark(written.department != held.department, PluColumn::Dep);
    mark(written.taxClass != held.taxClass, PluColumn::Tax);
    const unsigned flags = static_cast<unsigned>(written.flags ^ held.flags);
    mark((flags & kFlagNw) != 0, PluColumn::Nw);
    mark((flags & kFlagFix) != 0, PluColumn::Fix);
    mark((flags & kFlagBar) != 0, PluColumn::Bar);
    mark(nameAsReadBack(written.name) != nameAsReadBack(held.name), PluColumn::Name);
    mark(written.validDate != held.validDate, PluColumn::ValidDate);
    return columns;
}

RowVerdict compareWrittenWithScale(std::uint16_t plu, const PluRecord& written, const PluRecord* held) {
    if (held == nullptr) {
        // A write that only leaves the PLU absent asks for what the scale already has.
        return {pluIsAbsent(plu, written.price) ? RowAgainstScale::Same : RowAgainstScale::OnlyInGrid, 0};
    }
    const PluColumnSet columns = differingColumns(written, *held);
    return {columns == 0 ? RowAgainstScale::Same : RowAgainstScale::Differs, columns};
}

RowVerdict compareRowWithScale(const PluRow& row, std::uint16_t plu, const PluRecord* held, char separator) {
    const ConvertedRow converted = convertRow(row, plu, held, separator);
    if (held == nullptr) {
        // A row that cannot be written cannot leave the PLU absent either.
        return converted.unconvertible != 0 ? RowVerdict{RowAgainstScale::OnlyInGrid, 0}
                                            : compareWrittenWithScale(plu, converted.record, nullptr);
    }
    const PluColumnSet columns = converted.unconvertible | differingColumns(converted.record, *held);
    return {columns == 0 ? RowAgainstScale::Same : RowAgainstScale::Differs, columns};
}

std::string PluComparison::summary() const {
    if (agrees()) {
        return comparedPlus == 0 ? "No PLU was compared." : "The grid and the scale hold the same PLUs.";
    }
    std::string text = counted(differing.size(), " PLU differs", " PLUs differ") + ", " +
                       std::to_string(gridOnlyRows.size()) + " only in the grid, " +
                       std::to_string(scaleOnly.size()) + " only on the scale";
    if (!unmatchedRows.empty()) {
        text += ", " + counted(unmatchedRows.size(), " row without a PLU number of its own",
                               " rows without a PLU number of their own");
    }
    return text;
}

PluComparison comparePluTables(const PluGrid& grid, const ScaleKnowledge& scale, char separator) {
    const GridPluIndex index(grid);
    PluComparison result;
    result.comparedPlus = scale.knownCount();
    std::merge(index.invalidRows().begin(), index.invalidRows().end(), index.duplicateRows().begin(),
               index.duplicateRows().end(), std::back_inserter(result.unmatchedRows));

    for (int row = 1; row <= kPluDataRows; ++row) {
        const auto plu = index.pluOf(row);
        if (!plu || !scale.knows(*plu)) {
            continue;
        }
        const PluRecord* held = scale.record(*plu);
        const RowVerdict verdict = compareRowWithScale(grid.row(row), *plu, held, separator);
        if (verdict.verdict == RowAgainstScale::Differs) {
            result.differing.push_back(
                {*plu, row, verdict.columns, pluRowFromRecord(*held, *plu, separator)});
        } else if (verdict.verdict == RowAgainstScale::OnlyInGrid) {
            result.gridOnlyRows.push_back(row);
        }
    }
    for (int plu = 0; plu < kPluNumbers; ++plu) {
        const PluRecord* held = scale.record(plu);
        if (held != nullptr && !index.anyRowHolds(plu)) {
            const auto number = static_cast<std::uint16_t>(plu);
            result.scaleOnly.push_back({number, pluRowFromRecord(*held, number, separator)});
        }
    }
    return result;
}

CompareOutcome compareWithScale(ScaleLink& link, const PluGrid& grid, ScaleKnowledge& knowledge, int from,
                                int to, char separator, const TransferHooks& hooks) {
    ScaleKnowledge snapshot;
    const TransferEnd end = loadPluRange(
        from, to,
        [&](std::uint16_t plu, int) {
            const PluRecordRead read = readPluRecord(link, plu);
            if (read.result != PluReadResult::LinkFailed) {
                snapshot.learnRead(plu, read.record);
            }
            return read.result;
        },
        hooks);
    if (end == TransferEnd::LinkFailed) {
        knowledge.forget();
        return {end, {}, {}, {}};
    }
    ScaleKnowledge changed = changedSince(knowledge, snapshot);
    knowledge.learnFrom(snapshot);
    PluComparison comparison = comparePluTables(grid, snapshot, separator);
    return {end, std::move(comparison), std::move(snapshot), std::move(changed)};
}
