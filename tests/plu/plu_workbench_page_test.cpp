// The PLU workbench on the page, driven like a user: the find over the real
// rows during transfers and saves, undo and redo of every kind of change,
// the clipboard's paste refused as a whole, operations on the selection or
// the rows shown, CSV exchange with remembered columns, and the cell marks.

#include "gui/qt_text.h"
#include "plu/cell_marks.h"
#include "plu/csv_columns.h"
#include "plu/plu_file.h"
#include "plu/plu_filter_proxy.h"
#include "plu/plu_find.h"
#include "plu/plu_table_model.h"
#include "plu/plu_workbench.h"
#include "plu/transfer_loss_marks.h"
#include "plu/workbench_dialogs_qt.h"
#include "plu_page_fixture.h"
#include "scripted_dialogs.h"

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QLabel>
#include <QTemporaryDir>
#include <QToolButton>
#include <QUndoStack>
#include <fstream>

namespace {

std::vector<PluRow> rowsOf(const PluGrid& grid) {
    std::vector<PluRow> rows;
    for (int row = 1; row <= kPluDataRows; ++row) {
        rows.push_back(grid.row(row));
    }
    return rows;
}

PluRow fullRow(const std::string& num, const std::string& price, const std::string& name) {
    return {num, price, "1", "3", "1", "0", "0", "0", name, "0", "", "", ""};
}

class PluWorkbenchTest : public PluPageTest {
  protected:
    void SetUp() override {
        PluPageTest::SetUp();
        page->workbench().setDialogs(dialogs);
    }
    QLineEdit& find() { return *page->findChild<QLineEdit*>("FindEdit"); }
    void selectViewRows(int first, int last) {
        grid().selectionModel()->select(QItemSelection(model().index(first, 0), model().index(last, 12)),
                                        QItemSelectionModel::ClearAndSelect);
    }
    // Rows 1..n as a small shop's table, as one step (not under test here).
    void fillRows(int n) {
        std::vector<PluRowEdit> rows;
        for (int row = 1; row <= n; ++row) {
            rows.push_back({row, fullRow(std::to_string(row), std::to_string(row) + ".00",
                                         "ITEM " + std::to_string(row))});
        }
        page->applyRowsAsOneStep("fill", rows);
    }
    PriceChange percent(const char* by, int step) {
        return {PriceChangeKind::Percent, *parseChangeNumber(by, '.'), step};
    }

