#include "take_scale_values.h"

#include <algorithm>

namespace {

bool rowIsEmpty(const PluRow& row) {
    return std::all_of(row.begin(), row.end(), [](const std::string& cell) { return cell.empty(); });
}

// The rows a PLU only on the scale may go into, in the order they are taken.
std::vector<int> emptyRowsInPlacingOrder(const PluGrid& grid) {
    int lastHolding = 0;
    for (int row = kPluDataRows; row >= 1; --row) {
        if (!rowIsEmpty(grid.row(row))) {
            lastHolding = row;
            break;
        }
    }
    std::vector<int> rows;
    for (int row = lastHolding + 1; row <= kPluDataRows; ++row) {
        rows.push_back(row);
    }
    for (int row = 1; row < lastHolding; ++row) {
        if (rowIsEmpty(grid.row(row))) {
            rows.push_back(row);
        }
    }
    return rows;
}

std::vector<int> asNumbers(const std::vector<std::uint16_t>& plus) {
    return {plus.begin(), plus.end()};
}

} // namespace

TakeScaleValuesPlan planTakeScaleValues(const PluGrid& grid, const PluComparison& comparison,
                                        const std::vector<int>& rows,
                                        const std::vector<std::uint16_t>& scaleOnly) {
    TakeScaleValuesPlan plan;
    std::vector<int> asked = rows;
    std::sort(asked.begin(), asked.end());
    asked.erase(std::unique(asked.begin(), asked.end()), asked.end());
    const auto isAsked = [&](int row) { return std::binary_search(asked.begin(), asked.end(), row); };

    for (const DifferingPlu& differing : comparison.differing) {
        if (isAsked(differing.row)) {
            plan.edits.push_back({differing.row, differing.scaleRow});
            plan.rowsTaken.push_back(differing.row);
        }
    }
    plan.gridOnlyLeft = static_cast<int>(
        std::count_if(comparison.gridOnlyRows.begin(), comparison.gridOnlyRows.end(), isAsked));

    const std::vector<int> empty = emptyRowsInPlacingOrder(grid);
    std::size_t nextEmpty = 0;
    for (const ScaleOnlyPlu& only : comparison.scaleOnly) {
        if (std::find(scaleOnly.begin(), scaleOnly.end(), only.plu) == scaleOnly.end()) {
            continue;
        }
        if (nextEmpty == empty.size()) {
            plan.noRoom.push_back(only.plu);
            continue;
        }
        const int row = empty[nextEmpty++];
        plan.edits.push_back({row, only.scaleRow});
        plan.placed.emplace_back(only.plu, row);
    }
    std::sort(plan.edits.begin(), plan.edits.end(),
              [](const PluRowEdit& a, const PluRowEdit& b) { return a.row < b.row; });
    return plan;
}

TakeScaleValuesPlan planTakeAllScaleValues(const PluGrid& grid, const PluComparison& comparison) {
    std::vector<int> rows;
    for (const DifferingPlu& differing : comparison.differing) {
        rows.push_back(differing.row);
    }
    rows.insert(rows.end(), comparison.gridOnlyRows.begin(), comparison.gridOnlyRows.end());
    std::vector<std::uint16_t> plus;
    for (const ScaleOnlyPlu& only : comparison.scaleOnly) {
        plus.push_back(only.plu);
    }
    return planTakeScaleValues(grid, comparison, rows, plus);
}

std::string takeScaleValuesReport(const TakeScaleValuesPlan& plan) {
    std::string text;
    const auto sentence = [&text](const std::string& words) {
        text += (text.empty() ? "" : " ") + words;
    };
    if (!plan.rowsTaken.empty()) {
        std::string rows = rowListText(plan.rowsTaken);
        rows[0] = 'R';
        sentence(rows + " took the scale's values.");
    }
    if (!plan.placed.empty()) {
        std::vector<int> plus;
        std::vector<int> rows;
        for (const auto& [plu, row] : plan.placed) {
            plus.push_back(plu);
            rows.push_back(row);
        }
        sentence(numberListText("PLU ", "PLUs ", plus) + ", only on the scale, went into the empty " +
                 rowListText(rows) + ".");
    }
    if (!plan.noRoom.empty()) {
        sentence("No empty row was left for " + numberListText("PLU ", "PLUs ", asNumbers(plan.noRoom)) + ".");
    }
    if (plan.gridOnlyLeft > 0) {
        sentence(plan.gridOnlyLeft == 1
                     ? std::string("1 row only in the grid was left as it is: the scale does not hold its PLU.")
                     : std::to_string(plan.gridOnlyLeft) +
                           " rows only in the grid were left as they are: the scale does not hold their PLUs.");
    }
    return text.empty() ? "Nothing to take: the rows asked for agree with the scale." : text;
}
