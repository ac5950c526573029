#include "system_parameters.h"

#include "link/commands.h"
#include "link/number_parsing.h"
#include "link/scale_link.h"

#include <limits>

void encodeSystemParametersRecord(MessageBuffer& buffer, const SystemParametersRecord& record) {
    buffer.putU8(kSystemParametersTag);
    buffer.putU8(record.capacity);
    buffer.putU8(record.scaleInterval);
    buffer.putU8(record.digits);
    buffer.putU16(record.priceRounding);
    buffer.putU16(record.unit);
    buffer.putU8(record.modeFlags);
    buffer.putU32(record.localGravity);
    buffer.putU32(record.destinationGravity);
    buffer.putU8(record.initialZeroPercent);
    buffer.putU32(record.maxTare);
    buffer.putU8(record.minimumSale);
    buffer.putU8(record.stableCount);
}

namespace {

// The whole part of a decimal text (toward zero), times 1000.
std::optional<std::int64_t> maxTareThousandths(std::string_view text, char decimalSeparator) {
    const auto value = parseExactDecimal(text, decimalSeparator);
    if (!value) {
        return std::nullopt;
    }
    const auto whole = truncateScaled(*value, 0);
    constexpr std::int64_t kScale = 1000;
    if (!whole || *whole > std::numeric_limits<std::int64_t>::max() / kScale ||
        *whole < std::numeric_limits<std::int64_t>::min() / kScale) {
        return std::nullopt;
    }
    return *whole * kScale;
}

template <class Field> Field lowBits(std::int64_t value) { return static_cast<Field>(value); }

} // namespace

Converted<SystemParametersRecord> systemParametersFromPage(const SystemParameters& parameters,
                                                           char decimalSeparator) {
    using Result = Converted<SystemParametersRecord>;
    std::int32_t capacity = 0;
    std::int32_t scaleInterval = 0;
    std::int32_t priceRounding = 0;
    std::int32_t stableCount = 0;
    // In field order, so the first text the record meets is the one reported.
    if (!parseInt(parameters.capacity, capacity)) {
        return Result::failed(parameters.capacity, NumberKind::Integer);
    }
    if (!parseInt(parameters.scaleInterval, scaleInterval)) {
        return Result::failed(parameters.scaleInterval, NumberKind::Integer);
    }
    if (!parseInt(parameters.priceRounding, priceRounding)) {
        return Result::failed(parameters.priceRounding, NumberKind::Integer);
    }
    const auto maxTare = maxTareThousandths(parameters.maxTare, decimalSeparator);
    if (!maxTare) {
        return Result::failed(parameters.maxTare, NumberKind::FloatingPoint);
    }
    if (!parseInt(parameters.stableCount, stableCount)) {
        return Result::failed(parameters.stableCount, NumberKind::Integer);
    }

    SystemParametersRecord record;
    record.capacity = lowBits<std::uint8_t>(capacity);
    record.scaleInterval = lowBits<std::uint8_t>(scaleInterval);
    record.digits = lowBits<std::uint8_t>(parameters.digits);
    record.priceRounding = lowBits<std::uint16_t>(priceRounding);
    record.unit = lowBits<std::uint16_t>(parameters.unit);
    record.modeFlags = parameters.modeFlags & 0x0F;
    record.localGravity = lowBits<std::uint32_t>(parameters.localGravity);
    record.destinationGravity = lowBits<std::uint32_t>(parameters.destinationGravity);
    record.initialZeroPercent = lowBits<std::uint8_t>(parameters.initialZeroPercent);
    record.maxTare = lowBits<std::uint32_t>(*maxTare);
    record.minimumSale = parameters.minimumSale ? 1 : 0;
    record.stableCount = lowBits<std::uint8_t>(stableCount);
    return Result::ok(record);
}

bool sendSystemParameters(ScaleLink& link, UserInterface& ui, const SystemParameters& parameters,
                          char decimalSeparator) {
    if (!link.checkConnected()) {
        return false;
    }
    const auto record = systemParametersFromPage(parameters, decimalSeparator);
    if (!record) {
        reportConversionError(ui, record.error.text, record.error.kind);
        return false;
    }
    link.buffer().clear();
    encodeSystemParametersRecord(link.buffer(), *record.value);
    return link.runCommand(cmd::kWriteSystemParameters);
}

void applyCalibrationPreset(const CalibrationPreset& preset, SystemParameters& parameters) {
    parameters.capacity = preset.capacity;
    parameters.scaleInterval = preset.scaleInterval;
    parameters.maxTare = preset.maxTare;
    parameters.modeFlags = preset.dualInterval ? ScaleModeFlags::kDualInterval : 0; // lb, comma, one-time tare off
    parameters.digits = 32;
    parameters.priceRounding = "1";
    parameters.unit = 1000;
    parameters.localGravity = 97994;
    parameters.destinationGravity = 97994;
    parameters.initialZeroPercent = 10;
    parameters.minimumSale = true;
    parameters.stableCount = "3";
}
