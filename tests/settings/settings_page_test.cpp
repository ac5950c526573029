// The "SETTINGS" page driven like a user: its controls and start values, the
// layout within the page area, typing into the tax grid, and the transfers
// and the clock against the simulated scale over a pseudo-terminal.

#include "settings/settings_page.h"

#include "plu/whole_file.h"
#include "settings/settings_file.h"

#include "gui/page_context.h"
#include "gui/range_spin_edit.h"
#include "link/posix_serial_channel.h"
#include "link/scale_link.h"
#include "sim/simulated_scale.h"
#include "tests/support/recording_ui.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableWidget>
#include <QTest>
#include <QTemporaryDir>
#include <QTextDocument>

#include <gtest/gtest.h>

#include <fstream>
#include <memory>

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes fixedText(const std::string& s, std::size_t width) {
    Bytes out(s.begin(), s.end());
    out.resize(width + 1, 0);
    return out;
}

// The page area of the main window's tabs, less a few pixels for styles whose
// tab frames are wider.
const QSize kPageArea(773, 385);

class SettingsPageTest : public ::testing::Test {
protected:
    explicit SettingsPageTest(char separator = '.') : separator_(separator) {}

    void SetUp() override {
        page = std::make_unique<SettingsPage>(PageContext{link, ui, remembered, separator_});
        page->resize(kPageArea);
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
    QLineEdit& edit(const char* name) { return control<QLineEdit>(name); }
    QComboBox& combo(const char* name) { return control<QComboBox>(name); }
    RangeSpinEdit& spin(const char* name) { return control<RangeSpinEdit>(name); }
    QCheckBox& check(const char* name) { return control<QCheckBox>(name); }
    QPlainTextEdit& memo(const char* name) { return control<QPlainTextEdit>(name); }
    QTableWidget& grid(const char* name) { return control<QTableWidget>(name); }
    void click(const char* name) { control<QPushButton>(name).click(); }
    QString cell(const char* gridName, int row, int column) {
        auto* item = grid(gridName).item(row, column);
        return item ? item->text() : QString();
    }

    // Opens the editor of a tax cell as a user does by selecting it and pressing F2.
    QLineEdit& openTaxEditor(int row) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); // an editor closed before
        QTableWidget& taxes = grid("StringGrid3");
        taxes.setCurrentCell(row, 1);
        taxes.editItem(taxes.item(row, 1));
        auto* editor = taxes.viewport()->findChild<QLineEdit*>();
        EXPECT_NE(editor, nullptr);
        return *editor;
    }

    char separator_;
    sim::SimulatedScale scale;
    RecordingUi ui;
    RememberedText remembered;
    ScaleLink link{std::make_unique<PosixSerialChannel>(), ui};
    std::unique_ptr<SettingsPage> page;
};

class SettingsPageCommaTest : public SettingsPageTest {
protected:
    SettingsPageCommaTest() : SettingsPageTest(',') {}
};

