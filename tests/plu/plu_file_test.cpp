// The PLU text file: the writer's bytes, the reader's rules and limits, and
// that a failed save leaves the old file whole.

#include "plu/plu_file.h"
#include "plu_test_support.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

#if !defined(_WIN32)
#include <csignal>
#include <sys/resource.h>
#endif

namespace {

namespace fs = std::filesystem;

const char* const kLine1 = "1\t1.00\t1234\t3\t2\t1\t0\t1\tITEM\t10\t\t\t\t";

PluFileLoad readBytes(const std::string& bytes, PluGrid& grid, char separator = '.') {
    std::istringstream in(bytes);
    return readPluFile(in, grid, separator);
}

TEST(PluFileSplitField, FieldsBetweenSeparators) {
    EXPECT_EQ(splitField("a\tb\t\tc", 1, '\t').text, "a");
    EXPECT_EQ(splitField("a\tb\t\tc", 3, '\t').text, "");
    EXPECT_FALSE(splitField("a\tb\t\tc", 3, '\t').missing);
    EXPECT_EQ(splitField("a\tb\t\tc", 4, '\t').text, "c");
    EXPECT_TRUE(splitField("a\tb\t\tc", 5, '\t').missing);
    EXPECT_EQ(splitField("whole line", 1, '\t').text, "whole line");
    EXPECT_FALSE(splitField("", 1, '\t').missing);
    EXPECT_EQ(splitField("a\t", 2, '\t').text, "");
    EXPECT_TRUE(splitField("a\t", 3, '\t').missing);
}

TEST(PluFileWriter, HeadCommentEmptyLineAndOneLinePerRowInUse) {
    PluGrid grid;
    grid.row(1) = makeRow("1", "1.00");
    grid.row(2) = makeRow("2", "2,50", "\x80 EUR");
    grid.row(3) = makeRow("3", ""); // not in use
    grid.row(5) = makeRow("", "0.01");
    grid.setCell(5, PluColumn::Count, "7");
    const std::string expected = "; created: 08.12.2026 17:05:09\r\n"
                                 "\r\n"
                                 "1\t1.00\t1234\t3\t2\t1\t0\t1\tITEM\t10\t\t\t\t\r\n"
                                 "2\t2,50\t1234\t3\t2\t1\t0\t1\t\x80 EUR\t10\t\t\t\t\r\n"
                                 "\t0.01\t1234\t3\t2\t1\t0\t1\tITEM\t10\t\t\t7\t\r\n";
    EXPECT_EQ(formatPluFile(grid, "08.12.2026", "17:05:09"), expected);
}

TEST(PluFileWriter, BytesThatWouldEndACellAreWrittenAsBlanks) {
    // Names the scale sent may hold any byte; the saved file must read back
    // as the same PLUs, not as a shifted or cut row.
    PluGrid grid;
    grid.row(1) = makeRow("1", "1.00", "APPLES\t7");
    grid.row(2) = makeRow("2", "2.00", "PE\rAR\nS\x1a!");
    grid.row(3) = makeRow("3", "3.00");
    PluGrid loaded;
    const PluFileLoad load = readBytes(formatPluFile(grid, "d", "t"), loaded);
    EXPECT_EQ(load.result, PluFileResult::Ok);
    EXPECT_EQ(load.rowsLoaded, 3);
    EXPECT_EQ(loaded.cell(1, PluColumn::Name), "APPLES 7");
    EXPECT_EQ(loaded.cell(1, PluColumn::ValidDate), "10");
    EXPECT_EQ(loaded.cell(2, PluColumn::Name), "PE AR S !");
    EXPECT_EQ(loaded.cell(3, PluColumn::Num), "3");
}

TEST(PluFileReader, RoundTripMovesRowsUpOverRowsNotInUse) {
    PluGrid grid;
    grid.row(1) = makeRow("1", "1,00");
    grid.row(2) = makeRow("1800", "-5");
    grid.row(5) = makeRow("9", "99999,99", std::string(32, '\xFF'));
    const std::string bytes = formatPluFile(grid, "d", "t");

    PluGrid loaded;
    loaded.setCell(2, PluColumn::Total, "kept");
    loaded.setCell(4, PluColumn::Num, "untouched");
    const PluFileLoad load = readBytes(bytes, loaded, ',');
    EXPECT_EQ(load.result, PluFileResult::Ok);
    EXPECT_EQ(load.rowsLoaded, 3);
    for (int column = 0; column < kPluFileFields; ++column) {
        EXPECT_EQ(loaded.cell(1, column), grid.cell(1, column));
        EXPECT_EQ(loaded.cell(3, column), grid.cell(5, column));
    }
    EXPECT_EQ(loaded.cell(2, PluColumn::Total), "kept");
    EXPECT_EQ(loaded.cell(4, PluColumn::Num), "untouched");

    // The same file under a point locale fails at the first price with decimals.
    PluGrid pointGrid;
    EXPECT_EQ(readBytes(bytes, pointGrid, '.').result, PluFileResult::InputError);
    EXPECT_EQ(pointGrid.cell(1, PluColumn::Num), "");
}

TEST(PluFileReader, LineEndsCommentsAndTheEndMark) {
    const std::string data = std::string(kLine1);
    struct Case {
        std::string bytes;
        int rows;
    };
    const Case cases[] = {
        {"; created\r\n\r\n" + data + "\r\n" + data + "\r\n", 2},
        {"; created\n\n" + data + "\n" + data + "\n", 2},   // LF only, as Linux editors write
        {"; created\r\r" + data + "\r" + data, 2},          // lone CR, last line without an end
        {data + "\r\n;comment\r\n\r\n" + data + "\r\n", 2}, // comments take no row
        {data + "\r\n" + data + "\x1a" + data + "\r\n", 2}, // byte 26 ends the file
        {"", 0},
        {"; only\r\n;comments\r\n", 0},
        {"1\t1.00\t1234\t3\t2\t1\t0\t1\tITEM\t10", 1},             // exactly ten fields, no trailing TAB
        {"1\t1.00\t1234\t3\t2\t1\t0\t1\tITEM\t10\tjunk\tmore", 1}, // fields from 11 on are ignored
    };
    for (const Case& c : cases) {
        PluGrid grid;
        const PluFileLoad load = readBytes(c.bytes, grid);
        EXPECT_EQ(load.result, PluFileResult::Ok) << c.bytes;
        EXPECT_EQ(load.rowsLoaded, c.rows) << c.bytes;
    }
}

TEST(PluFileReader, BadLineStopsTheLoadAndLeavesItsRow) {
    const std::string bad[] = {
        "1\t1.00\t1234\t3\t2\t1\t0\t1\tITEM",          // nine fields
        "\t1.00\t1234\t3\t2\t1\t0\t1\tITEM\t10\t",     // empty "NUM"
        "   ",                                         // blanks are a data line
        "1\t1.00\t1234\t3\t2\t1\t0\t1\tITEM\t-1\t",    // negative validity
        "1802\t1.00\t1234\t3\t2\t1\t0\t1\tITEM\t10\t", // no such PLU
        "1\t100000\t1234\t3\t2\t1\t0\t1\tITEM\t10\t",
        "1\t1.00\t1234\t3\t2\t1\t0\t1\t" + std::string(33, 'n') + "\t10\t",
    };
    for (const std::string& line : bad) {
        PluGrid grid;
        grid.row(2) = makeRow("old", "7.77");
        const PluFileLoad load = readBytes(std::string(kLine1) + "\r\n" + line + "\r\n" + kLine1, grid);
        EXPECT_EQ(load.result, PluFileResult::InputError) << line;
        EXPECT_EQ(load.errorLine, 2) << line;
        EXPECT_EQ(load.rowsLoaded, 1);
        EXPECT_EQ(grid.cell(1, PluColumn::Name), "ITEM");
        EXPECT_EQ(grid.row(2), makeRow("old", "7.77")) << line; // not one field of the bad line stored
    }
}

TEST(PluFileReader, ReadingBackWhatTheScaleHeldAsksOnlyForTheTenFields) {
    // Beyond the file's limits, as a scale may hold them: a negative valid
    // date and code, department 255, a price beyond 99999.99.
    const std::string line = "7\t123456.78\t-5\t255\t9\t1\t0\t1\tITEM\t-1\t\t\t\t";
    PluGrid grid;
    std::istringstream in("; created: x\r\n\r\n" + line + "\r\n1\t2\t3\r\n");
    const PluFileLoad load = readPluFile(in, grid, '.', PluFileChecks::FieldsOnly);
    EXPECT_EQ(load.result, PluFileResult::InputError); // the short line still is one
    EXPECT_EQ(load.errorLine, 4);
    EXPECT_EQ(grid.cell(1, PluColumn::Price), "123456.78");
    EXPECT_EQ(grid.cell(1, PluColumn::ValidDate), "-1");
}

TEST(PluFileReader, LimitsOnRowsAndLineLength) {
    std::string full;
    for (int i = 0; i < kPluDataRows; ++i) {
        full += std::string(kLine1) + "\r\n";
    }
    PluGrid grid;
    EXPECT_EQ(readBytes(full, grid).result, PluFileResult::Ok);
    EXPECT_EQ(readBytes(full + ";a comment after the last row is fine\r\n", grid).rowsLoaded, kPluDataRows);
    const PluFileLoad tooMany = readBytes(full + kLine1, grid);
    EXPECT_EQ(tooMany.result, PluFileResult::InputError);
    EXPECT_EQ(tooMany.rowsLoaded, kPluDataRows);

    EXPECT_EQ(readBytes(";" + std::string(kMaxPluFileLineLength - 1, 'c') + "\r\n", grid).result,
              PluFileResult::Ok);
    EXPECT_EQ(readBytes(";" + std::string(kMaxPluFileLineLength, 'c') + "\r\n", grid).result,
              PluFileResult::InputError);
}

class PluFileOnDisk : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() /
                  ("plu_file_test_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                   "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder_);
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }

    static std::string contents(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        std::string bytes(static_cast<std::size_t>(fs::file_size(path)), '\0');
        in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return bytes;
    }
    static void write(const fs::path& path, const std::string& bytes) {
        std::ofstream(path, std::ios::binary) << bytes;
    }
    std::size_t filesInFolder() const {
        return static_cast<std::size_t>(
            std::distance(fs::directory_iterator(folder_), fs::directory_iterator()));
    }

    fs::path folder_;
};

