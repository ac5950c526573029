#include "comparison_marks.h"

#include "gui/qt_text.h"

#include <algorithm>

ComparisonMarks::ComparisonMarks() : kindOfRow_(kPluDataRows + 1, kNone) {}

void ComparisonMarks::show(const PluComparison& comparison, const std::vector<std::uint16_t>& changedOnScale) {
    clear();
    const std::vector<DifferingPlu>& differing = comparison.differing;
    differing_ = &differing;
    changedOnScale_.assign(differing.size(), false);
    for (std::size_t i = 0; i < differing.size(); ++i) {
        kindOfRow_[static_cast<std::size_t>(differing[i].row)] = static_cast<int>(i) + 1;
        changedOnScale_[i] = std::binary_search(changedOnScale.begin(), changedOnScale.end(), differing[i].plu);
    }
    for (const int row : comparison.gridOnlyRows) {
        kindOfRow_[static_cast<std::size_t>(row)] = kGridOnly;
    }
    for (const int row : comparison.unmatchedRows) {
        kindOfRow_[static_cast<std::size_t>(row)] = kUnmatched;
    }
    empty_ = differing.empty() && comparison.gridOnlyRows.empty() && comparison.unmatchedRows.empty();
}

void ComparisonMarks::clear() {
    std::fill(kindOfRow_.begin(), kindOfRow_.end(), kNone);
    differing_ = nullptr;
    changedOnScale_.clear();
    empty_ = true;
}

std::optional<CellMark> ComparisonMarks::markAt(int dataRow, int column) const {
    if (!PluGrid::isDataRow(dataRow)) {
        return std::nullopt;
    }
    const int kind = kindOfRow_[static_cast<std::size_t>(dataRow)];
    if (kind == kNone) {
        return std::nullopt;
    }
    if (kind == kUnmatched) {
        if (column != PluColumn::Num) {
            return std::nullopt;
        }
        return CellMark{unmatchedColour(),
                        QStringLiteral("No PLU number of its own (0 to 1800, in no other row): not compared, "
                                       "and SEND CHANGES refuses it")};
    }
    if (kind == kGridOnly) {
        // The cells a write sends; the running figures are the scale's own.
        if (column > PluColumn::ValidDate) {
            return std::nullopt;
        }
        return CellMark{gridOnlyColour(), QStringLiteral("Only in the grid: the scale does not hold this PLU")};
    }
    const auto index = static_cast<std::size_t>(kind - 1);
    const DifferingPlu& differing = (*differing_)[index];
    if (!differing.differs(column)) {
        return std::nullopt;
    }
    const std::string& held = differing.scaleRow[static_cast<std::size_t>(column)];
    QString reason = QStringLiteral("On the scale: ") + (held.empty() ? QStringLiteral("(empty)") : bytesToQString(held));
    if (changedOnScale_[index]) {
        reason += QStringLiteral(", changed there since the program read it");
    }
    return CellMark{differsColour(), reason};
}
