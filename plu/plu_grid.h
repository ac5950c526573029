#pragma once
// The working copy of the scale's PLU table: 1801 data rows of 13 texts.
//
// Every cell is a byte text exactly as the user, the scale or a file gave it;
// the grid never reformats a cell. Data rows are numbered 1 to 1801, as the
// user sees them under the header row.

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace PluColumn {
inline constexpr int Num = 0;       // PLU number, whole number
inline constexpr int Price = 1;     // money, two decimals
inline constexpr int Code = 2;      // item code
inline constexpr int Dep = 3;       // department 0..40
inline constexpr int Tax = 4;       // tax class 0..8
inline constexpr int Nw = 5;        // flag: sold by the piece
inline constexpr int Fix = 6;       // flag: fixed price
inline constexpr int Bar = 7;       // flag: barcode
inline constexpr int Name = 8;      // up to 30 single-byte characters
inline constexpr int ValidDate = 9; // validity figure
inline constexpr int Quantity = 10; // kept by the scale, read-only
inline constexpr int Total = 11;    // kept by the scale, read-only
inline constexpr int Count = 12;    // kept by the scale, read-only
} // namespace PluColumn

inline constexpr int kPluColumns = 13;
inline constexpr int kPluDataRows = 1801; // PLUs 0..1800, one row each at most

inline constexpr std::array<std::string_view, kPluColumns> kPluHeaders = {
    "NUM", "PRICE", "CODE",       "DEP",      "TAX",   "NW",   "FIX",
    "BAR", "NAME",  "Valid Date", "QUANTITY", "TOTAL", "COUNT"};
// Column widths in pixels, as the page has always laid the grid out; the
// small fixed-pitch font of the grid is chosen so the usual figures fit them.
inline constexpr std::array<int, kPluColumns> kPluColumnWidths = {39, 62,  51, 32, 32, 24, 27,
                                                                  27, 229, 60, 54, 44, 43};

using PluRow = std::array<std::string, kPluColumns>;

class PluGrid {
  public:
    PluGrid() : rows_(kPluDataRows) {}

    static bool isDataRow(int row) { return row >= 1 && row <= kPluDataRows; }

    // row is a data row, 1..1801.
    PluRow& row(int row) { return rows_[static_cast<std::size_t>(row - 1)]; }
    const PluRow& row(int row) const { return rows_[static_cast<std::size_t>(row - 1)]; }
    const std::string& cell(int row, int column) const {
        return this->row(row)[static_cast<std::size_t>(column)];
    }
    void setCell(int row, int column, std::string text) {
        this->row(row)[static_cast<std::size_t>(column)] = std::move(text);
    }

    // A row is in use when its price is not empty: only such rows go to the
    // scale or into a file; the rest of an unused row is ignored.
    bool inUse(int row) const { return !cell(row, PluColumn::Price).empty(); }

    // Empties every data cell ("CLEAR").
    void clear();

  private:
    std::vector<PluRow> rows_;
};