    ScriptedDialogs dialogs;
};

TEST_F(PluWorkbenchTest, NewControlsSitRightOfClearInsideThePage) {
    auto* clear = page->findChild<QPushButton*>("Button17");
    auto* inUse = page->findChild<QCheckBox*>("InUseOnly");
    auto* tools = page->findChild<QToolButton*>("PluToolsButton");
    ASSERT_NE(inUse, nullptr);
    ASSERT_NE(tools, nullptr);
    EXPECT_EQ(inUse->text(), "rows in use only");
    EXPECT_TRUE(find().isClearButtonEnabled());
    int left = clear->geometry().right();
    for (QWidget* control :
         {static_cast<QWidget*>(&find()), static_cast<QWidget*>(inUse), static_cast<QWidget*>(tools)}) {
        EXPECT_GT(control->geometry().left(), left) << control->objectName().toStdString();
        EXPECT_TRUE(
            control->geometry().intersects(QRect(0, clear->geometry().center().y(), page->width(), 1)));
        left = control->geometry().right();
    }
    EXPECT_LE(left, page->width());
    EXPECT_GE(find().width(), 120);
    // Case folding of the find agrees with Qt's for every byte of the code page.
    for (int byte = 0; byte < 256; ++byte) {
        const QChar lower = QString(bytesToQString(std::string(1, static_cast<char>(byte)))).at(0).toLower();
        const auto expected = qstringToBytes(QString(lower));
        EXPECT_EQ(foldCase1252(static_cast<unsigned char>(byte)),
                  static_cast<unsigned char>(expected ? (*expected)[0] : byte))
            << byte;
    }
}

TEST_F(PluWorkbenchTest, FindHidesRowsOnlyWhileTransfersAndSavesUseRealRows) {
    connect();
    fillScale();
    setRange(1, 30);
    click("Button7");
    find().setText("plu 2");
    EXPECT_EQ(model().rowCount(), 11); // PLU 2 and PLU 20..29
    EXPECT_EQ(cell(1, 8), "PLU 2");    // view row 0
    // Typing in the filtered view reaches the real row.
    QLineEdit& price = edit(2, 1); // view row 1: PLU 20 in data row 22
    price.selectAll();
    QTest::keyClicks(&price, "7.77");
    QTest::keyClick(&price, Qt::Key_Return);
    QCoreApplication::processEvents(); // the editor closes on the next pass of the event loop
    EXPECT_EQ(page->grid().cell(22, PluColumn::Price), "7.77");

    // A save sends every row by position, shown or not.
    scale.clearRequests();
    click("Button8");
    std::vector<int> expected = {0, 1800};
    for (int plu = 1; plu <= 30; ++plu) {
        expected.push_back(plu);
    }
    EXPECT_EQ(requestedPlus(0x23), expected);
    EXPECT_EQ(sim::decodePlu(scale.snapshot().plu[20]).price, 777);

    // A load fills rows by position; the view is filtered once, at the end,
    // and STOP still ends it after one more exchange.
    page->findChild<QCheckBox*>("InUseOnly")->setChecked(true);
    find().setText("new");
    EXPECT_EQ(model().rowCount(), 0);
    scale.withMemory([](sim::ScaleMemory& memory) {
        for (int plu = 0; plu < sim::kPluCount; ++plu) {
            sim::PluFields fields;
            fields.price = plu;
            fields.name = "NEW " + std::to_string(plu);
            memory.plu[static_cast<std::size_t>(plu)] = sim::encodePlu(fields);
        }
        return 0;
    });
    int shownDuringLoad = -1;
    duringTransfer([&] {
        shownDuringLoad = std::max(shownDuringLoad, model().rowCount());
        if (progress().findChild<QLabel*>("Label1")->text() == "10 PLUs") {
            progress().findChild<QPushButton*>("Button1")->click();
            return true;
        }
        return false;
    });
    click("Button7");
    EXPECT_EQ(shownDuringLoad, 0);
    EXPECT_EQ(requestedPlus(0x04).size(), 2u + 11);
    EXPECT_EQ(model().rowCount(), 13); // rows 1 to 13 now hold NEW 0, NEW 1800, NEW 1..11
    EXPECT_EQ(page->grid().cell(14, PluColumn::Name), "PLU 12");
}

TEST_F(PluWorkbenchTest, EveryKindOfChangeIsOneUndoStep) {
    QTemporaryDir folder;
    const std::string pluFile = (folder.path() + "/table.TXT").toStdString();
    const std::string csvFile = (folder.path() + "/table.csv").toStdString();
    connect();
    fillScale();
    fillRows(6);
    ui.saveAnswers.push_back(pluFile);
    click("Button6");
    dialogs.exportAnswer = CsvExportOptions{';', CsvEncoding::Utf8, false};
    ui.saveAnswers.push_back(csvFile);
    page->workbench().exportCsv();

    struct Step {
        const char* what;
        std::vector<PluRow> before;
        std::vector<PluRow> after;
    };
    std::vector<Step> steps;
    QUndoStack& stack = page->undoStack();
    const auto record = [&](const char* what, const std::function<void()>& action) {
        const int count = stack.count();
        Step step{what, rowsOf(page->grid()), {}};
        action();
        step.after = rowsOf(page->grid());
        EXPECT_NE(step.after, step.before) << what;
        EXPECT_EQ(stack.count(), count + 1) << what;
        steps.push_back(std::move(step));
    };

    record("typing", [&] {
        QLineEdit& name = edit(2, 8);
        QTest::keyClicks(&name, "XY");
        QTest::keyClick(&name, Qt::Key_Return);
        QCoreApplication::processEvents();
    });
    record("paste", [&] {
        QGuiApplication::clipboard()->setText("5.55\t66\r\n6.66\t77\r\n");
        grid().setCurrentIndex(model().index(2, 1));
        page->workbench().pasteAtCurrentCell();
    });
    record("price change", [&] {
        dialogs.priceAnswer = percent("10", 5);
        page->workbench().changePrices();
    });
    record("DEP set", [&] {
        dialogs.valueAnswer = "7";
        page->workbench().setColumnValue(PluColumn::Dep);
    });
    record("clear rows", [&] {
        selectViewRows(1, 2);
        page->workbench().clearRows();
    });
    record("CLEAR", [&] { click("Button17"); });
    record("LOAD FROM DISK", [&] {
        ui.openAnswers.push_back(pluFile);
        click("Button5");
    });
    record("LOAD FROM SCALE", [&] { click("Button7"); }); // the whole table, one step
    record("CSV import", [&] {
        ui.openAnswers.push_back(csvFile);
        page->workbench().importCsv();
    });
    EXPECT_TRUE(ui.errors.empty());

    for (auto step = steps.rbegin(); step != steps.rend(); ++step) {
        page->undoStep();
        EXPECT_EQ(rowsOf(page->grid()), step->before) << "undo of " << step->what;
    }
    for (const Step& step : steps) {
        page->redoStep();
        EXPECT_EQ(rowsOf(page->grid()), step.after) << "redo of " << step.what;
    }
}

TEST_F(PluWorkbenchTest, AWeeksPriceChangesOverAWholeTableFromTheScale) {
    // 1801 PLUs in five departments, every tenth an apple, names with every
    // byte from 0x80 to 0xFF between them.
    connect();
    scale.withMemory([](sim::ScaleMemory& memory) {
        for (int plu = 0; plu < sim::kPluCount; ++plu) {
            sim::PluFields fields;
            fields.price = 100 + plu;
            fields.code = plu;
            fields.department = static_cast<std::uint8_t>(plu % 5);
            fields.flags = 1;
            fields.name = (plu % 10 == 0 ? "APPLE " : "PEAR ") +
                          std::string(1, static_cast<char>(0x80 + plu % 128)) + std::to_string(plu);
            memory.plu[static_cast<std::size_t>(plu)] = sim::encodePlu(fields);
        }
        return 0;
    });
    click("Button7");
    find().setText("apple");
    EXPECT_EQ(model().rowCount(), 181);

    // Department 3 up by 5 %, rounded to 0.05: PLU 3 costs 1.03, now 1.10.
    find().setText("DEP=3");
    EXPECT_EQ(model().rowCount(), 360);
    dialogs.priceAnswer = percent("5", 5);
    page->workbench().changePrices();
    EXPECT_EQ(page->grid().cell(5, PluColumn::Price), "1.10"); // row 5 holds PLU 3
    EXPECT_EQ(page->grid().cell(6, PluColumn::Price), "1.04"); // PLU 4, department 4
    EXPECT_NE(ui.informations.back().text.find("360 rows changed."), std::string::npos);

    // 200 rows of prices from a spreadsheet, at PLU 1's price.
    find().clear();
    std::string block;
    for (int i = 0; i < 200; ++i) {
        block += std::to_string(i + 1) + ".99\r\n";
    }
    QGuiApplication::clipboard()->setText(QString::fromStdString(block));
    grid().setCurrentIndex(model().index(2, PluColumn::Price));
    page->workbench().pasteAtCurrentCell();
    EXPECT_TRUE(ui.errors.empty()) << ui.errors.front().text;
    EXPECT_EQ(page->grid().cell(202, PluColumn::Price), "200.99");

    // Out through CSV and back in, after CLEAR: not a byte of a name lost.
    const std::vector<PluRow> table = rowsOf(page->grid());
    QTemporaryDir folder;
    const std::string file = (folder.path() + "/week.csv").toStdString();
    dialogs.exportAnswer = CsvExportOptions{';', CsvEncoding::Utf8, true};
    ui.saveAnswers.push_back(file);
    page->workbench().exportCsv();
    click("Button17");
    ui.openAnswers.push_back(file);
    page->workbench().importCsv();
    EXPECT_EQ(dialogs.columnQuestions, 0);
    for (int row = 1; row <= kPluDataRows; ++row) {
        for (int column = 0; column < kPluFileFields; ++column) {
            ASSERT_EQ(page->grid().cell(row, column), table[static_cast<std::size_t>(row - 1)][column])
                << "row " << row << " column " << column;
        }
    }
    // Any of it undone: the import, CLEAR, the paste, the price change.
    for (int step = 0; step < 4; ++step) {
        page->undoStep();
    }
    EXPECT_EQ(page->grid().cell(5, PluColumn::Price), "1.03");
    EXPECT_EQ(page->grid().cell(202, PluColumn::Price), "3.00");
}

TEST_F(PluWorkbenchTest, KeysCopyPasteAndUndoAndAPasteIsRefusedAsAWhole) {
    fillRows(3);
    page->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(page.get()));
    grid().setFocus();
    selectViewRows(0, 1);
    grid().setCurrentIndex(model().index(0, 0));
    selectViewRows(0, 1);
    QTest::keyClick(&grid(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(),
              "1\t1.00\t1\t3\t1\t0\t0\t0\tITEM 1\t0\t\t\t\r\n2\t2.00\t1\t3\t1\t0\t0\t0\tITEM 2\t0\t\t\t\r\n");

    const std::vector<PluRow> before = rowsOf(page->grid());
    const int steps = page->undoStack().count();
    QGuiApplication::clipboard()->setText("1.00\t1\r\n10000\t2\r\n3.00\t3\r\n");
    grid().setCurrentIndex(model().index(0, 1));
    QTest::keyClick(&grid(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(rowsOf(page->grid()), before);
    EXPECT_EQ(page->undoStack().count(), steps);
    ASSERT_EQ(ui.errors.size(), 1u);
    EXPECT_EQ(ui.errors[0].title, "Paste");
    EXPECT_NE(ui.errors[0].text.find("row 2, PRICE: '10000'"), std::string::npos) << ui.errors[0].text;

    // The key undoes the last step; a filtered view pastes into the rows it shows.
    QTest::keyClick(&grid(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(page->grid().cell(1, PluColumn::Name), "");
    QTest::keyClick(&grid(), Qt::Key_Y, Qt::ControlModifier);
    find().setText("ITEM 3");
    QGuiApplication::clipboard()->setText("9.99");
    grid().setCurrentIndex(model().index(0, 1));
    page->workbench().pasteAtCurrentCell();
    EXPECT_EQ(page->grid().cell(3, PluColumn::Price), "9.99");
}

TEST_F(PluWorkbenchTest, OperationsWorkOnTheSelectionOrTheRowsShownAndReportOnce) {
    fillRows(5);
    page->applyRowsAsOneStep("expensive", {{5, fullRow("5", "9990.00", "ITEM 5")}});
    selectViewRows(1, 4); // data rows 2 to 5
    dialogs.priceAnswer = percent("5", 5);
    page->workbench().changePrices();
    EXPECT_EQ(dialogs.scope, "4 rows selected");
    EXPECT_EQ(dialogs.preview, "3 rows change, 1 row is refused.");
    EXPECT_EQ(page->grid().cell(1, PluColumn::Price), "1.00");
    EXPECT_EQ(page->grid().cell(2, PluColumn::Price), "2.10");
    EXPECT_EQ(page->grid().cell(5, PluColumn::Price), "9990.00"); // refused, untouched
    ASSERT_EQ(ui.informations.size(), 1u);
    EXPECT_NE(ui.informations[0].text.find("row 5 (PLU 5): the new price 10489.50 is above 9999.99"),
              std::string::npos)
        << ui.informations[0].text;

    // One cell selected: the operation takes every row the find shows.
    find().setText("ITEM 1");
    grid().setCurrentIndex(model().index(0, 3));
    dialogs.valueAnswer = "12";
    page->workbench().setColumnValue(PluColumn::Dep);
    EXPECT_EQ(dialogs.scope, "all 1 row shown");
    EXPECT_EQ(page->grid().cell(1, PluColumn::Dep), "12");
    EXPECT_EQ(page->grid().cell(2, PluColumn::Dep), "3");
    EXPECT_EQ(ui.informations.size(), 2u);
    // A value that would be refused in typing is not taken.
    dialogs.valueAnswer = "41";
    page->workbench().setColumnValue(PluColumn::Dep);
    EXPECT_EQ(ui.informations.size(), 2u);
}

TEST_F(PluWorkbenchTest, ImportAsksForUnknownColumnsOnceAndRemembersThem) {
    QTemporaryDir folder;
    const std::string file = (folder.path() + "/shop.csv").toStdString();
    const std::filesystem::path memory = (folder.path() + "/columns.txt").toStdString();
    std::ofstream(file, std::ios::binary)
        << "PLU;Preis;Code;Dept;VAT;NW;FIX;BAR;Description;Valid date;Lieferant\r\n"
           "7;1,99;7;1;1;0;0;0;Kiwi;0;X\r\n";
    page->setCsvColumnMemoryFile(memory);
    std::vector<int> answer = {0, PluColumn::Price, 2, 3, 4, 5, 6, 7, 8, 9, kNotImported};
    dialogs.columnsAnswer = answer;
    ui.openAnswers.push_back(file);
    page->workbench().importCsv();
    EXPECT_EQ(dialogs.columnQuestions, 1);
    EXPECT_EQ(dialogs.askedHeaders[1], "Preis");
    EXPECT_EQ(page->grid().cell(1, PluColumn::Price), "1.99"); // the file's comma, the locale's point
    ASSERT_EQ(ui.informations.size(), 1u);
    EXPECT_EQ(ui.informations[0].text, "1 row loaded into grid rows 1 to 1.");

    // Remembered on disk: another page asks nothing for the same file.
    PluPage other(PageContext{link, ui, remembered, '.'});
    ScriptedDialogs otherDialogs;
    other.workbench().setDialogs(otherDialogs);
    other.setCsvColumnMemoryFile(memory);
    ui.openAnswers.push_back(file);
    other.workbench().importCsv();
    EXPECT_EQ(otherDialogs.columnQuestions, 0);
    EXPECT_EQ(other.grid().cell(1, PluColumn::Name), "Kiwi");
}

TEST_F(PluWorkbenchTest, CellsThatWillNotSurviveATransferAreMarkedBesideOtherSources) {
    fillRows(2);
    PluRow longName = fullRow("1", "1.00", "ABCDEFGHIJKLMNOPQRSTUVWXYZ123456");
    page->applyRowsAsOneStep("long name", {{1, longName}});
    const QModelIndex name = model().index(0, PluColumn::Name);
    EXPECT_EQ(name.data(Qt::BackgroundRole).value<QColor>(), TransferLossMarks::colour());
    EXPECT_NE(name.data(Qt::ToolTipRole).toString().indexOf("first 30 characters"), -1);
    EXPECT_FALSE(model().index(1, PluColumn::Name).data(Qt::BackgroundRole).isValid());

    // Another feature's marks sit beside them; the first source's colour shows.
    StoredCellMarks compare;
    compare.set(1, PluColumn::Name, {QColor(Qt::cyan), "differs from the scale: APPLES"});
    compare.set(2, PluColumn::Name, {QColor(Qt::cyan), "differs from the scale: PEARS"});
    page->tableModel().addMarkSource(compare);
    EXPECT_EQ(name.data(Qt::ToolTipRole).toString().count('\n'), 1);
    EXPECT_NE(name.data(Qt::ToolTipRole).toString().indexOf("APPLES"), -1);
    EXPECT_EQ(model().index(1, PluColumn::Name).data(Qt::BackgroundRole).value<QColor>(), QColor(Qt::cyan));
    page->tableModel().removeMarkSource(compare);
    // The mark follows the text: undo brings the short name and no mark back.
    page->undoStep();
    EXPECT_FALSE(name.data(Qt::BackgroundRole).isValid());
}

TEST_F(PluWorkbenchTest, PriceDialogPreviewsAndTakesOnlyANumber) {
    int previews = 0;
    PriceChangeDialog dialog("all 3 rows shown", ',', [&](const PriceChange& change) {
        ++previews;
        return QString::number(change.stepHundredths);
    });
    auto* ok = dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
    auto* by = dialog.findChild<QLineEdit*>("PriceChangeBy");
    EXPECT_FALSE(ok->isEnabled());
    by->setText("2.5");
    EXPECT_TRUE(ok->isEnabled());
    dialog.findChild<QComboBox*>("PriceChangeStep")->setCurrentIndex(1);
    EXPECT_EQ(dialog.findChild<QLabel*>("PriceChangePreview")->text(), "5");
    EXPECT_EQ(dialog.findChild<QComboBox*>("PriceChangeStep")->currentText(), "0,05");
    by->setText("x");
    EXPECT_FALSE(ok->isEnabled());
    EXPECT_EQ(previews, 2);
}

} // namespace
