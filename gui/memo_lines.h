#pragma once
// The lines of a multi-line text box (the receipt's header and footer boxes),
// as the page sends them and the saved state file keeps them: the lines as
// entered, each ended by a line break, the last one also by the end of the
// text. So "A\n\nB" is three lines, "A\n" one line and "" none. Filling a box
// puts each line on a line of its own with no line break after the last; an
// empty last line then shows as the empty line after the last break, and
// reads back as no line, which the scale receives alike (a line the box does
// not have goes out empty).

#include <string>
#include <string_view>
#include <vector>

class QPlainTextEdit;

// A box's text, split at its line breaks (CR LF, LF or CR); a final line
// break ends the last line and starts none.
std::vector<std::string> splitMemoLines(std::string_view text);
// The box's text for these lines: joined by LF, nothing after the last.
std::string joinMemoLines(const std::vector<std::string>& lines);

// The box's lines as single-byte texts. A no-break space (byte A0) stays as
// it is, where the box's plain text would make it a blank.
std::vector<std::string> memoLines(const QPlainTextEdit& memo);
// As the scale's lines fill a box: no line break after the last line.
void setMemoLines(QPlainTextEdit& memo, const std::vector<std::string>& lines);
// As the saved state gives them back: every line ended by a break when the
// last one is empty, so the box reads back exactly these lines.
void restoreMemoLines(QPlainTextEdit& memo, const std::vector<std::string>& lines);
