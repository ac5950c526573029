#pragma once
// The grid's rows by PLU number, for what matches rows by "NUM" rather than
// by position: the comparison with the scale and SEND CHANGES.
//
// Only rows in use (a "PRICE") take part, as only they ever reach the scale.
// A row matches its PLU when its "NUM" is a whole number from 0 to 1800 that
// no other row in use holds: "7" and "007" are the same PLU twice. A save by
// position would send such rows anyway (a "NUM" of 70000 as PLU 4464); a
// match by number cannot tell which of two rows is meant.

#include "plu_grid.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class GridPluIndex {
  public:
    explicit GridPluIndex(const PluGrid& grid);

    // The one row in use holding `plu`, or 0 (none, or more than one).
    int rowOf(int plu) const;
    // True when any row in use holds `plu`, even with another row.
    bool anyRowHolds(int plu) const;
    // The PLU of a data row that matches one.
    std::optional<std::uint16_t> pluOf(int row) const;

    // Rows in use whose "NUM" is not a PLU number; rows in use whose PLU
    // number another row in use holds too. Both in row order.
    const std::vector<int>& invalidRows() const { return invalid_; }
    const std::vector<int>& duplicateRows() const { return duplicate_; }
    bool everyRowMatched() const { return invalid_.empty() && duplicate_.empty(); }

  private:
    static constexpr int kNoPlu = -1;
    std::vector<int> rowOfPlu_; // 0: none; kNoPlu: more than one row
    std::vector<int> pluOfRow_; // by data row - 1; kNoPlu unless matched
    std::vector<int> invalid_;
    std::vector<int> duplicate_;
};

// "Rows 5 and 9 have no PLU number from 0 to 1800. Row 12 has a PLU number
// that another row has too." Empty when every row matched. At most a few
// rows are named in each sentence, then how many more.
std::string unmatchedRowsText(const GridPluIndex& index);
// "row 5", "rows 5 and 9", "rows 5, 9, 12 and 3 more"; for messages and summaries.
std::string rowListText(const std::vector<int>& rows);
// The same with other words: numberListText("PLU ", "PLUs ", {3, 7}) is "PLUs 3 and 7".
std::string numberListText(std::string_view one, std::string_view many, const std::vector<int>& numbers);
