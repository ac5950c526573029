// The technician's tools in the main window, driven as a user would against
// the simulated scale on a real pseudo-terminal: the port list with the
// ports found, FIND, the log window, and the details of CONNECT's boxes.

#include "app/find_scale_dialog.h"
#include "app/log_window.h"
#include "app/main_window.h"
#include "app/port_selector.h"
#include "app/saved_state.h"
#include "link/posix_serial_channel.h"
#include "link/scale_link.h"
#include "sim/simulated_scale.h"
#include "tests/support/recording_ui.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <sstream>

namespace {

// A computer with one USB adapter: the simulated scale's pseudo-terminal.
class LinkTools : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(scale.start());
        ASSERT_TRUE(folder.isValid());
        adapter.device = scale.device();
        adapter.stablePath = scale.device();
        adapter.usb = true;
        adapter.manufacturer = "FTDI";
        adapter.product = "FT232R USB UART";
        adapter.serialNumber = "A50285BI";
        adapter.vendorId = 0x0403;
        adapter.productId = 0x6001;
        PortSelector::setSource([this] { return found; });
        found = {adapter};
    }
    void TearDown() override {
        form.reset();
        PortSelector::setSource({});
    }

    void makeWindow() { form = std::make_unique<TForm1>(link, ui, folder.filePath(QStringLiteral("u.CFG"))); }

    template <class T> T* control(const char* name) const {
        auto* c = form->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(c, nullptr) << name;
        return c;
    }
    QComboBox* ports() const { return control<QComboBox>("ComboBox2"); }
    QComboBox* speeds() const { return control<QComboBox>("ComboBox1"); }

    sim::SimulatedScale scale;
    RecordingUi ui;
    ScaleLink link{std::make_unique<PosixSerialChannel>(), ui};
    QTemporaryDir folder;
    SerialPortInfo adapter;
    std::vector<SerialPortInfo> found;
    std::unique_ptr<TForm1> form;
};

TEST_F(LinkTools, FoundPortsFollowCom1ToCom8AndASavedTextWinsOverItsPosition) {
    makeWindow();
    ASSERT_EQ(ports()->count(), 10); // the demo scale last
    EXPECT_EQ(ports()->itemText(7), QStringLiteral("COM8"));
    EXPECT_EQ(ports()->itemText(8), QString::fromStdString(scale.device()));
    EXPECT_EQ(static_cast<PortSelector*>(ports())->description(8).toStdString(),
              "FTDI FT232R USB UART, serial A50285BI, 0403:6001, " + scale.device());

    // Chosen and saved at position 8; next run another adapter comes first.
    ports()->setCurrentIndex(8);
    form->close();
    form.reset();
    SerialPortInfo other = adapter;
    other.device = other.stablePath = "/dev/serial/by-id/usb-other";
    found = {other, adapter};
    makeWindow();
    EXPECT_EQ(ports()->currentText(), QString::fromStdString(scale.device()));
    EXPECT_EQ(ports()->currentIndex(), 9);

    // The adapter is gone: the saved name stays, as typed, and the list
    // refreshes when it opens without touching it.
    form->close();
    form.reset();
    found.clear();
    makeWindow();
    EXPECT_EQ(ports()->count(), 9);
    EXPECT_EQ(ports()->currentText(), QString::fromStdString(scale.device()));
    found = {adapter};
    static_cast<PortSelector*>(ports())->refresh();
    EXPECT_EQ(ports()->count(), 10);
    EXPECT_EQ(ports()->currentIndex(), 8); // the name is now an item again
    // A found port opens by its name, not as a ninth numbered port.
    control<QPushButton>("Button11")->click();
    EXPECT_EQ(control<QPushButton>("Button11")->text(), QStringLiteral("DISCONNECT"));
    EXPECT_FALSE(control<QPushButton>("FindScaleButton")->isEnabled());
}

TEST_F(LinkTools, FindChoosesThePortAndSpeedWhereTheScaleAnswersAndLeavesThemClosed) {
    scale.setScaleSpeed(19200, sim::WrongSpeed::Garbage);
    makeWindow();
    ports()->setEditText(QStringLiteral("/dev/nonexistent-typed"));
    control<QPushButton>("FindScaleButton")->click();
    auto* dialog = form->findChild<FindScaleDialog*>(QStringLiteral("FindScaleDialog"));
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->resultText().contains(QStringLiteral("answered on ") + QString::fromStdString(scale.device()) +
                                              QStringLiteral(" at 19200 bit/s")))
        << dialog->resultText().toStdString();
    EXPECT_EQ(ports()->currentText(), QString::fromStdString(scale.device()));
    EXPECT_EQ(speeds()->currentText(), QStringLiteral("19200"));
    EXPECT_FALSE(link.isOpen());
    dialog->findChild<QPushButton*>(QStringLiteral("FindScaleStop"))->click();
    EXPECT_FALSE(dialog->isVisible());

    // Connected at once with what was chosen.
    control<QPushButton>("Button11")->click();
    EXPECT_EQ(control<QPushButton>("Button11")->text(), QStringLiteral("DISCONNECT"));

    // Nothing answers anywhere: the dialog says so, and the choice stays.
    control<QPushButton>("Button11")->click();
    scale.setScaleSpeed(300);
    found.clear();
    ports()->setCurrentIndex(2);
    control<QPushButton>("FindScaleButton")->click();
    EXPECT_TRUE(dialog->resultText().startsWith(QStringLiteral("No scale answered"))) << dialog->resultText().toStdString();
    EXPECT_EQ(ports()->currentText(), QStringLiteral("COM3"));
}

