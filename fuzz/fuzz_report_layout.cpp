// The report from arbitrary report memory: the block decoders and the layout
// over any bytes, and the whole report read through the link from replies of
// any length, short ones included.
//
// Input, read front to back: shape byte (bit 0: decimal comma; bit 1: the
// hours, minutes and seconds were zero; bit 2: read through the link), the
// date and time texts (each a length byte, then its bytes), then either the
// five blocks (a short block is filled with zero bytes) or, through the link,
// for each of the five reads a length byte and that many reply data bytes
// after the status byte and the byte the program skips.

#include "fuzz_support.h"
#include "link/frame_exchange.h"
#include "tools/report_layout.h"
#include "tools/report_reader.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace {

// The fewest and most lines of the general part: header, blank, document
// number, total, tax title, blank, hours title, closing blank; then up to a
// line per tax and per hour.
constexpr std::size_t kFewestGeneralLines = 8;
constexpr std::size_t kMostGeneralLines = kFewestGeneralLines + kReportTaxes + kReportHours;
constexpr std::size_t kClerkLines = 11;
constexpr std::size_t kLongestStampText = 32; // bytes of a date or time text

// A money text read back: an optional minus, the units, the separator and
// exactly two digits must give the hundredths it was made from.
void checkMoneyText(std::int32_t hundredths, char decimalSeparator) {
    const std::string text = formatHundredths(hundredths, decimalSeparator);
    FUZZ_CHECK(text.size() >= 4);
    const bool negative = text.front() == '-';
    const std::size_t separator = text.size() - 3;
    FUZZ_CHECK(text[separator] == decimalSeparator);
    std::int64_t value = 0;
    for (std::size_t i = negative ? 1 : 0; i < text.size(); ++i) {
        if (i == separator) {
            continue;
        }
        FUZZ_CHECK(text[i] >= '0' && text[i] <= '9');
        value = value * 10 + (text[i] - '0');
    }
    FUZZ_CHECK((negative ? -value : value) == hundredths);
}

template <std::size_t N> std::array<std::uint8_t, N> blockBytes(InputBytes& input) {
    std::array<std::uint8_t, N> block{};
    const auto bytes = input.bytes(N);
    std::copy(bytes.begin(), bytes.end(), block.begin());
    return block;
}

void checkGeneralLines(const std::vector<std::string>& lines, const ReportStamp& stamp) {
    FUZZ_CHECK(lines.size() >= kFewestGeneralLines && lines.size() <= kMostGeneralLines);
    FUZZ_CHECK(lines.front() == reportHeaderLine(stamp));
    FUZZ_CHECK(lines.back().empty());
}

void layOutBlocks(InputBytes& input, const ReportStamp& stamp, char decimalSeparator) {
    const auto generalBytes = blockBytes<kGeneralReportSize>(input);
    const GeneralReportBlock general = decodeGeneralReportBlock(generalBytes);
    checkGeneralLines(generalReportLines(general, stamp, decimalSeparator), stamp);
    checkMoneyText(general.grandTotal, decimalSeparator);
    for (const std::int32_t total : general.taxTotals) {
        checkMoneyText(total, decimalSeparator);
    }
    for (const std::int32_t total : general.hourTotals) {
        checkMoneyText(total, decimalSeparator);
    }
    for (int clerk = 1; clerk <= kReportClerks; ++clerk) {
        const auto clerkBytes = blockBytes<kClerkReportSize>(input);
        const ClerkReportBlock block = decodeClerkReportBlock(clerkBytes);
        const auto lines = clerkReportLines(block, clerk, decimalSeparator);
        FUZZ_CHECK(lines.size() == kClerkLines && lines.back().empty());
        for (const std::int32_t money :
             {block.total, block.cancelTotal, block.cash, block.credit, block.discountTotal}) {
            checkMoneyText(money, decimalSeparator);
        }
    }
}

void readThroughLink(InputBytes& input, const ReportStamp& stamp, char decimalSeparator) {
    ScriptedScale scale;
    constexpr int kBlocks = 1 + kReportClerks;
    for (int block = 0; block < kBlocks; ++block) {
        const auto length = input.u8();
        std::vector<std::uint8_t> data{0x00, 0x00}; // status byte, skipped byte
        const auto payload = input.bytes(length);
        data.insert(data.end(), payload.begin(), payload.end());
        scale.channel->afterRequest(scaleReply(data));
    }
    std::vector<std::string> lines;
    const bool complete = readReport(scale.link, scale.ui, stamp, decimalSeparator,
                                     [&lines](const std::string& line) { lines.push_back(line); });
    FUZZ_CHECK(scale.channel->count(ScriptedChannel::Event::Kind::Block) <= kBlocks * frame::kMaxAttempts);
    if (complete) {
        FUZZ_CHECK(scale.ui.errors.empty());
        FUZZ_CHECK(lines.size() >= kFewestGeneralLines + kReportClerks * kClerkLines);
        FUZZ_CHECK(lines.front() == reportHeaderLine(stamp));
    } else {
        // A report cut short says so, once.
        FUZZ_CHECK(scale.ui.errors.size() == 1);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    InputBytes input({data, size});
    const auto shape = input.u8();
    const char decimalSeparator = (shape & 0x01) != 0 ? ',' : '.';
    ReportStamp stamp;
    stamp.atMidnight = (shape & 0x02) != 0;
    stamp.shortDate = input.text(kLongestStampText);
    stamp.longTime = input.text(kLongestStampText);
    if ((shape & 0x04) != 0) {
        readThroughLink(input, stamp, decimalSeparator);
    } else {
        layOutBlocks(input, stamp, decimalSeparator);
    }
    return 0;
}
