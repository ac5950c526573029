// The platform's file calls under the writers that never leave a file half
// written: a new file is never one that was there, a rename replaces only
// when asked to, and (Windows) a file that another program holds for a moment
// is still replaced.

#include "plu/file_replace.h"
#include "plu/file_system_calls.h"
#include "plu/whole_file.h"

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

#if defined(_WIN32)
#include <thread>
#include <windows.h>
#endif

namespace {

namespace fs = std::filesystem;

class FileSystemCalls : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() /
                  ("file_calls_test_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                   "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder_);
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }

    static std::string contents(const fs::path& path) { return readWholeFile(path, 1024).value_or("(none)"); }
    static void write(const fs::path& path, const std::string& bytes) {
        std::ofstream(path, std::ios::binary) << bytes;
    }

    fs::path folder_;
};

TEST_F(FileSystemCalls, NewFilesAreNewAndRenamesReplaceOnlyWhenAsked) {
    const fs::path mine = folder_ / "mine.txt";
    std::FILE* file = createNewFile(mine);
    ASSERT_NE(file, nullptr);
    EXPECT_GE(std::fputs("line\n", file), 0);
    EXPECT_TRUE(flushFileToDisk(file));
    EXPECT_EQ(std::fclose(file), 0);
    EXPECT_EQ(contents(mine), "line\n"); // bytes as written, no CR added

    errno = 0;
    EXPECT_EQ(createNewFile(mine), nullptr);
    EXPECT_EQ(errno, EEXIST);
    EXPECT_EQ(createNewFile(folder_), nullptr);
    EXPECT_EQ(contents(mine), "line\n");

    const fs::path other = folder_ / "other.txt";
    write(other, "newer");
    EXPECT_TRUE(renameReplacingFile(other, mine));
    EXPECT_EQ(contents(mine), "newer");
    EXPECT_FALSE(fs::exists(other));

    const fs::path work = folder_ / "work";
    const fs::path taken = folder_ / "taken";
    fs::create_directory(work);
    fs::create_directory(taken);
    EXPECT_FALSE(renameWithoutReplacing(work, taken)); // not even an empty folder
    EXPECT_FALSE(renameWithoutReplacing(work, mine));
    EXPECT_TRUE(fs::is_directory(work));
    EXPECT_EQ(contents(mine), "newer");
    EXPECT_TRUE(renameWithoutReplacing(work, folder_ / "done"));
    EXPECT_TRUE(fs::is_directory(folder_ / "done"));
    EXPECT_TRUE(flushFolderEntries(folder_));
}

#if defined(_WIN32)
// Opens the file as a virus scanner does: others may read it, but neither
// write nor rename nor delete it while it is open.
HANDLE holdLikeAScanner(const fs::path& path) {
    return CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
}

TEST_F(FileSystemCalls, AFileHeldForAMomentIsStillReplacedAndOneHeldLongerStaysWhole) {
    const fs::path target = folder_ / "plu.TXT";
    write(target, "old");
    HANDLE held = holdLikeAScanner(target);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    std::thread scanner([held] {
        Sleep(200);
        CloseHandle(held);
    });
    EXPECT_TRUE(replaceFileContents(target, "new"));
    scanner.join();
    EXPECT_EQ(contents(target), "new");

    held = holdLikeAScanner(target);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(replaceFileContents(target, "newer"));
    CloseHandle(held);
    EXPECT_EQ(contents(target), "new");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder_), fs::directory_iterator()), 1);
}
#endif

} // namespace
