// The terminal window: keypad and PC keys, the display poll and its timer.

#include "link/commands.h"
#include "scripted_link.h"
#include "simulated_link.h"
#include "tools/terminal_window.h"

#include <QApplication>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <algorithm>

namespace {

using Bytes = std::vector<std::uint8_t>;

class TerminalWindowTest : public ::testing::Test {
  protected:
    QLabel* label(const char* name) { return form.findChild<QLabel*>(name); }
    QTimer* timer() { return form.findChild<QTimer*>("Timer1"); }

    // One key-down as the window system delivers it.
    void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier, quint32 scanCode = 0,
               const QString& text = {}, bool autoRepeat = false) {
        QKeyEvent event(QEvent::KeyPress, key, modifiers, scanCode, 0, 0, text, autoRepeat);
        QApplication::sendEvent(&form, &event);
    }
    // The key codes sent with command 64 so far.
    Bytes keysSent() const {
        Bytes keys;
        for (const auto& request : scale.requests()) {
            if (request.command == cmd::kPressKey && request.payload.size() == 1) {
                keys.push_back(request.payload[0]);
            }
        }
        return keys;
    }
    // A poll reply: bytes 2..30 of the reply.
    static Bytes displayReply(const std::string& line1, std::uint8_t mark1, std::uint8_t a, std::uint8_t b) {
        Bytes payload(29, 0);
        for (std::size_t i = 0; i < 7; ++i) {
            payload[1 + i] = static_cast<std::uint8_t>(line1[i]);
            payload[9 + i] = '2';
            payload[17 + i] = '3';
        }
        payload[24] = mark1;
        payload[25] = 0;
        payload[26] = 9; // no cell: no separator
        payload[27] = a;
        payload[28] = b;
        return payload;
    }

    ScriptedLink scale;
    RememberedText remembered;
    TForm3 form{PageContext{scale.link(), scale.ui, remembered, ','}};
};

TEST_F(TerminalWindowTest, EveryKeypadButtonSendsItsCodeAndTakesNoFocus) {
    // Row by row from the top left, as the scale's keyboard is labelled.
    const std::pair<const char*, std::uint8_t> keys[30] = {
        {"7", 0x37},  {"8", 0x38},   {"9", 0x39},   {"M", 0x4D},   {"shift", 0x73}, {"ON", 0x51},
        {"4", 0x34},  {"5", 0x35},   {"6", 0x36},   {"PLU", 0x50}, {"DRW", 0x61},   {"LF", 0x62},
        {"1", 0x31},  {"2", 0x32},   {"3", 0x33},   {"X", 0x58},   {"PAY", 0x63},   {"%-", 0x64},
        {"0", 0x30},  {"00", 0x2E},  {"C", 0x43},   {"TOT", 0x53}, {"<", 0x65},     {">", 0x66},
        {"C1", 0x56}, {"-0-", 0x5A}, {"-T-", 0x54}, {"C2", 0x57},  {"<=", 0x67},    {"<=|", 0x68},
    };
    Bytes expected;
    for (int i = 1; i <= 30; ++i) {
        auto* button = form.findChild<QPushButton*>(QStringLiteral("Button%1").arg(i));
        ASSERT_NE(button, nullptr) << i;
        EXPECT_EQ(button->text(), QString::fromLatin1(keys[i - 1].first));
        EXPECT_EQ(button->focusPolicy(), Qt::NoFocus);
        EXPECT_EQ(button->geometry(), QRect(40 * ((i - 1) % 6), 144 + 32 * ((i - 1) / 6), 33, 25));
        scale.replyWith();
        button->click();
        expected.push_back(keys[i - 1].second);
    }
    EXPECT_EQ(keysSent(), expected);
}

