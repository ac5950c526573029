#include "state_file.h"

#include <cstdint>
#include <limits>
#include <optional>

namespace {

using namespace state_file;

constexpr std::string_view kLineEnd = "\r\n";

// Any number with more digits than this is far beyond every limit the reader
// checks, so it saturates here instead of overflowing.
constexpr int kMaxNumberDigits = 12;

class LineReader {
  public:
    explicit LineReader(std::string_view bytes) : rest_(bytes) {}

    // The next line without its line end (LF, or CR LF), nullopt at the end.
    std::optional<std::string_view> next() {
        if (rest_.empty()) {
            return std::nullopt;
        }
        const auto lf = rest_.find('\n');
        std::string_view line = rest_.substr(0, lf);
        rest_ = lf == std::string_view::npos ? std::string_view{} : rest_.substr(lf + 1);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        return line;
    }

    // A number at the start of the next line: optional blanks, an optional
    // sign, at least one digit. Whatever follows on the line is skipped.
    std::optional<std::int64_t> nextNumber() {
        const auto line = next();
        if (!line) {
            return std::nullopt;
        }
        std::size_t i = 0;
        while (i < line->size() && ((*line)[i] == ' ' || (*line)[i] == '\t')) {
            ++i;
        }
        bool negative = false;
        if (i < line->size() && ((*line)[i] == '-' || (*line)[i] == '+')) {
            negative = (*line)[i] == '-';
            ++i;
        }
        std::int64_t value = 0;
        int digits = 0;
        while (i < line->size() && (*line)[i] >= '0' && (*line)[i] <= '9') {
            if (digits < kMaxNumberDigits) {
                value = value * 10 + ((*line)[i] - '0');
            }
            ++digits;
            ++i;
        }
        if (digits == 0) {
            return std::nullopt;
        }
        return negative ? -value : value;
    }

  private:
    std::string_view rest_;
};

void putLine(std::string& out, std::string_view text) {
    out.append(text);
    out.append(kLineEnd);
}

void putNumber(std::string& out, std::int64_t value) {
    putLine(out, std::to_string(value));
}

enum class Next { Entry, NextSection, Stop };

// Reads the number that opens an entry and says what it means. In the text
// box section 60002 ends the file as well, since that section is the last.
Next readEntryNumber(LineReader& lines, int& number) {
    const auto k = lines.nextNumber();
    if (!k || *k == kEndOfFile || *k < 0) {
        return Next::Stop;
    }
    if (*k == kEndOfSection) {
        return Next::NextSection;
    }
    if (*k >= kComponentCount) {
        return Next::Stop;
    }
    number = static_cast<int>(*k);
    return Next::Entry;
}

// Edit boxes and masked boxes: a number and one line of text.
bool readTextSection(LineReader& lines, std::map<int, std::string>& into) {
    for (;;) {
        int number = 0;
        switch (readEntryNumber(lines, number)) {
        case Next::Stop:
            return false;
        case Next::NextSection:
            return true;
        case Next::Entry:
            break;
        }
        const auto text = lines.next();
        if (!text) {
            return false;
        }
        into[number] = std::string(*text);
    }
}

bool readComboSection(LineReader& lines, std::map<int, SavedComboState>& into) {
    for (;;) {
        int number = 0;
        switch (readEntryNumber(lines, number)) {
        case Next::Stop:
            return false;
        case Next::NextSection:
            return true;
        case Next::Entry:
            break;
        }
        const auto position = lines.nextNumber();
        if (!position) {
            return false;
        }
        const auto text = lines.next();
        if (!text) {
            return false;
        }
        // A negative position selects nothing, as -1 does; one beyond the
        // list is left for the window to refuse.
        const bool selects = *position >= 0 && *position <= std::numeric_limits<int>::max();
        into[number] = SavedComboState{selects ? static_cast<int>(*position) : -1, std::string(*text)};
    }
}

void readMemoSection(LineReader& lines, std::map<int, std::vector<std::string>>& into) {
    for (;;) {
        int number = 0;
        if (readEntryNumber(lines, number) != Next::Entry) {
            return;
        }
        const auto count = lines.nextNumber();
        if (!count || *count < 0) {
            return;
        }
        // The count comes from the file: grow with the lines actually read,
        // never reserve for the claim.
        std::vector<std::string> memo;
        for (std::int64_t i = 0; i < *count; ++i) {
            const auto line = lines.next();
            if (!line) {
                return;
            }
            memo.emplace_back(*line);
        }
        into[number] = std::move(memo);
    }
}

} // namespace

std::string writeStateFile(const SavedState& state, std::string_view caption) {
    std::string out;
    putLine(out, std::string(caption) + std::string(kCaptionSuffix));
    putNumber(out, kComponentCount);
    for (const auto& [number, text] : state.edits) {
        putNumber(out, number);
        putLine(out, text);
    }
    putNumber(out, kEndOfSection);
    for (const auto& [number, combo] : state.combos) {
        putNumber(out, number);
        putNumber(out, combo.position);
        putLine(out, combo.text);
    }
    putNumber(out, kEndOfSection);
    for (const auto& [number, text] : state.masked) {
        putNumber(out, number);
        putLine(out, text);
    }
    putNumber(out, kEndOfSection);
    for (const auto& [number, lines] : state.memos) {
        putNumber(out, number);
        putNumber(out, static_cast<std::int64_t>(lines.size()));
        for (const auto& line : lines) {
            putLine(out, line);
        }
    }
    putNumber(out, kEndOfSection);
    putNumber(out, kEndOfFile);
    return out;
}

SavedState readStateFile(std::string_view bytes, std::string_view caption) {
    SavedState state;
    LineReader lines(bytes);
    const auto first = lines.next();
    if (!first || first->size() != caption.size() + kCaptionSuffix.size() ||
        first->substr(0, caption.size()) != caption || first->substr(caption.size()) != kCaptionSuffix) {
        return state;
    }
    const auto count = lines.nextNumber();
    if (!count || *count != kComponentCount) {
        return state;
    }
    if (readTextSection(lines, state.edits) && readComboSection(lines, state.combos) &&
        readTextSection(lines, state.masked)) {
        readMemoSection(lines, state.memos);
    }
    return state;
}

std::string stateFileNameFor(std::string_view executablePath) {
    constexpr std::string_view kExe = ".exe";
    std::string_view stem = executablePath;
    if (stem.size() >= kExe.size()) {
        const auto tail = stem.substr(stem.size() - kExe.size());
        bool isExe = true;
        for (std::size_t i = 0; i < kExe.size(); ++i) {
            const char c = tail[i];
            const char lower = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
            isExe = isExe && lower == kExe[i];
        }
        if (isExe) {
            stem.remove_suffix(kExe.size());
        }
    }
    return std::string(stem) + ".CFG";
}
