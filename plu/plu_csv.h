#pragma once
// The PLU table as a CSV file for spreadsheets and shop systems.
//
// Export: a header line with the 13 column names, then one line per row in
// use, in row order, every field as the grid holds it; ";" or "," between
// fields, CR LF after each line, quotes where a field needs them. UTF-8 with
// a byte-order mark (so spreadsheet programs read it as UTF-8) or
// Windows-1252 bytes; decimal numbers with the locale's separator or a point.
//
// Import: the encoding, the delimiter and the decimal separator are found
// from the file; the first line is the header. Each row is checked as a line
// of the PLU text file is, and fills columns NUM to Valid Date of the next
// grid row from row 1 on; the scale's running figures keep their texts. A
// refused row fills nothing and is listed; the rest loads.

#include "csv_reader.h"
#include "plu_bulk_edit.h"
#include "plu_grid.h"
#include "plu_grid_change.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

enum class CsvEncoding { Utf8, Windows1252 };

struct CsvExportOptions {
    char delimiter = ';';
    CsvEncoding encoding = CsvEncoding::Utf8; // written with a byte-order mark
    bool pointDecimal = false;                // a point instead of the locale's separator
};

// Largest file an import reads: a full table is about 150 KB.
inline constexpr std::size_t kMaxPluCsvBytes = 16 * 1024 * 1024;

std::string formatPluCsv(const PluGrid& grid, const CsvExportOptions& options, char decimalSeparator);

struct CsvDataRow {
    int line = 0;
    // Windows-1252 bytes; nullopt for a field with a character that has none.
    std::vector<std::optional<std::string>> fields;
    bool damaged = false; // cut by the reader's limits
};

struct PluCsvTable {
    CsvEncoding encoding = CsvEncoding::Windows1252;
    char delimiter = ';';
    std::vector<std::string> headers; // Windows-1252, '?' for what has no byte
    std::vector<CsvDataRow> rows;     // empty records left out
    bool truncated = false;
    int unclosedQuoteLine = 0;
};

// A byte-order mark says UTF-8 or UTF-16; otherwise text that is valid UTF-8
// and has bytes beyond ASCII is UTF-8, and anything else Windows-1252.
PluCsvTable readPluCsv(std::string_view bytes);

struct CsvImportPlan {
    std::vector<PluRowEdit> edits;
    std::vector<RowRefusal> refused; // by line of the file
    char fileDecimal = '.';
    int rowsRead = 0;
};

// The file's decimal separator: a comma when decimal fields hold commas and
// no points, else a point.
char detectCsvDecimal(const PluCsvTable& table, const std::vector<int>& columnOfField);

CsvImportPlan planCsvImport(const PluGrid& grid, const PluCsvTable& table,
                            const std::vector<int>& columnOfField, char decimalSeparator);

// The closing message of an import: rows loaded, then the refused lines.
std::string csvImportReport(const CsvImportPlan& plan, const PluCsvTable& table);
