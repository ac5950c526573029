#include "plu_grid_change.h"

#include <algorithm>

PluGridChange changedRows(const PluGrid& before, const PluGrid& after) {
    PluGridChange change;
    for (int row = 1; row <= kPluDataRows; ++row) {
        if (before.row(row) != after.row(row)) {
            change.push_back({row, before.row(row), after.row(row)});
        }
    }
    return change;
}

PluGridChange changeFromEdits(const PluGrid& grid, std::vector<PluRowEdit> edits) {
    // Stable, so that of two edits of one row the later one comes last.
    std::stable_sort(edits.begin(), edits.end(),
                     [](const PluRowEdit& a, const PluRowEdit& b) { return a.row < b.row; });
    PluGridChange change;
    change.reserve(edits.size());
    for (std::size_t i = 0; i < edits.size(); ++i) {
        PluRowEdit& edit = edits[i];
        if (!PluGrid::isDataRow(edit.row) || (i + 1 < edits.size() && edits[i + 1].row == edit.row)) {
            continue;
        }
        if (grid.row(edit.row) != edit.after) {
            change.push_back({edit.row, grid.row(edit.row), std::move(edit.after)});
        }
    }
    return change;
}

void applyChange(PluGrid& grid, const PluGridChange& change, bool after) {
    for (const PluRowChange& row : change) {
        grid.row(row.row) = after ? row.after : row.before;
    }
}
