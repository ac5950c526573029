// The PLU record on the wire: reading a reply into a row, writing a row as a
// request, and the outcomes of one read or write over a scripted link.

#include "link/message_buffer.h"
#include "plu/plu_record.h"
#include "plu_test_support.h"

#include <gtest/gtest.h>

namespace {

// A complete command 4 reply payload, field by field.
std::vector<std::uint8_t> pluReply(const std::string& priceHex, const std::string& flagsHex,
                                   const std::string& name, const std::string& quantityHex = "00 00 05 DC") {
    return hexBytes(priceHex + /*price*/ " 00 00 30 39" /*code 12345*/ " 28" /*dep 40*/ " 08" /*tax 8*/ " " +
                    flagsHex + " " + nameField(name) + "FF FF" /*valid date -1*/ " " + quantityHex +
                    " FF FF FF FB" /*total -5*/ " 80 00" /*count -32768*/);
}

PluRecord decodeReply(const std::vector<std::uint8_t>& payload) {
    MessageBuffer buffer;
    std::vector<std::uint8_t> withCheck = payload;
    withCheck.push_back(0); // storeReply wants the check byte last
    buffer.storeReply(withCheck);
    buffer.setCursor(0);
    return decodePluRecord(buffer);
}

TEST(PluRecordDecode, FieldsSignedWhereTheScaleSendsSignedValues) {
    const PluRecord record = decodeReply(pluReply("FF FF FF 9C", "05", "APPLES"));
    EXPECT_EQ(record.price, -100);
    EXPECT_EQ(record.code, 12345);
    EXPECT_EQ(record.department, 40);
    EXPECT_EQ(record.taxClass, 8);
    EXPECT_EQ(record.name, "APPLES");
    EXPECT_EQ(record.validDate, -1);
    EXPECT_EQ(record.total, -5);
    EXPECT_EQ(record.count, -32768);

    const PluRow row = pluRowFromRecord(record, 0, '.');
    EXPECT_EQ(row, (PluRow{"0", "-1.00", "12345", "40", "8", "1", "0", "1", "APPLES", "-1", "1500", "-0.05",
                           "-32768"}));
}

TEST(PluRecordDecode, QuantityIsThousandthsUnlessSoldByThePiece) {
    EXPECT_EQ(pluRowFromRecord(decodeReply(pluReply("00 00 04 D2", "00", "X")), 7, '.')[PluColumn::Quantity],
              "1.500");
    EXPECT_EQ(pluRowFromRecord(decodeReply(pluReply("00 00 04 D2", "01", "X")), 7, '.')[PluColumn::Quantity],
              "1500");
    // Bits 3 to 7 mean nothing: 248 shows as three clear flags.
    const PluRow row = pluRowFromRecord(decodeReply(pluReply("00 00 00 00", "F8", "X")), 7, ',');
    EXPECT_EQ(row[PluColumn::Nw] + row[PluColumn::Fix] + row[PluColumn::Bar], "000");
    EXPECT_EQ(row[PluColumn::Price], "0,00");
    EXPECT_EQ(row[PluColumn::Quantity], "1,500");
}

TEST(PluRecordDecode, NameWithoutZeroByteKeepsThirtyAndTheNextFieldStaysInPlace) {
    const std::string full(31, 'N'); // no zero byte at all in the field
    const PluRecord record = decodeReply(pluReply("00 00 00 01", "00", full));
    EXPECT_EQ(record.name, std::string(30, 'N'));
    EXPECT_EQ(record.validDate, -1);
    EXPECT_EQ(record.count, -32768);
    // Bytes above 127 pass unchanged.
    EXPECT_EQ(decodeReply(pluReply("00 00 00 01", "00", "\x80\xE9\xFF")).name, "\x80\xE9\xFF");
}

TEST(PluRecordEncode, WriteRequestIsNumberZeroRecordToValidDateZero) {
    MessageBuffer buffer;
    PluRecord record;
    record.price = -100;
    record.code = 70000;
    record.department = 44;
    record.taxClass = 8;
    record.flags = 3;
    record.name = "AB";
    record.validDate = -1;
    record.quantity = 99; // the running figures never go out
    encodePluWriteRequest(buffer, 4464, record);
    const auto expected = hexBytes("11 70" /*PLU 4464*/ " 00" /*zero*/ " FF FF FF 9C" /*price*/
                                   " 00 01 11 70" /*code*/ " 2C" /*dep*/ " 08" /*tax*/ " 03" /*flags*/ " " +
                                   nameField("AB") + "FF FF" /*valid date*/ " 00" /*zero*/);
    ASSERT_EQ(buffer.requestLength(), 48u);
    EXPECT_EQ(std::vector<std::uint8_t>(buffer.request().begin(), buffer.request().end()), expected);

    encodePluReadRequest(buffer, 1800);
    EXPECT_EQ(std::vector<std::uint8_t>(buffer.request().begin(), buffer.request().end()),
              hexBytes("07 08" /*PLU 1800*/ " 00"
                       " 36" /*record length 54*/));
}

TEST(PluRecordEncode, CellsConvertToTheirLowBits) {
    PluRow row = makeRow("70000", "0.53", std::string(35, 'Z'));
    row[PluColumn::Dep] = "300";
    row[PluColumn::Nw] = "1";
    row[PluColumn::Fix] = "1";
    row[PluColumn::Bar] = "0";
    row[PluColumn::ValidDate] = "-1";
    const auto converted = pluWriteRequestFromRow(row, '.');
    ASSERT_TRUE(std::holds_alternative<PluWriteRequest>(converted));
    const auto& request = std::get<PluWriteRequest>(converted);
    EXPECT_EQ(request.plu, 4464);
    EXPECT_EQ(request.record.price, 53);
    EXPECT_EQ(request.record.department, 44);
    EXPECT_EQ(request.record.flags, 3);
    EXPECT_EQ(request.record.name, std::string(30, 'Z'));
    EXPECT_EQ(request.record.validDate, -1);
}

TEST(PluRecordEncode, FirstCellThatDoesNotConvertIsNamedInOrder) {
    struct Case {
        int column;
        std::string text;
        NumberKind kind;
    };
    const Case cases[] = {
        {PluColumn::Num, "", NumberKind::Integer},
        {PluColumn::Num, "1.5", NumberKind::Integer},
        {PluColumn::Price, "-", NumberKind::FloatingPoint},
        {PluColumn::Price, "21474836.48", NumberKind::FloatingPoint}, // beyond 32 signed bits of hundredths
        {PluColumn::Code, "12.5", NumberKind::Integer},
        {PluColumn::Dep, "x", NumberKind::Integer},
        {PluColumn::Bar, "", NumberKind::Integer},
        {PluColumn::ValidDate, "999.5", NumberKind::Integer},
    };
    for (const Case& c : cases) {
        PluRow row = makeRow("1", "1.00");
        row[static_cast<std::size_t>(c.column)] = c.text;
        if (c.column == PluColumn::Price) {
            row[PluColumn::Code] = "bad too"; // the price is converted first
        }
        const auto converted = pluWriteRequestFromRow(row, '.');
        ASSERT_TRUE(std::holds_alternative<CellConversionFailure>(converted)) << c.text;
        const auto& failure = std::get<CellConversionFailure>(converted);
        EXPECT_EQ(failure.column, c.column) << c.text;
        EXPECT_EQ(failure.text, c.text);
        EXPECT_EQ(failure.kind, c.kind) << c.text;
    }
    PluRow largest = makeRow("1", "21474836.47");
    EXPECT_EQ(std::get<PluWriteRequest>(pluWriteRequestFromRow(largest, '.')).record.price, 2147483647);
    largest[PluColumn::Price] = "-21474836.48";
    EXPECT_EQ(std::get<PluWriteRequest>(pluWriteRequestFromRow(largest, '.')).record.price, -2147483647 - 1);
}

TEST(PluReadOverLink, OutcomesAndWhatTheRowKeeps) {
    ScriptedLink scale;
    PluGrid grid;
    grid.row(1) = makeRow("old", "9.99");

    // PLU 0 is shown whatever its price; PLU 5 with the same reply is absent.
    scale.answer(pluReply("FF FF FF 9C", "00", "ZERO"));
    EXPECT_EQ(readPlu(*scale.link, grid, 0, 2, '.'), PluReadResult::Ok);
    EXPECT_EQ(grid.cell(2, PluColumn::Price), "-1.00");
    EXPECT_EQ(grid.cell(2, PluColumn::Num), "0");

    scale.answer(pluReply("FF FF FF 9C", "00", "FIVE"));
    EXPECT_EQ(readPlu(*scale.link, grid, 5, 1, '.'), PluReadResult::Absent);
    EXPECT_EQ(grid.row(1), makeRow("old", "9.99"));

    scale.silence();
    EXPECT_EQ(readPlu(*scale.link, grid, 6, 1, '.'), PluReadResult::LinkFailed);
    EXPECT_EQ(grid.row(1), makeRow("old", "9.99"));
    EXPECT_EQ(scale.ui.errorCount("Comunication Error!"), 1);

    ASSERT_EQ(scale.channel->requests().size(), 5u); // 1 + 1 + 3 attempts
    EXPECT_EQ(scale.channel->requests()[1],
              hexBytes("C3 04" /*start*/ " 00" /*address*/ " 04" /*command*/
                       " 00 05 00 36" /*PLU 5, 0, 54*/ " 37" /*check*/ " C3 02" /*end*/));
}

TEST(PluWriteOverLink, UnusedRowSendsNothingAndConversionFailureShowsItsBox) {
    ScriptedLink scale;
    PluGrid grid;
    grid.row(1) = makeRow("1", "");
    grid.row(1)[PluColumn::Code] = "not a number";
    EXPECT_EQ(writePluRow(*scale.link, scale.ui, grid, 1, '.'), PluWriteResult::Ok);
    EXPECT_TRUE(scale.channel->requests().empty());

    grid.row(2) = makeRow("2", "1,5");
    EXPECT_EQ(writePluRow(*scale.link, scale.ui, grid, 2, '.'), PluWriteResult::ConversionFailed);
    EXPECT_TRUE(scale.channel->requests().empty());
    ASSERT_EQ(scale.ui.errors.size(), 1u);
    EXPECT_EQ(scale.ui.errors[0],
              (RecordingUi::Message{"'1,5' is not a valid floating point value.", scale.ui.title}));

    // The same row under a comma locale converts and goes out.
    scale.answer({});
    EXPECT_EQ(writePluRow(*scale.link, scale.ui, grid, 2, ','), PluWriteResult::Ok);
    scale.silence();
    EXPECT_EQ(writePluRow(*scale.link, scale.ui, grid, 2, ','), PluWriteResult::LinkFailed);
    EXPECT_EQ(scale.ui.errorCount("Comunication Error!"), 1);
}

} // namespace
