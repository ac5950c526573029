#include "plu_find.h"

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

PluRowFinder::PluRowFinder(const PluFindQuery& query) : inUseOnly_(query.inUseOnly) {
    folded_.reserve(query.text.size());
    for (const char c : query.text) {
        folded_.push_back(static_cast<char>(fold(c)));
    }
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
    return folded_.empty() || contains(row[PluColumn::Num]) || contains(row[PluColumn::Code]) ||
           contains(row[PluColumn::Name]);
}
