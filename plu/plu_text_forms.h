#pragma once
// How the grid shows the numbers the scale sends: built from the integers
// digit by digit, with the user's decimal separator passed in (printf would
// take the process locale's).

#include <cstdint>
#include <string>

// Hundredths as money: "12.34", "-0.05", "0.00"; no group separators.
std::string formatMoney(std::int64_t hundredths, char decimalSeparator);
// Thousandths as a quantity with three decimals: "1.500".
std::string formatThousandths(std::int64_t thousandths, char decimalSeparator);
// A whole number in plain decimal: "-32768".
std::string formatWhole(std::int64_t value);
