#include "csv_columns.h"

#include "plu_find.h"
#include "plu_grid.h"

#include <algorithm>
#include <array>
#include <initializer_list>

namespace {

struct Names {
    int column;
    std::initializer_list<std::string_view> keys; // as headerKey() gives them
};

// The grid's own name first, then what other shop systems call the column.
const std::array<Names, kPluColumns> kNames = {{
    {PluColumn::Num, {"NUM", "PLU", "PLUNO", "PLUNR", "PLUNUM", "PLUNUMBER", "NUMBER", "NO", "NR"}},
    {PluColumn::Price,
     {"PRICE", "UNITPRICE", "SELLINGPRICE", "SALESPRICE", "RETAILPRICE", "PRICEPERKG", "PRICEKG"}},
    {PluColumn::Code,
     {"CODE", "ITEMCODE", "ARTICLECODE", "ARTICLE", "ARTICLENO", "ARTICLENUMBER", "ARTNO", "SKU", "EAN",
      "BARCODE"}},
    {PluColumn::Dep, {"DEP", "DEPT", "DEPARTMENT", "DEPARTMENTNO", "DEPNO", "GROUP"}},
    {PluColumn::Tax, {"TAX", "TAXCLASS", "TAXCODE", "VAT", "VATCLASS", "VATCODE"}},
    {PluColumn::Nw, {"NW", "NONWEIGHED", "NOTWEIGHED", "PIECE", "BYPIECE", "PERPIECE"}},
    {PluColumn::Fix, {"FIX", "FIXED", "FIXEDPRICE", "FIXPRICE"}},
    {PluColumn::Bar, {"BAR", "BARFLAG", "PRINTBARCODE"}},
    {PluColumn::Name,
     {"NAME", "DESCRIPTION", "DESC", "ITEMNAME", "ARTICLENAME", "PRODUCT", "PRODUCTNAME", "TEXT", "ITEM"}},
    {PluColumn::ValidDate,
     {"VALIDDATE", "VALID", "VALIDITY", "SHELFLIFE", "BESTBEFORE", "SELLBY", "USEBY", "DAYS"}},
    {PluColumn::Quantity, {"QUANTITY", "QTY"}},
    {PluColumn::Total, {"TOTAL", "AMOUNT", "TURNOVER"}},
    {PluColumn::Count, {"COUNT", "SALESCOUNT"}},
}};

constexpr char kNotImportedName[] = "-";

std::optional<int> columnOfName(std::string_view name) {
    for (int column = 0; column < kPluColumns; ++column) {
        if (kPluHeaders[static_cast<std::size_t>(column)] == name) {
            return column;
        }
    }
    return std::nullopt;
}

} // namespace

std::string headerKey(std::string_view header) {
    std::string key;
    for (const char c : header) {
        const auto byte = static_cast<unsigned char>(c);
        if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z')) {
            key.push_back(c);
        } else if (c >= 'a' && c <= 'z') {
            key.push_back(static_cast<char>(c - 'a' + 'A'));
        } else if (byte >= 0x80) {
            // Fold to lower case, as the find does, so "É" and "é" meet.
            key.push_back(static_cast<char>(foldCase1252(byte)));
        }
    }
    return key;
}

std::optional<int> columnNamedBy(std::string_view header) {
    const std::string key = headerKey(header);
    for (const Names& names : kNames) {
        if (std::find(names.keys.begin(), names.keys.end(), key) != names.keys.end()) {
            return names.column;
        }
    }
    return std::nullopt;
}

std::optional<int> CsvColumnMemory::columnFor(std::string_view header) const {
    const auto found = byKey_.find(headerKey(header));
    return found == byKey_.end() ? std::nullopt : std::optional<int>(found->second);
}

void CsvColumnMemory::remember(std::string_view header, int column) {
    std::string key = headerKey(header);
    if (key.empty() || (byKey_.size() >= kMaxRememberedHeaders && byKey_.count(key) == 0)) {
        return;
    }
    byKey_[std::move(key)] = column;
}

std::string CsvColumnMemory::format() const {
    std::string out;
    for (const auto& [key, column] : byKey_) {
        out += key;
        out += '\t';
        out += column == kNotImported ? std::string_view(kNotImportedName)
                                      : kPluHeaders[static_cast<std::size_t>(column)];
        out += "\r\n";
    }
    return out;
}

CsvColumnMemory CsvColumnMemory::parse(std::string_view bytes) {
    CsvColumnMemory memory;
    bytes = bytes.substr(0, kMaxColumnMemoryBytes);
    while (!bytes.empty()) {
        const std::size_t end = bytes.find_first_of("\r\n");
        const std::string_view line = bytes.substr(0, end);
        bytes = end == std::string_view::npos ? std::string_view() : bytes.substr(end + 1);
        const std::size_t tab = line.find('\t');
        if (tab == std::string_view::npos) {
            continue;
        }
        const std::string_view name = line.substr(tab + 1);
        const std::string_view key = line.substr(0, tab);
        if (name == kNotImportedName) {
            memory.remember(key, kNotImported);
        } else if (const auto column = columnOfName(name)) {
            memory.remember(key, *column);
        }
    }
    return memory;
}

bool importNeedsColumn(int column) {
    return column >= PluColumn::Num && column <= PluColumn::ValidDate;
}

std::vector<int> missingImportColumns(const std::vector<int>& columnOfField) {
    std::vector<int> missing;
    for (int column = 0; column < kPluColumns; ++column) {
        if (importNeedsColumn(column) &&
            std::find(columnOfField.begin(), columnOfField.end(), column) == columnOfField.end()) {
            missing.push_back(column);
        }
    }
    return missing;
}

CsvColumnMatch matchCsvColumns(const std::vector<std::string>& headers, const CsvColumnMemory& memory) {
    CsvColumnMatch match;
    std::array<bool, kPluColumns> taken{};
    for (std::size_t field = 0; field < headers.size(); ++field) {
        const std::string& header = headers[field];
        const auto remembered = memory.columnFor(header);
        const auto column = remembered ? remembered : columnNamedBy(header);
        if (column && *column == kNotImported) {
            match.columnOfField.push_back(kNotImported);
        } else if (column && !taken[static_cast<std::size_t>(*column)]) {
            taken[static_cast<std::size_t>(*column)] = true;
            match.columnOfField.push_back(*column);
        } else {
            match.columnOfField.push_back(kNotImported);
            // An empty header is a spreadsheet's spare column, not a question.
            if (!headerKey(header).empty()) {
                match.unrecognisedFields.push_back(static_cast<int>(field));
            }
        }
    }
    match.missingColumns = missingImportColumns(match.columnOfField);
    return match;
}

void rememberAssignment(CsvColumnMemory& memory, const std::vector<std::string>& headers,
                        const std::vector<int>& columnOfField) {
    for (std::size_t field = 0; field < headers.size() && field < columnOfField.size(); ++field) {
        const auto named = columnNamedBy(headers[field]);
        if (!named || *named != columnOfField[field] || memory.columnFor(headers[field])) {
            memory.remember(headers[field], columnOfField[field]);
        }
    }
}
