// Every file the program writes (the PLU file, the report file, the saved
// state file, the logo's preview) must come through a failed write with its old content whole:
// a folder that cannot be written, a path that runs through a plain file,
// and a disk that fills up part-way through the write. The files are written
// through the windows, as a user saves them.

#include "app/saved_state.h"
#include "gui/range_spin_edit.h"
#include "tests/faults/whole_program.h"
#include "tools/logo_window.h"
#include "tools/reports_page.h"

#include <QImage>
#include <QPlainTextEdit>
#include <csignal>
#include <filesystem>
#include <cstdio>
#include <functional>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

const RecordingUi::Message kIoError{"I/O Error!", "ERROR!"};
// Small enough that every file of the test is cut by it.
constexpr rlim_t kFileSizeLimit = 256;
// The unprivileged user a root test process acts as while a folder must be
// out of reach (root ignores permission bits).
constexpr uid_t kNobody = 65534;

std::string readBytes(const fs::path& path) {
    std::string bytes;
    if (std::FILE* file = std::fopen(path.c_str(), "rb")) {
        char chunk[4096];
        std::size_t got = 0;
        while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
            bytes.append(chunk, got);
        }
        std::fclose(file);
    }
    return bytes;
}

void writeBytes(const fs::path& path, const std::string& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr) << path;
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
}

std::vector<std::string> folderListing(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// A folder nobody may write to, for as long as the guard lives. As root the
// process also acts as an unprivileged user meanwhile.
class UnwritableFolder {
  public:
    explicit UnwritableFolder(const fs::path& folder) : folder_(folder) {
        ::chmod(folder_.c_str(), 0555);
        if (::geteuid() == 0) {
            droppedRoot_ = ::seteuid(kNobody) == 0;
            failed_ = !droppedRoot_;
        }
    }
    ~UnwritableFolder() {
        if (droppedRoot_) {
            [[maybe_unused]] const int restored = ::seteuid(0);
        }
        ::chmod(folder_.c_str(), 0755);
    }
    UnwritableFolder(const UnwritableFolder&) = delete;
    UnwritableFolder& operator=(const UnwritableFolder&) = delete;
    bool failed() const { return failed_; }

  private:
    fs::path folder_;
    bool droppedRoot_ = false;
    bool failed_ = false;
};

// Files may grow only to a few hundred bytes for as long as the guard lives:
// the write that crosses the limit fails as on a full disk.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &old_);
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limited = old_;
        limited.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, previousHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

  private:
    rlimit old_{};
    void (*previousHandler_)(int) = nullptr;
};

// One file the program writes, and the message a failed write shows.
struct Writer {
    const char* name;
    std::function<void(const fs::path&)> write;
    std::vector<RecordingUi::Message> boxesOnFailure;
};

class FailedWriteTest : public WholeProgram {
  protected:
    void SetUp() override {
        WholeProgram::SetUp();
        // Realistic contents: the demo shop's first PLUs and its sales report.
        PluPage& plu = page<PluPage>();
        plu.SpinEdit2->setValue(60);
        button(plu, "Button7")->click();
        button(page<ReportsPage>(), "Button18")->click();
        ASSERT_TRUE(ui.errors.empty());
        ASSERT_TRUE(folder.isValid());
        base = fs::path(folder.path().toStdString());
        // A logo of fine noise, whose preview does not compress below the limit.
        QImage noise(384, 40, QImage::Format_RGB32);
        for (int y = 0; y < noise.height(); ++y) {
            for (int x = 0; x < noise.width(); ++x) {
                const int level = (x * 7919 + y * 104729) % 251;
                noise.setPixel(x, y, qRgb(level, level, level));
            }
        }
        const QString logo = QString::fromStdString((base / "logo.bmp").string());
        ASSERT_TRUE(noise.save(logo, "BMP"));
        ui.openAnswers.push_back(logo.toStdString());
        button(*form->logoWindow(), "Button1")->click();
        ASSERT_TRUE(ui.errors.empty());
        // Open to everyone on the way in, so that only the folder under test
        // refuses the unprivileged user.
        ::chmod(base.c_str(), 0755);
    }

