#pragma once
// The whole program as a user has it: the main window with its pages and
// secondary windows, connected to the simulated scale (holding the demo
// shop's memory) over a real pseudo-terminal at 115200 bit/s. Boxes are
// recorded, never shown.

#include "app/main_window.h"
#include "link/posix_serial_channel.h"
#include "link/scale_link.h"
#include "plu/plu_page.h"
#include "sim/simulated_scale.h"
#include "tests/support/recording_ui.h"

#include <QComboBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <string>

class WholeProgram : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(scale.start());
        std::string error;
        ASSERT_TRUE(scale.loadSeed(TALLIVOS_DEMO_SEED, &error)) << error;
        ASSERT_TRUE(stateFolder.isValid());
        form = std::make_unique<TForm1>(link, ui, stateFolder.filePath(QStringLiteral("utility.CFG")));
        form->findChild<QComboBox*>(QStringLiteral("ComboBox1"))->setCurrentText(QStringLiteral("115200"));
        form->findChild<QComboBox*>(QStringLiteral("ComboBox2"))->setEditText(QString::fromStdString(scale.device()));
        button(*form, "Button11")->click();
        ASSERT_TRUE(link.isOpen());
        ASSERT_TRUE(ui.errors.empty());
        scale.clearRequests();
    }

    static QPushButton* button(QWidget& window, const char* name) {
        auto* found = window.findChild<QPushButton*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    template <class Page> Page& page() {
        auto* found = form->findChild<Page*>();
        EXPECT_NE(found, nullptr);
        return *found;
    }

    std::map<int, std::string> gridNamesByPlu() {
        std::map<int, std::string> names;
        const PluGrid& grid = page<PluPage>().grid();
        for (int row = 1; row <= kPluDataRows; ++row) {
            if (grid.inUse(row)) {
                names[std::stoi(grid.cell(row, PluColumn::Num))] = grid.cell(row, PluColumn::Name);
            }
        }
        return names;
    }

    sim::SimulatedScale scale;
    QTemporaryDir stateFolder;
    RecordingUi ui;
    ScaleLink link{std::make_unique<PosixSerialChannel>(), ui};
    std::unique_ptr<TForm1> form;
};
