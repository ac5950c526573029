// The scale unplugged in the middle of work, as a USB adapter pulled out of
// the PC: the whole program, driven through its windows against the
// simulated scale on a real pseudo-terminal. Every path must end with the
// program's one message, give the window back within the link's bounds, and
// keep what was done before the line went.

#include "tests/faults/whole_program.h"
#include "app/main_window.h"
#include "link/commands.h"
#include "link/posix_serial_channel.h"
#include "link/scale_link.h"
#include "plu/plu_page.h"
#include "plu/progress_window.h"
#include "settings/settings_page.h"
#include "sim/scale_records.h"
#include "sim/simulated_scale.h"
#include "tests/support/recording_ui.h"
#include "tools/logo_window.h"
#include "tools/reports_page.h"
#include "tools/terminal_window.h"

#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <chrono>
#include <gtest/gtest.h>
#include <map>
#include <memory>

namespace {

using Clock = std::chrono::steady_clock;

const std::string kCommunicationError = "Comunication Error!";
// Only a guard against a hang: three attempts of 1.1 s per failed command,
// two failed commands at most, and room for a slow machine.
constexpr auto kHangGuard = std::chrono::seconds(15);

class ScaleGoneTest : public WholeProgram {
  protected:
    // The scale answers `requests` more requests, then its line goes dead.
    void hangUpAfter(int requests) {
        scale.injectFault(sim::Fault::Late, requests); // a late answer without delay is a plain one
        scale.injectFault(sim::Fault::HangUp);
    }

    // Runs one user action and checks that it gave the window back in time.
    template <class Action> void withinLinkBounds(Action&& action) {
        const auto start = Clock::now();
        action();
        EXPECT_LT(Clock::now() - start, kHangGuard);
    }

