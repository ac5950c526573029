// The report file: exact bytes, and a failed save that keeps the old file.

#include "tools/report_file.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>

#if defined(__unix__)
#include <csignal>
#include <sys/resource.h>
#endif

namespace {

namespace fs = std::filesystem;

class ReportFile : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("tools_report_file_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override {
        fs::permissions(dir_, fs::perms::owner_all, fs::perm_options::add);
        fs::remove_all(dir_);
    }
    static std::string contents(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        std::string text(static_cast<std::size_t>(fs::file_size(path)), '\0');
        in.read(text.data(), static_cast<std::streamsize>(text.size()));
        return text;
    }
    static void put(const fs::path& path, const std::string& text) {
        std::ofstream(path, std::ios::binary) << text;
    }
    fs::path dir_;
};

TEST_F(ReportFile, EveryLineEndsInCrLfAndBytesPassUnchanged) {
    const fs::path path = dir_ / "report.txt";
    ASSERT_TRUE(writeReportFile(path.string(), {"DOC NUM\t\t\t1", "", "\x80 caf\xE9"}));
    EXPECT_EQ(contents(path), "DOC NUM\t\t\t1\r\n\r\n\x80 caf\xE9\r\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1)
        << "no temporary left";
}

TEST_F(ReportFile, EmptyReportGivesAnEmptyFileAndReplacesAnOldOne) {
    const fs::path path = dir_ / "report.txt";
    put(path, "old report\r\n");
    ASSERT_TRUE(writeReportFile(path.string(), {}));
    EXPECT_TRUE(fs::exists(path));
    EXPECT_EQ(contents(path), "");
}

TEST_F(ReportFile, LeftoverTemporaryDoesNotBlockTheSave) {
    const fs::path path = dir_ / "report.txt";
    put(dir_ / "report.txt.part", "someone else's");
    ASSERT_TRUE(writeReportFile(path.string(), {"A"}));
    EXPECT_EQ(contents(path), "A\r\n");
    EXPECT_EQ(contents(dir_ / "report.txt.part"), "someone else's");
}

TEST_F(ReportFile, NoFreshFileToWriteLeavesTheOldFileWhole) {
    const fs::path path = dir_ / "report.txt";
    put(path, "old report\r\n");
    // Every name the writer would use for its fresh file is taken.
    put(dir_ / "report.txt.part", "");
    for (int i = 1; i < 100; ++i) {
        put(dir_ / ("report.txt.part" + std::to_string(i)), "");
    }
    EXPECT_FALSE(writeReportFile(path.string(), {"new report"}));
    EXPECT_EQ(contents(path), "old report\r\n");
}

#if defined(__unix__)
TEST_F(ReportFile, WriteCutShortLeavesTheOldFileWholeAndNoTemporary) {
    const fs::path path = dir_ / "report.txt";
    put(path, "old report\r\n");
    // A file size limit makes the write fail part-way, as a full disk does.
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = saved;
    limited.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    const bool savedOk = writeReportFile(path.string(), std::vector<std::string>(2000, std::string(40, 'x')));
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_FALSE(savedOk);
    EXPECT_EQ(contents(path), "old report\r\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
}
#endif

TEST_F(ReportFile, TargetThatIsAFolderFailsWithoutLeavingATemporary) {
    const fs::path path = dir_ / "taken";
    fs::create_directory(path);
    EXPECT_FALSE(writeReportFile(path.string(), {"line"}));
    EXPECT_TRUE(fs::is_directory(path));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
}

} // namespace
