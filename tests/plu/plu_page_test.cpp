// The "PLU" page driven like a user: the grid, typing into cells, the range
// editors, the file buttons, and the transfers against the simulated scale
// over a real pseudo-terminal.

#include "gui/range_spin_edit.h"
#include "plu/plu_file.h"
#include "plu/plu_file_stamp.h"
#include "plu/plu_page.h"
#include "plu/progress_window.h"
#include "plu_page_fixture.h"
#include "region/qt_regional_forms.h"
#include "tests/support/paint_counter.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QStyle>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace {

// Types characters the keyboard helpers of QTest know nothing of.
void typeText(QWidget& widget, const QString& text) {
    for (const QChar ch : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(&widget, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(&widget, &release);
    }
}

TEST_F(PluPageTest, GridLayoutAndClear) {
    EXPECT_EQ(model().rowCount(), kPluDataRows);
    EXPECT_EQ(model().columnCount(), 13);
    EXPECT_EQ(model().headerData(9, Qt::Horizontal).toString(), "Valid Date");
    EXPECT_EQ(grid().columnWidth(8), 229);
    EXPECT_EQ(grid().rowHeight(1800), 21);
    EXPECT_TRUE(grid().tabKeyNavigation());
    EXPECT_TRUE(grid().font().fixedPitch() || QFontInfo(grid().font()).fixedPitch());
    const std::pair<const char*, const char*> buttons[] = {
        {"Button12", "ALL"},         {"Button17", "CLEAR"},          {"Button5", "LOAD FROM DISK"},
        {"Button6", "SAVE TO DISK"}, {"Button7", "LOAD FROM SCALE"}, {"Button8", "SAVE TO SCALE"}};
    for (const auto& [name, caption] : buttons) {
        ASSERT_NE(page->findChild<QPushButton*>(name), nullptr) << name;
        EXPECT_EQ(page->findChild<QPushButton*>(name)->text(), caption);
    }
    EXPECT_EQ(spin("SpinEdit1").text(), "1");
    EXPECT_EQ(spin("SpinEdit2").text(), "1799");

    setCell(1801, 12, "9");
    setCell(1, 0, "1");
    click("Button17");
    EXPECT_EQ(cell(1801, 12), "");
    EXPECT_EQ(cell(1, 0), "");
    EXPECT_EQ(model().headerData(0, Qt::Horizontal).toString(), "NUM");
}

TEST_F(PluPageTest, WidestNumbersAndEveryHeaderFitTheirColumns) {
    // What a person must read whole in each column: the widest figure the
    // scale commonly sends or the checks let through.
    const char* widest[kPluColumns] = {"65535", "9999.99", "2000001", "-40",     "8",      "1",     "1",
                                       "1",     "",        "-32768",  "123.456", "999.99", "-32768"};
    QStyle* style = grid().style();
    // A cell draws its text inside a margin on each side and one grid line.
    const int textMargin = 2 * (style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &grid()) + 1) + 1;
    const QFontMetrics cellText(grid().font());
    const QFontMetrics headerText(grid().horizontalHeader()->font());
    const int headerMargin = 2 * style->pixelMetric(QStyle::PM_HeaderMargin, nullptr, &grid());
    int total = 0;
    for (int column = 0; column < kPluColumns; ++column) {
        const int width = grid().columnWidth(column);
        total += width;
        EXPECT_LE(cellText.horizontalAdvance(QString::fromLatin1(widest[column])) + textMargin, width)
            << "column " << column;
        const QString header = model().headerData(column, Qt::Horizontal).toString();
        EXPECT_LE(headerText.horizontalAdvance(header) + headerMargin, width) << header.toStdString();
    }
    // The 7 digits fit by the font, not by a wider column.
    EXPECT_EQ(grid().columnWidth(2), 51);
    // The whole grid beside its vertical scroll bar, within the page of the
    // main window: nobody scrolls sideways to see COUNT.
    const int scrollBar = style->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, &grid());
    EXPECT_LE(total + scrollBar + 2 * grid().frameWidth(), 765);
}

