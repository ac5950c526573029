#pragma once
// The lines of a multi-line text box (the receipt's header and footer boxes),
// as the page sends them and the saved state file keeps them. A line break
// separates two lines, so an empty line, the last one included, is a line of
// its own; an empty box has no lines. Filling a box puts each line on a line
// of its own with no line break after the last, and reading it gives the same
// lines back (one empty line alone reads back as an empty box).

#include <string>
#include <string_view>
#include <vector>

class QPlainTextEdit;

// A box's text, split at its line breaks (CR LF, LF or CR).
std::vector<std::string> splitMemoLines(std::string_view text);
// The box's text for these lines: joined by LF, nothing after the last.
std::string joinMemoLines(const std::vector<std::string>& lines);

// The box's lines as single-byte texts. A no-break space (byte A0) stays as
// it is, where the box's plain text would make it a blank.
std::vector<std::string> memoLines(const QPlainTextEdit& memo);
void setMemoLines(QPlainTextEdit& memo, const std::vector<std::string>& lines);
