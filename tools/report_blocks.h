#pragma once
// The two blocks of the scale's report memory and their decoders.
//
// Money fields are signed counts of hundredths; counts are unsigned. All
// multi-byte fields are big-endian and packed without alignment.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

// Where the blocks live in the report memory and how long they are.
inline constexpr std::uint16_t kGeneralReportAddress = 0x0800;
inline constexpr std::size_t kGeneralReportSize = 192;
inline constexpr std::uint16_t kClerkReportAddress = 0x0900; // clerk 1; each next clerk 80 bytes on
inline constexpr std::size_t kClerkReportSize = 80;
inline constexpr int kReportClerks = 4;
inline constexpr int kReportTaxes = 9;
inline constexpr int kReportHours = 24;

struct GeneralReportBlock {
    std::int32_t documentNumber = 0;
    std::int32_t grandTotal = 0;                          // hundredths
    std::array<std::int32_t, kReportTaxes> taxTotals{};   // tax 1..9, hundredths
    std::array<std::int32_t, kReportHours> hourTotals{};  // hour 0..23, hundredths
    std::array<std::uint16_t, kReportHours> hourCounts{}; // hour 0..23
};

struct ClerkReportBlock {
    std::int32_t total = 0; // hundredths
    std::uint16_t operations = 0;
    std::int32_t cancelTotal = 0; // hundredths
    std::uint16_t cancelCount = 0;
    std::uint16_t clients = 0;
    std::int32_t cash = 0;   // hundredths
    std::int32_t credit = 0; // hundredths
    std::uint16_t discountCount = 0;
    std::int32_t discountTotal = 0; // hundredths
};

// Start address of clerk n's block, n = 1..4.
constexpr std::uint16_t clerkReportAddress(int clerk) {
    return static_cast<std::uint16_t>(kClerkReportAddress +
                                      kClerkReportSize * static_cast<std::size_t>(clerk - 1));
}

// The block must hold at least kGeneralReportSize / kClerkReportSize bytes.
GeneralReportBlock decodeGeneralReportBlock(std::span<const std::uint8_t, kGeneralReportSize> bytes);
ClerkReportBlock decodeClerkReportBlock(std::span<const std::uint8_t, kClerkReportSize> bytes);