TEST_F(TerminalWindowTest, EveryMappedPcKeyAndTheOnesThatSendNothing) {
    struct Case {
        int key;
        Qt::KeyboardModifiers modifiers;
        std::uint8_t code;
    };
    std::vector<Case> cases{
        {Qt::Key_Escape, {}, 0x43},
        {Qt::Key_C, {}, 0x43},
        {Qt::Key_T, {}, 0x54},
        {Qt::Key_Z, {}, 0x5A},
        {Qt::Key_M, {}, 0x4D},
        {Qt::Key_P, {}, 0x50},
        {Qt::Key_X, {}, 0x58},
        {Qt::Key_S, {}, 0x53},
        {Qt::Key_L, {}, 0x62},
        {Qt::Key_O, {}, 0x61},
        {Qt::Key_Insert, {}, 0x64},
        {Qt::Key_Return, {}, 0x68},
        {Qt::Key_Enter, Qt::KeypadModifier, 0x68},
        {Qt::Key_Backspace, {}, 0x67},
        {Qt::Key_Left, {}, 0x65},
        {Qt::Key_Right, {}, 0x66},
        {Qt::Key_Print, {}, 0x65},
        {Qt::Key_Delete, {}, 0x66},
        {Qt::Key_F1, {}, 0x61},
        {Qt::Key_F2, {}, 0x62},
        {Qt::Key_F3, {}, 0x63},
        {Qt::Key_F4, {}, 0x64},
        {Qt::Key_F5, {}, 0x65},
        {Qt::Key_F6, {}, 0x66},
        {Qt::Key_F7, {}, 0x67},
        {Qt::Key_F8, {}, 0x68},
        {Qt::Key_F11, {}, 0x56},
        {Qt::Key_F12, {}, 0x57},
        {Qt::Key_Shift, Qt::ShiftModifier, 0x73},
        {Qt::Key_C, Qt::ControlModifier, 0x43}, // Ctrl is not looked at
        // Num Lock off: the keypad gives arrows and Delete, which count as such.
        {Qt::Key_Left, Qt::KeypadModifier, 0x65},
        {Qt::Key_Delete, Qt::KeypadModifier, 0x66},
        // Keys that stand for no scale key.
        {Qt::Key_A, {}, 0x00},
        {Qt::Key_F9, {}, 0x00},
        {Qt::Key_F10, {}, 0x00},
        {Qt::Key_Up, {}, 0x00},
        {Qt::Key_Space, {}, 0x00},
        {Qt::Key_Tab, {}, 0x00},
        {Qt::Key_5, Qt::KeypadModifier, 0x00}, // a keypad digit with Num Lock on
        {Qt::Key_0, Qt::KeypadModifier, 0x00},
    };
    for (int digit = 0; digit <= 9; ++digit) {
        cases.push_back({Qt::Key_0 + digit, {}, static_cast<std::uint8_t>('0' + digit)});
    }
    Bytes expected;
    for (const Case& c : cases) {
        scale.replyWith();
        press(c.key, c.modifiers);
        expected.push_back(c.code);
    }
    EXPECT_EQ(keysSent(), expected);
}

TEST_F(TerminalWindowTest, ShiftedAndForeignCharactersCountByTheirKey) {
    // X keycodes: 10 is the 1 key, 19 the 0 key, 54 the C key, 32 the O key.
    scale.replyWith();
    press(Qt::Key_Exclam, Qt::ShiftModifier, 10, QStringLiteral("!"));
    scale.replyWith();
    press(Qt::Key_ParenRight, Qt::ShiftModifier, 19, QStringLiteral(")"));
    scale.replyWith();
    press(0x0441, Qt::NoModifier, 54, QString(QChar(0x0441))); // Cyrillic es on the C key
    scale.replyWith();
    press(0x0449, Qt::NoModifier, 32, QString(QChar(0x0449))); // Cyrillic shcha on the O key
    scale.replyWith();
    press(Qt::Key_Eacute, Qt::NoModifier, 11, QStringLiteral("\u00e9")); // French layout's 2 key
    scale.replyWith();
    press(0x0444, Qt::NoModifier, 38, QString(QChar(0x0444))); // Cyrillic ef on the A key: nothing
    EXPECT_EQ(keysSent(), (Bytes{'1', '0', 0x43, 0x61, '2', 0x00}));
}

