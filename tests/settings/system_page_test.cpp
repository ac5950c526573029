// The "SYSTEM" page driven like a user: start values, presets and "SEND"
// against the simulated scale over a pseudo-terminal.

#include "settings/system_page.h"

#include "gui/page_context.h"
#include "gui/range_spin_edit.h"
#include "link/posix_serial_channel.h"
#include "link/scale_link.h"
#include "sim/simulated_scale.h"
#include "tests/support/recording_ui.h"
#include "tests/support/scripted_channel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

#include <memory>

namespace {

using Bytes = std::vector<std::uint8_t>;

class SystemPageTest : public ::testing::Test {
protected:
    explicit SystemPageTest(char separator = '.') : separator_(separator) {}

    void SetUp() override {
        page = std::make_unique<SystemPage>(PageContext{link, ui, remembered, separator_});
        page->resize(773, 385); // the main window's page area
        page->show();
    }
    void TearDown() override {
        page.reset();
        QCoreApplication::processEvents();
    }
    void connect() {
        ASSERT_TRUE(scale.start());
        ASSERT_TRUE(link.openLink(PortId::named(scale.device()), 115200)) << link.openFailure().reason;
    }
    template <class T> T& control(const char* name) {
        auto* found = page->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return *found;
    }
    void click(const char* name) { control<QPushButton>(name).click(); }
    Bytes sentParameters() {
        const auto memory = scale.snapshot();
        EXPECT_TRUE(memory.systemParametersWritten);
        return Bytes(memory.systemParameters.begin(), memory.systemParameters.end());
    }

