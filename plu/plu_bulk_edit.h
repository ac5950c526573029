#pragma once
// Operations on many rows at once: a price change, one value for a column,
// clearing rows. Each is planned first, without touching the grid, so the
// window can preview it, apply it as one undo step and report it.
//
// Every new cell text must pass the check typing it would pass; a row that
// would fail keeps all its texts and is named in the report.

#include "plu_grid.h"
#include "plu_grid_change.h"
#include "price_change.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

struct RowRefusal {
    int row = 0; // data row, or the line of a file
    std::string reason;
};

struct BulkEditPlan {
    std::vector<PluRowEdit> edits;
    std::vector<RowRefusal> refused;
    int unchanged = 0; // rows that already held the result
    int notInUse = 0;  // rows passed over because they have no price
};

// The columns one value can be given to at once.
inline constexpr std::array<int, 6> kSettableColumns = {PluColumn::Dep, PluColumn::Tax, PluColumn::Nw,
                                                        PluColumn::Fix, PluColumn::Bar, PluColumn::ValidDate};

// Columns whose texts are decimal numbers: a point is taken for the locale's
// separator there when the text comes from outside (a paste, a dialog, a file).
bool isDecimalColumn(int column);
// The text with a point read as the locale's separator in a decimal column.
std::string withLocaleSeparator(int column, std::string_view text, char decimalSeparator);

// Rows in use get the changed price; rows without a price are passed over.
BulkEditPlan planPriceChange(const PluGrid& grid, const std::vector<int>& rows, const PriceChange& change,
                             char decimalSeparator);
// Rows in use get `text` in `column`; the text must pass the typing check.
BulkEditPlan planColumnValue(const PluGrid& grid, const std::vector<int>& rows, int column,
                             std::string_view text, char decimalSeparator);
// Every cell of the rows emptied, as "CLEAR" empties the whole grid.
BulkEditPlan planClearRows(const PluGrid& grid, const std::vector<int>& rows);

// The one closing message of an operation: how many rows changed, and which
// were refused and why (the first few, then how many more).
std::string bulkEditReport(const BulkEditPlan& plan, const PluGrid& grid);
// The short form the price dialog shows while the user types.
std::string bulkEditPreview(const BulkEditPlan& plan);

// "row 17 (PLU 15)": where a row is for the person reading a report.
std::string describeRow(const PluGrid& grid, int row);
// The first `shown` lines, then "... and N more".
std::string listLines(const std::vector<std::string>& lines, std::size_t shown);
