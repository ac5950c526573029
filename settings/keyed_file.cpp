#include "keyed_file.h"

#include <algorithm>
#include <set>

namespace {

bool isNameCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-';
}

std::string_view trimmed(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && blank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

} // namespace

std::variant<std::vector<KeyedEntry>, KeyedFileError> splitKeyedFile(std::string_view bytes,
                                                                     const OtherLine& otherLine) {
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    if (bytes.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
        bytes.remove_prefix(kByteOrderMark.size());
    }
    std::vector<KeyedEntry> entries;
    std::set<std::string, std::less<>> names;
    int number = 0;
    while (!bytes.empty()) {
        ++number;
        if (static_cast<std::size_t>(number) > kMaxKeyedLines) {
            return KeyedFileError{number, "the file has too many lines"};
        }
        const std::size_t end = bytes.find_first_of("\r\n");
        std::string_view line = bytes.substr(0, end);
        if (end == std::string_view::npos) {
            bytes = {};
        } else {
            const bool crLf = bytes[end] == '\r' && end + 1 < bytes.size() && bytes[end + 1] == '\n';
            bytes.remove_prefix(end + (crLf ? 2 : 1));
        }
        if (line.size() > kMaxKeyedLineLength) {
            return KeyedFileError{number, "the line is too long"};
        }
        line = trimmed(line);
        if (line.empty() || line.front() == '#' || line.front() == ';') {
            continue;
        }
        const std::size_t equals = line.find('=');
        const std::string_view name = trimmed(line.substr(0, equals));
        if (equals == std::string_view::npos || name.empty() ||
            !std::all_of(name.begin(), name.end(), isNameCharacter)) {
            if (otherLine && otherLine(line, number)) {
                continue;
            }
            return KeyedFileError{number, "a line must read: name = value"};
        }
        if (!names.emplace(name).second) {
            return KeyedFileError{number, "'" + std::string(name) + "' is given twice"};
        }
        entries.push_back({number, std::string(name), std::string(trimmed(line.substr(equals + 1)))});
    }
    return entries;
}

std::string keyedLine(std::string_view name, std::string_view value) {
    std::string line(name);
    line += " = ";
    line += value;
    line += kKeyedLineEnd;
    return line;
}
