#include "report_reader.h"

#include "link/commands.h"
#include "link/scale_link.h"
#include "link/user_interface.h"

#include <span>

namespace {

constexpr std::size_t kReplyHeader = 2; // status byte and the byte after it

} // namespace

std::optional<std::vector<std::uint8_t>> readReportBlock(ScaleLink& link, UserInterface& ui,
                                                         std::uint16_t address, std::uint8_t length) {
    MessageBuffer& buffer = link.buffer();
    buffer.clear();
    buffer.putU16(address);
    buffer.putU8(length);
    if (!link.runCommand(cmd::kReadReportBlock)) {
        return std::nullopt;
    }
    if (buffer.responseLength() < kReplyHeader + length) {
        ui.showError("Comunication Error!", "Error!");
        return std::nullopt;
    }
    std::vector<std::uint8_t> block(length);
    for (auto& byte : block) {
        byte = buffer.getU8();
    }
    return block;
}

bool readReport(ScaleLink& link, UserInterface& ui, const ReportStamp& stamp, char decimalSeparator,
                const std::function<void(const std::string&)>& appendLine) {
    const auto general =
        readReportBlock(link, ui, kGeneralReportAddress, static_cast<std::uint8_t>(kGeneralReportSize));
    if (!general) {
        return false;
    }
    const auto generalBytes = std::span<const std::uint8_t>(*general).first<kGeneralReportSize>();
    for (const auto& line :
         generalReportLines(decodeGeneralReportBlock(generalBytes), stamp, decimalSeparator)) {
        appendLine(line);
    }
    for (int clerk = 1; clerk <= kReportClerks; ++clerk) {
        const auto bytes =
            readReportBlock(link, ui, clerkReportAddress(clerk), static_cast<std::uint8_t>(kClerkReportSize));
        if (!bytes) {
            return false;
        }
        const auto clerkBytes = std::span<const std::uint8_t>(*bytes).first<kClerkReportSize>();
        for (const auto& line :
             clerkReportLines(decodeClerkReportBlock(clerkBytes), clerk, decimalSeparator)) {
            appendLine(line);
        }
    }
    return true;
}
