#pragma once
// Record layouts as the scale keeps them: big-endian numbers and fixed texts
// (a text of width n takes n + 1 bytes, zero-padded, always zero-terminated).

#include "sim/simulated_scale.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace sim {

// Offsets inside a stored PLU record (the command 4 reply layout).
inline constexpr int kPluPrice = 0; // i32, hundredths; negative = absent
inline constexpr int kPluCode = 4;  // i32
inline constexpr int kPluDepartment = 8;
inline constexpr int kPluTax = 9;
inline constexpr int kPluFlags = 10; // bit 0 NW, bit 1 FIX, bit 2 BAR
inline constexpr int kPluName = 11;  // text of width 30 (31 bytes)
inline constexpr int kPluNameWidth = 30;
inline constexpr int kPluValid = 42;     // i16
inline constexpr int kPluQuantity = 44;  // i32, thousandths unless NW
inline constexpr int kPluTotal = 48;     // i32, hundredths
inline constexpr int kPluSaleCount = 52; // i16
// Command 35 carries the record up to the running figures.
inline constexpr int kPluWrittenBytes = 44;

// One PLU as plain fields, for seeding and for checking what the scale holds.
struct PluFields {
    std::int32_t price = -1;
    std::int32_t code = 0;
    std::uint8_t department = 0;
    std::uint8_t tax = 0;
    std::uint8_t flags = 0;
    std::string name;
    std::int16_t valid = 0;
    std::int32_t quantity = 0;
    std::int32_t total = 0;
    std::int16_t count = 0;
    bool operator==(const PluFields&) const = default;
};

using PluBytes = std::array<std::uint8_t, kPluRecordSize>;
PluBytes encodePlu(const PluFields& plu);
PluFields decodePlu(const PluBytes& bytes);
// A sale at the counter, as the scale counts it: `quantity` (thousandths of
// the unit weighed, or pieces for a PLU sold by the piece) added to the
// quantity, what it cost added to the total, and one more to the count.
void recordSale(PluBytes& record, std::int32_t quantity);
// The record of an absent PLU: price -1, everything else zero.
PluBytes absentPlu();
bool isPresent(const PluBytes& bytes);

// Big-endian access into a byte span.
std::uint32_t getBigEndian(std::span<const std::uint8_t> bytes, std::size_t offset, int width);
void putBigEndian(std::span<std::uint8_t> bytes, std::size_t offset, int width, std::uint32_t value);

// Fixed texts: reading stops at the first zero byte or after `width` bytes.
std::string readFixedText(std::span<const std::uint8_t> bytes, std::size_t offset, int width);
void appendFixedText(std::vector<std::uint8_t>& out, const std::string& text, int width);

// Report memory blocks, for seeding a sales report field by field.
inline constexpr std::uint16_t kGeneralReportAddress = 0x0800;
inline constexpr int kGeneralReportSize = 192;
inline constexpr std::uint16_t kClerkReportAddress = 0x0900; // clerk n at + 80 × (n − 1)
inline constexpr int kClerkReportSize = 80;

} // namespace sim
