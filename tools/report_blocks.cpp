#include "report_blocks.h"

namespace {

std::uint16_t u16At(std::span<const std::uint8_t> bytes, std::size_t offset) {
    return static_cast<std::uint16_t>((bytes[offset] << 8) | bytes[offset + 1]);
}

// Money travels as two's-complement bits.
std::int32_t s32At(std::span<const std::uint8_t> bytes, std::size_t offset) {
    const std::uint32_t bits = (std::uint32_t{bytes[offset]} << 24) |
                               (std::uint32_t{bytes[offset + 1]} << 16) |
                               (std::uint32_t{bytes[offset + 2]} << 8) | std::uint32_t{bytes[offset + 3]};
    return static_cast<std::int32_t>(bits);
}

} // namespace

GeneralReportBlock decodeGeneralReportBlock(std::span<const std::uint8_t, kGeneralReportSize> bytes) {
    GeneralReportBlock block;
    block.documentNumber = s32At(bytes, 0);
    block.grandTotal = s32At(bytes, 4);
    for (std::size_t t = 0; t < block.taxTotals.size(); ++t) {
        block.taxTotals[t] = s32At(bytes, 8 + 4 * t);
    }
    for (std::size_t h = 0; h < block.hourTotals.size(); ++h) {
        block.hourTotals[h] = s32At(bytes, 44 + 4 * h);
        block.hourCounts[h] = u16At(bytes, 140 + 2 * h);
    }
    // Bytes 188..191 are not part of the report.
    return block;
}

ClerkReportBlock decodeClerkReportBlock(std::span<const std::uint8_t, kClerkReportSize> bytes) {
    ClerkReportBlock block;
    block.total = s32At(bytes, 0);
    block.operations = u16At(bytes, 4);
    block.cancelTotal = s32At(bytes, 6);
    block.cancelCount = u16At(bytes, 10);
    block.clients = u16At(bytes, 12);
    block.cash = s32At(bytes, 14);
    block.credit = s32At(bytes, 18);
    block.discountCount = u16At(bytes, 22);
    block.discountTotal = s32At(bytes, 24);
    // Bytes 28..79 are not part of the report.
    return block;
}
