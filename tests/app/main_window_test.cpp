// The main window driven through its controls, as a user would, against the
// simulated scale on a real pseudo-terminal. Boxes are recorded, never shown.

#include "app/connection_indicator.h"
#include "app/help_window.h"
#include "app/main_window.h"
#include "app/saved_state.h"
#include "gui/memo_lines.h"
#include "gui/range_spin_edit.h"
#include "link/commands.h"
#include "link/posix_serial_channel.h"
#include "link/scale_link.h"
#include "plu/plu_page.h"
#include "plu/progress_window.h"
#include "plu/scale_knowledge.h"
#include "sim/simulated_scale.h"
#include "tests/support/paint_counter.h"
#include "tests/support/recording_ui.h"
#include "tools/logo_window.h"
#include "tools/terminal_window.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <gtest/gtest.h>
#include <memory>

namespace {

const std::string kNotConnected = "You are not connected to the scale!";
const std::string kCommunicationError = "Comunication Error!";

class MainWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(scale.start());
        ASSERT_TRUE(stateFolder.isValid());
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
        form = std::make_unique<TForm1>(link, ui, statePath());
    }

    QString statePath() const { return stateFolder.filePath(QStringLiteral("utility.CFG")); }

    template <class T> T* control(const char* name) const {
        auto* found = form->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    QPushButton* connectButton() const { return control<QPushButton>("Button11"); }
    QComboBox* portSelector() const { return control<QComboBox>("ComboBox2"); }
    QTabWidget* pages() const { return control<QTabWidget>("PageControl1"); }
    QColor indicatorColor() const { return control<ConnectionIndicator>("Shape1")->brushColor(); }
    QString identification() const { return control<QLabel>("StaticText1")->text(); }
    QString statusText() const { return control<QLabel>("Label4")->text(); }
    bool systemTabShown() const { return pages()->isTabVisible(3); }

    // The port selector pointed at the simulated scale, as a user types a device.
    void chooseSimulatedScale() { portSelector()->setEditText(QString::fromStdString(scale.device())); }

    void connectToScale() {
        chooseSimulatedScale();
        connectButton()->click();
        ASSERT_EQ(connectButton()->text(), QStringLiteral("DISCONNECT"));
    }

    sim::SimulatedScale scale;
    QTemporaryDir stateFolder;
    RecordingUi ui;
    ScaleLink link{std::make_unique<PosixSerialChannel>(), ui};
    std::unique_ptr<TForm1> form;
};

TEST_F(MainWindowTest, FreshStartShowsTheDefaults) {
    EXPECT_EQ(form->windowTitle(), QStringLiteral("ZEB TALLIVOS UTILITY MXV1.62"));
    EXPECT_EQ(form->size(), QSize(785, 470));
    EXPECT_EQ(form->minimumSize(), form->maximumSize());
    EXPECT_FALSE(form->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));

    EXPECT_EQ(portSelector()->currentText(), QStringLiteral("COM1"));
    EXPECT_EQ(portSelector()->currentIndex(), 0);
    EXPECT_EQ(portSelector()->count(), 9);
    EXPECT_EQ(portSelector()->itemText(8), QStringLiteral("DEMO SCALE")); // after every port found
    EXPECT_EQ(control<QComboBox>("ComboBox1")->currentText(), QStringLiteral("9600"));
    EXPECT_EQ(control<QComboBox>("ComboBox1")->currentIndex(), 3);
    EXPECT_EQ(control<QLineEdit>("Edit5")->text(), QStringLiteral("0"));
    EXPECT_FALSE(control<QLineEdit>("Edit5")->isEnabled());
    EXPECT_EQ(connectButton()->text(), QStringLiteral("CONNECT"));
    EXPECT_EQ(indicatorColor(), QColor(0, 128, 0));
    EXPECT_EQ(statusText(), QStringLiteral("LAST STATUS: "));
    EXPECT_TRUE(identification().isEmpty());

    EXPECT_EQ(pages()->currentIndex(), 0);
    EXPECT_EQ(pages()->tabText(0), QStringLiteral("PLU"));
    EXPECT_EQ(pages()->tabText(1), QStringLiteral("SETTINGS"));
    EXPECT_EQ(pages()->tabText(2), QStringLiteral("REPORTS"));
    EXPECT_EQ(pages()->tabText(3), QStringLiteral("SYSTEM"));
    EXPECT_FALSE(systemTabShown());

    // The secondary windows exist from the start, hidden.
    for (QWidget* window :
         {static_cast<QWidget*>(form->progressWindow()), static_cast<QWidget*>(form->terminalWindow()),
          static_cast<QWidget*>(form->logoWindow()), static_cast<QWidget*>(form->helpWindow())}) {
        ASSERT_NE(window, nullptr);
        EXPECT_FALSE(window->isVisible());
        EXPECT_EQ(window->parentWidget(), form.get());
        EXPECT_TRUE(window->isWindow());
    }
    EXPECT_TRUE(ui.errors.empty());
}

