// CSV exchange of the PLU table: the RFC 4180 reader, the export's bytes, the
// encodings, delimiters and decimal separators found on import, every byte
// 0x80..0xFF of a name kept through either encoding, and the header matching.

#include "plu/csv_columns.h"
#include "plu/csv_reader.h"
#include "plu/plu_csv.h"
#include "plu_test_support.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::string> fields(const CsvRecords& records, std::size_t i) {
    return records.records.at(i).fields;
}

TEST(CsvReader, QuotesLineBreaksAndLineNumbers) {
    const CsvRecords r = readCsvRecords("a;\"b;\"\"c\"\"\";\r\n\"two\r\nlines\";x\nlast", ';');
    ASSERT_EQ(r.records.size(), 3u);
    EXPECT_EQ(fields(r, 0), (std::vector<std::string>{"a", "b;\"c\"", ""}));
    EXPECT_EQ(fields(r, 1), (std::vector<std::string>{"two\r\nlines", "x"}));
    EXPECT_EQ(fields(r, 2), (std::vector<std::string>{"last"}));
    EXPECT_EQ(r.records[1].line, 2);
    EXPECT_EQ(r.records[2].line, 4);
    EXPECT_EQ(r.unclosedQuoteLine, 0);
    // A final line end adds no record; an empty line between is one empty field.
    EXPECT_EQ(readCsvRecords("x\r\n\r\ny\r\n", ',').records.size(), 3u);
    EXPECT_EQ(readCsvRecords("\"open\nfield", ',').unclosedQuoteLine, 1);
    EXPECT_EQ(detectCsvDelimiter("NUM;PRICE;NAME\r\n1,5;2,5"), ';');
    EXPECT_EQ(detectCsvDelimiter("\"A;B\",C,D"), ',');
    EXPECT_EQ(detectCsvDelimiter("A\tB\tC"), '\t');
    // Limits cut, and say so.
    CsvLimits tight;
    tight.maxRecords = 2;
    tight.maxFieldBytes = 3;
    const CsvRecords cut = readCsvRecords("abcdef\n2\n3\n", ',', tight);
    EXPECT_TRUE(cut.truncated);
    EXPECT_TRUE(cut.records[0].damaged);
    EXPECT_EQ(fields(cut, 0), (std::vector<std::string>{"abc"}));
}

PluGrid exportGrid() {
    PluGrid grid;
    grid.row(1) = makeRow("1", "1,50", "APPLES; \"RED\"");
    grid.row(3) = makeRow("3", "2,00", "Caf\xE9 \x80");
    grid.setCell(3, PluColumn::Total, "12,50");
    return grid;
}

TEST(PluCsvExport, HeaderRowsInUseQuotesEncodingAndDecimal) {
    const PluGrid grid = exportGrid();
    const std::string header = "NUM;PRICE;CODE;DEP;TAX;NW;FIX;BAR;NAME;Valid Date;QUANTITY;TOTAL;COUNT\r\n";
    EXPECT_EQ(formatPluCsv(grid, {';', CsvEncoding::Windows1252, false}, ','),
              header + "1;1,50;1234;3;2;1;0;1;\"APPLES; \"\"RED\"\"\";10;;;\r\n"
                       "3;2,00;1234;3;2;1;0;1;Caf\xE9 \x80;10;;12,50;\r\n");
    EXPECT_EQ(formatPluCsv(grid, {',', CsvEncoding::Utf8, true}, ','),
              "\xEF\xBB\xBF"
              "NUM,PRICE,CODE,DEP,TAX,NW,FIX,BAR,NAME,Valid Date,QUANTITY,TOTAL,COUNT\r\n"
              "1,1.50,1234,3,2,1,0,1,\"APPLES; \"\"RED\"\"\",10,,,\r\n"
              "3,2.00,1234,3,2,1,0,1,Caf\xC3\xA9 \xE2\x82\xAC,10,,12.50,\r\n");
}

// Names holding every byte from 0x80 to 0xFF, 26 to a name.
PluGrid highByteGrid() {
    PluGrid grid;
    int row = 1;
    std::string name;
    for (int byte = 0x80; byte <= 0xFF; ++byte) {
        name.push_back(static_cast<char>(byte));
        if (name.size() == 26 || byte == 0xFF) {
            grid.row(row) = makeRow(std::to_string(row), "1,25", name);
            ++row;
            name.clear();
        }
    }
    return grid;
}

TEST(PluCsvImport, EveryHighByteSurvivesBothEncodingsDelimitersAndSeparators) {
    const PluGrid original = highByteGrid();
    for (const CsvEncoding encoding : {CsvEncoding::Utf8, CsvEncoding::Windows1252}) {
        for (const char delimiter : {';', ','}) {
            for (const bool point : {false, true}) {
                const std::string bytes = formatPluCsv(original, {delimiter, encoding, point}, ',');
                const PluCsvTable table = readPluCsv(bytes);
                EXPECT_EQ(table.encoding, encoding);
                EXPECT_EQ(table.delimiter, delimiter);
                const CsvColumnMatch match = matchCsvColumns(table.headers, {});
                ASSERT_FALSE(match.needsUser());
                PluGrid grid;
                const CsvImportPlan plan = planCsvImport(grid, table, match.columnOfField, ',');
                EXPECT_TRUE(plan.refused.empty()) << csvImportReport(plan, table);
                EXPECT_EQ(plan.fileDecimal, point ? '.' : ',');
                ASSERT_EQ(plan.edits.size(), 5u);
                for (const PluRowEdit& edit : plan.edits) {
                    EXPECT_EQ(edit.after, original.row(edit.row)) << "row " << edit.row;
                }
            }
        }
    }
    // UTF-8 without a mark, and UTF-16 as spreadsheets write "Unicode text".
    EXPECT_EQ(readPluCsv("NAME\r\nCaf\xC3\xA9\r\n").rows[0].fields[0], "Caf\xE9");
    EXPECT_EQ(readPluCsv("NAME\r\nCaf\xE9\r\n").encoding, CsvEncoding::Windows1252);
    const PluCsvTable utf16 = readPluCsv(std::string("\xFF\xFEN\0\t\0M\0\r\0\n\0\xE9\0\t\0\xAC\x20", 18));
    EXPECT_EQ(utf16.delimiter, '\t');
    EXPECT_EQ(utf16.rows.at(0).fields, (std::vector<std::optional<std::string>>{"\xE9", "\x80"}));
}

