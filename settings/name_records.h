#pragma once
// The per-item texts of the settings: clerk names (commands 37 and 6), the
// receipt's header and footer lines (33 and 10) and department names (38 and
// 9). Each write request is an index byte and a fixed text; each read request
// is the index byte alone and its reply is the text.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class MessageBuffer;

// Clerk index 0..3, then the name, text width 16: 18 bytes.
struct ClerkNameRecord {
    std::uint8_t index = 0;
    std::string name;
};
// Line number 1..8 (1..6 header, 7 and 8 footer), then the line, text width 32: 34 bytes.
struct PrintLineRecord {
    std::uint8_t line = 1;
    std::string text;
};
// Department index 0..39, then the name, text width 16: 18 bytes.
struct DepartmentNameRecord {
    std::uint8_t index = 0;
    std::string name;
};

void encodeClerkNameRecord(MessageBuffer& buffer, const ClerkNameRecord& record);
void encodePrintLineRecord(MessageBuffer& buffer, const PrintLineRecord& record);
void encodeDepartmentNameRecord(MessageBuffer& buffer, const DepartmentNameRecord& record);

// The replies of the reads: the text alone.
std::string decodeClerkName(MessageBuffer& buffer);
std::string decodePrintLine(MessageBuffer& buffer);
std::string decodeDepartmentName(MessageBuffer& buffer);

// Line `number` (1-based) of a box's lines; a line the box does not have is empty.
std::string_view lineOrEmpty(const std::vector<std::string>& lines, int number);