TEST_F(PluPageTest, RangeEditorsClampNumbersAndKeepOtherTexts) {
    RangeSpinEdit& from = spin("SpinEdit1");
    const std::pair<const char*, const char*> cases[] = {{"5000", "1799"}, {"0", "1"},     {"-7", "1"},
                                                         {"42", "42"},     {"abc", "abc"}, {"", ""}};
    for (const auto& [typed, shown] : cases) {
        from.findChild<QLineEdit*>()->setText(typed);
        from.clampToRange();
        EXPECT_EQ(from.text(), shown) << typed;
    }
    from.setValue(1799);
    from.stepBy(1);
    EXPECT_EQ(from.text(), "1799");
    click("Button12");
    EXPECT_EQ(spin("SpinEdit1").text(), "1");
    EXPECT_EQ(spin("SpinEdit2").text(), "1799");
}

TEST_F(PluPageTest, TypingIsCheckedOnEveryChange) {
    QLineEdit& price = edit(1, 1);
    QTest::keyClicks(&price, "12345");
    EXPECT_EQ(price.text(), "1234");
    EXPECT_EQ(cell(1, 1), "1234");
    EXPECT_EQ(ui.beeps, 1);
    QTest::keyClicks(&price, ".5");
    EXPECT_EQ(cell(1, 1), "1234.5");
    QTest::keyClick(&price, Qt::Key_Return);

    // A key on a selected cell opens its editor and replaces the text.
    setCell(4, 1, "1.00");
    grid().setCurrentIndex(model().index(3, 1));
    QTest::keyClick(grid().viewport(), Qt::Key_5, Qt::NoModifier);
    EXPECT_EQ(cell(4, 1), "5");
    ASSERT_NE(grid().indexWidget(model().index(3, 1)), nullptr);
    QTest::keyClick(grid().indexWidget(model().index(3, 1)), Qt::Key_Return);

    // A character with no byte in the grid's code page is refused; one with a byte passes.
    QLineEdit& name = edit(2, 8);
    typeText(name, QStringLiteral("Caf\u00E9"));
    EXPECT_EQ(cell(2, 8), QStringLiteral("Caf\u00E9"));
    typeText(name, QStringLiteral("\u03A9"));
    EXPECT_EQ(name.text(), QStringLiteral("Caf\u00E9"));
    EXPECT_EQ(ui.beeps, 2);
    QTest::keyClick(&name, Qt::Key_Return);
    EXPECT_EQ(page->grid().cell(2, 8), "Caf\xE9");

    // Deleting a running figure is refused and the old text returns.
    setCell(3, 11, "12.50");
    QLineEdit& total = edit(3, 11);
    total.selectAll();
    QTest::keyClick(&total, Qt::Key_Delete);
    EXPECT_EQ(total.text(), "12.50");
    EXPECT_EQ(cell(3, 11), "12.50");
    EXPECT_EQ(ui.beeps, 3);
}

TEST_F(PluPageTest, RememberedTextFollowsTheCellWhoseEditorOpens) {
    setCell(1, 1, "1.00");
    grid().setCurrentIndex(model().index(0, 1));
    EXPECT_EQ(remembered.bytes, "1.00");
    // A load changes the selected cell, and the tax grid shares the value.
    setCell(1, 1, "2.00");
    remembered.bytes = "7.5";
    QLineEdit& price = edit(1, 1);
    price.selectAll();
    QTest::keyClicks(&price, "x");
    EXPECT_EQ(cell(1, 1), "2.00");
    EXPECT_EQ(price.text(), "2.00");
}

