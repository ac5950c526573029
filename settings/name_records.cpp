#include "name_records.h"

#include "link/message_buffer.h"
#include "scale_settings.h"

void encodeClerkNameRecord(MessageBuffer& buffer, const ClerkNameRecord& record) {
    buffer.putU8(record.index);
    buffer.putText(record.name, kClerkNameWidth);
}

void encodePrintLineRecord(MessageBuffer& buffer, const PrintLineRecord& record) {
    buffer.putU8(record.line);
    buffer.putText(record.text, kPrintLineWidth);
}

void encodeDepartmentNameRecord(MessageBuffer& buffer, const DepartmentNameRecord& record) {
    buffer.putU8(record.index);
    buffer.putText(record.name, kDepartmentNameWidth);
}

std::string decodeClerkName(MessageBuffer& buffer) { return buffer.getText(kClerkNameWidth); }
std::string decodePrintLine(MessageBuffer& buffer) { return buffer.getText(kPrintLineWidth); }
std::string decodeDepartmentName(MessageBuffer& buffer) { return buffer.getText(kDepartmentNameWidth); }

std::string_view lineOrEmpty(const std::vector<std::string>& lines, int number) {
    if (number < 1 || static_cast<std::size_t>(number) > lines.size()) {
        return {};
    }
    return lines[static_cast<std::size_t>(number - 1)];
}

std::vector<std::string> splitMemoLines(std::string_view text) {
    std::vector<std::string> lines;
    std::string current;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
                ++i;
            }
            lines.push_back(std::move(current));
            current.clear();
        } else {
            current.push_back(c);
        }
    }
    // The piece after the last break counts only when it holds something.
    if (!current.empty()) {
        lines.push_back(std::move(current));
    }
    return lines;
}

std::string joinMemoLines(const std::vector<std::string>& lines) {
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) {
            text.push_back('\n');
        }
        text += lines[i];
    }
    // A last line that is empty needs the break before it and one after it,
    // or it would be the final empty piece that splitting drops.
    if (!lines.empty() && lines.back().empty()) {
        text.push_back('\n');
    }
    return text;
}
