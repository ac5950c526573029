#pragma once
// The marks of cells whose text will not reach the scale as shown, worked out
// from the cell's row each time it is drawn: they can never lag behind an
// edit, a load or an undo, and cost nothing while a transfer fills the grid.

#include "cell_marks.h"

class PluGrid;

class TransferLossMarks : public CellMarkSource {
  public:
    TransferLossMarks(const PluGrid& grid, char decimalSeparator)
        : grid_(grid), separator_(decimalSeparator) {}
    std::optional<CellMark> markAt(int dataRow, int column) const override;

    // A soft amber: it warns without hiding the text.
    static QColor colour() { return QColor(255, 222, 150); }

  private:
    const PluGrid& grid_;
    char separator_;
};