TEST_F(SettingsPageTest, ShowsEveryControlWithItsStartValue) {
    EXPECT_EQ(combo("ComboBox3").currentIndex(), 0);
    EXPECT_EQ(combo("ComboBox3").count(), 5);
    EXPECT_FALSE(combo("ComboBox3").isEditable());
    EXPECT_EQ(combo("ComboBox4").currentText(), "1200");
    EXPECT_EQ(combo("ComboBox4").count(), 10);
    EXPECT_EQ(combo("ComboBox8").currentIndex(), 2);
    EXPECT_EQ(combo("ComboBox8").currentText(), "3");
    const std::pair<const char*, bool> checks[] = {
        {"CheckBox1", true},  {"CheckBox2", false}, {"CheckBox3", true},  {"CheckBox4", false},  {"CheckBox5", false},
        {"CheckBox6", false}, {"CheckBox7", true},  {"CheckBox8", false}, {"CheckBox13", false}, {"CheckBox15", false}};
    for (const auto& [name, checked] : checks) {
        EXPECT_EQ(check(name).isChecked(), checked) << name;
    }
    EXPECT_EQ(check("CheckBox3").text(), "Print Graphics logo");
    EXPECT_EQ(edit("Edit1").text(), "a44W5U5");
    EXPECT_EQ(edit("Edit2").text(), "a44W5P5");
    EXPECT_EQ(edit("Edit9").text(), "EUR");
    EXPECT_EQ(edit("Edit9").maxLength(), 3);
    EXPECT_EQ(edit("Edit6").text(), "Lor Daviken ");
    EXPECT_EQ(edit("Edit8").maxLength(), 16);
    const std::tuple<const char*, int, int, int> spins[] = {
        {"SpinEdit3", 0, 240, 20}, {"SpinEdit4", 0, 99, 0}, {"SpinEdit5", 0, 99, 6}, {"SpinEdit6", 1, 99, 10}};
    for (const auto& [name, low, high, value] : spins) {
        EXPECT_EQ(spin(name).minimum(), low) << name;
        EXPECT_EQ(spin(name).maximum(), high) << name;
        EXPECT_EQ(spin(name).value(), value) << name;
    }
    EXPECT_EQ(memo("Memo1").toPlainText().split('\n').value(1), "    Header Line Message!");
    EXPECT_EQ(memo("Memo2").toPlainText(), "      Foot Line Message!");
    EXPECT_TRUE(QFontInfo(memo("Memo1").font()).fixedPitch());
    EXPECT_TRUE(QFontInfo(edit("MaskEdit1").font()).fixedPitch());
    EXPECT_EQ(edit("MaskEdit1").inputMask(), "99-99-99 99:99:99;_");

    QTableWidget& departments = grid("StringGrid2");
    EXPECT_EQ(departments.columnCount(), 2);
    EXPECT_EQ(departments.rowCount(), 40);
    EXPECT_EQ(departments.horizontalHeaderItem(0)->text(), "N");
    EXPECT_EQ(departments.horizontalHeaderItem(1)->text(), "NAME");
    EXPECT_EQ(cell("StringGrid2", 0, 0), "0");
    EXPECT_EQ(cell("StringGrid2", 39, 0), "39");
    EXPECT_FALSE(departments.item(5, 0)->flags() & Qt::ItemIsEditable);
    QTableWidget& taxes = grid("StringGrid3");
    EXPECT_EQ(taxes.rowCount(), 8);
    EXPECT_EQ(cell("StringGrid3", 0, 0), "A");
    EXPECT_EQ(cell("StringGrid3", 7, 0), "H");
    EXPECT_EQ(cell("StringGrid3", 3, 1), "0.00");

    const std::pair<const char*, const char*> buttons[] = {
        {"Button1", "SEND TO SCALE"}, {"Button9", "LOAD FROM SCALE"}, {"Button24", "Default Set"},
        {"Button14", "GRAPHICAL LOGO"}, {"Button3", "From PC"},        {"Button13", "TO SCALE"},
        {"Button4", "FROM SCALE"}};
    for (const auto& [name, caption] : buttons) {
        EXPECT_EQ(control<QPushButton>(name).text(), caption);
    }
}

TEST_F(SettingsPageTest, FitsThePageAreaWithEveryFieldLabelled) {
    EXPECT_LE(page->minimumSizeHint().width(), kPageArea.width());
    EXPECT_LE(page->minimumSizeHint().height(), kPageArea.height());
    const QRect area = page->rect();
    const QRegularExpression controlName(
        QStringLiteral("^((Button|Edit|ComboBox|CheckBox|SpinEdit|Memo|StringGrid|MaskEdit)\\d+|(Save|Load)SettingsButton)$"));
    int controls = 0;
    for (QWidget* child : page->findChildren<QWidget*>()) {
        if (!controlName.match(child->objectName()).hasMatch()) {
            continue;
        }
        ++controls;
        EXPECT_TRUE(child->isVisible()) << child->objectName().toStdString();
        const QRect box(child->mapTo(page.get(), QPoint(0, 0)), child->size());
        EXPECT_TRUE(area.contains(box)) << child->objectName().toStdString();
        EXPECT_GE(box.width(), child->minimumSizeHint().width()) << child->objectName().toStdString();
    }
    EXPECT_EQ(controls, 38);
    // The header box shows a whole 32-character printed line.
    const QPlainTextEdit& header = memo("Memo1");
    EXPECT_GE(header.viewport()->width(),
              QFontMetrics(header.font()).horizontalAdvance(QString(32, QLatin1Char('W'))));
    int labelled = 0;
    for (const QLabel* label : page->findChildren<QLabel*>()) {
        labelled += label->buddy() != nullptr ? 1 : 0;
    }
    EXPECT_GE(labelled, 10 + 4 + 2 + 3); // the scale fields, clerks, grids, units
}

