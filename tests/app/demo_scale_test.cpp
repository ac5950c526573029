// DEMO SCALE: the simulated scale inside the program, reached through the real
// link over its pseudo-terminal, driven through the window as a trainee would.
// Boxes are recorded, never shown.

#include "app/main_window.h"
#include "gui/range_spin_edit.h"
#include "link/posix_serial_channel.h"
#include "link/scale_link.h"
#include "plu/plu_page.h"
#include "tests/support/recording_ui.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QToolButton>
#include <gtest/gtest.h>
#include <map>
#include <memory>

namespace {

const RecordingUi::Message kCommunicationError{"Comunication Error!", "Error!"};

class DemoScaleWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        ui.onStatusText = [this](const std::string& text) {
            if (form) {
                form->showStatusText(QString::fromLatin1(text));
            }
        };
        ui.onSystemPage = [this](bool visible) {
            if (form) {
                form->setSystemTabVisible(visible);
            }
        };
        startProgram();
    }

    // The program starting, with its saved state and the demo scale's memory in the test's folder.
    void startProgram() {
        form = std::make_unique<TForm1>(link, ui, folder.filePath(QStringLiteral("utility.CFG")));
        form->setDemoScaleMemoryFile(memoryFile());
    }
    void restartProgram() {
        form->close();
        form.reset();
        startProgram();
    }
    QString memoryFile() const { return folder.filePath(QStringLiteral("data/demo-scale.txt")); }

    template <class T> T* control(const char* name) const {
        auto* found = form->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    void click(const char* name) { control<QPushButton>(name)->click(); }
    void practise(const char* action) { control<QAction>(action)->trigger(); }
    QString identification() const { return control<QLabel>("StaticText1")->text(); }
    QToolButton* practiceButton() const { return control<QToolButton>("PracticeFaultsButton"); }
    bool logHas(const std::string& words) const {
        for (const LogLine& line : form->sessionLog().lines()) {
            if (line.text.find(words) != std::string::npos) {
                return true;
            }
        }
        return false;
    }

    void connectToDemoScale() {
        control<QComboBox>("ComboBox1")->setCurrentText(QStringLiteral("115200"));
        auto* ports = control<QComboBox>("ComboBox2");
        ports->setCurrentIndex(ports->count() - 1);
        ASSERT_EQ(ports->currentText(), QStringLiteral("DEMO SCALE"));
        click("Button11");
        ASSERT_EQ(control<QPushButton>("Button11")->text(), QStringLiteral("DISCONNECT"));
    }
    // The PLUs of the demo shop, 1 to 101, as LOAD FROM SCALE reads them.
    void loadPlus() {
        control<RangeSpinEdit>("SpinEdit1")->setValue(1);
        control<RangeSpinEdit>("SpinEdit2")->setValue(101);
        click("Button7");
    }
    // The grid's names by PLU number, as LOAD FROM SCALE filled it.
    std::map<int, std::string> pluNames() {
        std::map<int, std::string> names;
        const PluGrid& grid = form->findChild<PluPage*>()->grid();
        for (int row = 1; row <= kPluDataRows; ++row) {
            if (grid.inUse(row) && !grid.cell(row, PluColumn::Name).empty()) {
                names[std::stoi(grid.cell(row, PluColumn::Num))] = grid.cell(row, PluColumn::Name);
            }
        }
        return names;
    }
    QString clerk1() const { return control<QLineEdit>("Edit3")->text(); }

    QTemporaryDir folder;
    RecordingUi ui;
    ScaleLink link{std::make_unique<PosixSerialChannel>(), ui};
    std::unique_ptr<TForm1> form;
};

