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
