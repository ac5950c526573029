#include "grid_plu_index.h"

#include "link/number_parsing.h"
#include "scale_knowledge.h"

namespace {

// Rows named one by one in a message before the rest are only counted.
constexpr std::size_t kRowsNamed = 8;

std::optional<std::uint16_t> pluNumber(const std::string& text) {
    std::int32_t value = 0;
    if (!parseInt(text, value) || !ScaleKnowledge::isPluNumber(value)) {
        return std::nullopt;
    }
    return static_cast<std::uint16_t>(value);
}

std::string capitalised(std::string text) {
    if (!text.empty() && text[0] >= 'a' && text[0] <= 'z') {
        text[0] = static_cast<char>(text[0] - 'a' + 'A');
    }
    return text;
}

} // namespace

GridPluIndex::GridPluIndex(const PluGrid& grid) : rowOfPlu_(kPluNumbers, 0), pluOfRow_(kPluDataRows, kNoPlu) {
    for (int row = 1; row <= kPluDataRows; ++row) {
        if (!grid.inUse(row)) {
            continue;
        }
        const auto plu = pluNumber(grid.cell(row, PluColumn::Num));
        if (!plu) {
            invalid_.push_back(row);
            continue;
        }
        int& holder = rowOfPlu_[*plu];
        holder = holder == 0 ? row : kNoPlu;
        pluOfRow_[static_cast<std::size_t>(row - 1)] = *plu;
    }
    // A second pass, so both rows of a pair are named, in row order.
    for (int row = 1; row <= kPluDataRows; ++row) {
        int& plu = pluOfRow_[static_cast<std::size_t>(row - 1)];
        if (plu != kNoPlu && rowOfPlu_[static_cast<std::size_t>(plu)] == kNoPlu) {
            duplicate_.push_back(row);
            plu = kNoPlu;
        }
    }
}

int GridPluIndex::rowOf(int plu) const {
    if (!ScaleKnowledge::isPluNumber(plu)) {
        return 0;
    }
    const int row = rowOfPlu_[static_cast<std::size_t>(plu)];
    return row == kNoPlu ? 0 : row;
}

bool GridPluIndex::anyRowHolds(int plu) const {
    return ScaleKnowledge::isPluNumber(plu) && rowOfPlu_[static_cast<std::size_t>(plu)] != 0;
}

std::optional<std::uint16_t> GridPluIndex::pluOf(int row) const {
    if (!PluGrid::isDataRow(row) || pluOfRow_[static_cast<std::size_t>(row - 1)] == kNoPlu) {
        return std::nullopt;
    }
    return static_cast<std::uint16_t>(pluOfRow_[static_cast<std::size_t>(row - 1)]);
}

std::string rowListText(const std::vector<int>& rows) {
    return numberListText("row ", "rows ", rows);
}

std::string numberListText(std::string_view one, std::string_view many, const std::vector<int>& rows) {
    std::string text(rows.size() == 1 ? one : many);
    const std::size_t named = rows.size() > kRowsNamed + 1 ? kRowsNamed : rows.size();
    for (std::size_t i = 0; i < named; ++i) {
        if (i > 0) {
            text += i + 1 == rows.size() ? " and " : ", ";
        }
        text += std::to_string(rows[i]);
    }
    if (named < rows.size()) {
        text += " and " + std::to_string(rows.size() - named) + " more";
    }
    return text;
}

std::string unmatchedRowsText(const GridPluIndex& index) {
    std::string text;
    const auto sentence = [&](const std::vector<int>& rows, const char* one, const char* many) {
        if (rows.empty()) {
            return;
        }
        if (!text.empty()) {
            text += ' ';
        }
        text += capitalised(rowListText(rows)) + (rows.size() == 1 ? one : many);
    };
    sentence(index.invalidRows(), " has no PLU number from 0 to 1800.",
             " have no PLU number from 0 to 1800.");
    sentence(index.duplicateRows(), " has a PLU number that another row has too.",
             " have PLU numbers that other rows have too.");
    return text;
}
