#include "sim/scale_commands.h"

#include "sim/scale_display.h"
#include "sim/scale_records.h"

#include <algorithm>

namespace sim {

namespace {

constexpr std::size_t kPluWriteSize = 48; // number, 0, 44 record bytes, 0
constexpr std::size_t kTaxRatesSize = 16; // eight i16
constexpr std::size_t kClockSize = 6;

std::vector<std::uint8_t> fixedText(const std::string& text, int width) {
    std::vector<std::uint8_t> out;
    appendFixedText(out, text, width);
    return out;
}

// Stores the fixed text that follows the index byte of a name or line record.
void storeText(std::string& into, std::span<const std::uint8_t> payload, int width) {
    into = readFixedText(payload, 1, width);
}

std::vector<std::uint8_t> readPlu(const ScaleMemory& memory, std::span<const std::uint8_t> payload) {
    const auto number = getBigEndian(payload, 0, 2);
    const PluBytes record = number < memory.plu.size() ? memory.plu[number] : absentPlu();
    return {record.begin(), record.end()};
}

void writePlu(ScaleMemory& memory, std::span<const std::uint8_t> payload) {
    if (payload.size() < kPluWriteSize - 1) { // the closing zero byte is not needed
        return;
    }
    const auto number = getBigEndian(payload, 0, 2);
    if (number >= memory.plu.size()) {
        return;
    }
    // The running figures (quantity, total, count) stay as the scale counted them.
    std::copy_n(payload.begin() + 3, kPluWrittenBytes, memory.plu[number].begin());
}

std::vector<std::uint8_t> pollDisplay(const ScaleMemory& memory) {
    // Reply bytes 2 .. 30: spare, line 1, spare, line 2, spare, line 3, marks, indicators.
    std::vector<std::uint8_t> out;
    for (const std::string& line : memory.displayLines) {
        out.push_back(0);
        for (std::size_t i = 0; i < kDisplayWidth; ++i) {
            out.push_back(i < line.size() ? static_cast<std::uint8_t>(line[i]) : ' ');
        }
    }
    out.insert(out.end(), memory.displayMarks.begin(), memory.displayMarks.end());
    out.push_back(memory.indicatorsA);
    out.push_back(memory.indicatorsB);
    return out;
}

std::vector<std::uint8_t> readReport(const ScaleMemory& memory, std::span<const std::uint8_t> payload) {
    if (payload.size() < 3) {
        return {};
    }
    const auto address = getBigEndian(payload, 0, 2);
    const auto length = payload[2];
    std::vector<std::uint8_t> out(length, 0);
    for (std::size_t i = 0; i < length; ++i) {
        if (address + i < memory.reportMemory.size()) {
            out[i] = memory.reportMemory[address + i];
        }
    }
    return out;
}

void writeLogo(ScaleMemory& memory, std::span<const std::uint8_t> payload) {
    if (payload.size() < 2) {
        return;
    }
    const auto offset = getBigEndian(payload, 0, 2);
    for (std::size_t i = 2; i < payload.size(); ++i) {
        const std::size_t at = offset + i - 2;
        if (at >= memory.logoMemory.size()) {
            break; // the logo memory ends here; the rest is dropped
        }
        memory.logoMemory[at] = payload[i];
    }
}

} // namespace

std::vector<std::uint8_t> carryOut(ScaleMemory& memory, std::uint8_t command,
                                   std::span<const std::uint8_t> payload) {
    const int index = payload.empty() ? -1 : payload[0];
    switch (command) {
    case code::kIdentify:
        return fixedText(memory.identification, kIdentificationWidth);
    case code::kReadClock:
        return {memory.clock.begin(), memory.clock.end()};
    case code::kWriteClock:
        if (payload.size() >= kClockSize) {
            std::copy_n(payload.begin(), kClockSize, memory.clock.begin());
        }
        return {};
    case code::kReadPlu:
        return readPlu(memory, payload);
    case code::kWritePlu:
        writePlu(memory, payload);
        return {};
    case code::kEndOfPluUpload:
        ++memory.endOfPluUploads;
        return {};
    case code::kReadSettings:
        return {memory.generalSettings.begin(), memory.generalSettings.end()};
    case code::kWriteSettings:
        std::copy_n(payload.begin(), std::min(payload.size(), memory.generalSettings.size()),
                    memory.generalSettings.begin());
        return {};
    case code::kReadClerk:
        return fixedText(index >= 0 && index < 4 ? memory.clerkNames[static_cast<std::size_t>(index)] : "",
                         kClerkNameWidth);
    case code::kWriteClerk:
        if (index >= 0 && index < 4) {
            storeText(memory.clerkNames[static_cast<std::size_t>(index)], payload, kClerkNameWidth);
        }
        return {};
    case code::kReadLine:
        return fixedText(index >= 1 && index <= 8 ? memory.printLines[static_cast<std::size_t>(index - 1)]
                                                  : "",
                         kPrintLineWidth);
    case code::kWriteLine:
        if (index >= 1 && index <= 8) {
            storeText(memory.printLines[static_cast<std::size_t>(index - 1)], payload, kPrintLineWidth);
        }
        return {};
    case code::kReadDepartment:
        return fixedText(index >= 0 && index < 40 ? memory.departmentNames[static_cast<std::size_t>(index)]
                                                  : "",
                         kDepartmentNameWidth);
    case code::kWriteDepartment:
        if (index >= 0 && index < 40) {
            storeText(memory.departmentNames[static_cast<std::size_t>(index)], payload, kDepartmentNameWidth);
        }
        return {};
    case code::kReadTaxes: {
        std::vector<std::uint8_t> out(kTaxRatesSize);
        for (std::size_t i = 0; i < memory.taxRates.size(); ++i) {
            putBigEndian(out, 2 * i, 2, static_cast<std::uint16_t>(memory.taxRates[i]));
        }
        return out;
    }
    case code::kWriteTaxes:
        if (payload.size() >= kTaxRatesSize) {
            for (std::size_t i = 0; i < memory.taxRates.size(); ++i) {
                memory.taxRates[i] = static_cast<std::int16_t>(getBigEndian(payload, 2 * i, 2));
            }
        }
        return {};
    case code::kWriteLogo:
        writeLogo(memory, payload);
        return {};
    case code::kPressKey:
        if (!payload.empty()) {
            pressKey(memory, payload[0]);
        }
        return {};
    case code::kWriteSystem:
        std::copy_n(payload.begin(), std::min(payload.size(), memory.systemParameters.size()),
                    memory.systemParameters.begin());
        memory.systemParametersWritten = true;
        return {};
    case code::kPollDisplay:
        return pollDisplay(memory);
    case code::kReadReport:
        return readReport(memory, payload);
    default:
        return {}; // a command the scale does not know: an empty answer
    }
}

} // namespace sim