TEST_F(SettingsPageTest, SaveAndLoadSettingsKeepEveryByteOfThePage) {
    QTemporaryDir folder;
    const std::string path = folder.filePath(QStringLiteral("shop.txt")).toStdString();
    ScaleSettings shown = page->settings();
    shown.clerkNames[0] = "\x80uro J\xF6rg";
    shown.departmentNames[7] = "Caf\xE9 \"Cr\xE8me\"";
    shown.headerLines = {"", "  second", ""};
    shown.taxRates[1] = "7.5";
    page->showSettings(shown);
    const std::string expected = formatSettingsFile(page->settings(), '.');
    ui.saveAnswers.push_back(path);
    click("SaveSettingsButton");
    EXPECT_EQ(readWholeFile(path, kMaxSettingsFileSize), expected);

    click("Button24"); // Default Set changes most of the page
    ui.openAnswers.push_back(path);
    click("LoadSettingsButton");
    EXPECT_EQ(formatSettingsFile(page->settings(), '.'), expected);
    EXPECT_EQ(edit("Edit3").text(), QStringLiteral("\u20ACuro J\u00F6rg"));

    // A wrong file changes nothing and says where it is wrong.
    std::ofstream(folder.filePath(QStringLiteral("wrong.txt")).toStdString()) << "clerk-1 = \"x\"\ncurrency = \"EURO\"\n";
    ui.openAnswers.push_back(folder.filePath(QStringLiteral("wrong.txt")).toStdString());
    click("LoadSettingsButton");
    ui.openAnswers.push_back(folder.filePath(QStringLiteral("missing.txt")).toStdString());
    click("LoadSettingsButton");
    ui.saveAnswers.push_back(folder.filePath(QStringLiteral("no folder/shop.txt")).toStdString());
    click("SaveSettingsButton");
    EXPECT_EQ(ui.errors, (std::vector<RecordingUi::Message>{
                             {"error in input file", "ERROR!"}, {"I/O Error!", "ERROR!"}, {"I/O Error!", "ERROR!"}}));
    EXPECT_EQ(ui.errorDetails, (std::vector<std::string>{"line 2: the text is longer than 3 characters"}));
    EXPECT_EQ(formatSettingsFile(page->settings(), '.'), expected);
    EXPECT_TRUE(ui.openRequests.front().pattern == "*.TXT" && ui.openRequests.front().defaultSuffix == "TXT");
}

