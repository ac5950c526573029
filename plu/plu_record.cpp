#include "plu_record.h"

#include "link/commands.h"
#include "link/message_buffer.h"
#include "link/number_parsing.h"
#include "link/scale_link.h"
#include "plu_checks.h"
#include "plu_text_forms.h"

namespace {

std::int32_t asSigned32(std::uint32_t bits) {
    return static_cast<std::int32_t>(bits);
}
std::int16_t asSigned16(std::uint16_t bits) {
    return static_cast<std::int16_t>(bits);
}

std::string flagDigit(std::uint8_t flags, std::uint8_t bit) {
    return (flags & bit) != 0 ? "1" : "0";
}

} // namespace

PluRecord decodePluRecord(MessageBuffer& buffer) {
    PluRecord record;
    record.price = asSigned32(buffer.getU32());
    record.code = asSigned32(buffer.getU32());
    record.department = buffer.getU8();
    record.taxClass = buffer.getU8();
    record.flags = buffer.getU8();
    record.name = buffer.getText(kPluNameWidth);
    record.validDate = asSigned16(buffer.getU16());
    record.quantity = asSigned32(buffer.getU32());
    record.total = asSigned32(buffer.getU32());
    record.count = asSigned16(buffer.getU16());
    return record;
}

PluRow pluRowFromRecord(const PluRecord& record, std::uint16_t plu, char separator) {
    PluRow row;
    row[PluColumn::Price] = formatMoney(record.price, separator);
    row[PluColumn::Code] = formatWhole(record.code);
    row[PluColumn::Dep] = formatWhole(record.department);
    row[PluColumn::Tax] = formatWhole(record.taxClass);
    row[PluColumn::Nw] = flagDigit(record.flags, kFlagNw);
    row[PluColumn::Fix] = flagDigit(record.flags, kFlagFix);
    row[PluColumn::Bar] = flagDigit(record.flags, kFlagBar);
    row[PluColumn::Name] = record.name;
    row[PluColumn::ValidDate] = formatWhole(record.validDate);
    // A PLU sold by the piece counts whole units; one sold by weight, grams.
    row[PluColumn::Quantity] = (record.flags & kFlagNw) != 0 ? formatWhole(record.quantity)
                                                             : formatThousandths(record.quantity, separator);
    row[PluColumn::Total] = formatMoney(record.total, separator);
    row[PluColumn::Count] = formatWhole(record.count);
    row[PluColumn::Num] = formatWhole(plu);
    return row;
}

void encodePluReadRequest(MessageBuffer& buffer, std::uint16_t plu) {
    buffer.clear();
    buffer.putU16(plu);
    buffer.putU8(0);
    buffer.putU8(kPluRecordLength);
}

void encodePluWriteRequest(MessageBuffer& buffer, std::uint16_t plu, const PluRecord& record) {
    buffer.clear();
    buffer.putU16(plu);
    buffer.putU8(0);
    buffer.putU32(static_cast<std::uint32_t>(record.price));
    buffer.putU32(static_cast<std::uint32_t>(record.code));
    buffer.putU8(record.department);
    buffer.putU8(record.taxClass);
    buffer.putU8(record.flags);
    buffer.putText(record.name, kPluNameWidth);
    buffer.putU16(static_cast<std::uint16_t>(record.validDate));
    buffer.putU8(0);
}

std::variant<PluWriteRequest, CellConversionFailure> pluWriteRequestFromRow(const PluRow& row,
                                                                            char separator) {
    PluWriteRequest request;
    // Whole-number cells keep only the bits their field has room for, as the
    // scale has always received them ("NUM" 70000 goes out as 4464).
    std::int32_t whole[kPluColumns] = {};
    const auto convertWhole = [&](int column) {
        return parseInt(row[static_cast<std::size_t>(column)], whole[column]);
    };
    const auto failure = [&](int column, NumberKind kind) {
        return CellConversionFailure{column, row[static_cast<std::size_t>(column)], kind};
    };

    if (!convertWhole(PluColumn::Num)) {
        return failure(PluColumn::Num, NumberKind::Integer);
    }
    request.plu = static_cast<std::uint16_t>(static_cast<std::uint32_t>(whole[PluColumn::Num]));

    const auto price = priceToHundredths(row[PluColumn::Price], separator);
    if (!price) {
        return failure(PluColumn::Price, NumberKind::FloatingPoint);
    }
    request.record.price = *price;

    for (int column :
         {PluColumn::Code, PluColumn::Dep, PluColumn::Tax, PluColumn::Nw, PluColumn::Fix, PluColumn::Bar}) {
        if (!convertWhole(column)) {
            return failure(column, NumberKind::Integer);
        }
    }
    request.record.code = whole[PluColumn::Code];
    request.record.department = static_cast<std::uint8_t>(static_cast<std::uint32_t>(whole[PluColumn::Dep]));
    request.record.taxClass = static_cast<std::uint8_t>(static_cast<std::uint32_t>(whole[PluColumn::Tax]));
    // Unsigned sum: large flag texts wrap instead of overflowing.
    const std::uint32_t flags = static_cast<std::uint32_t>(whole[PluColumn::Nw]) +
                                2u * static_cast<std::uint32_t>(whole[PluColumn::Fix]) +
                                4u * static_cast<std::uint32_t>(whole[PluColumn::Bar]);
    request.record.flags = static_cast<std::uint8_t>(flags);
    request.record.name = row[PluColumn::Name].substr(0, kPluNameWidth);

    if (!convertWhole(PluColumn::ValidDate)) {
        return failure(PluColumn::ValidDate, NumberKind::Integer);
    }
    request.record.validDate = static_cast<std::int16_t>(
        static_cast<std::uint16_t>(static_cast<std::uint32_t>(whole[PluColumn::ValidDate])));
    return request;
}

PluReadResult readPlu(ScaleLink& link, PluGrid& grid, std::uint16_t plu, int row, char separator) {
    MessageBuffer& buffer = link.buffer();
    encodePluReadRequest(buffer, plu);
    if (!link.runCommand(cmd::kReadPlu)) {
        return PluReadResult::LinkFailed;
    }
    const PluRecord record = decodePluRecord(buffer);
    // PLU 0 is shown whatever its price; any other PLU with a negative price
    // is one the scale does not hold.
    if (record.price < 0 && plu != 0) {
        return PluReadResult::Absent;
    }
    grid.row(row) = pluRowFromRecord(record, plu, separator);
    return PluReadResult::Ok;
}

PluWriteResult writePluRow(ScaleLink& link, UserInterface& ui, const PluGrid& grid, int row, char separator) {
    if (!grid.inUse(row)) {
        return PluWriteResult::Ok;
    }
    const auto converted = pluWriteRequestFromRow(grid.row(row), separator);
    if (const auto* failure = std::get_if<CellConversionFailure>(&converted)) {
        reportConversionError(ui, failure->text, failure->kind);
        return PluWriteResult::ConversionFailed;
    }
    const auto& request = std::get<PluWriteRequest>(converted);
    encodePluWriteRequest(link.buffer(), request.plu, request.record);
    return link.runCommand(cmd::kWritePlu) ? PluWriteResult::Ok : PluWriteResult::LinkFailed;
}