    static int pluOf(const sim::ReceivedRequest& request) {
        return request.payload.at(0) << 8 | request.payload.at(1);
    }
};

TEST_F(ScaleGoneTest, PluLoadKeepsTheRowsReadBeforeTheLineWent) {
    constexpr int kAnswered = 7; // PLUs 0 and 1800, then PLUs 1 to 5
    hangUpAfter(kAnswered);
    PluPage& plu = page<PluPage>();
    withinLinkBounds([&] { button(plu, "Button7")->click(); });

    EXPECT_EQ(ui.errorCount(kCommunicationError), 1);
    EXPECT_EQ(ui.errors.size(), 1u);
    EXPECT_FALSE(plu.transferRunning());
    EXPECT_FALSE(form->progressWindow()->isVisible());

    // Every PLU the scale answered for is in the grid as the scale holds it;
    // nothing after the one that failed.
    const auto requests = scale.requests();
    ASSERT_EQ(requests.size(), static_cast<std::size_t>(kAnswered + 1));
    const sim::ScaleMemory memory = scale.snapshot();
    std::map<int, std::string> expected;
    for (int i = 0; i < kAnswered; ++i) {
        const sim::PluFields held = sim::decodePlu(memory.plu[static_cast<std::size_t>(pluOf(requests[i]))]);
        // PLU 0 takes its row whatever its price; others only when present.
        if (held.price >= 0 || pluOf(requests[i]) == 0) {
            expected[pluOf(requests[i])] = held.name;
        }
    }
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(gridNamesByPlu(), expected);

    // The program stays usable: the next action fails once, at once.
    ui.errors.clear();
    withinLinkBounds([&] { button(plu, "Button7")->click(); });
    EXPECT_EQ(ui.errors.size(), 1u);
}

TEST_F(ScaleGoneTest, ScaleSwitchedOffDuringAPluLoadCostsOneCommandsAttempts) {
    // The adapter stays plugged in but nothing answers: the load gives up
    // after one command's three attempts, not one per remaining PLU.
    constexpr int kAnswered = 4;
    scale.injectFault(sim::Fault::Late, kAnswered);
    scale.injectFault(sim::Fault::Silent, 1000);
    PluPage& plu = page<PluPage>();
    withinLinkBounds([&] { button(plu, "Button7")->click(); });

    EXPECT_EQ(ui.errorCount(kCommunicationError), 1);
    EXPECT_EQ(ui.errors.size(), 1u);
    EXPECT_FALSE(plu.transferRunning());
    EXPECT_EQ(scale.requests().size(), static_cast<std::size_t>(kAnswered + 3));
    EXPECT_EQ(gridNamesByPlu().size(), static_cast<std::size_t>(kAnswered - 1)) << "PLU 1800 is absent";
}

TEST_F(ScaleGoneTest, PluSaveLeavesTheRowsSentInTheScale) {
    PluPage& plu = page<PluPage>();
    button(plu, "Button7")->click();
    ASSERT_TRUE(ui.errors.empty());
    const auto grid = gridNamesByPlu();
    ASSERT_GE(grid.size(), 20u);
    // A blank scale, so what the save wrote can be told from what was there.
    scale.withMemory([](sim::ScaleMemory& m) {
        for (auto& record : m.plu) {
            record = sim::absentPlu();
        }
    });
    scale.clearRequests();

    constexpr int kAnswered = 12;
    hangUpAfter(kAnswered);
    withinLinkBounds([&] { button(plu, "Button8")->click(); });

    // The write that failed, then the end-of-upload step that fails again.
    EXPECT_EQ(ui.errorCount(kCommunicationError), 2);
    EXPECT_EQ(ui.errors.size(), 2u);
    EXPECT_FALSE(plu.transferRunning());
    EXPECT_FALSE(form->progressWindow()->isVisible());

    const auto requests = scale.requests();
    ASSERT_EQ(requests.size(), static_cast<std::size_t>(kAnswered + 1));
    const sim::ScaleMemory memory = scale.snapshot();
    int kept = 0;
    for (int i = 0; i <= kAnswered; ++i) {
        ASSERT_EQ(requests[i].command, cmd::kWritePlu);
        const int number = pluOf(requests[i]);
        const sim::PluFields held = sim::decodePlu(memory.plu[static_cast<std::size_t>(number)]);
        const auto row = grid.find(number);
        if (i < kAnswered && row != grid.end()) {
            EXPECT_EQ(held.name, row->second) << "PLU " << number;
            ++kept;
        } else {
            EXPECT_LT(held.price, 0) << "PLU " << number << " was never carried out";
        }
    }
    EXPECT_GT(kept, 0);
    // The grid is untouched by the failure.
    EXPECT_EQ(gridNamesByPlu(), grid);
}

TEST_F(ScaleGoneTest, SettingsSendStopsAtTheFirstFailureWithTheCursorBack) {
    SettingsPage& settings = page<SettingsPage>();
    constexpr int kAnswered = 10;
    hangUpAfter(kAnswered);
    withinLinkBounds([&] { button(settings, "Button1")->click(); });

    EXPECT_EQ(ui.errorCount(kCommunicationError), 1);
    EXPECT_EQ(ui.errors.size(), 1u);
    EXPECT_EQ(ui.busyDepth, 0);
    // Nothing more is sent after the command that failed.
    EXPECT_EQ(scale.requests().size(), static_cast<std::size_t>(kAnswered + 1));
}

TEST_F(ScaleGoneTest, ReportKeepsTheSectionsReadBeforeTheLineWent) {
    ReportsPage& reports = page<ReportsPage>();
    // A whole report first, to learn how many requests it takes.
    button(reports, "Button18")->click();
    ASSERT_TRUE(ui.errors.empty());
    const int whole = static_cast<int>(scale.requests().size());
    ASSERT_GE(whole, 4);
    const auto* memo = reports.findChild<QPlainTextEdit*>(QStringLiteral("Memo3"));
    ASSERT_NE(memo, nullptr);
    const int wholeLines = memo->blockCount();
    scale.clearRequests();

    hangUpAfter(whole / 2);
    withinLinkBounds([&] { button(reports, "Button18")->click(); });

    EXPECT_EQ(ui.errorCount(kCommunicationError), 1);
    EXPECT_EQ(ui.errors.size(), 1u);
    EXPECT_EQ(scale.requests().size(), static_cast<std::size_t>(whole / 2 + 1));
    // The sections read before the failure stay in view; the rest never came.
    EXPECT_GT(memo->blockCount(), 1);
    EXPECT_LT(memo->blockCount(), wholeLines);
}

TEST_F(ScaleGoneTest, LogoSendKeepsTheRowsSent) {
    QTemporaryDir pictures;
    const QString bitmap = pictures.filePath(QStringLiteral("logo.bmp"));
    QImage picture(384, 40, QImage::Format_RGB32);
    picture.fill(qRgb(255, 255, 255));
    for (int y = 0; y < picture.height(); ++y) {
        picture.setPixel(y * 3, y, qRgb(0, 0, 0)); // one black pixel a row, at a different place
    }
    ASSERT_TRUE(picture.save(bitmap, "BMP"));
    TForm4& logo = *form->logoWindow();
    ui.openAnswers.push_back(bitmap.toStdString());
    button(logo, "Button1")->click();
    ASSERT_TRUE(ui.errors.empty());

    constexpr int kAnswered = 15; // the header and some rows
    hangUpAfter(kAnswered);
    withinLinkBounds([&] { button(logo, "Button2")->click(); });

    EXPECT_EQ(ui.errorCount(kCommunicationError), 1);
    EXPECT_EQ(ui.errors.size(), 1u);
    const auto requests = scale.requests();
    ASSERT_EQ(requests.size(), static_cast<std::size_t>(kAnswered + 1));
    // The rows that reached the scale are in its logo memory.
    const sim::ScaleMemory memory = scale.snapshot();
    for (int i = 1; i < kAnswered; ++i) {
        ASSERT_EQ(requests[i].command, cmd::kWriteLogo);
        const std::size_t row = static_cast<std::size_t>(i - 1);
        bool anyInk = false;
        for (std::size_t b = 0; b < 48; ++b) {
            anyInk = anyInk || memory.logoMemory[1 + row * 48 + b] != 0;
        }
        EXPECT_TRUE(anyInk) << "row " << row;
    }
}

TEST_F(ScaleGoneTest, TerminalPollFailsQuietlyAndAKeyThenSaysSo) {
    TForm3& terminal = *form->terminalWindow();
    terminal.Timer1Timer();
    const auto* line1 = terminal.findChild<QLabel*>(QStringLiteral("Label1"));
    ASSERT_NE(line1, nullptr);
    const QString shown = line1->text();
    ASSERT_TRUE(ui.errors.empty());

    hangUpAfter(0);
    withinLinkBounds([&] { terminal.Timer1Timer(); });
    // A poll never shows a box; polling rests with the last display kept.
    EXPECT_TRUE(ui.errors.empty());
    EXPECT_FALSE(terminal.findChild<QTimer*>(QStringLiteral("Timer1"))->isActive());
    EXPECT_EQ(line1->text(), shown);

    // A key is a command of its own and reports the failure once.
    withinLinkBounds([&] { terminal.ButtonXClick(0x31); });
    EXPECT_EQ(ui.errorCount(kCommunicationError), 1);
    EXPECT_EQ(ui.errors.size(), 1u);
}

} // namespace
