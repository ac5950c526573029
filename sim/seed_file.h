#pragma once
// clang-format off: the table below is laid out by hand.
// The seed file: the simulated scale's memory as text, one item a line.
//
//   # a comment line; blank lines are ignored
//   id "SIM SCALE"                 identification text (up to 32 bytes)
//   status 0x04                    status byte of every reply (0x04: calibration mode)
//   clock 2026-12-08 14:30:05      the scale's clock
//   plu 12 price=1.99 code=2000012 dep=1 tax=1 flags=0 name="Apples" valid=7 qty=1250 total=2488 count=3
//                                  one PLU 0..1800; fields left out are 0 (price: absent);
//                                  qty is as the scale counts it (grams, or pieces for NW items)
//   clerk 1 "Mara"                 clerk names 1..4
//   line 1 "  GREEN CORNER"        receipt lines 1..6 (header) and 7..8 (footer)
//   dept 0 "Fruit"                 department names 0..39
//   tax A 7.00                     tax rates A..H in percent
//   settings 00 45 61 34 ...       the 52 bytes of the general settings, in hex
//   system 08 0f 02 ...            the 24 bytes of the system parameters, in hex
//   report.doc 1042                sales report: document number
//   report.total 1234.56           grand total
//   report.tax 1 812.40            total of tax 1..9
//   report.hour 9 count=14 total=83.25   count and total of hour 0..23
//   report.clerk 1 total=.. operations=.. cancel=.. cancels=.. clients=.. cash=.. credit=..
//                  discount=.. discounts=..   the report of clerk 1..4
//   report 0x0800 00 00 04 12 ...  raw bytes of the report memory from an address
//   logo 0 32 ff 00 ...            raw bytes of the logo memory from an offset
//   weight 0.250                   kilograms on the platter
//   keyed 1.99                     unit price keyed in on the scale
//   display 1 "   0250" mark=3     a display line 1..3 as shown, and its decimal mark
//   indicators 0x03 0x00           indicator bytes A and B
//
// Texts are in double quotes; \" \\ and \xHH stand for a quote, a backslash and
// any byte, so names in any single-byte character set survive. Money and
// percentages are written with a point and up to two decimals. Whole numbers
// may be written in hex with 0x.
//
// A seed describes a whole scale: loading starts from a blank memory in which
// every PLU is absent. Without a display line the display is drawn from the
// weight and the keyed price.
// clang-format on

#include "sim/simulated_scale.h"

#include <iosfwd>
#include <string>

namespace sim {

// Replaces `memory` with the scale the text describes. On a bad line returns
// false, leaves `memory` unchanged and says which line and why.
bool parseSeed(std::istream& in, ScaleMemory& memory, std::string* error);
bool loadSeedFile(const std::string& path, ScaleMemory& memory, std::string* error);

// Writes the memory so that parseSeed gives it back byte for byte (the record of
// keys pressed and the upload count are not part of it).
void writeSeed(std::ostream& out, const ScaleMemory& memory);
bool writeSeedFile(const std::string& path, const ScaleMemory& memory);

// A blank scale: every PLU absent, all texts empty, display drawn.
ScaleMemory blankMemory();

} // namespace sim