TEST_F(TerminalWindowTest, AutoRepeatSendsOncePerEventAndEscDoesNotCloseTheWindow) {
    form.show();
    for (int i = 0; i < 3; ++i) {
        scale.replyWith();
        press(Qt::Key_5, Qt::NoModifier, 14, QStringLiteral("5"), i > 0);
    }
    scale.replyWith();
    press(Qt::Key_Escape);
    scale.replyWith();
    press(Qt::Key_Space); // must not press a button as well
    EXPECT_EQ(keysSent(), (Bytes{'5', '5', '5', 0x43, 0x00}));
    EXPECT_TRUE(form.isVisible());
}

TEST_F(TerminalWindowTest, PollShowsTheDisplayByPosition) {
    scale.replyWith(displayReply("0012345", 3, 0x3B, 0x01));
    form.Timer1Timer();
    EXPECT_EQ(label("Label1")->text(), QStringLiteral(" 0012345"));
    EXPECT_EQ(label("Label2")->text(), QStringLiteral(" 2222222"));
    EXPECT_EQ(label("Label3")->text(), QStringLiteral(" 3333333"));
    EXPECT_EQ(label("Label10")->text(), QStringLiteral("    ,   ")); // the user's separator, cell 5
    EXPECT_EQ(label("Label11")->text(), QStringLiteral("       ,"));
    EXPECT_EQ(label("Label12")->text(), QStringLiteral("        "));
    for (const char* lit : {"Label4", "Label5", "Label6", "Label8", "Label7"}) {
        EXPECT_FALSE(label(lit)->isHidden()) << lit;
    }
    for (const char* dark : {"Label9", "Label13", "Label14", "Label15"}) {
        EXPECT_TRUE(label(dark)->isHidden()) << dark;
    }
    EXPECT_TRUE(timer()->isActive()) << "the next poll follows";
    EXPECT_EQ(timer()->interval(), 100);
    EXPECT_TRUE(scale.ui.statusTexts.empty()) << "a poll shows no status";

    scale.replyWith(displayReply("\xC0\xC1\xC2\xE0\xE1\xE2 ", 0, 0x04, 0x1E)); // Cyrillic bytes
    form.Timer1Timer();
    EXPECT_EQ(label("Label1")->text(), QString::fromUtf8(" \u0410\u0411\u0412\u0430\u0431\u0432 "));
    for (const char* lit : {"Label9", "Label13", "Label14", "Label15"}) {
        EXPECT_FALSE(label(lit)->isHidden()) << lit;
    }
    for (const char* dark : {"Label4", "Label5", "Label6", "Label8", "Label7"}) {
        EXPECT_TRUE(label(dark)->isHidden()) << dark;
    }
}

namespace {

// Where a label draws the start of its text, in its parent's coordinates.
qreal textOrigin(const QLabel& label) {
    EXPECT_GE(label.indent(), 0) << "an automatic indent would move the text";
    return label.x() + label.contentsRect().left() + label.margin() + std::max(label.indent(), 0);
}

} // namespace