TEST(PluCsvImport, RefusedRowsAreListedAndTheRestLoadsFromRowOne) {
    PluGrid grid;
    grid.setCell(2, PluColumn::Quantity, "1.500"); // the scale's figures stay
    const std::string file = "PLU;Price;Code;Dept;VAT;NW;FIX;BAR;Description;Valid date\r\n"
                             "1;1.50;10;3;2;0;0;0;APPLES;0\r\n"
                             "\r\n"
                             "2;100000;10;3;2;0;0;0;PEARS;0\r\n"
                             "3;2.50;-1;3;2;0;0;0;PLUMS;0\r\n"
                             "4;0.99;10;3;2;0;0;0\r\n"
                             "5;3.00;10;3;2;0;0;0;\"LEMONS\r\nBIG\";7\r\n";
    const PluCsvTable table = readPluCsv(file);
    const CsvColumnMatch match = matchCsvColumns(table.headers, {});
    ASSERT_FALSE(match.needsUser());
    const CsvImportPlan plan = planCsvImport(grid, table, match.columnOfField, '.');
    ASSERT_EQ(plan.edits.size(), 2u);
    EXPECT_EQ(plan.edits[0].row, 1);
    EXPECT_EQ(plan.edits[1].row, 2);
    EXPECT_EQ(plan.edits[1].after[PluColumn::Name], "LEMONS\r\nBIG");
    EXPECT_EQ(plan.edits[1].after[PluColumn::Quantity], "1.500");
    ASSERT_EQ(plan.refused.size(), 3u);
    const std::string report = csvImportReport(plan, table);
    EXPECT_NE(report.find("2 rows loaded"), std::string::npos) << report;
    EXPECT_NE(report.find("line 4: PRICE '100000' is refused: a number up to 99999.99"), std::string::npos)
        << report;
    EXPECT_NE(report.find("line 5: CODE '-1'"), std::string::npos) << report;
    EXPECT_NE(report.find("line 6: it has 8 fields"), std::string::npos) << report;

    // A decimal comma in a file with a point locale is read and stored as a point.
    const PluCsvTable comma =
        readPluCsv("NUM;PRICE;CODE;DEP;TAX;NW;FIX;BAR;NAME;Valid Date\n1;1,5;1;1;1;0;0;0;X;0\n");
    const CsvImportPlan commaPlan =
        planCsvImport(grid, comma, matchCsvColumns(comma.headers, {}).columnOfField, '.');
    EXPECT_EQ(commaPlan.fileDecimal, ',');
    ASSERT_EQ(commaPlan.edits.size(), 1u);
    EXPECT_EQ(commaPlan.edits[0].after[PluColumn::Price], "1.5");
}

TEST(CsvColumns, NamesSynonymsMemoryAndWhatIsLeftToTheUser) {
    EXPECT_EQ(headerKey(" Valid_Date "), "VALIDDATE");
    const std::vector<std::string> shop = {"plu", "Description", "Unit Price", "valid-date", "Dept", "VAT",
                                           "nw",  "fixed",       "bar",        "EAN",        "",     "Qty"};
    const CsvColumnMatch named = matchCsvColumns(shop, {});
    EXPECT_FALSE(named.needsUser());
    EXPECT_EQ(named.columnOfField,
              (std::vector<int>{PluColumn::Num, PluColumn::Name, PluColumn::Price, PluColumn::ValidDate,
                                PluColumn::Dep, PluColumn::Tax, PluColumn::Nw, PluColumn::Fix, PluColumn::Bar,
                                PluColumn::Code, kNotImported, PluColumn::Quantity}));

    std::vector<std::string> german = shop;
    german[2] = "Preis";
    german[5] = "PRICE"; // names a column taken by nothing else yet, but TAX is now missing
    const CsvColumnMatch unknown = matchCsvColumns(german, {});
    EXPECT_EQ(unknown.unrecognisedFields, (std::vector<int>{2}));
    EXPECT_EQ(unknown.missingColumns, (std::vector<int>{PluColumn::Tax}));
    EXPECT_TRUE(unknown.needsUser());

    // What the user assigned is remembered, and wins over the names next time.
    std::vector<int> assigned = unknown.columnOfField;
    assigned[2] = PluColumn::Price;
    assigned[5] = PluColumn::Tax;
    CsvColumnMemory memory;
    rememberAssignment(memory, german, assigned);
    const CsvColumnMemory reread = CsvColumnMemory::parse(memory.format());
    EXPECT_EQ(memory.format(), "PREIS\tPRICE\r\nPRICE\tTAX\r\n");
    const CsvColumnMatch again = matchCsvColumns(german, reread);
    EXPECT_FALSE(again.needsUser());
    EXPECT_EQ(again.columnOfField, assigned);
    // A memory file that is not ours is read as far as it makes sense.
    EXPECT_TRUE(CsvColumnMemory::parse("garbage\r\nX\tNOT A COLUMN\r\n").empty());
}

} // namespace
