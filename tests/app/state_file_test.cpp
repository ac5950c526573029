// The saved state file on bytes: what the writer puts on disk and every rule
// by which the reader trusts, skips or stops.

#include "app/state_file.h"

#include <gtest/gtest.h>
#include <string>

namespace {

const std::string kCaption = "ZEB TALLIVOS UTILITY MXV1.62";
const std::string kHeader = kCaption + " !DO NOT EDIT!\r\n136\r\n";

// Lines joined with CR LF, each line ended by it.
std::string lines(std::initializer_list<std::string> items) {
    std::string out;
    for (const auto& item : items) {
        out += item + "\r\n";
    }
    return out;
}

SavedState typicalState() {
    SavedState s;
    s.edits = {{56, "a44W5U5"}, {57, "a44W5P5"}, {81, "\x80"}, {127, "0"}};
    s.combos = {{52, {0, "1200"}}, {125, {3, "9600"}}, {126, {-1, "/dev/pts/7"}}};
    s.masked = {{73, "08-12-26 00:43:42"}};
    s.memos = {{51, {"  SHOP", "", "street 1", "\xE9t\xE9", "line 5", ""}}, {67, {}}};
    return s;
}

TEST(StateFileWriter, LaysOutSectionsInAscendingOrderWithCrLf) {
    SavedState s;
    s.edits = {{127, "0"}, {56, "a44W5U5"}};
    s.combos = {{126, {-1, "ttyUSB0"}}};
    s.masked = {{73, "08-12-26 00:43:42"}};
    s.memos = {{67, {"bye"}}, {51, {"one", ""}}};
    const std::string expected = kHeader + lines({"56",      "a44W5U5",
                                                  "127",     "0",
                                                  "60002", // edit boxes
                                                  "126",     "-1",
                                                  "ttyUSB0", "60002", // combo boxes
                                                  "73",      "08-12-26 00:43:42",
                                                  "60002", // clock box
                                                  "51",      "2",
                                                  "one",     "",
                                                  "67",      "1",
                                                  "bye",     "60002", // text boxes
                                                  "60001"});
    EXPECT_EQ(writeStateFile(s, kCaption), expected);
}

TEST(StateFileWriter, EmptyStateStillHasEveryMarker) {
    EXPECT_EQ(writeStateFile({}, kCaption), kHeader + lines({"60002", "60002", "60002", "60002", "60001"}));
}

TEST(StateFileRoundTrip, BringsBackEveryKindOfEntry) {
    // Six header lines with empty ones, an emptied footer box, a typed port
    // text with no item selected and the currency byte 0x80 among them.
    const SavedState s = typicalState();
    EXPECT_EQ(readStateFile(writeStateFile(s, kCaption), kCaption), s);
}

TEST(StateFileRoundTrip, KeepsEveryByteValueOfATextExceptLineBreaks) {
    std::string all;
    for (int b = 0; b < 256; ++b) {
        if (b != '\r' && b != '\n') {
            all.push_back(static_cast<char>(b));
        }
    }
    SavedState s;
    s.edits = {{56, all}};
    s.memos = {{51, {all, all}}};
    EXPECT_EQ(readStateFile(writeStateFile(s, kCaption), kCaption), s);
}

TEST(StateFileReader, IgnoresAFileOfAnotherWindow) {
    const std::string body = lines({"56", "x", "60002", "60002", "60002", "60002", "60001"});
    // Missing leading blank, another caption, another count, nothing at all.
    EXPECT_EQ(readStateFile(kCaption + "!DO NOT EDIT!\r\n136\r\n" + body, kCaption), SavedState{});
    EXPECT_EQ(readStateFile("ZEB TALLIVOS UTILITY MXV1.61 !DO NOT EDIT!\r\n136\r\n" + body, kCaption),
              SavedState{});
    EXPECT_EQ(readStateFile(kCaption + " !DO NOT EDIT!\r\n135\r\n" + body, kCaption), SavedState{});
    EXPECT_EQ(readStateFile(kCaption + " !DO NOT EDIT! \r\n136\r\n" + body, kCaption), SavedState{});
    EXPECT_EQ(readStateFile("", kCaption), SavedState{});
    EXPECT_EQ(readStateFile(kCaption + " !DO NOT EDIT!\r\n", kCaption), SavedState{});
    // The same body under the right header is read.
    EXPECT_EQ(readStateFile(kHeader + body, kCaption).edits.at(56), "x");
}

TEST(StateFileReader, EndOfFileMarkerInsideASectionKeepsWhatCameBefore) {
    const auto s = readStateFile(
        kHeader + lines({"56", "a", "60002", "125", "3", "9600", "60001", "126", "0", "COM1", "60002"}),
        kCaption);
    EXPECT_EQ(s.edits.at(56), "a");
    EXPECT_EQ(s.combos.at(125), (SavedComboState{3, "9600"}));
    EXPECT_FALSE(s.combos.contains(126));
    EXPECT_TRUE(s.masked.empty());
}

TEST(StateFileReader, StopsAtNumbersNoControlCanHave) {
    for (const std::string bad :
         {"136", "59999", "60003", "-1", "-60002", "x56", "", "99999999999999999999"}) {
        SCOPED_TRACE("number line: '" + bad + "'");
        const auto s = readStateFile(kHeader + lines({"56", "a", bad, "junk", "57", "b", "60002"}), kCaption);
        EXPECT_EQ(s.edits.at(56), "a");
        EXPECT_FALSE(s.edits.contains(57));
    }
}

TEST(StateFileReader, ReadsANumberFromTheStartOfItsLine) {
    // Blanks before, a sign, anything after the digits on the same line.
    const auto s =
        readStateFile(kHeader + lines({" 56 (Edit1)", "a", "+57", "b", "60002 end", "125", "3 nine", "9600",
                                       "60002", "60002", "51", "1 line", "x", "60002"}),
                      kCaption);
    EXPECT_EQ(s.edits.at(56), "a");
    EXPECT_EQ(s.edits.at(57), "b");
    EXPECT_EQ(s.combos.at(125), (SavedComboState{3, "9600"}));
    EXPECT_EQ(s.memos.at(51), std::vector<std::string>{"x"});
}

TEST(StateFileReader, SkipsUnknownNumbersWithTheirValueLines) {
    // Number 5 names no edit box; its value "60001" is a text, not the marker.
    const auto s = readStateFile(
        kHeader + lines({"5", "60001", "56", "a", "60002", "60002", "60002", "60002", "60001"}), kCaption);
    EXPECT_EQ(s.edits.at(56), "a");
}

TEST(StateFileReader, ComboPositionMustBeANumber) {
    const auto s = readStateFile(
        kHeader + lines({"60002", "125", "3", "9600", "126", "first", "COM1", "60002"}), kCaption);
    EXPECT_TRUE(s.combos.contains(125));
    EXPECT_FALSE(s.combos.contains(126));
    const auto negative = readStateFile(kHeader + lines({"60002", "126", "-7", "COM9", "60002"}), kCaption);
    EXPECT_EQ(negative.combos.at(126), (SavedComboState{-1, "COM9"}));
}

TEST(StateFileReader, TextBoxLineCounts) {
    const std::string before = kHeader + lines({"60002", "60002", "60002"});
    // A negative count or a count that is no number stops the reading.
    auto s = readStateFile(before + lines({"51", "1", "a", "67", "-1", "x", "60002"}), kCaption);
    EXPECT_EQ(s.memos.at(51), std::vector<std::string>{"a"});
    EXPECT_FALSE(s.memos.contains(67));
    s = readStateFile(before + lines({"51", "many", "a", "60002"}), kCaption);
    EXPECT_TRUE(s.memos.empty());
    // A claimed count far beyond the file reserves nothing and takes nothing.
    s = readStateFile(before + lines({"51", "2000000000", "a", "b"}), kCaption);
    EXPECT_TRUE(s.memos.empty());
    // A count of 0 is an emptied box.
    s = readStateFile(before + lines({"51", "0", "60002", "60001"}), kCaption);
    EXPECT_EQ(s.memos.at(51), std::vector<std::string>{});
}

TEST(StateFileReader, TruncatedFileKeepsTheCompleteEntries) {
    const SavedState typical = typicalState();
    const std::string whole = writeStateFile(typical, kCaption);
    // Cut at every byte: never more than the whole, and what is read agrees with it.
    for (std::size_t cut = 0; cut <= whole.size(); ++cut) {
        const auto s = readStateFile(std::string_view(whole).substr(0, cut), kCaption);
        for (const auto& [number, text] : s.edits) {
            const auto& full = typical.edits.at(number);
            EXPECT_EQ(full.substr(0, text.size()), text) << "cut at " << cut;
        }
        for (const auto& [number, memo] : s.memos) {
            EXPECT_EQ(memo.size(), typical.memos.at(number).size()) << "cut at " << cut;
        }
    }
    // Cut right after an edit box's number: that entry is not taken.
    const auto s = readStateFile(kHeader + "56\r\n", kCaption);
    EXPECT_TRUE(s.edits.empty());
}

TEST(StateFileReader, AcceptsLineFeedOnlyLines) {
    const auto s = readStateFile(kCaption + " !DO NOT EDIT!\n136\n56\nabc\n60002\n", kCaption);
    EXPECT_EQ(s.edits.at(56), "abc");
}

TEST(StateFileName, ReplacesAnExeEndingOrAppends) {
    EXPECT_EQ(stateFileNameFor("/opt/zeb/tallivos-utility"), "/opt/zeb/tallivos-utility.CFG");
    EXPECT_EQ(stateFileNameFor("C:\\ZEB\\UTILITY.EXE"), "C:\\ZEB\\UTILITY.CFG");
    EXPECT_EQ(stateFileNameFor("utility.Exe"), "utility.CFG");
    EXPECT_EQ(stateFileNameFor("utility.exe.old"), "utility.exe.old.CFG");
    EXPECT_EQ(stateFileNameFor("/a/b"), "/a/b.CFG");
    EXPECT_EQ(stateFileNameFor(".exe"), ".CFG");
}

} // namespace
