#pragma once
// The saved state file: the texts of the main window's edit boxes, selectors,
// clock box and header/footer boxes, kept from one run to the next.
//
// Layout, one item a line, each line ended by CR LF, texts as single bytes:
//   caption + " !DO NOT EDIT!"
//   136                                   (the window's component count)
//   edit boxes:   number, text            ... 60002
//   combo boxes:  number, position, text  ... 60002
//   masked boxes: number, text            ... 60002
//   text boxes:   number, n, n lines      ... 60002
//   60001
// A control is named in the file by its fixed component number. Plain C++.

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace state_file {

// Numbers at or above this never name a control: the window has 136 components.
inline constexpr int kComponentCount = 136;
inline constexpr int kEndOfSection = 60002;
inline constexpr int kEndOfFile = 60001;
inline constexpr std::string_view kCaptionSuffix = " !DO NOT EDIT!";

} // namespace state_file

struct SavedComboState {
    int position = -1; // selected item, -1 when none
    std::string text;
    bool operator==(const SavedComboState&) const = default;
};

// What the file holds, by component number. Every number is below 136.
struct SavedState {
    std::map<int, std::string> edits;
    std::map<int, SavedComboState> combos;
    std::map<int, std::string> masked;
    std::map<int, std::vector<std::string>> memos;
    bool operator==(const SavedState&) const = default;
};

// The whole file, bytes as they go to disk.
std::string writeStateFile(const SavedState& state, std::string_view caption);

// Reads what a file holds, as far as it can be trusted: the reading stops at
// the first thing out of place and keeps what it read before. Nothing at all
// is read from a file whose caption line or count line differs. An entry cut
// off by the end of the file is not taken.
SavedState readStateFile(std::string_view bytes, std::string_view caption);

// The file's name for an executable: a trailing ".exe" (any case) becomes
// ".CFG", any other name gets ".CFG" appended.
std::string stateFileNameFor(std::string_view executablePath);