TEST_F(MainWindowTest, ConnectShowsTheScaleAndDisconnectFromSystemPage) {
    scale.withMemory([](sim::ScaleMemory& m) {
        m.status = 0x04;
        m.identification = "ABC";
    });
    connectToScale();
    EXPECT_EQ(identification(), QStringLiteral("SCALE ID: ABC"));
    EXPECT_EQ(statusText(), QStringLiteral("STATUS:04"));
    EXPECT_TRUE(systemTabShown());
    EXPECT_EQ(indicatorColor(), QColor(0, 255, 0));
    EXPECT_TRUE(link.isOpen());
    EXPECT_TRUE(ui.errors.empty());

    pages()->setCurrentIndex(3);
    connectButton()->click();
    EXPECT_EQ(pages()->currentIndex(), 0);
    EXPECT_FALSE(systemTabShown());
    EXPECT_EQ(connectButton()->text(), QStringLiteral("CONNECT"));
    EXPECT_EQ(indicatorColor(), QColor(0, 128, 0));
    EXPECT_TRUE(identification().isEmpty());
    EXPECT_EQ(statusText(), QStringLiteral("STATUS:04")); // the last status stays
    EXPECT_FALSE(link.isOpen());
    // Nothing is sent at a disconnect.
    EXPECT_EQ(scale.requests().size(), 1u);
}

TEST_F(MainWindowTest, ConnectAfterDisconnectIdentifiesWithAnEmptyRequestAndKnowsNothingOfTheScale) {
    connectToScale();
    // What the PLU page knows of the scale goes with the connection, and a new one starts with nothing.
    ScaleKnowledge& known = form->findChild<PluPage*>()->scaleKnowledge();
    known.learnRead(7, PluRecord{});
    // Leave a request with a payload behind, as a PLU read would.
    link.buffer().clear();
    link.buffer().putU16(7);
    link.buffer().putU8(0);
    link.buffer().putU8(54);
    ASSERT_TRUE(link.runCommand(cmd::kReadPlu));
    connectButton()->click();
    EXPECT_TRUE(known.empty());
    known.learnRead(7, PluRecord{});
    scale.clearRequests();

    connectButton()->click();
    ASSERT_EQ(connectButton()->text(), QStringLiteral("DISCONNECT"));
    EXPECT_TRUE(known.empty());
    const auto requests = scale.requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].command, cmd::kIdentify);
    EXPECT_TRUE(requests[0].payload.empty());
}

TEST_F(MainWindowTest, RepliesOfAPluLoadLeaveThePagesUnpainted) {
    connectToScale();
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    control<RangeSpinEdit>("SpinEdit1")->setValue(1);
    control<RangeSpinEdit>("SpinEdit2")->setValue(40);
    QCoreApplication::processEvents();
    // Every reply carries the calibration mode; one that does not change it
    // must not lay out and repaint the tab widget with all its pages.
    PaintCounter tabs(*pages());
    control<QPushButton>("Button7")->click();
    EXPECT_EQ(scale.requests().size(), 1u + 42u);
    EXPECT_LE(tabs.paints, 2);
    EXPECT_TRUE(ui.errors.empty());
}

TEST_F(MainWindowTest, PortHeldByAnotherProgramIsRefused) {
    PosixSerialChannel otherProgram;
    ASSERT_TRUE(otherProgram.open(PortId::named(scale.device()), 9600));
    chooseSimulatedScale();
    connectButton()->click();

    ASSERT_EQ(ui.errors.size(), 1u);
    EXPECT_EQ(ui.errors[0], (RecordingUi::Message{"Cannot inicialize COM port!", "Error!"}));
    ASSERT_EQ(ui.errorDetails.size(), 1u);
    EXPECT_NE(ui.errorDetails[0].find(scale.device()), std::string::npos) << ui.errorDetails[0];
    EXPECT_EQ(connectButton()->text(), QStringLiteral("CONNECT"));
    EXPECT_EQ(indicatorColor(), QColor(0, 128, 0));
    EXPECT_FALSE(link.isOpen());

    control<QPushButton>("Button16")->click();
    EXPECT_EQ(ui.errors.back(), (RecordingUi::Message{kNotConnected, "Error!"}));
}

