#pragma once
// The marks of a comparison with the scale on the grid's cells: a differing
// cell carries the scale's value in its tooltip, a row only in the grid is
// marked across its written cells, a row without a PLU number of its own on
// its NUM. Worked out from the comparison as each cell is drawn, so a new
// comparison after every edit costs no mark per cell.

#include "cell_marks.h"
#include "plu_comparison.h"

#include <cstdint>
#include <vector>

class ComparisonMarks : public CellMarkSource {
  public:
    ComparisonMarks();

    // The marks of `comparison` replace those shown; it is not copied, and
    // stays as it is until the next show() or clear(). `changedOnScale`: the
    // differing PLUs changed on the scale while the grid kept older values,
    // in PLU order.
    void show(const PluComparison& comparison, const std::vector<std::uint16_t>& changedOnScale = {});
    void clear();
    bool empty() const { return empty_; }
    std::optional<CellMark> markAt(int dataRow, int column) const override;

    // Soft colours that leave the text readable: blue where the scale holds
    // another value, green where it holds nothing, red where no PLU matches.
    static QColor differsColour() { return QColor(190, 214, 255); }
    static QColor gridOnlyColour() { return QColor(200, 236, 200); }
    static QColor unmatchedColour() { return QColor(255, 204, 204); }

  private:
    static constexpr int kNone = 0;
    static constexpr int kGridOnly = -1;
    static constexpr int kUnmatched = -2;

    const std::vector<DifferingPlu>* differing_ = nullptr;
    std::vector<bool> changedOnScale_; // by index into differing_
    std::vector<int> kindOfRow_; // by data row: kNone, kGridOnly, kUnmatched, or 1 + index into differing_
    bool empty_ = true;
};
