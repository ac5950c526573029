// Backup and restore from the main window's tool strip, driven like a user
// against the simulated scale on a real pseudo-terminal: the folder, the
// confirmation naming both scales and the backup's date, the clock only when
// chosen, and "STOP" leaving no folder.

#include "app/main_window.h"
#include "backup/backup_manifest.h"
#include "link/commands.h"
#include "link/posix_serial_channel.h"
#include "link/scale_link.h"
#include "plu/progress_window.h"
#include "plu/whole_file.h"
#include "region/qt_regional_forms.h"
#include "sim/simulated_scale.h"
#include "tests/support/recording_ui.h"

#include <QComboBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <algorithm>
#include <array>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>

namespace {

namespace fs = std::filesystem;

class BackupToolsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(scale.start());
        std::string error;
        ASSERT_TRUE(scale.loadSeed(TALLIVOS_DEMO_SEED, &error)) << error;
        ASSERT_TRUE(folder.isValid());
        form = std::make_unique<TForm1>(link, ui, folder.filePath(QStringLiteral("utility.CFG")));
        form->findChild<QComboBox*>(QStringLiteral("ComboBox1"))->setCurrentText(QStringLiteral("115200"));
        form->findChild<QComboBox*>(QStringLiteral("ComboBox2"))->setEditText(QString::fromStdString(scale.device()));
        form->findChild<QPushButton*>(QStringLiteral("Button11"))->click();
        ASSERT_TRUE(link.isOpen());
        scale.clearRequests();
    }

    void click(const char* tool) {
        auto* button = form->findChild<QToolButton*>(QString::fromLatin1(tool));
        ASSERT_NE(button, nullptr) << tool;
        button->click();
    }
    fs::path path(const char* name) const { return fs::path(folder.path().toStdString()) / name; }
    int requestsOf(std::uint8_t command) const {
        const auto requests = scale.requests();
        return static_cast<int>(std::count_if(requests.begin(), requests.end(),
                                              [&](const sim::ReceivedRequest& r) { return r.command == command; }));
    }

    sim::SimulatedScale scale;
    QTemporaryDir folder;
    RecordingUi ui;
    ScaleLink link{std::make_unique<PosixSerialChannel>(), ui};
    std::unique_ptr<TForm1> form;
};

TEST_F(BackupToolsTest, BackupAndRestoreTheScaleFromTheToolStrip) {
    ui.saveAnswers.push_back(path("shop").string());
    click("BackupButton");
    EXPECT_TRUE(ui.errors.empty());
    EXPECT_FALSE(form->progressWindow()->isVisible());
    const ManifestRead manifest =
        parseBackupManifest(readWholeFile(path("shop") / "manifest.txt", 64 * 1024).value_or(""));
    ASSERT_TRUE(manifest.ok) << manifest.problem;
    EXPECT_EQ(manifest.manifest.scale, "TV-15 COUNTER SCALE v2.31");
    EXPECT_EQ(manifest.manifest.program, "tallivos-utility 1.62");
    EXPECT_EQ(manifest.manifest.files.size(), 4u);

    // Cancelled: nothing goes. Then restored, and then with the clock.
    scale.withMemory([](sim::ScaleMemory& m) { return m.identification = "SECOND SCALE"; });
    using ClockBytes = std::array<std::uint8_t, 6>;
    const ClockBytes otherTime{30, 6, 6, 6, 6, 6};
    const ClockBytes backupTime{26, 12, 8, 17, 45, 0};
    for (const std::size_t answer : {2u, 0u, 1u}) {
        scale.clearRequests();
        scale.withMemory([&](sim::ScaleMemory& m) { return m.clock = otherTime; });
        ui.folderAnswers.push_back(path("shop").string());
        ui.answers.push_back(answer);
        click("RestoreButton");
        const int plus = requestsOf(cmd::kWritePlu);
        EXPECT_EQ(plus, answer == 2 ? 0 : 41) << answer;
        EXPECT_EQ(requestsOf(cmd::kWriteTaxRates), answer == 2 ? 0 : 1);
        EXPECT_EQ(requestsOf(cmd::kWriteClock), answer == 1 ? 1 : 0);
        // The clock only when chosen, then as the backup's clock.txt holds it.
        EXPECT_EQ(scale.snapshot().clock, answer == 1 ? backupTime : otherTime);
        EXPECT_EQ(requestsOf(cmd::kWriteSystemParameters), 0);
    }
    ASSERT_EQ(ui.questions.size(), 3u);
    const QtRegionalForms forms;
    const LocalDateTime& taken = manifest.manifest.taken;
    EXPECT_EQ(ui.questions[0].text, "Restore the backup of the scale \"TV-15 COUNTER SCALE v2.31\" taken " +
                                        forms.shortDate(taken) + " " + forms.longTime(taken) +
                                        " onto the scale \"SECOND SCALE\"?\n\nIts 41 PLUs and its settings replace "
                                        "those of the scale. The calibration parameters are not written.");
    EXPECT_EQ(ui.questionAnswers[0], (std::vector<std::string>{"Restore", "Restore and set the clock to 08-12-26 17:45:00",
                                                              "Cancel"}));
    EXPECT_TRUE(ui.errors.empty());
}

TEST_F(BackupToolsTest, StopLeavesNoFolderAndAnExistingFolderIsNeverReplaced) {
    ui.saveAnswers.push_back(path("stopped").string());
    QTimer::singleShot(0, form.get(), [this] { form->progressWindow()->Button1->click(); });
    click("BackupButton");
    EXPECT_FALSE(fs::exists(path("stopped")));
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path().toStdString()), fs::directory_iterator()), 0);
    EXPECT_TRUE(ui.errors.empty());

    fs::create_directory(path("taken"));
    ui.saveAnswers.push_back(path("taken").string());
    click("BackupButton");
    EXPECT_EQ(ui.errors, (std::vector<RecordingUi::Message>{{"I/O Error!", "ERROR!"}}));
    EXPECT_EQ(ui.errorDetails, (std::vector<std::string>{path("taken").string() + " exists already"}));
    EXPECT_TRUE(fs::is_empty(path("taken")));
}

} // namespace