TEST_F(TerminalWindowTest, DecimalMarkIsDrawnInTheGapBetweenTwoDigits) {
    const QLabel* line = label("Label1");
    const QLabel* mark = label("Label10");
    ASSERT_EQ(line->font(), mark->font());
    EXPECT_TRUE(QFontInfo(line->font()).fixedPitch());
    EXPECT_EQ(mark->y(), line->y() + 4) << "the mark sits a little lower than the digits";
    const QFontMetricsF metrics(line->font());
    // Digits with wide feet and round sides, either side of every mark position.
    for (const std::string digits : {"0012345", "1111111", "8080808"}) {
        for (std::uint8_t n = 1; n <= 6; ++n) {
            scale.replyWith(displayReply(digits, n, 0, 0));
            form.Timer1Timer();
            const QString shown = line->text();
            const QString marks = mark->text();
            const auto cell = static_cast<qsizetype>(marks.indexOf(QLatin1Char(',')));
            ASSERT_EQ(cell, 7 - n);
            // The ink of the display characters either side of the mark's place...
            const qreal leftInkEnd = textOrigin(*line) + metrics.horizontalAdvance(shown.left(cell)) +
                                     metrics.boundingRect(shown[cell]).right();
            const qreal rightInkStart = textOrigin(*line) + metrics.horizontalAdvance(shown.left(cell + 1)) +
                                        metrics.boundingRect(shown[cell + 1]).left();
            // ...and the ink of the separator drawn over them.
            const QRectF separator = metrics.boundingRect(QLatin1Char(','));
            const qreal separatorStart =
                textOrigin(*mark) + metrics.horizontalAdvance(marks.left(cell)) + separator.left();
            const std::string where = digits + " mark " + std::to_string(n);
            EXPECT_NEAR(separatorStart + separator.width() / 2, (leftInkEnd + rightInkStart) / 2, 1.0)
                << where;
            EXPECT_GE(separatorStart, leftInkEnd - 1.0) << where;
            EXPECT_LE(separatorStart + separator.width(), rightInkStart + 1.0) << where;
        }
    }
}

TEST_F(TerminalWindowTest, FailedPollStopsPollingSilentlyUntilTheNextActivation) {
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(&form, &activate);
    EXPECT_TRUE(timer()->isActive());
    const QString before = label("Label1")->text();
    form.Timer1Timer(); // no answer on any attempt
    EXPECT_FALSE(timer()->isActive());
    EXPECT_EQ(label("Label1")->text(), before);
    EXPECT_TRUE(scale.ui.errors.empty());

    QEvent deactivate(QEvent::WindowDeactivate);
    QApplication::sendEvent(&form, &activate);
    EXPECT_TRUE(timer()->isActive());
    QApplication::sendEvent(&form, &deactivate);
    EXPECT_FALSE(timer()->isActive());
}

TEST_F(TerminalWindowTest, PollIsKeptOutOfAnOpenCommand) {
    // A key whose exchange fails shows its box; while the box runs its event
    // loop the timer fires. That tick must not touch the shared buffer.
    int requestsAtTick = -1;
    scale.ui.duringError = [&] {
        requestsAtTick = static_cast<int>(scale.requests().size());
        form.Timer1Timer();
        EXPECT_EQ(static_cast<int>(scale.requests().size()), requestsAtTick);
    };
    press(Qt::Key_1);
    EXPECT_EQ(requestsAtTick, 3);
    EXPECT_EQ(scale.ui.errors.size(), 1u);
    for (const auto& request : scale.requests()) {
        EXPECT_EQ(request.command, cmd::kPressKey);
    }
    EXPECT_TRUE(timer()->isActive()) << "the skipped tick is tried again";
}

class TerminalOnSimulatedScale : public SimulatedLink {};

TEST_F(TerminalOnSimulatedScale, KeysChangeTheDisplayThatThePollShows) {
    TForm3 form(context);
    const auto before = scale.snapshot().displayLines;
    for (const char* button : {"Button13", "Button14", "Button19"}) { // 1, 2, 0
        form.findChild<QPushButton*>(button)->click();
    }
    form.Timer1Timer();
    const sim::ScaleMemory memory = scale.snapshot();
    EXPECT_EQ(memory.keysPressed, (Bytes{'1', '2', '0'}));
    EXPECT_NE(memory.displayLines, before) << "the keys visibly changed the display";
    for (int i = 0; i < 3; ++i) {
        const auto* line = form.findChild<QLabel*>(QStringLiteral("Label%1").arg(i + 1));
        EXPECT_EQ(line->text().toStdString(), " " + memory.displayLines[static_cast<std::size_t>(i)]);
    }
    EXPECT_TRUE(ui.errors.empty());
}

} // namespace
