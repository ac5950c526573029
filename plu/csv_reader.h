#pragma once
// Delimited text as spreadsheets write it (RFC 4180), over bytes.
//
// Fields are separated by the delimiter and records end at CR LF, a lone CR
// or a lone LF. A field that begins with a double quote runs to the closing
// quote: inside it two quotes stand for one, and delimiters and line breaks
// are text. A line end right before the end of the text adds no record; an
// empty line in between is a record of one empty field.
//
// The same reader takes a spreadsheet's clipboard text (TAB-delimited) and
// CSV files. Every loop is bounded by the limits below.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

struct CsvLimits {
    std::size_t maxRecords = 20000;        // further records are not read
    std::size_t maxFields = 256;           // per record; further fields are dropped
    std::size_t maxFieldBytes = 64 * 1024; // a longer field is cut
};

struct CsvRecord {
    std::vector<std::string> fields;
    int line = 1;         // the line the record starts on, from 1
    bool damaged = false; // a field was cut or dropped by the limits
};

struct CsvRecords {
    std::vector<CsvRecord> records;
    bool truncated = false;    // records after maxRecords were not read
    int unclosedQuoteLine = 0; // a quoted field opened on this line never closes (0: none)
};

CsvRecords readCsvRecords(std::string_view text, char delimiter, const CsvLimits& limits = {});

// The delimiter of the first line: whichever of ';', ',' and TAB occurs most
// often outside quotes (';' on a tie, ',' when none occurs).
char detectCsvDelimiter(std::string_view text);

// A field as a writer puts it: quoted, with its quotes doubled, when it holds
// the delimiter, a quote, CR or LF, or begins with a quote; otherwise as it is.
void appendCsvField(std::string& out, std::string_view field, char delimiter);
