// The CSV readers over arbitrary bytes: a CSV file imported under a decimal
// point and a decimal comma, the same bytes pasted as a spreadsheet's
// clipboard, and read as the file of remembered columns.
//
// An import fills grid rows 1, 2, ... in order, only with rows that pass the
// PLU file's checks, and accounts for every row it read; what it takes is
// exported and imported again to the same rows, in either encoding. A paste
// that is accepted holds only cells typing would accept. The remembered
// columns read back from what they write.

#include "fuzz_support.h"
#include "plu/cell_block.h"
#include "plu/csv_columns.h"
#include "plu/plu_checks.h"
#include "plu/plu_csv.h"
#include "plu/plu_file.h"
#include "plu/utf8_text.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

// Grids of 1801 rows cost more to build than most inputs cost to read: one
// stays empty, the other is emptied again after each use.
const PluGrid& emptyGrid() {
    static const PluGrid grid;
    return grid;
}

void checkPlan(const CsvImportPlan& plan, const PluCsvTable& table, char separator) {
    FUZZ_CHECK(plan.edits.size() + plan.refused.size() == table.rows.size());
    FUZZ_CHECK(plan.edits.size() <= static_cast<std::size_t>(kPluDataRows));
    for (std::size_t i = 0; i < plan.edits.size(); ++i) {
        const PluRowEdit& edit = plan.edits[i];
        FUZZ_CHECK(edit.row == static_cast<int>(i) + 1);
        for (int column = 0; column < kPluFileFields; ++column) {
            FUZZ_CHECK(acceptsFileField(column + 1, edit.after[static_cast<std::size_t>(column)], separator));
        }
        // The scale's running figures never come from a file.
        for (int column = kPluFileFields; column < kPluColumns; ++column) {
            FUZZ_CHECK(edit.after[static_cast<std::size_t>(column)].empty());
        }
    }
}

// Rows in use come back from an export as they went out, in either encoding.
// A Windows-1252 file has no mark: one whose bytes happen to be valid UTF-8
// is read as UTF-8, by the reader's rule, and is left out here.
void checkExportedAgain(const CsvImportPlan& plan, char separator) {
    static PluGrid grid;
    std::vector<PluRow> inUse;
    for (const PluRowEdit& edit : plan.edits) {
        grid.row(edit.row) = edit.after;
        if (grid.inUse(edit.row)) {
            inUse.push_back(edit.after);
        }
    }
    for (const CsvEncoding encoding : {CsvEncoding::Utf8, CsvEncoding::Windows1252}) {
        for (const char delimiter : {';', ','}) {
            const std::string exported = formatPluCsv(grid, {delimiter, encoding, true}, separator);
            const PluCsvTable again = readPluCsv(exported);
            if (again.encoding != encoding) {
                FUZZ_CHECK(encoding == CsvEncoding::Windows1252 && isValidUtf8(exported));
                continue;
            }
            const CsvColumnMatch match = matchCsvColumns(again.headers, {});
            FUZZ_CHECK(!match.needsUser());
            const CsvImportPlan reread = planCsvImport(emptyGrid(), again, match.columnOfField, separator);
            FUZZ_CHECK(reread.refused.empty());
            FUZZ_CHECK(reread.edits.size() == inUse.size());
            for (std::size_t i = 0; i < inUse.size(); ++i) {
                FUZZ_CHECK(reread.edits[i].after == inUse[i]);
            }
        }
    }
    for (const PluRowEdit& edit : plan.edits) {
        grid.row(edit.row) = PluRow{};
    }
}

void checkPaste(std::string_view bytes) {
    const PluGrid& grid = emptyGrid();
    static const std::vector<int> rows = [] {
        std::vector<int> all;
        for (int row = 1; row <= 40; ++row) {
            all.push_back(row);
        }
        return all;
    }();
    for (const int column : {0, 8}) {
        const PastePlan plan = planPaste(grid, rows, column, bytes, ',');
        if (!plan.accepted()) {
            FUZZ_CHECK(plan.edits.empty());
            FUZZ_CHECK(!pasteRefusalMessage(plan).empty());
            continue;
        }
        FUZZ_CHECK(plan.edits.size() == static_cast<std::size_t>(plan.height));
        for (const PluRowEdit& edit : plan.edits) {
            for (int c = column; c < column + plan.width; ++c) {
                const std::string& text = edit.after[static_cast<std::size_t>(c)];
                FUZZ_CHECK(text.empty() || acceptsTypedText(c, text, ','));
            }
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const PluCsvTable table = readPluCsv(bytes);
    CsvColumnMatch match = matchCsvColumns(table.headers, {});
    // Without the user, a file whose header names the columns by position.
    if (match.needsUser()) {
        match.columnOfField.clear();
        for (std::size_t field = 0; field < table.headers.size(); ++field) {
            match.columnOfField.push_back(
                field < static_cast<std::size_t>(kPluColumns) ? static_cast<int>(field) : kNotImported);
        }
    }
    for (const char separator : {'.', ','}) {
        const CsvImportPlan plan = planCsvImport(emptyGrid(), table, match.columnOfField, separator);
        checkPlan(plan, table, separator);
        checkExportedAgain(plan, separator);
        FUZZ_CHECK(!csvImportReport(plan, table).empty());
    }
    checkPaste(bytes);
    const CsvColumnMemory memory = CsvColumnMemory::parse(bytes);
    FUZZ_CHECK(CsvColumnMemory::parse(memory.format()).format() == memory.format());
    return 0;
}
