// The shared Qt layer: the combo box rule the saved state relies on, the
// lines of a text box, the busy cursor's nesting and the file dialogs' filter
// line.

#include "gui/control_helpers.h"
#include "gui/memo_lines.h"
#include "gui/qt_user_interface.h"

#include <QApplication>
#include <QComboBox>
#include <QPlainTextEdit>
#include <gtest/gtest.h>

namespace {

QComboBox* speedSelector(QWidget* parent, bool editable) {
    auto* combo = new QComboBox(parent);
    combo->setEditable(editable);
    combo->addItems({QStringLiteral("1200"), QStringLiteral("2400"), QStringLiteral("9600")});
    return combo;
}

TEST(ComboText, TypedTextIsNoItemAndAnItemsTextSelectsIt) {
    QWidget parent;
    QComboBox* combo = speedSelector(&parent, true);
    combo->setCurrentIndex(1);
    // Typing keeps Qt's current item; the position shown must follow the text.
    combo->setEditText(QStringLiteral("4800"));
    EXPECT_EQ(combo->currentIndex(), 1);
    EXPECT_EQ(shownComboPosition(*combo), -1);
    combo->setEditText(QStringLiteral("9600"));
    EXPECT_EQ(shownComboPosition(*combo), 2);

    setComboText(*combo, QStringLiteral("2400"));
    EXPECT_EQ(combo->currentIndex(), 1);
    setComboText(*combo, QStringLiteral("/dev/ttyUSB0"));
    EXPECT_EQ(combo->currentIndex(), -1);
    EXPECT_EQ(combo->currentText(), QStringLiteral("/dev/ttyUSB0"));
    setComboText(*combo, QStringLiteral("12oo")); // close is not equal
    EXPECT_EQ(combo->currentIndex(), -1);
}

TEST(ComboText, FixedListKeepsItsSelectionForAnUnknownText) {
    QWidget parent;
    QComboBox* combo = speedSelector(&parent, false);
    combo->setCurrentIndex(2);
    setComboText(*combo, QStringLiteral("4800"));
    EXPECT_EQ(combo->currentIndex(), 2);
    setComboText(*combo, QStringLiteral("1200"));
    EXPECT_EQ(combo->currentIndex(), 0);
    EXPECT_EQ(shownComboPosition(*combo), 0);
}

TEST(MemoLines, ALineBreakEndsALineSoOnlyTheLastEmptyLineIsNone) {
    using Lines = std::vector<std::string>;
    EXPECT_TRUE(splitMemoLines("").empty());
    EXPECT_EQ(splitMemoLines("a\n\nb"), (Lines{"a", "", "b"}));
    EXPECT_EQ(splitMemoLines("a\n"), (Lines{"a"}));
    EXPECT_EQ(splitMemoLines("a\n\n"), (Lines{"a", ""}));
    EXPECT_EQ(splitMemoLines("\n"), (Lines{""}));
    EXPECT_EQ(splitMemoLines("a\r\nb\rc"), (Lines{"a", "b", "c"}));
    EXPECT_EQ(joinMemoLines({"F1", ""}), "F1\n"); // no break after the last line
    EXPECT_EQ(joinMemoLines({""}), "");
    for (const Lines& lines : {Lines{"H1", "", "H3"}, Lines{"F1"}, Lines{"", "", "x"}, Lines{}}) {
        EXPECT_EQ(splitMemoLines(joinMemoLines(lines)), lines);
    }
    // In a box: the no-break space stays a byte of its own, Shift+Enter is a break too.
    QPlainTextEdit memo;
    setMemoLines(memo, {"H\xA0" "1", "", "x"});
    EXPECT_EQ(memoLines(memo), (Lines{"H\xA0" "1", "", "x"}));
    memo.setPlainText(QStringLiteral("a") + QChar(QChar::LineSeparator) + QStringLiteral("b"));
    EXPECT_EQ(memoLines(memo), (Lines{"a", "b"}));
}

TEST(QtUserInterfaceTest, BusyCursorNestsAndEndsWithTheOutermostScope) {
    QtUserInterface ui;
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    {
        BusyCursor outer(ui);
        {
            BusyCursor inner(ui);
            ASSERT_NE(QApplication::overrideCursor(), nullptr);
            EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        }
        ASSERT_NE(QApplication::overrideCursor(), nullptr);
    }
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    // An unmatched end does not take away a cursor someone else set.
    ui.setBusy(false);
    QApplication::setOverrideCursor(Qt::CrossCursor);
    ui.setBusy(false);
    EXPECT_NE(QApplication::overrideCursor(), nullptr);
    QApplication::restoreOverrideCursor();
}

TEST(QtUserInterfaceTest, FilterListsBothCasesWhereNamesAreCaseSensitive) {
    const FileDialogRequest request{"TAB separated Text Files", "*.TXT", "TXT", "."};
#ifdef Q_OS_WIN
    EXPECT_EQ(fileDialogFilter(request), QStringLiteral("TAB separated Text Files (*.TXT)"));
#else
    EXPECT_EQ(fileDialogFilter(request), QStringLiteral("TAB separated Text Files (*.TXT *.txt)"));
    EXPECT_EQ(fileDialogFilter({"Bitmaps", "*.bmp", "bmp", ""}), QStringLiteral("Bitmaps (*.bmp)"));
    // Further filters follow the first, which the dialog opens with.
    EXPECT_EQ(fileDialogFilter({"BMP", "*.BMP", "", "", {{"JPEG", "*.JPG *.JPEG"}}}),
              QStringLiteral("BMP (*.BMP *.bmp);;JPEG (*.JPG *.JPEG *.jpg *.jpeg)"));
#endif
}

} // namespace