TEST_F(MainWindowTest, TypedPortTextNamesTheDeviceToOpen) {
    struct Case {
        const char* typed;
        const char* device;
    };
    for (const Case c :
         {Case{" /dev/no-such-tty ", "/dev/no-such-tty"}, Case{"no-such-tty", "/dev/no-such-tty"},
          Case{"COM256", "/dev/COM256"}, Case{"com7", "/dev/ttyS6"}}) {
        if (QFile::exists(QString::fromLatin1(c.device))) {
            continue; // a real port would be opened
        }
        SCOPED_TRACE(c.typed);
        portSelector()->setEditText(QString::fromLatin1(c.typed));
        connectButton()->click();
        ASSERT_FALSE(ui.errorDetails.empty());
        EXPECT_EQ(ui.errors.back().text, "Cannot inicialize COM port!");
        EXPECT_EQ(ui.errorDetails.back().rfind(c.device, 0), 0u) << ui.errorDetails.back();
    }
}

TEST_F(MainWindowTest, SilentScaleLeavesTheWindowDisconnected) {
    scale.injectFault(sim::Fault::Silent, 3);
    chooseSimulatedScale();
    connectButton()->click();

    EXPECT_EQ(ui.errorCount(kCommunicationError), 1);
    EXPECT_EQ(ui.errors.size(), 1u);
    EXPECT_EQ(connectButton()->text(), QStringLiteral("CONNECT"));
    EXPECT_EQ(indicatorColor(), QColor(0, 128, 0));
    EXPECT_TRUE(identification().isEmpty());
    EXPECT_FALSE(link.isOpen());
    control<QPushButton>("Button16")->click();
    EXPECT_EQ(ui.errors.back().text, kNotConnected);
}

TEST_F(MainWindowTest, SpeedThatIsNoNumberStopsBeforeOpening) {
    chooseSimulatedScale();
    control<QComboBox>("ComboBox1")->setEditText(QStringLiteral("96OO"));
    connectButton()->click();

    ASSERT_EQ(ui.errors.size(), 1u);
    EXPECT_EQ(ui.errors[0], (RecordingUi::Message{"'96OO' is not a valid integer value.", ui.title}));
    EXPECT_FALSE(link.isOpen());
    EXPECT_EQ(scale.framesReceived(), 0);
    EXPECT_EQ(connectButton()->text(), QStringLiteral("CONNECT"));
}

TEST_F(MainWindowTest, HelpAlwaysTerminalAndLogoOnlyWhenConnected) {
    control<QPushButton>("Button15")->click();
    ASSERT_TRUE(form->helpWindow()->isVisible());
    EXPECT_EQ(form->helpWindow()->windowTitle(), QStringLiteral("HELP"));
    auto* memo = form->helpWindow()->findChild<QPlainTextEdit*>(QStringLiteral("HelpMemo"));
    ASSERT_NE(memo, nullptr);
    EXPECT_TRUE(memo->isReadOnly());
    const QStringList lines = memo->toPlainText().split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 25);
    EXPECT_EQ(lines[0], QStringLiteral("           ZEB TALLIVOS UTILITY PROGRAM"));
    EXPECT_EQ(lines[23], QStringLiteral("                   GOOD LUCK"));
    for (int empty : {2, 12, 22, 24}) {
        EXPECT_TRUE(lines[empty].isEmpty()) << empty;
    }

    control<QPushButton>("Button16")->click();
    EXPECT_FALSE(form->terminalWindow()->isVisible());
    EXPECT_EQ(ui.errors.back(), (RecordingUi::Message{kNotConnected, "Error!"}));
    control<QPushButton>("Button14")->click(); // GRAPHICAL LOGO
    EXPECT_FALSE(form->logoWindow()->isVisible());
    EXPECT_EQ(ui.errors.size(), 2u);

    connectToScale();
    control<QPushButton>("Button16")->click();
    EXPECT_TRUE(form->terminalWindow()->isVisible());
    form->terminalWindow()->hide();
    control<QPushButton>("Button14")->click();
    EXPECT_TRUE(form->logoWindow()->isVisible());
    EXPECT_EQ(ui.errors.size(), 2u);
}

