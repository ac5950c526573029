#include "general_settings_record.h"

#include "link/message_buffer.h"
#include "link/number_parsing.h"

#include <string>

void encodeGeneralSettingsRecord(MessageBuffer& buffer, const GeneralSettingsRecord& record) {
    buffer.putU8(record.clerkMode);
    buffer.putU8(record.printOptions);
    buffer.putText(record.singleItemBarcode, kBarcodeFormatWidth);
    buffer.putText(record.totalBarcode, kBarcodeFormatWidth);
    buffer.putU32(record.baudRate);
    buffer.putU8(record.lanNumber);
    buffer.putU16(record.autoOffMinutes);
    buffer.putU8(record.discountPercent);
    buffer.putU8(record.drawerOpenTime);
    buffer.putU8(record.printerDarkness);
    buffer.putText(record.currency, kCurrencyWidth);
    buffer.putU8(record.printAllReports);
    buffer.putU8(record.printTax);
}

GeneralSettingsRecord decodeGeneralSettingsRecord(MessageBuffer& buffer) {
    GeneralSettingsRecord record;
    record.clerkMode = buffer.getU8();
    record.printOptions = buffer.getU8();
    record.singleItemBarcode = buffer.getText(kBarcodeFormatWidth);
    record.totalBarcode = buffer.getText(kBarcodeFormatWidth);
    record.baudRate = buffer.getU32();
    record.lanNumber = buffer.getU8();
    record.autoOffMinutes = buffer.getU16();
    record.discountPercent = buffer.getU8();
    record.drawerOpenTime = buffer.getU8();
    record.printerDarkness = buffer.getU8();
    record.currency = buffer.getText(kCurrencyWidth);
    record.printAllReports = buffer.getU8();
    record.printTax = buffer.getU8();
    return record;
}

namespace {
// Cuts a value to the low bytes of its field, negative values as two's complement.
template <class Field> Field lowBits(long long value) { return static_cast<Field>(value); }
} // namespace

Converted<GeneralSettingsRecord> generalSettingsFromPage(const ScaleSettings& settings) {
    using Result = Converted<GeneralSettingsRecord>;
    std::int32_t baudRate = 0;
    if (!parseInt(settings.baudRate, baudRate)) {
        return Result::failed(settings.baudRate, NumberKind::Integer);
    }
    std::int32_t darkness = 0;
    if (!parseInt(settings.printerDarkness, darkness)) {
        return Result::failed(settings.printerDarkness, NumberKind::Integer);
    }
    GeneralSettingsRecord record;
    record.clerkMode = settings.clerkMode >= 0 && settings.clerkMode < kClerkModeCount
                           ? static_cast<std::uint8_t>(settings.clerkMode)
                           : kNoClerkModeByte;
    record.printOptions = settings.printOptions;
    record.singleItemBarcode = settings.singleItemBarcode;
    record.totalBarcode = settings.totalBarcode;
    record.baudRate = lowBits<std::uint32_t>(baudRate);
    record.lanNumber = lowBits<std::uint8_t>(settings.lanNumber);
    record.autoOffMinutes = lowBits<std::uint16_t>(settings.autoOffMinutes);
    record.discountPercent = lowBits<std::uint8_t>(settings.discountPercent);
    record.drawerOpenTime = lowBits<std::uint8_t>(settings.drawerOpenTime);
    record.printerDarkness = lowBits<std::uint8_t>(darkness);
    record.currency = settings.currency;
    record.printAllReports = settings.printAllReports ? 1 : 0;
    record.printTax = settings.printTax ? 1 : 0;
    return Result::ok(std::move(record));
}

void applyGeneralSettingsToPage(const GeneralSettingsRecord& record, ScaleSettings& settings) {
    settings.clerkMode = record.clerkMode < kClerkModeCount ? record.clerkMode : kNoClerkMode;
    settings.printOptions = record.printOptions;
    settings.singleItemBarcode = record.singleItemBarcode;
    settings.totalBarcode = record.totalBarcode;
    // Shown as its digits, whether or not it is one of the box's items.
    settings.baudRate = std::to_string(record.baudRate);
    settings.lanNumber = kLanNumberRange.clamp(record.lanNumber);
    settings.autoOffMinutes = kAutoOffRange.clamp(static_cast<std::int16_t>(record.autoOffMinutes));
    settings.discountPercent = kDiscountRange.clamp(record.discountPercent);
    settings.drawerOpenTime = kDrawerOpenTimeRange.clamp(record.drawerOpenTime);
    settings.printerDarkness = std::to_string(record.printerDarkness);
    settings.currency = record.currency;
    settings.printAllReports = (record.printAllReports & 0x01) != 0;
    settings.printTax = (record.printTax & 0x01) != 0;
}