    std::vector<Writer> writers() {
        return {
            {"PLU file",
             [this](const fs::path& path) {
                 ui.saveAnswers.push_back(path.string());
                 button(page<PluPage>(), "Button6")->click();
             },
             {kIoError}},
            {"report file",
             [this](const fs::path& path) {
                 ui.saveAnswers.push_back(path.string());
                 button(page<ReportsPage>(), "Button20")->click();
             },
             {kIoError}},
            {"logo preview",
             [this](const fs::path& path) {
                 ui.saveAnswers.push_back(path.string());
                 button(*form->logoWindow(), "SavePreview")->click();
             },
             {kIoError}},
            // Written at every exit, where no box could be answered: silent.
            {"saved state file",
             [this](const fs::path& path) {
                 saveall(TForm1::savedControls(), *form->centralWidget(), QString::fromStdString(path.string()));
             },
             {}},
        };
    }

    // A folder of its own holding yesterday's file.
    fs::path folderWithOldFile(const Writer& writer) {
        const fs::path dir = base / writer.name;
        fs::create_directories(dir);
        ::chmod(dir.c_str(), 0755);
        writeBytes(dir / "kept.TXT", oldContent);
        return dir;
    }

    QTemporaryDir folder;
    fs::path base;
    const std::string oldContent = std::string("yesterday's file\r\n\t\x80\x01 whole\r\n") + std::string(3000, 'x');
};

TEST_F(FailedWriteTest, EveryWrittenFileWorksWhenNothingFails) {
    // The failures below are real only if each file is longer than the limit.
    for (const Writer& writer : writers()) {
        SCOPED_TRACE(writer.name);
        const fs::path dir = folderWithOldFile(writer);
        writer.write(dir / "kept.TXT");
        EXPECT_TRUE(ui.errors.empty());
        EXPECT_GT(fs::file_size(dir / "kept.TXT"), kFileSizeLimit);
        EXPECT_TRUE(readBytes(dir / "kept.TXT") != oldContent);
        EXPECT_EQ(folderListing(dir), std::vector<std::string>{"kept.TXT"});
    }
}

TEST_F(FailedWriteTest, FolderThatCannotBeWrittenKeepsTheOldFile) {
    for (const Writer& writer : writers()) {
        SCOPED_TRACE(writer.name);
        ui.errors.clear();
        const fs::path dir = folderWithOldFile(writer);
        {
            UnwritableFolder guard(dir);
            if (guard.failed()) {
                GTEST_SKIP() << "cannot act as an unprivileged user here";
            }
            writer.write(dir / "kept.TXT");
        }
        EXPECT_EQ(ui.errors, writer.boxesOnFailure);
        EXPECT_TRUE(readBytes(dir / "kept.TXT") == oldContent) << "the old file changed";
        EXPECT_EQ(folderListing(dir), std::vector<std::string>{"kept.TXT"});
    }
}

TEST_F(FailedWriteTest, PathThroughAPlainFileFailsWithoutTouchingIt) {
    for (const Writer& writer : writers()) {
        SCOPED_TRACE(writer.name);
        ui.errors.clear();
        const fs::path dir = folderWithOldFile(writer);
        writer.write(dir / "kept.TXT" / "new.TXT");
        EXPECT_EQ(ui.errors, writer.boxesOnFailure);
        EXPECT_TRUE(readBytes(dir / "kept.TXT") == oldContent) << "the old file changed";
        EXPECT_EQ(folderListing(dir), std::vector<std::string>{"kept.TXT"});
    }
}

TEST_F(FailedWriteTest, WriteThatFailsPartWayKeepsTheOldFileAndLeavesNoPiece) {
    for (const Writer& writer : writers()) {
        SCOPED_TRACE(writer.name);
        ui.errors.clear();
        const fs::path dir = folderWithOldFile(writer);
        {
            FileSizeLimit limit(kFileSizeLimit);
            writer.write(dir / "kept.TXT");
        }
        EXPECT_EQ(ui.errors, writer.boxesOnFailure);
        EXPECT_TRUE(readBytes(dir / "kept.TXT") == oldContent) << "the old file changed";
        EXPECT_EQ(folderListing(dir), std::vector<std::string>{"kept.TXT"});
    }
}

} // namespace
