#pragma once
// The PLU text file: the grid kept on disk, tab-separated, single bytes.
//
//   ; created: <short date> <long time>      CR LF
//                                            CR LF
//   NUM TAB PRICE TAB ... COUNT TAB          CR LF   one line per row in use
//
// Cells are written exactly as the grid holds them: no quoting, no trimming,
// the user's decimal separator; only a TAB, CR, LF or byte 26 inside a cell
// is written as a blank, since the reader would end the cell there. The
// reader skips empty lines and lines that begin with ';' wherever they occur,
// takes fields 1 to 10 of every other line and ignores the rest. A line
// ends at CR LF, a lone CR or a lone LF; byte 26 ends the file.

#include "plu_grid.h"

#include <filesystem>
#include <iosfwd>
#include <string>
#include <string_view>

class UserInterface;

inline constexpr char kPluFieldSeparator = '\t';
// Longest line the reader takes; a saved line is a few hundred bytes at most.
inline constexpr std::size_t kMaxPluFileLineLength = 64 * 1024;
// Fields of a data line the reader stores: "NUM" to "Valid Date".
inline constexpr int kPluFileFields = 10;

inline constexpr std::string_view kPluFileIoError = "I/O Error!";
inline constexpr std::string_view kPluFileInputError = "error in input file";
inline constexpr std::string_view kPluFileErrorTitle = "ERROR!";

struct SplitField {
    std::string_view text; // empty when missing
    bool missing = false;  // the line has fewer than n fields
};
// Field n (1 or more) of a line: field 1 runs to the first separator, field n
// from the (n-1)-th separator to the n-th or the line's end. A line without a
// separator has one field; an empty field is present, not missing.
SplitField splitField(std::string_view line, int n, char separator);

// The whole file as bytes. date and time are the locale's short date and long
// time, already formatted by the caller.
std::string formatPluFile(const PluGrid& grid, std::string_view date, std::string_view time);

enum class PluFileResult { Ok, IoError, InputError };

struct PluFileLoad {
    PluFileResult result = PluFileResult::Ok;
    int rowsLoaded = 0;
    int errorLine = 0; // 1-based line of an input error
};

// What the reader asks of a field. LOAD FROM DISK checks each field against
// the file's limits. A restore reads back a file this program wrote from the
// scale, whose fields may lie beyond those limits (a valid date of -1, a code
// of 7 digits) and must still go back as they came: it asks only for the ten
// fields, and converts every row as sending does before anything is sent.
enum class PluFileChecks { FileLimits, FieldsOnly };

// Reads data lines into rows 1, 2, ... (columns 0 to 9 only; the scale's
// running figures keep their texts). A line that fails any check stops the
// load and leaves its row untouched; rows filled before it stay. A data line
// with no row left (the 1802nd) stops the load as an input error.
PluFileLoad readPluFile(std::istream& in, PluGrid& grid, char decimalSeparator,
                        PluFileChecks checks = PluFileChecks::FileLimits);

// Writes the file by replacing it whole (the old file survives a failed save).
PluFileResult savePluFile(const std::filesystem::path& path, const PluGrid& grid, std::string_view date,
                          std::string_view time);
PluFileLoad loadPluFile(const std::filesystem::path& path, PluGrid& grid, char decimalSeparator,
                        PluFileChecks checks = PluFileChecks::FileLimits);

// Shows "I/O Error!" or "error in input file" titled "ERROR!"; nothing for Ok.
void reportPluFileResult(UserInterface& ui, PluFileResult result);
