#include "plu_file.h"

#include "file_replace.h"
#include "link/user_interface.h"
#include "plu_checks.h"

#include <array>
#include <fstream>
#include <istream>
#include <optional>

namespace {

constexpr char kCarriageReturn = '\r';
constexpr char kLineFeed = '\n';
constexpr char kEndOfFileMark = 26; // old editors' end-of-text byte
constexpr char kCommentMark = ';';

// Bytes of a stream one at a time, read in blocks.
class ByteSource {
  public:
    explicit ByteSource(std::istream& in) : in_(in) {}

    // The next byte, or nothing at the end of the stream or the end mark.
    std::optional<char> next() {
        if (ended_ || !fill()) {
            return std::nullopt;
        }
        const char byte = buffer_[position_++];
        if (byte == kEndOfFileMark) {
            ended_ = true;
            return std::nullopt;
        }
        return byte;
    }
    // Consumes the next byte only when it is `byte`.
    void skipIf(char byte) {
        if (!ended_ && fill() && buffer_[position_] == byte) {
            ++position_;
        }
    }
    bool atEnd() { return ended_ || !fill() || buffer_[position_] == kEndOfFileMark; }
    bool failed() const { return failed_; }

  private:
    bool fill() {
        if (position_ < length_) {
            return true;
        }
        if (!in_.good()) {
            return false;
        }
        in_.read(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
        length_ = static_cast<std::size_t>(in_.gcount());
        position_ = 0;
        if (in_.bad()) {
            failed_ = true;
        }
        return length_ > 0;
    }

    std::istream& in_;
    std::array<char, 16 * 1024> buffer_{};
    std::size_t position_ = 0;
    std::size_t length_ = 0;
    bool ended_ = false;
    bool failed_ = false;
};

enum class LineRead { Line, TooLong };

// One line, without its end. CR LF, a lone CR and a lone LF all end a line.
LineRead readLine(ByteSource& source, std::string& line) {
    line.clear();
    while (const auto byte = source.next()) {
        if (*byte == kCarriageReturn) {
            source.skipIf(kLineFeed);
            return LineRead::Line;
        }
        if (*byte == kLineFeed) {
            return LineRead::Line;
        }
        if (line.size() == kMaxPluFileLineLength) {
            return LineRead::TooLong;
        }
        line.push_back(*byte);
    }
    return LineRead::Line;
}

bool isCommentLine(std::string_view line) {
    return line.empty() || line.front() == kCommentMark;
}

// The format has no quoting, so a cell byte the reader takes as the end of a
// field, a line or the file would shift or cut every cell after it: a PLU
// name the scale sent with a TAB in it would read back as another PLU with no
// error. Such bytes are written as blanks; the row then reads back whole.
constexpr std::string_view kBytesEndingACell{"\t\r\n\x1a"};

void appendCell(std::string& bytes, std::string_view text) {
    if (text.find_first_of(kBytesEndingACell) == std::string_view::npos) {
        bytes.append(text);
        return;
    }
    for (const char byte : text) {
        bytes.push_back(kBytesEndingACell.find(byte) == std::string_view::npos ? byte : ' ');
    }
}

} // namespace

SplitField splitField(std::string_view line, int n, char separator) {
    std::size_t start = 0;
    for (int field = 1; field < n; ++field) {
        const std::size_t tab = line.find(separator, start);
        if (tab == std::string_view::npos) {
            return {{}, true};
        }
        start = tab + 1;
    }
    const std::size_t end = line.find(separator, start);
    return {line.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start), false};
}

std::string formatPluFile(const PluGrid& grid, std::string_view date, std::string_view time) {
    std::string bytes;
    bytes.reserve(64 * 1024);
    bytes.append("; created: ").append(date).append(" ").append(time).append("\r\n\r\n");
    for (int row = 1; row <= kPluDataRows; ++row) {
        if (!grid.inUse(row)) {
            continue;
        }
        for (const std::string& text : grid.row(row)) {
            appendCell(bytes, text);
            bytes.push_back(kPluFieldSeparator);
        }
        bytes.append("\r\n");
    }
    return bytes;
}

PluFileLoad readPluFile(std::istream& in, PluGrid& grid, char separator, PluFileChecks checks) {
    ByteSource source(in);
    PluFileLoad load;
    std::string line;
    int row = 1;
    int lineNumber = 0;
    const auto inputError = [&] {
        load.result = PluFileResult::InputError;
        load.errorLine = lineNumber;
        return load;
    };
    // Each pass consumes at least one byte, so the file's length bounds the loop.
    while (!source.atEnd()) {
        ++lineNumber;
        if (readLine(source, line) == LineRead::TooLong) {
            return inputError();
        }
        if (source.failed()) {
            load.result = PluFileResult::IoError;
            return load;
        }
        if (isCommentLine(line)) {
            continue;
        }
        if (!PluGrid::isDataRow(row)) {
            return inputError();
        }
        // All ten fields are checked before any is stored: a bad line never
        // leaves a row that mixes two PLUs.
        std::array<std::string_view, kPluFileFields> fields;
        for (int field = 1; field <= kPluFileFields; ++field) {
            const SplitField split = splitField(line, field, kPluFieldSeparator);
            if (split.missing ||
                (checks == PluFileChecks::FileLimits && !acceptsFileField(field, split.text, separator))) {
                return inputError();
            }
            fields[static_cast<std::size_t>(field - 1)] = split.text;
        }
        for (int column = 0; column < kPluFileFields; ++column) {
            grid.setCell(row, column, std::string(fields[static_cast<std::size_t>(column)]));
        }
        ++row;
        ++load.rowsLoaded;
    }
    if (source.failed()) {
        load.result = PluFileResult::IoError;
    }
    return load;
}

PluFileResult savePluFile(const std::filesystem::path& path, const PluGrid& grid, std::string_view date,
                          std::string_view time) {
    return replaceFileContents(path, formatPluFile(grid, date, time)) ? PluFileResult::Ok
                                                                      : PluFileResult::IoError;
}

PluFileLoad loadPluFile(const std::filesystem::path& path, PluGrid& grid, char separator, PluFileChecks checks) {
    // A folder opens like a file here but reads as empty: it is not a table.
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) {
        return {PluFileResult::IoError, 0};
    }
    std::ifstream in(path, std::ios::binary);
    if (!in.is_open()) {
        return {PluFileResult::IoError, 0};
    }
    return readPluFile(in, grid, separator, checks);
}

void reportPluFileResult(UserInterface& ui, PluFileResult result) {
    switch (result) {
    case PluFileResult::Ok:
        return;
    case PluFileResult::IoError:
        ui.showError(std::string(kPluFileIoError), std::string(kPluFileErrorTitle));
        return;
    case PluFileResult::InputError:
        ui.showError(std::string(kPluFileInputError), std::string(kPluFileErrorTitle));
        return;
    }
}
