#include "plu_csv.h"

#include "link/number_parsing.h"
#include "plu_checks.h"
#include "plu_file.h"
#include "utf8_text.h"

#include <algorithm>
#include <array>

namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LittleMark = "\xFF\xFE";
constexpr std::string_view kUtf16BigMark = "\xFE\xFF";
// Refused lines named in the closing message; the rest are counted.
constexpr std::size_t kReportedLines = 15;

// What a field of the PLU text file accepts, for the person whose row was refused.
constexpr std::array<std::string_view, kPluColumns> kFileLimits = {"a number from 0 to 1801",
                                                                   "a number up to 99999.99",
                                                                   "a whole number from 0 to 999999",
                                                                   "a whole number from 0 to 40",
                                                                   "a whole number from 0 to 8",
                                                                   "0 or 1",
                                                                   "0 or 1",
                                                                   "0 or 1",
                                                                   "at most 32 characters",
                                                                   "a number from 0 to 999",
                                                                   "",
                                                                   "",
                                                                   ""};

bool startsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

bool hasHighBytes(std::string_view text) {
    return std::any_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

std::string columnName(int column) {
    return std::string(kPluHeaders[static_cast<std::size_t>(column)]);
}

std::string exportedText(const std::string& text, int column, const CsvExportOptions& options,
                         char separator) {
    if (!options.pointDecimal || separator == '.' || column == PluColumn::Name ||
        text.find(separator) == std::string::npos || !parseExactDecimal(text, separator)) {
        return text;
    }
    std::string out = text;
    std::replace(out.begin(), out.end(), separator, '.');
    return out;
}

// A decimal field with the file's separator turned into the locale's.
std::string withSeparator(std::string text, int column, char fileDecimal, char separator) {
    if (isDecimalColumn(column) && fileDecimal != separator && text.find(separator) == std::string::npos) {
        std::replace(text.begin(), text.end(), fileDecimal, separator);
    }
    return text;
}

} // namespace

std::string formatPluCsv(const PluGrid& grid, const CsvExportOptions& options, char separator) {
    const bool utf8 = options.encoding == CsvEncoding::Utf8;
    int rowsInUse = 0;
    for (int row = 1; row <= kPluDataRows; ++row) {
        rowsInUse += grid.inUse(row) ? 1 : 0;
    }
    std::string out;
    out.reserve(128 + static_cast<std::size_t>(rowsInUse) * 96); // a full row is about 90 bytes
    if (utf8) {
        out.append(kUtf8Mark);
    }
    const auto line = [&](const auto& textOf) {
        for (int column = 0; column < kPluColumns; ++column) {
            if (column > 0) {
                out.push_back(options.delimiter);
            }
            const std::string text = textOf(column);
            appendCsvField(out, utf8 ? windows1252ToUtf8(text) : text, options.delimiter);
        }
        out.append("\r\n");
    };
    line([](int column) { return columnName(column); });
    for (int row = 1; row <= kPluDataRows; ++row) {
        if (grid.inUse(row)) {
            line(
                [&](int column) { return exportedText(grid.cell(row, column), column, options, separator); });
        }
    }
    return out;
}

PluCsvTable readPluCsv(std::string_view bytes) {
    PluCsvTable table;
    std::string converted;
    std::string_view body = bytes;
    if (startsWith(bytes, kUtf8Mark)) {
        body = bytes.substr(kUtf8Mark.size());
        table.encoding = CsvEncoding::Utf8;
    } else if (startsWith(bytes, kUtf16LittleMark) || startsWith(bytes, kUtf16BigMark)) {
        converted = utf16ToUtf8(bytes.substr(2), startsWith(bytes, kUtf16BigMark));
        body = converted;
        table.encoding = CsvEncoding::Utf8;
    } else if (hasHighBytes(bytes) && isValidUtf8(bytes)) {
        table.encoding = CsvEncoding::Utf8;
    }
    const bool utf8 = table.encoding == CsvEncoding::Utf8;
    table.delimiter = detectCsvDelimiter(body);
    CsvRecords records = readCsvRecords(body, table.delimiter);
    table.truncated = records.truncated;
    table.unclosedQuoteLine = records.unclosedQuoteLine;
    if (records.records.empty()) {
        return table;
    }
    for (const std::string& header : records.records.front().fields) {
        table.headers.push_back(utf8 ? utf8ToWindows1252Lossy(header) : header);
    }
    for (std::size_t i = 1; i < records.records.size(); ++i) {
        CsvRecord& record = records.records[i];
        if (std::all_of(record.fields.begin(), record.fields.end(),
                        [](const std::string& f) { return f.empty(); })) {
            continue;
        }
        CsvDataRow row;
        row.line = record.line;
        row.damaged = record.damaged;
        row.fields.reserve(record.fields.size());
        for (std::string& field : record.fields) {
            row.fields.push_back(utf8 ? utf8ToWindows1252(field)
                                      : std::optional<std::string>(std::move(field)));
        }
        table.rows.push_back(std::move(row));
    }
    return table;
}

