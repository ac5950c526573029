#pragma once
// Plain text files of named values, one a line, that a person reads and edits:
//
//   # a comment (so is a line starting with ;); blank lines are ignored
//   name = value
//
// Names are letters, digits and '-'; blanks around the '=' and at the line's
// ends do not count. Lines end with CR LF, LF or CR; a UTF-8 byte order mark
// at the start is skipped. A name given twice is a mistake, not an override.

#include <functional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

// Longest line and most lines a reader takes before it calls the file broken.
inline constexpr std::size_t kMaxKeyedLineLength = 4096;
inline constexpr std::size_t kMaxKeyedLines = 10000;

struct KeyedEntry {
    int line = 0; // 1-based, for messages
    std::string name;
    std::string value;
};

struct KeyedFileError {
    int line = 0; // 0: the file as a whole
    std::string reason;
};

// A line that is not "name = value" goes to `otherLine` first, when given; it
// returns true when the line is one of its own.
using OtherLine = std::function<bool(std::string_view line, int number)>;
std::variant<std::vector<KeyedEntry>, KeyedFileError> splitKeyedFile(std::string_view bytes,
                                                                     const OtherLine& otherLine = {});

// "name = value" and the line end the writers use.
inline constexpr std::string_view kKeyedLineEnd = "\r\n";
std::string keyedLine(std::string_view name, std::string_view value);