TEST_F(SettingsPageTest, TaxCellsRefuseKeystrokesThatMakeNoRateAndBeep) {
    QLineEdit& editor = openTaxEditor(2);
    EXPECT_EQ(remembered.bytes, "0.00");
    editor.clear();
    QTest::keyClicks(&editor, "99.99");
    EXPECT_EQ(editor.text(), "99.99");
    EXPECT_EQ(ui.beeps, 0);
    QTest::keyClicks(&editor, "1"); // 99.991
    EXPECT_EQ(editor.text(), "0.00");
    EXPECT_EQ(ui.beeps, 1);
    editor.clear();
    QTest::keyClicks(&editor, "-"); // the start of a negative rate is refused as typed
    EXPECT_EQ(editor.text(), "0.00");
    EXPECT_EQ(ui.beeps, 2);
    editor.selectAll();
    editor.insert("-5"); // pasted whole it is a rate
    EXPECT_EQ(editor.text(), "-5");
    QTest::keyClick(&editor, Qt::Key_Return);
    QCoreApplication::processEvents(); // the grid takes the text on its next turn
    EXPECT_EQ(cell("StringGrid3", 2, 1), "-5");

    // Another grid's editing may have left its own text: opening the editor takes this cell's.
    remembered.bytes = "PLU text";
    QLineEdit& again = openTaxEditor(2);
    EXPECT_EQ(remembered.bytes, "-5");
    QTest::keyClicks(&again, "x");
    EXPECT_EQ(again.text(), "-5");
    // Selecting a cell remembers its text too.
    grid("StringGrid3").setCurrentCell(5, 1);
    EXPECT_EQ(remembered.bytes, "0.00");
}

TEST_F(SettingsPageCommaTest, TaxCellsAndRatesUseTheUsersSeparator) {
    EXPECT_EQ(cell("StringGrid3", 0, 1), "0,00");
    QLineEdit& editor = openTaxEditor(0);
    editor.clear();
    QTest::keyClicks(&editor, "7,5");
    EXPECT_EQ(editor.text(), "7,5");
    QTest::keyClicks(&editor, ".");
    EXPECT_EQ(editor.text(), "0,00");
}

TEST_F(SettingsPageTest, EditableCombosSelectAMatchingItemAndNoneForOtherTexts) {
    ScaleSettings s = page->settings();
    s.baudRate = "4800";
    s.printerDarkness = "7";
    s.clerkMode = 9;
    page->showSettings(s);
    EXPECT_EQ(combo("ComboBox4").currentIndex(), 2);
    EXPECT_EQ(combo("ComboBox8").currentIndex(), -1);
    EXPECT_EQ(combo("ComboBox8").currentText(), "7");
    EXPECT_EQ(combo("ComboBox3").currentIndex(), -1);
    EXPECT_EQ(page->settings().clerkMode, -1);
}

