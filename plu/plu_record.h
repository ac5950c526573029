#pragma once
// One PLU as it travels on the link, and its exchange with the scale.
//
// Command 4 reads one PLU: request PLU number (u16), 0, record length 54;
// the reply carries the 54-byte record below. Command 35 writes one: PLU
// number, 0, the first 44 bytes of the record, 0. All numbers big-endian.
//
//   offset  bytes  field
//    0      4      price, signed hundredths (negative: the PLU is absent)
//    4      4      code, signed
//    8      1      department
//    9      1      tax class
//   10      1      flags: bit 0 NW, bit 1 FIX, bit 2 BAR
//   11     31      name, 30 characters and a closing zero byte
//   42      2      valid date, signed
//   44      4      quantity, signed; thousandths unless NW is set
//   48      4      total, signed hundredths
//   52      2      count, signed

#include "plu_grid.h"

#include <cstdint>
#include <string>
#include <variant>

class MessageBuffer;
class ScaleLink;
class UserInterface;
enum class NumberKind;

inline constexpr std::uint8_t kPluRecordLength = 54;
inline constexpr std::uint8_t kPluNameWidth = 30;

inline constexpr std::uint8_t kFlagNw = 0x01; // sold by the piece: quantity in whole units
inline constexpr std::uint8_t kFlagFix = 0x02;
inline constexpr std::uint8_t kFlagBar = 0x04;

struct PluRecord {
    std::int32_t price = 0; // hundredths
    std::int32_t code = 0;
    std::uint8_t department = 0;
    std::uint8_t taxClass = 0;
    std::uint8_t flags = 0;
    std::string name; // bytes, at most 30
    std::int16_t validDate = 0;
    std::int32_t quantity = 0;
    std::int32_t total = 0; // hundredths
    std::int16_t count = 0;
};

// Reads the 54-byte record from the buffer's cursor (after runCommand, reply byte 2).
PluRecord decodePluRecord(MessageBuffer& buffer);
// The row a record shows as; "NUM" is the PLU number asked for.
PluRow pluRowFromRecord(const PluRecord& record, std::uint16_t plu, char decimalSeparator);

// Puts the command 4 request.
void encodePluReadRequest(MessageBuffer& buffer, std::uint16_t plu);
// Puts the command 35 request: number, 0, price .. valid date, 0. The running
// figures never go to the scale.
void encodePluWriteRequest(MessageBuffer& buffer, std::uint16_t plu, const PluRecord& record);

// The first cell of a row that does not convert, as the user will be told.
struct CellConversionFailure {
    int column;
    std::string text;
    NumberKind kind;
};
// What command 35 sends for a row: the low 16 bits of "NUM", then the record.
struct PluWriteRequest {
    std::uint16_t plu = 0;
    PluRecord record;
};
// Converts the cells in the order they are sent; the first that fails wins.
std::variant<PluWriteRequest, CellConversionFailure> pluWriteRequestFromRow(const PluRow& row,
                                                                            char decimalSeparator);

enum class PluReadResult { Ok, LinkFailed, Absent };
enum class PluWriteResult { Ok, LinkFailed, ConversionFailed };

// Command 4 for one PLU into a data row. Ok: all 13 cells replaced.
// LinkFailed: runCommand has shown its box; the row is untouched. Absent: the
// scale holds no such PLU (negative price, PLU 0 excepted); the row is untouched.
PluReadResult readPlu(ScaleLink& link, PluGrid& grid, std::uint16_t plu, int row, char decimalSeparator);

// Command 35 for one data row. A row not in use sends nothing and is Ok. A
// cell that does not convert shows its box and nothing is sent.
PluWriteResult writePluRow(ScaleLink& link, UserInterface& ui, const PluGrid& grid, int row,
                           char decimalSeparator);
