#pragma once
// The grid beside what the scale holds, matched by PLU number, not by row.
//
// A row is compared as what the scale would hold once the row is written with
// command 35, so two texts the write turns into the same bytes are equal:
// - PRICE in hundredths, digits beyond cut off toward zero: "5", "5.00" and
//   "5.009" are all 500;
// - CODE as its 32-bit number, DEP and TAX by their low 8 bits, Valid Date by
//   its low 16 bits ("65535" is the -1 the scale shows);
// - NW, FIX and BAR through the flags byte they make; the byte's bits 3 to 7
//   have no column and are not compared;
// - NAME as the scale gives it back: its first 30 bytes, up to a zero byte;
// - a negative PRICE makes the PLU absent (PLU 0 excepted), so such a row
//   equals a PLU the scale does not hold;
// - a cell that does not convert differs: the row cannot reach the scale as
//   it stands.
// QUANTITY, TOTAL and COUNT are never compared: the scale changes them with
// every sale. Only rows in use take part; NUM is the key (grid_plu_index.h).
// So a table just loaded compares equal, whatever the scale sent.

#include "grid_plu_index.h"
#include "scale_knowledge.h"

#include <cstdint>
#include <string>
#include <vector>

// Columns of one row as a set: bit c stands for column c.
using PluColumnSet = std::uint16_t;
inline constexpr PluColumnSet columnBit(int column) {
    return static_cast<PluColumnSet>(1u << column);
}

// The columns in which `held` (what the scale holds) differs from `written`
// (what a command 35 carried), under the rules above. Running figures aside.
PluColumnSet differingColumns(const PluRecord& written, const PluRecord& held);

// One grid row against what the scale holds of its PLU.
enum class RowAgainstScale {
    Same,
    Differs,    // the scale holds the PLU, with other values
    OnlyInGrid, // the scale does not hold it, the row would put it there
};
struct RowVerdict {
    RowAgainstScale verdict = RowAgainstScale::Same;
    PluColumnSet columns = 0; // for Differs
};
// `held` is nullptr when the scale does not hold the PLU. The row is one in
// use whose "NUM" is `plu`.
RowVerdict compareRowWithScale(const PluRow& row, std::uint16_t plu, const PluRecord* held,
                               char decimalSeparator);
// The same for what a command 35 carries (a row already converted).
RowVerdict compareWrittenWithScale(std::uint16_t plu, const PluRecord& written, const PluRecord* held);

struct DifferingPlu {
    std::uint16_t plu = 0;
    int row = 0;              // the grid's data row
    PluColumnSet columns = 0; // the cells that differ
    PluRow scaleRow;          // the PLU as a load would show it: the scale's text of every cell
    bool differs(int column) const { return (columns & columnBit(column)) != 0; }
};
struct ScaleOnlyPlu {
    std::uint16_t plu = 0;
    PluRow scaleRow;
};

struct PluComparison {
    std::vector<DifferingPlu> differing; // in row order
    std::vector<int> gridOnlyRows;       // rows whose PLU the scale does not hold, in row order
    std::vector<ScaleOnlyPlu> scaleOnly; // PLUs no row in use holds, in PLU order
    std::vector<int> unmatchedRows;      // rows in use without a PLU number of their own
    int comparedPlus = 0;                // PLUs whose scale side was known

    bool agrees() const {
        return differing.empty() && gridOnlyRows.empty() && scaleOnly.empty() && unmatchedRows.empty();
    }
    // "12 PLUs differ, 3 only in the grid, 1 only on the scale", and the rows
    // that could not be matched when there are any.
    std::string summary() const;
};

// Every PLU that `scale` knows, against the grid. Rows whose PLU it does not
// know (outside the range read) are left out.
PluComparison comparePluTables(const PluGrid& grid, const ScaleKnowledge& scale, char decimalSeparator);

// COMPARE WITH SCALE: reads PLU 0, PLU 1800 and FROM..TO into a snapshot of
// its own, with the hooks, progress and STOP of a load, and compares. The
// grid is not touched. The knowledge learns every PLU read; a failed exchange
// drops it all and leaves no comparison. After STOP, the comparison covers
// the PLUs read so far.
// What the program knew before of the PLUs the compare found changed on the
// scale (running figures aside) is kept apart: a grid row still holding that
// is older than the scale, not a change of the user's.
struct CompareOutcome {
    TransferEnd end = TransferEnd::Completed;
    PluComparison comparison;
    ScaleKnowledge snapshot;       // the PLUs read, as read: what the comparison covers
    ScaleKnowledge changedOnScale; // of the PLUs the program knew that read back otherwise, what it knew
};
CompareOutcome compareWithScale(ScaleLink& link, const PluGrid& grid, ScaleKnowledge& knowledge, int from,
                                int to, char decimalSeparator, const TransferHooks& hooks);
