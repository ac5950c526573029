#include "plu_bulk_edit.h"

#include "plu_checks.h"
#include "plu_text_forms.h"

namespace {

// Refused rows named in one message; the rest are counted.
constexpr std::size_t kReportedRefusals = 12;

std::string plural(std::size_t n, std::string_view one, std::string_view many) {
    return std::to_string(n) + " " + std::string(n == 1 ? one : many);
}

std::string columnName(int column) {
    return std::string(kPluHeaders[static_cast<std::size_t>(column)]);
}

// Why typing `text` into `column` is refused, in the user's words.
std::string refusalReason(int column, const std::string& text, char separator) {
    const auto value = parseExactDecimal(text, separator);
    if (column == PluColumn::Price && value && compareDecimal(*value, "9999.99") > 0) {
        return "the new price " + text + " is above 9999.99";
    }
    return "'" + text + "' is not accepted in " + columnName(column);
}

} // namespace

bool isDecimalColumn(int column) {
    return column == PluColumn::Num || column == PluColumn::Price || column == PluColumn::Code ||
           column == PluColumn::ValidDate;
}

std::string withLocaleSeparator(int column, std::string_view text, char separator) {
    std::string out(text);
    if (separator != '.' && isDecimalColumn(column) && out.find(separator) == std::string::npos) {
        const std::size_t point = out.find('.');
        if (point != std::string::npos && out.find('.', point + 1) == std::string::npos) {
            out[point] = separator;
        }
    }
    return out;
}

BulkEditPlan planPriceChange(const PluGrid& grid, const std::vector<int>& rows, const PriceChange& change,
                             char separator) {
    BulkEditPlan plan;
    for (const int row : rows) {
        const std::string& price = grid.cell(row, PluColumn::Price);
        if (price.empty()) {
            ++plan.notInUse;
            continue;
        }
        const auto hundredths = changedPriceHundredths(price, change, separator);
        if (!hundredths) {
            plan.refused.push_back({row, "the price " + price + " is too long to compute exactly"});
            continue;
        }
        if (priceEquals(price, *hundredths, separator)) {
            ++plan.unchanged;
            continue;
        }
        const std::string text = formatMoney(*hundredths, separator);
        // The scale takes a negative price for a PLU it does not hold.
        if (*hundredths < 0) {
            plan.refused.push_back({row, "the new price " + text + " is below zero"});
            continue;
        }
        if (!acceptsTypedText(PluColumn::Price, text, separator)) {
            plan.refused.push_back({row, refusalReason(PluColumn::Price, text, separator)});
            continue;
        }
        PluRow after = grid.row(row);
        after[PluColumn::Price] = text;
        plan.edits.push_back({row, std::move(after)});
    }
    return plan;
}

BulkEditPlan planColumnValue(const PluGrid& grid, const std::vector<int>& rows, int column,
                             std::string_view value, char separator) {
    BulkEditPlan plan;
    const std::string text = withLocaleSeparator(column, value, separator);
    const bool accepted = acceptsTypedText(column, text, separator);
    for (const int row : rows) {
        if (!grid.inUse(row)) {
            ++plan.notInUse;
        } else if (!accepted) {
            plan.refused.push_back({row, refusalReason(column, text, separator)});
        } else if (grid.cell(row, column) == text) {
            ++plan.unchanged;
        } else {
            PluRow after = grid.row(row);
            after[static_cast<std::size_t>(column)] = text;
            plan.edits.push_back({row, std::move(after)});
        }
    }
    return plan;
}

BulkEditPlan planClearRows(const PluGrid& grid, const std::vector<int>& rows) {
    BulkEditPlan plan;
    for (const int row : rows) {
        if (grid.row(row) == PluRow{}) {
            ++plan.unchanged;
        } else {
            plan.edits.push_back({row, PluRow{}});
        }
    }
    return plan;
}

std::string describeRow(const PluGrid& grid, int row) {
    const std::string& plu = grid.cell(row, PluColumn::Num);
    return "row " + std::to_string(row) + (plu.empty() ? std::string() : " (PLU " + plu + ")");
}

std::string listLines(const std::vector<std::string>& lines, std::size_t shown) {
    std::string out;
    for (std::size_t i = 0; i < lines.size() && i < shown; ++i) {
        out += "\n" + lines[i];
    }
    if (lines.size() > shown) {
        out += "\n... and " + std::to_string(lines.size() - shown) + " more";
    }
    return out;
}

std::string bulkEditReport(const BulkEditPlan& plan, const PluGrid& grid) {
    std::string text = plural(plan.edits.size(), "row changed.", "rows changed.");
    if (plan.unchanged > 0) {
        text += " " + plural(static_cast<std::size_t>(plan.unchanged), "row", "rows") +
                " already held the value.";
    }
    if (plan.notInUse > 0) {
        text += " " + plural(static_cast<std::size_t>(plan.notInUse), "row", "rows") +
                " without a price passed over.";
    }
    if (!plan.refused.empty()) {
        text +=
            "\n\n" + plural(plan.refused.size(), "row was", "rows were") + " refused and left as they were:";
        std::vector<std::string> lines;
        lines.reserve(plan.refused.size());
        for (const RowRefusal& refusal : plan.refused) {
            lines.push_back(describeRow(grid, refusal.row) + ": " + refusal.reason);
        }
        text += listLines(lines, kReportedRefusals);
    }
    return text;
}

std::string bulkEditPreview(const BulkEditPlan& plan) {
    std::string text = plural(plan.edits.size(), "row changes", "rows change");
    if (!plan.refused.empty()) {
        text += ", " + plural(plan.refused.size(), "row is", "rows are") + " refused";
    }
    if (plan.unchanged > 0) {
        text += ", " + std::to_string(plan.unchanged) + " unchanged";
    }
    return text + ".";
}