TEST_F(LinkTools, ConnectFailuresKeepTheirMessagesAndExplainInTheDetails) {
    makeWindow();
    ports()->setEditText(QStringLiteral("/dev/ttyUSB-missing"));
    control<QPushButton>("Button11")->click();
    ASSERT_EQ(ui.errors.size(), 1u);
    EXPECT_EQ(ui.errors[0].text, "Cannot inicialize COM port!");
    EXPECT_EQ(ui.errorDetails[0].find("/dev/ttyUSB-missing: No such file"), 0u) << ui.errorDetails[0];

    // The scale is set to 4800: CONNECT at 9600 fails as before, and says why.
    scale.setScaleSpeed(4800);
    ports()->setEditText(QString::fromStdString(scale.device()));
    control<QPushButton>("Button11")->click();
    ASSERT_EQ(ui.errors.size(), 2u);
    EXPECT_EQ(ui.errors[1].text, "Comunication Error!");
    EXPECT_EQ(ui.errorDetails[1].find("The scale answered at 4800 bit/s, not at 9600"), 0u) << ui.errorDetails[1];
    EXPECT_FALSE(link.isOpen());
    EXPECT_EQ(control<QPushButton>("Button11")->text(), QStringLiteral("CONNECT"));
}

TEST_F(LinkTools, TheLogWindowShowsEveryLineLiveFiltersPausesAndSaves) {
    makeWindow();
    ASSERT_TRUE(form->sessionLog().startFile(QFile::encodeName(folder.filePath(QStringLiteral("logs"))).toStdString()));
    control<QToolButton>("LogButton")->click();
    auto* window = form->logWindow();
    ASSERT_TRUE(window->isVisible());
    auto* text = window->findChild<QPlainTextEdit*>(QStringLiteral("LogText"));

    scale.injectFault(sim::Fault::Nak, 1);
    ports()->setEditText(QString::fromStdString(scale.device()));
    control<QPushButton>("Button11")->click();
    window->catchUp();
    const QString all = text->toPlainText();
    EXPECT_TRUE(all.contains(QStringLiteral("| opened ") + QString::fromStdString(scale.device())));
    EXPECT_TRUE(all.contains(QStringLiteral("PC>SCALE C3 04 00 01 01 C3 02 | identify (attempt 2)")));
    EXPECT_TRUE(all.contains(QStringLiteral("| identify reply, status 00: \"SIM SCALE\"")));

    window->findChild<QCheckBox*>(QStringLiteral("LogErrorsOnly"))->setChecked(true);
    EXPECT_EQ(text->toPlainText().split(QLatin1Char('\n')).size(), 1);
    EXPECT_TRUE(text->toPlainText().contains(QStringLiteral("NAK received")));
    window->findChild<QCheckBox*>(QStringLiteral("LogErrorsOnly"))->setChecked(false);

    // Paused, the view stands still; the lines are kept and come on resuming.
    window->findChild<QCheckBox*>(QStringLiteral("LogPause"))->setChecked(true);
    const int before = text->blockCount();
    control<QPushButton>("Button11")->click(); // DISCONNECT
    window->catchUp();
    EXPECT_EQ(text->blockCount(), before);
    window->findChild<QCheckBox*>(QStringLiteral("LogPause"))->setChecked(false);
    EXPECT_TRUE(text->toPlainText().endsWith(QStringLiteral("| closed ") + QString::fromStdString(scale.device())));

    // "Save log..." copies the run's file: the lines the window shows.
    const QString saved = folder.filePath(QStringLiteral("copy.log"));
    ui.saveAnswers.push_back(QFile::encodeName(saved).toStdString());
    window->findChild<QPushButton*>(QStringLiteral("SaveLogButton"))->click();
    std::ifstream in(QFile::encodeName(saved).toStdString());
    std::stringstream copy;
    copy << in.rdbuf();
    EXPECT_EQ(QString::fromStdString(copy.str()).trimmed(), text->toPlainText());
    EXPECT_EQ(ui.saveRequests.back().pattern, "*.log");
}

} // namespace
