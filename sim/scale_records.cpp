#include "sim/scale_records.h"

#include <algorithm>

namespace sim {

std::uint32_t getBigEndian(std::span<const std::uint8_t> bytes, std::size_t offset, int width) {
    std::uint32_t value = 0;
    for (int i = 0; i < width; ++i) {
        std::size_t at = offset + static_cast<std::size_t>(i);
        value = (value << 8) | (at < bytes.size() ? bytes[at] : 0u);
    }
    return value;
}

void putBigEndian(std::span<std::uint8_t> bytes, std::size_t offset, int width, std::uint32_t value) {
    for (int i = width - 1; i >= 0; --i) {
        std::size_t at = offset + static_cast<std::size_t>(i);
        if (at < bytes.size()) {
            bytes[at] = static_cast<std::uint8_t>(value & 0xFFu);
        }
        value >>= 8;
    }
}

std::string readFixedText(std::span<const std::uint8_t> bytes, std::size_t offset, int width) {
    std::string text;
    for (int i = 0; i < width; ++i) {
        std::size_t at = offset + static_cast<std::size_t>(i);
        if (at >= bytes.size() || bytes[at] == 0) {
            break;
        }
        text.push_back(static_cast<char>(bytes[at]));
    }
    return text;
}

void appendFixedText(std::vector<std::uint8_t>& out, const std::string& text, int width) {
    const auto size = static_cast<std::size_t>(width);
    for (std::size_t i = 0; i < size; ++i) {
        out.push_back(i < text.size() ? static_cast<std::uint8_t>(text[i]) : 0);
    }
    out.push_back(0);
}

PluBytes encodePlu(const PluFields& plu) {
    PluBytes bytes{};
    putBigEndian(bytes, kPluPrice, 4, static_cast<std::uint32_t>(plu.price));
    putBigEndian(bytes, kPluCode, 4, static_cast<std::uint32_t>(plu.code));
    bytes[kPluDepartment] = plu.department;
    bytes[kPluTax] = plu.tax;
    bytes[kPluFlags] = plu.flags;
    std::vector<std::uint8_t> name;
    appendFixedText(name, plu.name, kPluNameWidth);
    std::copy(name.begin(), name.end(), bytes.begin() + kPluName);
    putBigEndian(bytes, kPluValid, 2, static_cast<std::uint16_t>(plu.valid));
    putBigEndian(bytes, kPluQuantity, 4, static_cast<std::uint32_t>(plu.quantity));
    putBigEndian(bytes, kPluTotal, 4, static_cast<std::uint32_t>(plu.total));
    putBigEndian(bytes, kPluSaleCount, 2, static_cast<std::uint16_t>(plu.count));
    return bytes;
}

PluFields decodePlu(const PluBytes& bytes) {
    PluFields plu;
    plu.price = static_cast<std::int32_t>(getBigEndian(bytes, kPluPrice, 4));
    plu.code = static_cast<std::int32_t>(getBigEndian(bytes, kPluCode, 4));
    plu.department = bytes[kPluDepartment];
    plu.tax = bytes[kPluTax];
    plu.flags = bytes[kPluFlags];
    plu.name = readFixedText(bytes, kPluName, kPluNameWidth);
    plu.valid = static_cast<std::int16_t>(getBigEndian(bytes, kPluValid, 2));
    plu.quantity = static_cast<std::int32_t>(getBigEndian(bytes, kPluQuantity, 4));
    plu.total = static_cast<std::int32_t>(getBigEndian(bytes, kPluTotal, 4));
    plu.count = static_cast<std::int16_t>(getBigEndian(bytes, kPluSaleCount, 2));
    return plu;
}

void recordSale(PluBytes& record, std::int32_t quantity) {
    PluFields plu = decodePlu(record);
    const std::int64_t perUnit = (plu.flags & 0x01) != 0 ? 1 : 1000; // NW: pieces; else thousandths
    // The counters wrap as the scale's 32- and 16-bit fields do.
    plu.quantity = static_cast<std::int32_t>(std::int64_t{plu.quantity} + quantity);
    plu.total =
        static_cast<std::int32_t>(std::int64_t{plu.total} + std::int64_t{plu.price} * quantity / perUnit);
    plu.count = static_cast<std::int16_t>(plu.count + 1);
    const PluBytes counted = encodePlu(plu);
    // Only the running figures change; the rest keeps its bytes.
    std::copy(counted.begin() + kPluQuantity, counted.end(), record.begin() + kPluQuantity);
}

PluBytes absentPlu() {
    return encodePlu(PluFields{});
}

bool isPresent(const PluBytes& bytes) {
    return static_cast<std::int32_t>(getBigEndian(bytes, kPluPrice, 4)) >= 0;
}

} // namespace sim
