#pragma once
// The rules a cell text must pass: while the user types into the grid, and
// when a line of a PLU text file is read. Both are plain functions of the text
// so the grid's editor and the file reader share them with the tests.
//
// Limits are compared on the exact decimal value of the text, never on a
// binary double: 9999.99 is at the price limit, not above it.

#include <cstdint>
#include <optional>
#include <string_view>

// True when typing may leave `text` in a grid cell of `column`. Every
// intermediate text is checked, so only texts whose prefixes all pass can be
// typed. The scale's running figures (quantity, total, count) refuse every
// change, the empty text included.
bool acceptsTypedText(int column, std::string_view text, char decimalSeparator);

// True when field `field` (1..10) of a PLU file line may be stored. The file
// has limits of its own: prices to 99999.99, names to 32 characters, no
// negative code, department, tax or validity figure.
bool acceptsFileField(int field, std::string_view text, char decimalSeparator);

// A price text as hundredths, digits beyond the hundredths cut off toward
// zero (1.999 is 199, -1.005 is -100). nullopt when the text is not a number
// or the hundredths do not fit in 32 signed bits: the scale's price field
// would silently wrap.
std::optional<std::int32_t> priceToHundredths(std::string_view text, char decimalSeparator);
