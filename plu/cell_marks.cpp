#include "cell_marks.h"

#include "plu_grid.h"

int StoredCellMarks::key(int dataRow, int column) {
    return dataRow * kPluColumns + column;
}

void StoredCellMarks::set(int dataRow, int column, CellMark mark) {
    marks_[key(dataRow, column)] = std::move(mark);
}

void StoredCellMarks::clear(int dataRow, int column) {
    marks_.erase(key(dataRow, column));
}

std::optional<CellMark> StoredCellMarks::markAt(int dataRow, int column) const {
    const auto found = marks_.find(key(dataRow, column));
    return found == marks_.end() ? std::nullopt : std::optional<CellMark>(found->second);
}