TEST_F(SettingsPageTest, SendAndLoadCarryEveryControlThroughTheScale) {
    connect();
    combo("ComboBox3").setCurrentIndex(2);
    check("CheckBox2").setChecked(true);
    check("CheckBox15").setChecked(true);
    edit("Edit1").setText("b12345678901234567");
    combo("ComboBox4").setEditText("38400");
    spin("SpinEdit3").setValue(240);
    spin("SpinEdit4").setValue(17);
    spin("SpinEdit5").setValue(99);
    spin("SpinEdit6").setValue(1);
    combo("ComboBox8").setEditText("5");
    edit("Edit7").setText("Tessa");
    memo("Memo1").setPlainText("line one\n\nline three is longer than the printer line width\n4\n5\n6\n7");
    memo("Memo2").setPlainText("");
    grid("StringGrid2").item(17, 1)->setText("MEAT");
    grid("StringGrid3").item(0, 1)->setText("15.5");
    grid("StringGrid3").item(1, 1)->setText("-2.5");
    click("Button1");

    EXPECT_TRUE(ui.errors.empty());
    EXPECT_EQ(edit("Edit9").text(), "EUR");
    EXPECT_EQ(ui.busyDepth, 0);
    const sim::ScaleMemory sent = scale.snapshot();
    EXPECT_EQ(sent.generalSettings[0], 2);
    EXPECT_EQ(sent.generalSettings[1], 0x47);
    EXPECT_EQ(Bytes(sent.generalSettings.begin() + 2, sent.generalSettings.begin() + 19),
              fixedText("b123456789012345", 16));
    EXPECT_EQ(Bytes(sent.generalSettings.begin() + 36, sent.generalSettings.end()),
              Bytes({0x00, 0x00, 0x96, 0x00, 17, 0x00, 240, 99, 1, 5, 0x80, 0, 0, 0, 0, 1}));
    EXPECT_EQ(sent.clerkNames[1], "Lor Daviken ");
    EXPECT_EQ(sent.clerkNames[2], "Tessa");
    EXPECT_EQ(sent.printLines, (std::array<std::string, 8>{"line one", "", "line three is longer than the pr", "4",
                                                           "5", "6", "", ""}));
    EXPECT_EQ(sent.departmentNames[17], "MEAT");
    EXPECT_EQ(sent.taxRates[0], 1550);
    EXPECT_EQ(sent.taxRates[1], -250);

    // The scale changes; loading shows what it holds, by the page's rules.
    scale.withMemory([](sim::ScaleMemory& m) {
        m.generalSettings[0] = 7;          // no such clerk mode
        m.generalSettings[36 + 2] = 0x30;  // 12345, not an item
        m.generalSettings[36 + 3] = 0x39;
        m.generalSettings[40] = 150;       // LAN number above 99
        m.generalSettings[44] = 0;         // drawer time below 1
        m.printLines = {"H\xA0" "1", "", "H3", "", "", "", "F1", "F2"}; // a no-break space
        m.departmentNames[3] = "FISH\xE9";
        m.taxRates = {700, 1999, 0, -5, 1, 10, 100, 9999};
        return 0;
    });
    grid("StringGrid3").item(0, 1)->setText("7.00");
    click("Button9");
    EXPECT_TRUE(ui.errors.empty());
    EXPECT_EQ(combo("ComboBox3").currentIndex(), -1);
    EXPECT_EQ(combo("ComboBox4").currentText(), "12345");
    EXPECT_EQ(combo("ComboBox4").currentIndex(), -1);
    EXPECT_EQ(spin("SpinEdit4").value(), 99);
    EXPECT_EQ(spin("SpinEdit6").value(), 1);
    EXPECT_EQ(edit("Edit9").text(), QString(QChar(0x20AC))); // the euro byte as the box shows it
    EXPECT_EQ(edit("Edit1").text(), "b123456789012345");
    EXPECT_EQ(edit("Edit7").text(), "Tessa");
    EXPECT_EQ(memo("Memo1").document()->toRawText().split(QChar::ParagraphSeparator),
              QStringList({QStringLiteral("H\u00A0" "1"), "", "H3", "", "", ""}));
    EXPECT_EQ(memo("Memo2").toPlainText(), "F1\nF2");
    EXPECT_EQ(cell("StringGrid2", 3, 1), QStringLiteral("FISH\u00E9"));
    EXPECT_EQ(cell("StringGrid2", 17, 1), "MEAT");
    const char* rates[] = {"7", "19.99", "0", "-0.05", "0.01", "0.1", "1", "99.99"};
    for (int r = 0; r < 8; ++r) {
        EXPECT_EQ(cell("StringGrid3", r, 1), rates[r]) << r;
    }

    // Sent back as loaded: every byte unchanged, the header's empty lines keep
    // their numbers, the euro byte goes as it is and the box shows the word again.
    scale.clearRequests();
    click("Button1");
    EXPECT_EQ(edit("Edit9").text(), "EUR");
    const sim::ScaleMemory back = scale.snapshot();
    EXPECT_EQ(back.printLines, (std::array<std::string, 8>{"H\xA0" "1", "", "H3", "", "", "", "F1", "F2"}));
    EXPECT_EQ(back.departmentNames[3], "FISH\xE9");
    EXPECT_EQ(back.generalSettings[0], 255);
    EXPECT_EQ(back.generalSettings[46], 0x80);
    EXPECT_EQ(scale.requests().size(), 54u);
}