TEST_F(DemoScaleWindow, EveryPageWorksThroughTheLinkAndTheWindowSaysItIsTheDemoScale) {
    EXPECT_TRUE(practiceButton()->isHidden());
    connectToDemoScale();
    EXPECT_TRUE(form->windowTitle().startsWith(TForm1::kCaption + QStringLiteral(" \u2014 DEMO SCALE")))
        << form->windowTitle().toStdString();
    EXPECT_TRUE(identification().startsWith(QStringLiteral("SCALE ID: TV-15 COUNTER SCALE v2.31")));
    EXPECT_TRUE(identification().contains(QStringLiteral("DEMO SCALE")));
    EXPECT_FALSE(practiceButton()->isHidden());
    // Every byte took the real path, so the log shows it.
    EXPECT_TRUE(logHas("PC>SCALE C3 04 00 01"));
    EXPECT_TRUE(logHas("DEMO SCALE: the simulated scale inside the program"));

    loadPlus();
    const auto names = pluNames();
    EXPECT_EQ(names.size(), 40u);
    EXPECT_EQ(names.at(1), "Apples Braeburn");

    control<QLineEdit>("Edit3")->setText(QStringLiteral("Nadia"));
    click("Button1"); // SEND TO SCALE
    click("Button18"); // REPORT
    EXPECT_TRUE(control<QPlainTextEdit>("Memo3")->toPlainText().contains(QStringLiteral("DOC NUM\t\t\t1042")));
    EXPECT_TRUE(ui.errors.empty());

    click("Button11"); // DISCONNECT
    EXPECT_EQ(form->windowTitle(), TForm1::kCaption);
    EXPECT_TRUE(practiceButton()->isHidden());
    EXPECT_TRUE(identification().isEmpty());
    // Its memory is in its own file, the clerk just sent with it.
    QFile memory(memoryFile());
    ASSERT_TRUE(memory.open(QIODevice::ReadOnly));
    EXPECT_TRUE(memory.readAll().contains("clerk 1 \"Nadia\""));
}

TEST_F(DemoScaleWindow, ItsMemorySurvivesARestartAndResetBringsTheDemoShopBack) {
    connectToDemoScale();
    control<QLineEdit>("Edit3")->setText(QStringLiteral("Nadia"));
    click("Button1"); // SEND TO SCALE
    // Closed while connected: the demo scale stops with the program.
    restartProgram();
    EXPECT_EQ(control<QComboBox>("ComboBox2")->currentText(), QStringLiteral("DEMO SCALE")); // saved by its text

    control<QLineEdit>("Edit3")->clear();
    click("Button11");
    click("Button9"); // LOAD FROM SCALE
    EXPECT_EQ(clerk1(), QStringLiteral("Nadia"));

    ui.answers.push_back(0); // "Reset"
    practise("ResetDemoScale");
    ASSERT_EQ(ui.questions.size(), 1u);
    click("Button9");
    EXPECT_EQ(clerk1(), QStringLiteral("Mara"));
    EXPECT_TRUE(ui.errors.empty());

    // A memory file that is not one: the demo shop stands in, the user is
    // told, and the file is kept aside.
    click("Button11");
    restartProgram();
    {
        QFile bad(memoryFile());
        ASSERT_TRUE(bad.open(QIODevice::WriteOnly | QIODevice::Truncate));
        bad.write("not a scale\n");
    }
    connectToDemoScale();
    ASSERT_EQ(ui.informations.size(), 1u);
    EXPECT_EQ(ui.informations[0].title, "DEMO SCALE");
    EXPECT_TRUE(QFile::exists(memoryFile() + QStringLiteral(".unreadable")));
    click("Button9");
    EXPECT_EQ(clerk1(), QStringLiteral("Mara"));
}

TEST_F(DemoScaleWindow, PracticeFaultsShowTheirMessagesUntilNormalEndsThem) {
    connectToDemoScale();

    practise("PracticeNak");
    EXPECT_EQ(practiceButton()->text(), QStringLiteral("FAULT ON: NAK"));
    EXPECT_TRUE(control<QAction>("PracticeNak")->isChecked());
    click("Button4"); // the clock FROM SCALE
    ASSERT_EQ(ui.errors.size(), 1u);
    EXPECT_EQ(ui.errors[0], kCommunicationError);
    EXPECT_TRUE(logHas("NAK received"));

    practise("PracticeNormal");
    EXPECT_EQ(practiceButton()->text(), QStringLiteral("PRACTICE FAULTS"));
    practise("PracticeCalibrationMode");
    click("Button4");
    EXPECT_EQ(ui.errors.size(), 1u);
    EXPECT_TRUE(control<QTabWidget>("PageControl1")->isTabVisible(3)); // the SYSTEM page
    practise("PracticeCalibrationMode");
    click("Button4");
    EXPECT_FALSE(control<QTabWidget>("PageControl1")->isTabVisible(3));

    // Switched off in the middle of the transfer: the rows read so far stay.
    practise("PracticeSwitchedOff");
    loadPlus();
    ASSERT_EQ(ui.errors.size(), 2u);
    EXPECT_EQ(ui.errors[1], kCommunicationError);
    EXPECT_FALSE(pluNames().empty());
    EXPECT_LT(pluNames().size(), 40u);
    EXPECT_TRUE(logHas("time-out"));

    // A new connection starts without a fault.
    click("Button11");
    connectToDemoScale();
    EXPECT_TRUE(control<QAction>("PracticeNormal")->isChecked());
    EXPECT_EQ(ui.errors.size(), 2u);
}

} // namespace