    char separator_;
    sim::SimulatedScale scale;
    RecordingUi ui;
    RememberedText remembered;
    ScaleLink link{std::make_unique<PosixSerialChannel>(), ui};
    std::unique_ptr<SystemPage> page;
};

class SystemPageCommaTest : public SystemPageTest {
protected:
    SystemPageCommaTest() : SystemPageTest(',') {}
};

const Bytes kStartBytes = hexBytes("08 0F 02 20 00 01 03 E8 02 00 01 7E CA 00 01 7E CA 0A 00 00 17 70 00 03");

TEST_F(SystemPageTest, StartValuesGoToTheScaleAsTheirKnownBytes) {
    EXPECT_EQ(control<QComboBox>("ComboBox5").currentText(), "15");
    EXPECT_EQ(control<QComboBox>("ComboBox6").currentIndex(), 1);
    EXPECT_EQ(control<QComboBox>("ComboBox7").currentText(), "1");
    EXPECT_EQ(control<QComboBox>("ComboBox9").currentIndex(), 2);
    EXPECT_EQ(control<QComboBox>("ComboBox9").currentText(), "3");
    EXPECT_EQ(control<QLineEdit>("Edit4").text(), "6.0");
    EXPECT_EQ(control<RangeSpinEdit>("SpinEdit10").maximum(), 10000);
    EXPECT_EQ(control<RangeSpinEdit>("SpinEdit7").minimum(), 97000);
    EXPECT_EQ(control<RangeSpinEdit>("SpinEdit9").minimum(), 11);
    EXPECT_TRUE(control<QCheckBox>("CheckBox10").isChecked());
    EXPECT_EQ(control<QCheckBox>("CheckBox12").text(), "One Time Tare");
    EXPECT_EQ(control<QPushButton>("Button2").text(), "SEND");
    EXPECT_LE(page->minimumSizeHint().width(), 773);
    EXPECT_LE(page->minimumSizeHint().height(), 385);

    connect();
    click("Button2");
    EXPECT_TRUE(ui.errors.empty());
    EXPECT_EQ(sentParameters(), kStartBytes);
    EXPECT_EQ(ui.busyShown, 0);
}

TEST_F(SystemPageTest, EachPresetFillsThePageAndSendIsStillNeeded) {
    connect();
    // capacity, e=d, flags, max tare, for each button
    const std::tuple<const char*, const char*, Bytes> presets[] = {
        {"Button21", "Single 6Kg(1/3000)", hexBytes("06 02 00 00 00 17 70")},
        {"Button22", "Single 15Kg(1/3000)", hexBytes("0F 05 00 00 00 3A 98")},
        {"Button23", "Single 30Kg(1/3000)", hexBytes("1E 0A 00 00 00 75 30")},
        {"Button26", "Dual 6Kg(1/6000)", hexBytes("06 01 02 00 00 17 70")},
        {"Button27", "Dual 15Kg(1/6000)", hexBytes("0F 02 02 00 00 17 70")},
        {"Button28", "Dual 30Kg(1/6000)", hexBytes("1E 05 02 00 00 17 70")},
    };
    for (const auto& [name, caption, row] : presets) {
        control<QCheckBox>("CheckBox9").setChecked(true);
        control<RangeSpinEdit>("SpinEdit9").setValue(44);
        control<QComboBox>("ComboBox9").setEditText("1");
        scale.clearRequests();
        EXPECT_EQ(control<QPushButton>(name).text(), caption);
        click(name);
        EXPECT_TRUE(scale.requests().empty()) << name;
        EXPECT_EQ(control<QComboBox>("ComboBox9").currentIndex(), 2);
        click("Button2");
        const Bytes sent = sentParameters();
        EXPECT_EQ((Bytes{sent[1], sent[2], sent[8], sent[18], sent[19], sent[20], sent[21]}), row) << name;
        EXPECT_EQ(Bytes(sent.begin() + 3, sent.begin() + 8), hexBytes("20 00 01 03 E8")) << name;
        EXPECT_EQ(sent[22], 1) << name; // minimum sale
        EXPECT_EQ(sent[23], 3) << name;
    }
    EXPECT_TRUE(control<QCheckBox>("CheckBox14").isChecked());
    EXPECT_EQ(control<QLineEdit>("Edit4").text(), "6");
    EXPECT_TRUE(ui.errors.empty());
}

TEST_F(SystemPageTest, TypedTextsAreCutToTheirFieldsOrStopTheSend) {
    connect();
    control<QComboBox>("ComboBox5").setEditText("300");
    control<RangeSpinEdit>("SpinEdit11").setValue(300);
    control<QLineEdit>("Edit4").setText("-1");
    click("Button2");
    Bytes sent = sentParameters();
    EXPECT_EQ(sent[1], 44);
    EXPECT_EQ(sent[17], 44);
    EXPECT_EQ(Bytes(sent.begin() + 18, sent.begin() + 22), hexBytes("FF FF FC 18"));

    scale.clearRequests();
    control<QLineEdit>("Edit4").setText("");
    click("Button2");
    ASSERT_EQ(ui.errors.size(), 1u);
    EXPECT_EQ(ui.errors[0], (RecordingUi::Message{"'' is not a valid floating point value.", ui.title}));
    control<QLineEdit>("Edit4").setText("6");
    control<QComboBox>("ComboBox6").setEditText("e");
    click("Button2");
    ASSERT_EQ(ui.errors.size(), 2u);
    EXPECT_EQ(ui.errors[1].text, "'e' is not a valid integer value.");
    EXPECT_TRUE(scale.requests().empty());
}

TEST_F(SystemPageCommaTest, MaxTareIsReadWithTheUsersSeparator) {
    connect();
    EXPECT_EQ(control<QLineEdit>("Edit4").text(), "6,0");
    click("Button2");
    EXPECT_EQ(sentParameters(), kStartBytes);
    control<QLineEdit>("Edit4").setText("2,5");
    click("Button2");
    const Bytes sent = sentParameters();
    EXPECT_EQ(Bytes(sent.begin() + 18, sent.begin() + 22), hexBytes("00 00 07 D0"));
}

TEST_F(SystemPageTest, SendWhileNotConnectedSaysSo) {
    click("Button2");
    EXPECT_EQ(ui.errorCount("You are not connected to the scale!"), 1);
}

} // namespace
