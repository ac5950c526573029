#pragma once
// A change of the grid kept as what it changed: the texts of each row it
// touched, before and after. Undo puts the "before" rows back and redo the
// "after" rows; rows the change did not touch are never copied.

#include "plu_grid.h"

#include <vector>

struct PluRowChange {
    int row = 0; // data row, 1..1801
    PluRow before;
    PluRow after;
};
// Ascending by row, each row once.
using PluGridChange = std::vector<PluRowChange>;

// New texts for one data row.
struct PluRowEdit {
    int row = 0;
    PluRow after;
};

// The rows whose texts differ between a copy of the grid taken earlier and the grid now.
PluGridChange changedRows(const PluGrid& before, const PluGrid& after);
// The edits as a change of the grid as it stands: an edit that changes nothing
// is dropped, and of two edits of one row the later wins.
PluGridChange changeFromEdits(const PluGrid& grid, std::vector<PluRowEdit> edits);

// Puts the "after" (redo) or the "before" (undo) texts of every changed row into the grid.
void applyChange(PluGrid& grid, const PluGridChange& change, bool after);