char detectCsvDecimal(const PluCsvTable& table, const std::vector<int>& columnOfField) {
    bool comma = false;
    for (const CsvDataRow& row : table.rows) {
        for (std::size_t f = 0; f < row.fields.size() && f < columnOfField.size(); ++f) {
            if (!isDecimalColumn(columnOfField[f]) || !row.fields[f]) {
                continue;
            }
            if (row.fields[f]->find('.') != std::string::npos) {
                return '.';
            }
            comma = comma || row.fields[f]->find(',') != std::string::npos;
        }
    }
    return comma ? ',' : '.';
}

CsvImportPlan planCsvImport(const PluGrid& grid, const PluCsvTable& table,
                            const std::vector<int>& columnOfField, char separator) {
    CsvImportPlan plan;
    plan.fileDecimal = detectCsvDecimal(table, columnOfField);
    std::array<std::size_t, kPluColumns> fieldOf{};
    std::array<bool, kPluColumns> present{};
    for (std::size_t f = 0; f < columnOfField.size(); ++f) {
        const int column = columnOfField[f];
        if (column >= 0 && column < kPluColumns && !present[static_cast<std::size_t>(column)]) {
            present[static_cast<std::size_t>(column)] = true;
            fieldOf[static_cast<std::size_t>(column)] = f;
        }
    }
    int nextRow = 1;
    for (const CsvDataRow& row : table.rows) {
        ++plan.rowsRead;
        std::array<std::string, kPluFileFields> texts;
        std::string reason;
        for (int column = 0; column < kPluFileFields && reason.empty(); ++column) {
            const auto c = static_cast<std::size_t>(column);
            if (!present[c]) {
                reason = "the file has no column for " + columnName(column);
            } else if (fieldOf[c] >= row.fields.size()) {
                reason = "it has " + std::to_string(row.fields.size()) + " fields, too few for " +
                         columnName(column);
            } else if (!row.fields[fieldOf[c]]) {
                reason = columnName(column) + " holds a character the grid cannot keep";
            } else {
                texts[c] = withSeparator(*row.fields[fieldOf[c]], column, plan.fileDecimal, separator);
                if (!acceptsFileField(column + 1, texts[c], separator)) {
                    reason =
                        columnName(column) + " '" + texts[c] + "' is refused: " + std::string(kFileLimits[c]);
                }
            }
        }
        if (reason.empty() && row.line == table.unclosedQuoteLine) {
            reason = "a quoted field in it is never closed";
        }
        if (reason.empty() && row.damaged) {
            reason = "a field is longer than a spreadsheet cell of this program";
        }
        if (reason.empty() && !PluGrid::isDataRow(nextRow)) {
            reason = "no grid row is left for it";
        }
        if (!reason.empty()) {
            plan.refused.push_back({row.line, std::move(reason)});
            continue;
        }
        PluRow after = grid.row(nextRow);
        std::move(texts.begin(), texts.end(), after.begin());
        plan.edits.push_back({nextRow, std::move(after)});
        ++nextRow;
    }
    return plan;
}

std::string csvImportReport(const CsvImportPlan& plan, const PluCsvTable& table) {
    const std::size_t loaded = plan.edits.size();
    std::string text = loaded == 0 ? std::string("No row was loaded.")
                                   : std::to_string(loaded) + (loaded == 1 ? " row" : " rows") +
                                         " loaded into grid rows 1 to " + std::to_string(loaded) + ".";
    if (table.unclosedQuoteLine > 0) {
        text += "\nA quoted field that begins on line " + std::to_string(table.unclosedQuoteLine) +
                " is never closed: the file may be cut short.";
    }
    if (table.truncated) {
        text += "\nThe file has more lines than a PLU table; the last ones were not read.";
    }
    if (!plan.refused.empty()) {
        text += "\n\n" + std::to_string(plan.refused.size()) +
                (plan.refused.size() == 1 ? " line was" : " lines were") + " refused:";
        std::vector<std::string> lines;
        lines.reserve(plan.refused.size());
        for (const RowRefusal& refusal : plan.refused) {
            lines.push_back("line " + std::to_string(refusal.row) + ": " + refusal.reason);
        }
        text += listLines(lines, kReportedLines);
    }
    return text;
}
