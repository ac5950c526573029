#include "plu_find.h"

#include "csv_columns.h"

#include <array>

namespace {

// Windows-1252 upper-case letters and their lower-case bytes beyond ASCII:
// Š Œ Ž Ÿ, and À..Þ except the multiplication sign.
constexpr std::array<unsigned char, 256> makeFoldTable() {
    std::array<unsigned char, 256> table{};
    for (unsigned i = 0; i < 256; ++i) {
        table[i] = static_cast<unsigned char>(i);
    }
    for (unsigned c = 'A'; c <= 'Z'; ++c) {
        table[c] = static_cast<unsigned char>(c + 0x20);
    }
    for (unsigned c = 0xC0; c <= 0xDE; ++c) {
        if (c != 0xD7) {
            table[c] = static_cast<unsigned char>(c + 0x20);
        }
    }
    table[0x8A] = 0x9A;
    table[0x8C] = 0x9C;
    table[0x8E] = 0x9E;
    table[0x9F] = 0xFF;
    return table;
}

constexpr std::array<unsigned char, 256> kFold = makeFoldTable();

unsigned char fold(char c) {
    return kFold[static_cast<unsigned char>(c)];
}

} // namespace

unsigned char foldCase1252(unsigned char byte) {
    return kFold[byte];
}

namespace {

std::string_view trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// The column a "<column>=" names, blanks and case aside.
int namedColumn(std::string_view name) {
    const std::string key = headerKey(name);
    for (int column = 0; column < kPluColumns; ++column) {
        if (!key.empty() && key == headerKey(kPluHeaders[static_cast<std::size_t>(column)])) {
            return column;
        }
    }
    return -1;
}

} // namespace

PluRowFinder::PluRowFinder(const PluFindQuery& query) : inUseOnly_(query.inUseOnly) {
    std::string_view text = query.text;
    const std::size_t equalsSign = text.find('=');
    if (equalsSign != std::string_view::npos) {
        column_ = namedColumn(text.substr(0, equalsSign));
        if (column_ >= 0) {
            text = trimmed(text.substr(equalsSign + 1));
        }
    }
    folded_.reserve(text.size());
    for (const char c : text) {
        folded_.push_back(static_cast<char>(fold(c)));
    }
}

bool PluRowFinder::equals(std::string_view cell) const {
    if (cell.size() != folded_.size()) {
        return false;
    }
    for (std::size_t i = 0; i < cell.size(); ++i) {
        if (fold(cell[i]) != static_cast<unsigned char>(folded_[i])) {
            return false;
        }
    }
    return true;
}

bool PluRowFinder::contains(std::string_view haystack) const {
    if (folded_.size() > haystack.size()) {
        return false;
    }
    const std::size_t last = haystack.size() - folded_.size();
    for (std::size_t start = 0; start <= last; ++start) {
        std::size_t i = 0;
        while (i < folded_.size() && fold(haystack[start + i]) == static_cast<unsigned char>(folded_[i])) {
            ++i;
        }
        if (i == folded_.size()) {
            return true;
        }
    }
    return false;
}

bool PluRowFinder::matches(const PluRow& row) const {
    if (inUseOnly_ && row[PluColumn::Num].empty()) {
        return false;
    }
    if (column_ >= 0) {
        return equals(row[static_cast<std::size_t>(column_)]);
    }
    return folded_.empty() || contains(row[PluColumn::Num]) || contains(row[PluColumn::Code]) ||
           contains(row[PluColumn::Name]);
}
