#pragma once
// Which grid column each column of a CSV file fills, found from the file's
// header: the grid's own names and the usual synonyms of shop systems, case,
// blanks and punctuation ignored ("Valid_Date" is "VALID DATE"), and what the
// user assigned by hand for a header before, which wins over the names.

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

inline constexpr int kNotImported = -1;

// A header as it is compared: letters upper case, ASCII letters and digits
// kept, blanks and punctuation dropped, bytes beyond ASCII kept as they are.
std::string headerKey(std::string_view header);
// The grid column a header names by itself, or nothing.
std::optional<int> columnNamedBy(std::string_view header);

// The assignments the user made in the mapping dialog, by header key.
class CsvColumnMemory {
  public:
    std::optional<int> columnFor(std::string_view header) const;
    void remember(std::string_view header, int column);
    bool empty() const { return byKey_.empty(); }

    // One line per header: key, TAB, the grid column's name or "-" for not
    // imported, CR LF. Reading skips lines it does not understand.
    std::string format() const;
    static CsvColumnMemory parse(std::string_view bytes);

  private:
    std::map<std::string, int> byKey_;
};

// Longest memory file read, and most headers kept.
inline constexpr std::size_t kMaxColumnMemoryBytes = 64 * 1024;
inline constexpr std::size_t kMaxRememberedHeaders = 1000;

struct CsvColumnMatch {
    std::vector<int> columnOfField;      // per file column: a grid column or kNotImported
    std::vector<int> unrecognisedFields; // file columns whose header named nothing
    std::vector<int> missingColumns;     // grid columns an import needs that no file column fills
    bool needsUser() const { return !unrecognisedFields.empty() || !missingColumns.empty(); }
};

// The grid columns an import fills and must find in the file: NUM to Valid Date.
bool importNeedsColumn(int column);

// Each grid column is taken by the first file column that names it; a later
// one naming the same column counts as unrecognised.
CsvColumnMatch matchCsvColumns(const std::vector<std::string>& headers, const CsvColumnMemory& memory);
// The grid columns still missing from an assignment.
std::vector<int> missingImportColumns(const std::vector<int>& columnOfField);
// Keeps the user's assignment of every header the names alone would not have
// given the same column.
void rememberAssignment(CsvColumnMemory& memory, const std::vector<std::string>& headers,
                        const std::vector<int>& columnOfField);
