#include "cell_block.h"

#include "csv_reader.h"
#include "plu_bulk_edit.h"
#include "plu_checks.h"
#include "utf8_text.h"

#include <algorithm>

namespace {

constexpr char kTab = '\t';
// Refused cells named in the message; the rest are counted.
constexpr std::size_t kReportedCells = 10;

CsvLimits clipboardLimits() {
    CsvLimits limits;
    limits.maxRecords = kPluDataRows + 1; // one more than fits, so "too tall" is told apart
    limits.maxFields = kPluColumns + 1;
    limits.maxFieldBytes = 4096;
    return limits;
}

std::string columnName(int column) {
    return std::string(kPluHeaders[static_cast<std::size_t>(column)]);
}

} // namespace

std::string formatCellBlock(const PluGrid& grid, const std::vector<int>& rows,
                            const std::vector<int>& columns) {
    std::string out;
    out.reserve(rows.size() * columns.size() * 8);
    for (const int row : rows) {
        for (std::size_t i = 0; i < columns.size(); ++i) {
            if (i > 0) {
                out.push_back(kTab);
            }
            appendCsvField(out, windows1252ToUtf8(grid.cell(row, columns[i])), kTab);
        }
        out.append("\r\n");
    }
    return out;
}

PastePlan planPaste(const PluGrid& grid, const std::vector<int>& rows, int firstColumn,
                    std::string_view utf8Text, char separator) {
    PastePlan plan;
    const CsvRecords block = readCsvRecords(utf8Text, kTab, clipboardLimits());
    plan.height = static_cast<int>(block.records.size());
    for (const CsvRecord& record : block.records) {
        plan.width = std::max(plan.width, static_cast<int>(record.fields.size()));
    }
    if (plan.height == 0) {
        plan.problem = "The clipboard holds no cells.";
        return plan;
    }
    if (firstColumn + plan.width > kPluColumns) {
        plan.problem = "The block is " + std::to_string(plan.width) + " columns wide; from " +
                       columnName(firstColumn) + " on the grid has " +
                       std::to_string(kPluColumns - firstColumn) + ".";
        return plan;
    }
    if (block.truncated || plan.height > static_cast<int>(rows.size())) {
        plan.problem = "The block has " + std::string(block.truncated ? "more than " : "") +
                       std::to_string(plan.height) + " rows; from the current cell down the grid shows " +
                       std::to_string(rows.size()) + ".";
        return plan;
    }
    for (std::size_t r = 0; r < block.records.size(); ++r) {
        const int row = rows[r];
        PluRow after = grid.row(row);
        const auto& fields = block.records[r].fields;
        for (std::size_t f = 0; f < fields.size(); ++f) {
            const int column = firstColumn + static_cast<int>(f);
            const auto bytes = utf8ToWindows1252(fields[f]);
            const std::string text = bytes ? withLocaleSeparator(column, *bytes, separator) : std::string();
            if (!bytes || !acceptsTypedText(column, text, separator)) {
                plan.refused.push_back({row, column, bytes ? text : utf8ToWindows1252Lossy(fields[f])});
                continue;
            }
            after[static_cast<std::size_t>(column)] = text;
        }
        plan.edits.push_back({row, std::move(after)});
    }
    if (!plan.refused.empty()) {
        plan.edits.clear();
    }
    return plan;
}

std::string pasteRefusalMessage(const PastePlan& plan) {
    if (!plan.problem.empty()) {
        return "Nothing was pasted. " + plan.problem;
    }
    std::string text = "Nothing was pasted: " + std::to_string(plan.refused.size()) +
                       (plan.refused.size() == 1 ? " cell was" : " cells were") + " refused.";
    std::vector<std::string> lines;
    lines.reserve(plan.refused.size());
    for (const RefusedCell& cell : plan.refused) {
        lines.push_back("row " + std::to_string(cell.row) + ", " + columnName(cell.column) + ": '" +
                        cell.text + "'" +
                        (cell.column >= PluColumn::Quantity ? " (kept by the scale, never pasted)" : ""));
    }
    return text + listLines(lines, kReportedCells);
}
