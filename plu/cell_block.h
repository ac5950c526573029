#pragma once
// The grid's cells and a spreadsheet's clipboard: a block of cells as
// TAB-separated text with CR LF after each row, UTF-8, cells quoted the way
// spreadsheets quote them when they hold a TAB, a line break or a quote.
//
// A paste is all or nothing: every cell is checked as a whole text, as typing
// it would check it, and one refused cell refuses the whole block.

#include "plu_grid.h"
#include "plu_grid_change.h"

#include <string>
#include <string_view>
#include <vector>

// The cells of `rows` x `columns` (data rows, columns in the order given).
std::string formatCellBlock(const PluGrid& grid, const std::vector<int>& rows,
                            const std::vector<int>& columns);

struct RefusedCell {
    int row = 0; // data row
    int column = 0;
    std::string text; // as the grid would show it, '?' for what it cannot keep
};

struct PastePlan {
    std::vector<PluRowEdit> edits; // empty unless every cell passed
    std::vector<RefusedCell> refused;
    std::string problem; // the block as a whole cannot go there (too wide, too tall, empty)
    int height = 0;
    int width = 0;
    bool accepted() const { return problem.empty() && refused.empty(); }
};

// The block goes to the rows given (the data rows from the current cell's
// downwards, in the order the user sees them) from `firstColumn` on. Decimal
// numbers may use the locale's separator or a point; they are stored with the
// locale's. "QUANTITY", "TOTAL" and "COUNT" refuse every pasted text.
PastePlan planPaste(const PluGrid& grid, const std::vector<int>& rows, int firstColumn,
                    std::string_view utf8Text, char decimalSeparator);

// "Nothing was pasted: ..." naming the first refused cells, or the problem.
std::string pasteRefusalMessage(const PastePlan& plan);