TEST_F(PluPageTest, FileButtonsSaveAndLoadTheGrid) {
    QTemporaryDir folder;
    const std::string file = (folder.path() + "/table.TXT").toStdString();
    setCell(1, 0, "1");
    setCell(1, 1, "1.00");
    setCell(1, 8, QStringLiteral("\u20AC NAME"));
    for (int column : {2, 3, 4, 5, 6, 7, 9}) {
        setCell(1, column, "0");
    }
    ui.saveAnswers.push_back(file);
    click("Button6");
    ASSERT_EQ(ui.saveRequests.size(), 1u);
    EXPECT_EQ(ui.saveRequests[0].defaultSuffix, "TXT");
    EXPECT_EQ(ui.saveRequests[0].pattern, "*.TXT");
    EXPECT_EQ(ui.saveRequests[0].filterDescription, "TAB separated Text Files");
    EXPECT_TRUE(ui.errors.empty());

    std::ifstream in(file, std::ios::binary);
    std::string bytes(4096, '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    EXPECT_EQ(bytes.rfind("; created: ", 0), 0u);
    EXPECT_NE(bytes.find("\r\n\r\n1\t1.00\t0\t0\t0\t0\t0\t0\t\x80 NAME\t0\t\t\t\t\r\n"), std::string::npos);

    click("Button17");
    ui.openAnswers.push_back(file);
    click("Button5");
    EXPECT_EQ(cell(1, 8), QStringLiteral("\u20AC NAME"));
    EXPECT_TRUE(ui.errors.empty());

    ui.openAnswers.push_back((folder.path() + "/missing.TXT").toStdString());
    click("Button5");
    ui.openAnswers.push_back(std::nullopt); // cancelled
    click("Button5");
    EXPECT_EQ(ui.errors, (std::vector<RecordingUi::Message>{{"I/O Error!", "ERROR!"}}));
}

TEST(PluFileStampTest, LongTimeWithoutZoneUnderTwoLocales) {
    EXPECT_EQ(timeFormatWithoutZone("HH:mm:ss t"), "HH:mm:ss");
    EXPECT_EQ(timeFormatWithoutZone("h:mm:ss AP tttt"), "h:mm:ss AP");
    EXPECT_EQ(timeFormatWithoutZone("t HH:mm"), "HH:mm");
    EXPECT_EQ(timeFormatWithoutZone("HH:mm:ss (t)"), "HH:mm:ss");
    EXPECT_EQ(timeFormatWithoutZone("HH 'to' mm"), "HH 'to' mm");
    const LocalDateTime moment{2026, 12, 8, 17, 5, 9};
    const PluFileStamp german =
        pluFileStamp(QtRegionalForms(QLocale(QLocale::German, QLocale::Germany)), moment);
    EXPECT_EQ(german.date, "08.12.26");
    EXPECT_EQ(german.time, "17:05:09");
    const PluFileStamp english =
        pluFileStamp(QtRegionalForms(QLocale(QLocale::English, QLocale::UnitedStates)), moment);
    EXPECT_EQ(english.time.find("UTC"), std::string::npos);
    EXPECT_NE(english.time.find("5:05:09"), std::string::npos);
}

// --- Transfers against the simulated scale ---------------------------------

TEST_F(PluPageTest, NotConnectedAndUnreadableRangeSendNothing) {
    click("Button7");
    EXPECT_EQ(ui.errors,
              (std::vector<RecordingUi::Message>{{"You are not connected to the scale!", "Error!"}}));
    connect();
    spin("SpinEdit1").findChild<QLineEdit*>()->setText("x");
    spin("SpinEdit2").findChild<QLineEdit*>()->clear();
    click("Button8");
    ASSERT_EQ(ui.errors.size(), 2u);
    EXPECT_EQ(ui.errors[1].text, "'' is not a valid integer value."); // TO is read first
    EXPECT_TRUE(scale.requests().empty());
    EXPECT_FALSE(progress().isVisible());
    EXPECT_FALSE(progress().Working);
}

TEST_F(PluPageTest, LoadOneAndBackwardsRangesAndAbsentPlus) {
    connect();
    fillScale([](int plu) { return plu != 1800 && plu != 6; });
    setRange(5, 7);
    setCell(4, 0, "keep");
    click("Button7");
    EXPECT_EQ(requestedPlus(0x04), (std::vector<int>{0, 1800, 5, 6, 7}));
    EXPECT_EQ(cell(1, 0), "0");
    EXPECT_EQ(cell(2, 0), "5"); // PLU 1800 absent: the range starts in row 2
    EXPECT_EQ(cell(2, 1), "0.05");
    EXPECT_EQ(cell(2, 8), "PLU 5");
    EXPECT_EQ(cell(3, 0), "7");
    EXPECT_EQ(cell(4, 0), "keep");
    EXPECT_FALSE(progress().isVisible());
    EXPECT_FALSE(progress().Working);
    EXPECT_EQ(progress().findChild<QLabel*>("Label1")->text(), "7 PLUs");
    // Painting is only deferred during a transfer, never left off.
    EXPECT_TRUE(progress().findChild<QLabel*>("Label1")->updatesEnabled());
    EXPECT_TRUE(progress().findChild<QProgressBar*>("ProgressBar1")->updatesEnabled());
    EXPECT_EQ(progress().windowTitle(), "WORK...");
    EXPECT_EQ(progress().size(), QSize(410, 80));
    EXPECT_FALSE(progress().windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_EQ(progress().windowModality(), Qt::ApplicationModal);

    scale.clearRequests();
    setRange(9, 3);
    click("Button7");
    EXPECT_EQ(requestedPlus(0x04), (std::vector<int>{0, 1800}));
    EXPECT_TRUE(ui.errors.empty());
}

TEST_F(PluPageTest, AllAbsentLeavesRowsBeyondTwoAndProgressRunsThrough) {
    connect();
    fillScale([](int plu) { return plu == 0 || plu == 1800; });
    setCell(3, 0, "keep");
    setRange(1, 100);
    // The furthest the bar came: it is set back to 0 as the transfer ends.
    int lastPosition = -1;
    auto* bar = progress().findChild<QProgressBar*>("ProgressBar1");
    QObject::connect(bar, &QProgressBar::valueChanged, bar,
                     [&](int value) { lastPosition = std::max(lastPosition, value); });
    click("Button7");
    EXPECT_EQ(requestedPlus(0x04).size(), 102u);
    EXPECT_EQ(cell(2, 0), "1800");
    EXPECT_EQ(cell(3, 0), "keep");
    EXPECT_EQ(lastPosition, 99);
}

TEST_F(PluPageTest, LinkFailureOnPluZeroLeavesTheGrid) {
    connect();
    scale.injectFault(sim::Fault::HangUp);
    setCell(1, 0, "keep");
    click("Button7");
    EXPECT_EQ(ui.errorCount("Comunication Error!"), 1);
    EXPECT_EQ(cell(1, 0), "keep");
    EXPECT_FALSE(progress().isVisible());
    EXPECT_FALSE(progress().Working);
}

TEST_F(PluPageTest, StopDuringTheRangeEndsAfterOneMoreExchange) {
    connect();
    fillScale();
    auto* label = progress().findChild<QLabel*>("Label1");
    duringTransfer([&] {
        EXPECT_EQ(QApplication::activeModalWidget(), &progress());
        if (label->text() != "40 PLUs") {
            return false;
        }
        progress().findChild<QPushButton*>("Button1")->click();
        // Nothing else may start inside the transfer.
        page->Button17Click();
        page->Button7Click();
        return true;
    });
    click("Button7");
    const auto plus = requestedPlus(0x04);
    ASSERT_EQ(plus.size(), 43u);
    EXPECT_EQ(plus.back(), 41);
    EXPECT_EQ(cell(43, 0), "41");
    EXPECT_EQ(cell(44, 0), "");
    EXPECT_FALSE(progress().isVisible());
}

TEST_F(PluPageTest, FullRangeLoadThenSaveReachesEveryPluOnce) {
    connect();
    fillScale();
    click("Button7");
    EXPECT_EQ(cell(1801, 0), "1799");
    EXPECT_EQ(cell(1801, 1), "17.99");
    EXPECT_EQ(cell(2, 8), "PLU 1800");

    // Change every price, send the whole table back, and read the scale's memory.
    for (int row = 1; row <= kPluDataRows; ++row) {
        setCell(row, 1, QString::number(row) + ".25");
    }
    scale.clearRequests();
    click("Button8");
    EXPECT_TRUE(ui.errors.empty());
    EXPECT_EQ(commandCount(0x23), kPluDataRows);
    EXPECT_EQ(commandCount(0x27), 1);
    const sim::ScaleMemory memory = scale.snapshot();
    EXPECT_EQ(sim::decodePlu(memory.plu[0]).price, 125);
    EXPECT_EQ(sim::decodePlu(memory.plu[1800]).price, 225);
    EXPECT_EQ(sim::decodePlu(memory.plu[1799]).price, 180125);
    EXPECT_EQ(sim::decodePlu(memory.plu[1799]).name, "PLU 1799");
    EXPECT_EQ(memory.endOfPluUploads, 1);

    // A shorter load refills the first rows and leaves the rest of the earlier one.
    setCell(12, 8, "LOCAL");
    setCell(13, 8, "LOCAL");
    setRange(1, 10);
    click("Button7");
    EXPECT_EQ(cell(12, 8), "PLU 10");
    EXPECT_EQ(cell(13, 8), "LOCAL");
    EXPECT_EQ(cell(1801, 0), "1799");
}

TEST_F(PluPageTest, FullLoadPaintsAtMostTwentyFiveTimesASecondAndTellsTheGridEveryRow) {
    connect();
    fillScale();
    PaintCounter bar(*progress().findChild<QProgressBar*>("ProgressBar1"));
    PaintCounter label(*progress().findChild<QLabel*>("Label1"));
    QSignalSpy changed(&model(), &QAbstractItemModel::dataChanged);
    QElapsedTimer clock;
    clock.start();
    click("Button7");
    // 25 paints a second, and the few of the window's appearing.
    const auto allowed = clock.elapsed() / 40 + 4;
    EXPECT_LE(label.paints, allowed);
    EXPECT_LE(bar.paints, allowed);
    // The views hear of the loaded rows in a few batches, yet of every one.
    EXPECT_LE(changed.count(), allowed);
    std::vector<bool> told(kPluDataRows, false);
    for (const auto& signal : changed) {
        for (int row = signal[0].toModelIndex().row(); row <= signal[1].toModelIndex().row(); ++row) {
            told[static_cast<std::size_t>(row)] = true;
        }
    }
    EXPECT_EQ(std::count(told.begin(), told.end(), true), kPluDataRows);
    EXPECT_TRUE(ui.errors.empty());
}

TEST_F(PluPageTest, SaveSkipsEmptyRowsAndAlwaysEndsTheUpload) {
    connect();
    for (int row = 3; row <= 5; ++row) {
        for (int column = 0; column < 10; ++column) {
            setCell(row, column, column == 8 ? "N" : "0");
        }
        setCell(row, 0, QString::number(row * 10));
        setCell(row, 1, "1.50");
    }
    setRange(1, 3);
    click("Button8");
    EXPECT_EQ(requestedPlus(0x23), (std::vector<int>{30, 40, 50}));
    EXPECT_EQ(commandCount(0x27), 1);

    // A cell that does not convert stops the save, which still ends the upload.
    scale.clearRequests();
    setCell(4, 0, "12.5");
    click("Button8");
    EXPECT_EQ(requestedPlus(0x23), (std::vector<int>{30}));
    EXPECT_EQ(commandCount(0x27), 1);
    EXPECT_EQ(ui.errors.back().text, "'12.5' is not a valid integer value.");
    EXPECT_FALSE(progress().isVisible());
    EXPECT_FALSE(progress().Working);
}

TEST_F(PluPageTest, ClosingTheWindowStopsTheTransferFirst) {
    connect();
    fillScale();
    bool closeAsked = false;
    auto* label = progress().findChild<QLabel*>("Label1");
    duringTransfer([&] {
        if (label->text() != "1 PLUs") {
            return false;
        }
        closeAsked = true;
        page->close();
        return true;
    });
    click("Button7");
    EXPECT_TRUE(closeAsked);
    EXPECT_EQ(requestedPlus(0x04).size(), 4u); // 0, 1800, 1, then one more after the close
    QCoreApplication::processEvents();
    EXPECT_FALSE(page->isVisible());
}

class PluPageCommaTest : public PluPageTest {
  protected:
    PluPageCommaTest() : PluPageTest(',') {}
};

TEST_F(PluPageCommaTest, LoadShowsAndSaveReadsTheUsersSeparator) {
    connect();
    fillScale();
    setRange(150, 150);
    click("Button7");
    EXPECT_EQ(cell(3, 1), "1,50");
    setCell(3, 1, "2,99");
    scale.clearRequests();
    click("Button8");
    EXPECT_EQ(sim::decodePlu(scale.snapshot().plu[150]).price, 299);
    QLineEdit& price = edit(3, 1);
    price.selectAll();
    QTest::keyClicks(&price, "1.5"); // the point is refused, the 5 goes on
    EXPECT_EQ(cell(3, 1), "15");
}

} // namespace
