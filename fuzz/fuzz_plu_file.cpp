// The PLU text file reader over arbitrary bytes, under both decimal separators.
//
// Whatever the file holds, the reader fills at most the grid's rows, in order
// from row 1, only in the columns a file carries. A file it takes whole is
// saved and read back to the same PLUs: nothing the reader accepts may be
// written in a way that reads differently.

#include "fuzz_support.h"
#include "plu/plu_file.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

namespace {

// Rows are filled in order from row 1, so the row after the last one loaded
// is where a reader that miscounts would write.
int lastRowTouched(const PluFileLoad& load) {
    return std::min(load.rowsLoaded + 1, kPluDataRows);
}

void checkLoadedShape(const PluGrid& grid, const PluFileLoad& load) {
    FUZZ_CHECK(load.rowsLoaded >= 0 && load.rowsLoaded <= kPluDataRows);
    for (int row = 1; row <= lastRowTouched(load); ++row) {
        for (int column = 0; column < kPluColumns; ++column) {
            // The scale's running figures never come from a file, and no row
            // past the last one loaded is touched.
            if (column >= kPluFileFields || row > load.rowsLoaded) {
                FUZZ_CHECK(grid.cell(row, column).empty());
            }
        }
    }
}

// Empties what a load may have filled, cheaper than clearing all 1801 rows.
void clearLoadedRows(PluGrid& grid, const PluFileLoad& load) {
    for (int row = 1; row <= lastRowTouched(load); ++row) {
        grid.row(row) = PluRow{};
    }
}

// The rows in use, file columns only, in grid order.
std::vector<PluRow> rowsInUse(const PluGrid& grid, int lastRow) {
    std::vector<PluRow> rows;
    for (int row = 1; row <= std::min(lastRow, kPluDataRows); ++row) {
        if (grid.inUse(row)) {
            PluRow fileColumns = grid.row(row);
            for (int column = kPluFileFields; column < kPluColumns; ++column) {
                fileColumns[static_cast<std::size_t>(column)].clear();
            }
            rows.push_back(fileColumns);
        }
    }
    return rows;
}

void checkSavedAgain(const PluGrid& grid, const PluFileLoad& load, char decimalSeparator) {
    static PluGrid again;
    std::istringstream saved(formatPluFile(grid, "08.12.2026", "16:57:37"));
    const PluFileLoad reload = readPluFile(saved, again, decimalSeparator);
    FUZZ_CHECK(reload.result == PluFileResult::Ok);
    FUZZ_CHECK(rowsInUse(again, reload.rowsLoaded) == rowsInUse(grid, load.rowsLoaded));
    clearLoadedRows(again, reload);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static PluGrid grid;
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    for (const char decimalSeparator : {'.', ','}) {
        std::istringstream in(bytes);
        const PluFileLoad load = readPluFile(in, grid, decimalSeparator);
        FUZZ_CHECK(load.result != PluFileResult::IoError); // a string never fails to read
        checkLoadedShape(grid, load);
        if (load.result == PluFileResult::Ok) {
            checkSavedAgain(grid, load, decimalSeparator);
        }
        clearLoadedRows(grid, load);
    }
    return 0;
}