TEST_F(MainWindowTest, DepartmentAndTaxGridsStartNumbered) {
    auto* departments = form->findChild<QAbstractItemView*>(QStringLiteral("StringGrid2"));
    auto* taxes = form->findChild<QAbstractItemView*>(QStringLiteral("StringGrid3"));
    if (!departments || !taxes) {
        GTEST_SKIP() << "the settings page has no grids yet";
    }
    auto cell = [](QAbstractItemView* grid, int row, int column) {
        return grid->model()->index(row, column).data().toString();
    };
    // The department grid may carry its "N"/"NAME" header as row 0.
    const int first = cell(departments, 0, 0) == QStringLiteral("N") ? 1 : 0;
    EXPECT_EQ(cell(departments, first, 0), QStringLiteral("0"));
    EXPECT_EQ(cell(departments, first + 39, 0), QStringLiteral("39"));
    EXPECT_EQ(departments->model()->rowCount(), first + 40);
    // The tax grid has no header row: its first row is tax A.
    EXPECT_EQ(taxes->model()->rowCount(), 8);
    EXPECT_EQ(cell(taxes, 0, 0), QStringLiteral("A"));
    EXPECT_EQ(cell(taxes, 7, 0), QStringLiteral("H"));
}

TEST_F(MainWindowTest, ClosingSavesTheStateThatTheNextStartRestores) {
    portSelector()->setEditText(QStringLiteral("/dev/ttyUSB0"));
    control<QComboBox>("ComboBox1")->setCurrentIndex(9);
    // The currency sign is the single byte 0x80 in the file.
    control<QLineEdit>("Edit9")->setText(QStringLiteral("\u20AC"));
    auto* header = form->findChild<QWidget*>(QStringLiteral("Memo1"));
    const QString sixLines =
        QStringLiteral("  GREEN CORNER\n\nMain street 1\nPRICES IN \u20AC\nline 5\nthanks");
    if (auto* plain = qobject_cast<QPlainTextEdit*>(header)) {
        plain->setPlainText(sixLines);
    } else if (auto* rich = qobject_cast<QTextEdit*>(header)) {
        rich->setPlainText(sixLines);
    }
    form->helpWindow()->show(); // a secondary window shown does not keep the program alive
    QSignalSpy closed(form.get(), &TForm1::closed);
    control<QPushButton>("Button10")->click();
    EXPECT_EQ(closed.count(), 1);
    EXPECT_FALSE(form->isVisible());

    QFile file(statePath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_TRUE(bytes.startsWith("ZEB TALLIVOS UTILITY MXV1.62 !DO NOT EDIT!\r\n136\r\n"));
    EXPECT_TRUE(bytes.contains("\r\n125\r\n9\r\n115200\r\n126\r\n-1\r\n/dev/ttyUSB0\r\n60002\r\n"));
    EXPECT_TRUE(bytes.contains("\r\n127\r\n0\r\n60002\r\n"));
    EXPECT_TRUE(bytes.contains("\r\n81\r\n\x80\r\n"));
    EXPECT_TRUE(bytes.endsWith("60002\r\n60001\r\n"));

    form.reset();
    form = std::make_unique<TForm1>(link, ui, statePath());
    EXPECT_EQ(portSelector()->currentText(), QStringLiteral("/dev/ttyUSB0"));
    EXPECT_EQ(portSelector()->currentIndex(), -1);
    EXPECT_EQ(control<QComboBox>("ComboBox1")->currentIndex(), 9);
    EXPECT_EQ(control<QLineEdit>("Edit9")->text(), QStringLiteral("\u20AC"));
    EXPECT_EQ(connectButton()->text(), QStringLiteral("CONNECT")); // the connection is never restored
    if (auto* plain = form->findChild<QPlainTextEdit*>(QStringLiteral("Memo1"))) {
        EXPECT_EQ(plain->toPlainText(), sixLines);
    } else if (auto* rich = form->findChild<QTextEdit*>(QStringLiteral("Memo1"))) {
        EXPECT_EQ(rich->toPlainText(), sixLines);
    }
    EXPECT_TRUE(ui.errors.empty());
}

TEST_F(MainWindowTest, LoadedReceiptLinesFillOneLineEachAndComeBackAfterARestart) {
    struct Case {
        std::array<std::string, 8> received;
        QString header;
        QString footer;
        QByteArray saved; // the text box section of the state file
    };
    // The file counts a box's lines as entered: a line break ends a line, so
    // the empty line after the last break is no line of its own, and the
    // box sends the same lines before and after the restart.
    const Case cases[] = {
        // An empty line between two others, an empty last line, a no-break space (byte A0).
        {{"H\xA0"
          "1",
          "", "H3", "", "", "H6", "FOOT A", ""},
         QStringLiteral("H\u00A0"
                        "1\n\nH3\n\n\nH6"),
         QStringLiteral("FOOT A\n"),
         "\r\n51\r\n6\r\nH\xA0"
         "1\r\n\r\nH3\r\n\r\n\r\nH6\r\n67\r\n1\r\nFOOT A\r\n60002\r\n60001\r\n"},
        // Every line empty.
        {{},
         QStringLiteral("\n\n\n\n\n"),
         QStringLiteral("\n"),
         "\r\n51\r\n5\r\n\r\n\r\n\r\n\r\n\r\n67\r\n1\r\n\r\n60002\r\n60001\r\n"},
    };
    auto boxText = [this](const char* name) {
        return control<QPlainTextEdit>(name)
            ->document()
            ->toRawText()
            .replace(QChar::ParagraphSeparator, u'\n')
            .toStdString();
    };
    for (const Case& c : cases) {
        scale.withMemory([&c](sim::ScaleMemory& m) { m.printLines = c.received; });
        connectToScale();
        control<QPushButton>("Button9")->click();
        EXPECT_TRUE(ui.errors.empty());
        EXPECT_EQ(boxText("Memo1"), c.header.toStdString());
        EXPECT_EQ(boxText("Memo2"), c.footer.toStdString());

        form->close();
        QFile file(statePath());
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_TRUE(file.readAll().endsWith(c.saved));
        form = std::make_unique<TForm1>(link, ui, statePath());
        EXPECT_EQ(splitMemoLines(boxText("Memo1")), splitMemoLines(c.header.toStdString()));
        EXPECT_EQ(splitMemoLines(boxText("Memo2")), splitMemoLines(c.footer.toStdString()));
    }
}

TEST_F(MainWindowTest, EverySavedControlIsFoundAndComesBack) {
    // Change every saved control away from its start value.
    for (const char* name : {"Edit1", "Edit2", "Edit8", "Edit7", "Edit6", "Edit3", "Edit9", "Edit4"}) {
        control<QLineEdit>(name)->setText(QStringLiteral("x%1").arg(QLatin1String(name)));
    }
    for (const char* name : {"ComboBox4", "ComboBox3", "ComboBox8", "ComboBox5", "ComboBox6", "ComboBox7",
                             "ComboBox9", "ComboBox1", "ComboBox2"}) {
        auto* combo = control<QComboBox>(name);
        combo->setCurrentIndex(combo->count() - 1);
    }
    const SavedState before = collectSavedState(TForm1::savedControls(), *form->centralWidget());
    EXPECT_EQ(before.edits.size(), 9u);
    EXPECT_EQ(before.combos.size(), 9u);
    EXPECT_EQ(before.masked.size(), 1u);
    EXPECT_EQ(before.memos.size(), 2u);

    form->close();
    form = std::make_unique<TForm1>(link, ui, statePath());
    const SavedState after = collectSavedState(TForm1::savedControls(), *form->centralWidget());
    EXPECT_EQ(after.edits, before.edits);
    EXPECT_EQ(after.combos, before.combos);
    EXPECT_EQ(after.memos, before.memos);
}

TEST_F(MainWindowTest, DamagedStateFileLeavesTheDefaults) {
    {
        QFile file(statePath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("ZEB TALLIVOS UTILITY MXV1.62!DO NOT EDIT!\r\n136\r\n60002\r\n125\r\n0\r\n1200\r\n");
    }
    form = std::make_unique<TForm1>(link, ui, statePath());
    EXPECT_EQ(control<QComboBox>("ComboBox1")->currentText(), QStringLiteral("9600"));
    EXPECT_TRUE(ui.errors.empty());
}

} // namespace
