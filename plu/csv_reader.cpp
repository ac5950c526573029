#include "csv_reader.h"

#include <array>

namespace {

constexpr char kQuote = '"';
constexpr char kCarriageReturn = '\r';
constexpr char kLineFeed = '\n';

bool isLineEnd(char c) {
    return c == kCarriageReturn || c == kLineFeed;
}

class RecordReader {
  public:
    RecordReader(std::string_view text, char delimiter, const CsvLimits& limits)
        : text_(text), delimiter_(delimiter), limits_(limits) {}

    CsvRecords readAll() {
        CsvRecords out;
        // Each record consumes at least one byte, so the text's length bounds the loop.
        while (position_ < text_.size()) {
            if (out.records.size() == limits_.maxRecords) {
                out.truncated = true;
                break;
            }
            CsvRecord record;
            record.line = line_;
            if (!readRecord(record)) {
                out.unclosedQuoteLine = record.line;
            }
            out.records.push_back(std::move(record));
        }
        return out;
    }

  private:
    // False when a quoted field runs to the end of the text.
    bool readRecord(CsvRecord& record) {
        std::string field;
        bool closed = true;
        for (;;) {
            if (position_ < text_.size() && text_[position_] == kQuote) {
                closed = readQuoted(field, record);
            } else {
                readPlain(field, record);
            }
            if (record.fields.size() < limits_.maxFields) {
                record.fields.push_back(std::move(field));
                field = std::string();
            } else {
                record.damaged = true;
                field.clear();
            }
            if (position_ >= text_.size()) {
                return closed;
            }
            const char c = text_[position_++];
            if (c == delimiter_) {
                continue;
            }
            skipLineEnd(c);
            return closed;
        }
    }

    void append(std::string& field, char c, CsvRecord& record) const {
        if (field.size() < limits_.maxFieldBytes) {
            field.push_back(c);
        } else {
            record.damaged = true;
        }
    }

    // Up to the delimiter or the line end, which stay unread.
    void readPlain(std::string& field, CsvRecord& record) {
        while (position_ < text_.size()) {
            const char c = text_[position_];
            if (c == delimiter_ || isLineEnd(c)) {
                return;
            }
            append(field, c, record);
            ++position_;
        }
    }

    bool readQuoted(std::string& field, CsvRecord& record) {
        ++position_; // the opening quote
        while (position_ < text_.size()) {
            const char c = text_[position_++];
            if (c == kQuote) {
                if (position_ < text_.size() && text_[position_] == kQuote) {
                    append(field, kQuote, record);
                    ++position_;
                    continue;
                }
                // Closed. Anything up to the delimiter is kept as the writer
                // left it, as spreadsheets do.
                readPlain(field, record);
                return true;
            }
            if (c == kCarriageReturn || c == kLineFeed) {
                countLineEnd(c);
            }
            append(field, c, record);
        }
        return false;
    }

    // After a CR or LF taken as a record's end.
    void skipLineEnd(char c) {
        if (c == kCarriageReturn && position_ < text_.size() && text_[position_] == kLineFeed) {
            ++position_;
        }
        ++line_;
    }
    // A line break inside a quoted field: CR LF counts once.
    void countLineEnd(char c) {
        if (c == kLineFeed && position_ >= 2 && text_[position_ - 2] == kCarriageReturn) {
            return;
        }
        ++line_;
    }

    std::string_view text_;
    char delimiter_;
    const CsvLimits& limits_;
    std::size_t position_ = 0;
    int line_ = 1;
};

} // namespace

CsvRecords readCsvRecords(std::string_view text, char delimiter, const CsvLimits& limits) {
    return RecordReader(text, delimiter, limits).readAll();
}

char detectCsvDelimiter(std::string_view text) {
    constexpr std::array<char, 3> kCandidates = {';', '\t', ','};
    std::array<std::size_t, 3> counts{};
    bool quoted = false;
    for (const char c : text) {
        if (c == kQuote) {
            quoted = !quoted;
        } else if (!quoted && isLineEnd(c)) {
            break;
        } else if (!quoted) {
            for (std::size_t i = 0; i < kCandidates.size(); ++i) {
                counts[i] += c == kCandidates[i] ? 1 : 0;
            }
        }
    }
    std::size_t best = 0;
    for (std::size_t i = 1; i < kCandidates.size(); ++i) {
        if (counts[i] > counts[best]) {
            best = i;
        }
    }
    return counts[best] == 0 ? ',' : kCandidates[best];
}

void appendCsvField(std::string& out, std::string_view field, char delimiter) {
    const bool quote = (!field.empty() && field.front() == kQuote) ||
                       field.find_first_of(std::string{delimiter, kQuote, kCarriageReturn, kLineFeed}) !=
                           std::string_view::npos;
    if (!quote) {
        out.append(field);
        return;
    }
    out.push_back(kQuote);
    for (const char c : field) {
        if (c == kQuote) {
            out.push_back(kQuote);
        }
        out.push_back(c);
    }
    out.push_back(kQuote);
}