TEST_F(SettingsPageTest, DefaultSetFillsThePageAndSendsTheFactoryBytes) {
    connect();
    combo("ComboBox3").setCurrentIndex(4);
    grid("StringGrid3").item(6, 1)->setText("8");
    click("Button24");
    EXPECT_TRUE(ui.errors.empty()); // needs no connection, asks nothing
    EXPECT_EQ(combo("ComboBox3").currentIndex(), 4);
    EXPECT_EQ(cell("StringGrid3", 6, 1), "8");
    EXPECT_EQ(combo("ComboBox4").currentIndex(), 9);
    EXPECT_EQ(memo("Memo1").toPlainText().split('\n').size(), 6);
    EXPECT_EQ(cell("StringGrid2", 39, 1), "GROUP 39");

    click("Button1");
    const sim::ScaleMemory sent = scale.snapshot();
    EXPECT_EQ(Bytes(sent.generalSettings.begin(), sent.generalSettings.begin() + 2), Bytes({4, 0xDD}));
    EXPECT_EQ(Bytes(sent.generalSettings.begin() + 36, sent.generalSettings.end()),
              Bytes({0x00, 0x01, 0xC2, 0x00, 0, 0, 0, 0, 50, 3, 0x80, 0, 0, 0, 0, 1}));
    EXPECT_EQ(sent.clerkNames, (std::array<std::string, 4>{"Tobrin", "Kelda", "Roan", "Pirra"}));
    EXPECT_EQ(sent.printLines[0], "~7 HEADER MESSAGE");
    EXPECT_EQ(sent.printLines[5], "~6TALLIVO ~7TALLIVO");
    EXPECT_EQ(sent.printLines[6], "~7 FOOTER MESSAGE");
    EXPECT_EQ(sent.printLines[7], "12345678901234567890123456789012");
    EXPECT_EQ(sent.departmentNames[0], "GROUP 0");
    EXPECT_EQ(sent.taxRates[6], 800);
}

TEST_F(SettingsPageTest, ATextThatIsNoNumberStopsTheSendWithItsMessage) {
    connect();
    combo("ComboBox4").setEditText("96oo");
    click("Button1");
    ASSERT_EQ(ui.errors.size(), 1u);
    EXPECT_EQ(ui.errors[0], (RecordingUi::Message{"'96oo' is not a valid integer value.", ui.title}));
    EXPECT_TRUE(scale.requests().empty());
    EXPECT_EQ(edit("Edit9").text(), "EUR");
}

TEST_F(SettingsPageTest, TheClockSendsItsStoredValueAndShowsWhatTheScaleHolds) {
    connect();
    page->setClockSource([] { return QDateTime(QDate(2027, 1, 1), QTime(0, 0, 5)); });
    click("Button3");
    EXPECT_EQ(edit("MaskEdit1").text(), "01-01-27 00:00:05");
    // A date typed into the box is not what goes to the scale.
    edit("MaskEdit1").setText("31-12-25 23:59:59");
    click("Button13");
    EXPECT_EQ(scale.snapshot().clock, (std::array<std::uint8_t, 6>{27, 1, 1, 0, 0, 5}));

    scale.withMemory([](sim::ScaleMemory& m) { return m.clock = {26, 12, 8, 9, 3, 0}; });
    click("Button4");
    EXPECT_EQ(edit("MaskEdit1").text(), "08-12-26 09:03:00");
    EXPECT_EQ(page->clockValue(), (ClockValue{2026, 12, 8, 9, 3, 0}));

    scale.withMemory([](sim::ScaleMemory& m) { return m.clock = {105, 6, 30, 23, 59, 58}; });
    click("Button4");
    EXPECT_EQ(edit("MaskEdit1").text(), "30-06-05 23:59:58");
    EXPECT_EQ(page->clockValue().year, 2105);
    EXPECT_TRUE(ui.errors.empty());
}

TEST_F(SettingsPageTest, TheLogoButtonAsksTheMainWindowAndNotConnectedButtonsSayWhy) {
    int requested = 0;
    QObject::connect(page.get(), &SettingsPage::logoWindowRequested, [&requested] { ++requested; });
    click("Button14");
    EXPECT_EQ(requested, 1);
    for (const char* name : {"Button1", "Button9", "Button13", "Button4"}) {
        click(name);
    }
    EXPECT_EQ(ui.errorCount("You are not connected to the scale!"), 4);
    EXPECT_EQ(ui.busyDepth, 0);
}

} // namespace
