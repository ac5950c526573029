// Every spin field of the "SETTINGS" and "SYSTEM" pages typed into like a
// user: each keystroke is taken, and a number outside the field's range
// becomes the nearer bound when the field is left.

#include "gui/page_context.h"
#include "link/scale_link.h"
#include "settings/settings_page.h"
#include "settings/system_page.h"
#include "tests/support/recording_ui.h"
#include "tests/support/scripted_channel.h"

#include <QAbstractSpinBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

namespace {

TEST(SpinFields, ATypedNumberOutsideTheRangeBecomesTheNearerBoundWhenLeft) {
    RecordingUi ui;
    RememberedText remembered;
    ScaleLink link{std::make_unique<ScriptedChannel>(), ui};
    QWidget window;
    auto* row = new QHBoxLayout(&window);
    auto* settings = new SettingsPage(PageContext{link, ui, remembered, '.'}, &window);
    auto* system = new SystemPage(PageContext{link, ui, remembered, '.'}, &window);
    auto* elsewhere = new QLineEdit(&window);
    row->addWidget(settings);
    row->addWidget(system);
    row->addWidget(elsewhere);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));

    struct Case {
        const char* field;
        const char* typed;
        const char* shown;
    };
    const Case cases[] = {
        {"SpinEdit3", "300", "240"}, // AutoOFF time 0..240
        {"SpinEdit3", "-5", "0"},
        {"SpinEdit3", "99999999999", "240"}, // beyond 32 bits too
        {"SpinEdit4", "150", "99"},  // LAN Number 0..99
        {"SpinEdit5", "100", "99"},  // Discount 0..99
        {"SpinEdit6", "0", "1"},     // Drawer open time 1..99
        {"SpinEdit10", "20000", "10000"}, // Unit 1..10000
        {"SpinEdit10", "0", "1"},
        {"SpinEdit9", "5", "11"},    // Digits 11..44
        {"SpinEdit9", "45", "44"},
        {"SpinEdit7", "100000", "99000"}, // Local g 97000..99000
        {"SpinEdit8", "96999", "97000"},  // Destination g
        {"SpinEdit11", "-300", "-300"},   // Initial Zero: any whole number
        {"SpinEdit11", "-99999999999", "-2147483648"},
        {"SpinEdit5", "7x", "7x"},   // no number: stays, and reads as the lower bound
    };
    for (const Case& c : cases) {
        auto* spin = window.findChild<QAbstractSpinBox*>(QString::fromLatin1(c.field));
        ASSERT_NE(spin, nullptr) << c.field;
        spin->setFocus();
        spin->selectAll();
        QTest::keyClicks(spin, QString::fromLatin1(c.typed));
        EXPECT_EQ(spin->text().toStdString(), c.typed) << c.field << ": a keystroke was refused";
        elsewhere->setFocus();
        EXPECT_EQ(spin->text().toStdString(), c.shown) << c.field << " typed " << c.typed;
    }
    // Stepping past the end of "any whole number" stays at its end.
    auto* initialZero = window.findChild<QAbstractSpinBox*>(QStringLiteral("SpinEdit11"));
    initialZero->stepBy(-1);
    EXPECT_EQ(initialZero->text(), QStringLiteral("-2147483648"));

    const ScaleSettings read = settings->settings();
    EXPECT_EQ(read.autoOffMinutes, 240);
    EXPECT_EQ(read.discountPercent, 0);
    EXPECT_EQ(read.drawerOpenTime, 1);
    const SystemParameters parameters = system->parameters();
    EXPECT_EQ(parameters.unit, 1);
    EXPECT_EQ(parameters.digits, 44);
    EXPECT_EQ(parameters.localGravity, 99000);
    EXPECT_EQ(parameters.initialZeroPercent, -2147483647 - 1);
}

} // namespace
