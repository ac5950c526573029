#pragma once
// Taking the scale's values into the grid after a comparison, where the
// person at the PC decides the scale is right.
//
// - A row whose PLU differs takes the PLU as the scale holds it: every cell
//   as a load would show it, the running figures too.
// - A PLU only on the scale goes into a row that holds nothing at all: first
//   the empty rows below the last row that holds anything, in order, then,
//   when those run out, the empty rows above it from the top. A row holding
//   any text is never overwritten, so half-typed rows stay.
// - A row only in the grid is left as it is: on the scale's side there is
//   only the absence of the PLU, and the row may well be a new PLU the user
//   means to send. The report says how many were left.

#include "plu_comparison.h"
#include "plu_grid_change.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

struct TakeScaleValuesPlan {
    std::vector<PluRowEdit> edits;
    std::vector<int> rowsTaken;                     // differing rows that take the scale's values
    std::vector<std::pair<std::uint16_t, int>> placed; // a PLU only on the scale and the empty row it goes into
    std::vector<std::uint16_t> noRoom;               // PLUs only on the scale for which no empty row was left
    int gridOnlyLeft = 0;                            // rows only in the grid among those asked for
};

// `rows`: data rows whose differing PLU takes the scale's values (others are
// passed over); `scaleOnly`: PLUs only on the scale to put into empty rows.
TakeScaleValuesPlan planTakeScaleValues(const PluGrid& grid, const PluComparison& comparison,
                                        const std::vector<int>& rows,
                                        const std::vector<std::uint16_t>& scaleOnly);
// Everything the comparison found: every differing row, every PLU only on the scale.
TakeScaleValuesPlan planTakeAllScaleValues(const PluGrid& grid, const PluComparison& comparison);

// "Rows 3 and 9 took the scale's values. PLU 1500, only on the scale, went
// into row 14. 2 rows only in the grid were left as they are."
std::string takeScaleValuesReport(const TakeScaleValuesPlan& plan);