TEST_F(PluFileOnDisk, SaveReplacesAndLoadReadsBack) {
    PluGrid grid;
    grid.row(1) = makeRow("1", "1.00");
    const fs::path file = folder_ / "plu.TXT";
    write(file, "an older, longer file that must not leave a tail behind");
    EXPECT_EQ(savePluFile(file, grid, "d", "t"), PluFileResult::Ok);
    EXPECT_EQ(contents(file), formatPluFile(grid, "d", "t"));
    EXPECT_EQ(filesInFolder(), 1u); // no temporary file left behind

    PluGrid loaded;
    EXPECT_EQ(loadPluFile(file, loaded, '.').rowsLoaded, 1);
    EXPECT_EQ(loadPluFile(folder_ / "missing.TXT", loaded, '.').result, PluFileResult::IoError);
    EXPECT_EQ(loadPluFile(folder_, loaded, '.').result, PluFileResult::IoError);
    EXPECT_EQ(savePluFile(folder_, grid, "d", "t"), PluFileResult::IoError);
    EXPECT_TRUE(fs::is_directory(folder_));
    EXPECT_EQ(savePluFile(folder_ / "no folder" / "plu.TXT", grid, "d", "t"), PluFileResult::IoError);

    RecordingUi ui;
    reportPluFileResult(ui, PluFileResult::Ok);
    reportPluFileResult(ui, PluFileResult::IoError);
    reportPluFileResult(ui, PluFileResult::InputError);
    EXPECT_EQ(ui.errors, (std::vector<RecordingUi::Message>{{"I/O Error!", "ERROR!"},
                                                            {"error in input file", "ERROR!"}}));
}

#if !defined(_WIN32)
TEST_F(PluFileOnDisk, FailedWriteKeepsTheOldFileWhole) {
    const fs::path file = folder_ / "plu.TXT";
    const std::string old = "the old table";
    write(file, old);
    PluGrid grid;
    for (int row = 1; row <= kPluDataRows; ++row) {
        grid.row(row) = makeRow("1", "1.00");
    }
    // A disk that fills up after 4 KiB: writes beyond it fail.
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 4096;
    setrlimit(RLIMIT_FSIZE, &small);
    const PluFileResult result = savePluFile(file, grid, "d", "t");
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_EQ(result, PluFileResult::IoError);
    EXPECT_EQ(contents(file), old);
    EXPECT_EQ(filesInFolder(), 1u);
}
#endif

} // namespace
