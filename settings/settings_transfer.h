#pragma once
// "SEND TO SCALE" and "LOAD FROM SCALE" of the settings page: the whole page
// moved in 54 commands, in this order:
//
//   write: 34 general settings, 37 x4 clerks, 33 x8 print lines, 38 x40 departments, 40 tax rates
//   read:   5,                   6 x4,        10 x8,              9 x40,                11
//
// Both stop at the first command that fails (runCommand has told the user),
// with no roll-back: the scale keeps what was written and the page keeps what
// was read. The busy cursor shows for the whole transfer and ends on every
// path, before any conversion error is shown.

#include "scale_settings.h"

#include <functional>
#include <string>

class ScaleLink;
class UserInterface;

// The request of command 11: the byte that the read sequence has always left
// in the request after the last department read, which every scale has
// received so far. Put explicitly.
inline constexpr std::uint8_t kTaxRatesReadRequest = kDepartmentCount - 1;

// Told the position (0..53) of each command just before it runs, for progress
// and for naming the command a failure happened at.
using SettingsStepHook = std::function<void(int index)>;
inline constexpr int kSettingsCommandCount = 54;
// "general settings", "clerk 1".."clerk 4", "header line 1".."header line 6",
// "footer line 1", "footer line 2", "department 0".."department 39", "tax rates".
std::string settingsCommandName(int index);

// How a transfer ended; every failure has already been shown to the user.
enum class SettingsTransferEnd { Completed, NotConnected, LinkFailed, ConversionFailed };

// How the currency goes to the scale. The page sends a currency of exactly
// "EUR" as the scale's euro byte 0x80; a restore puts back the bytes it read,
// so a scale that held the three letters gets the three letters again.
enum class CurrencyRule { EuroAsByte, AsHeld };

// Writes the page to the scale. A currency of exactly "EUR" goes as the one
// byte 0x80 (under EuroAsByte); afterwards a currency of that one byte shows
// as "EUR" again, in every case, also when the guard refused or a command
// failed. A baud rate or darkness text that is no whole number stops before
// anything is sent; a tax cell that is no number stops before command 40.
SettingsTransferEnd sendSettingsToScale(ScaleLink& link, UserInterface& ui, ScaleSettings& settings,
                                        char decimalSeparator, CurrencyRule currencyRule = CurrencyRule::EuroAsByte,
                                        const SettingsStepHook& beforeEachCommand = {});

// Fills the page from the scale as far as the reads succeed. The header box is
// emptied before line 1 is asked for, the footer box before line 7, so a
// failure in between leaves a box with the lines received so far.
SettingsTransferEnd loadSettingsFromScale(ScaleLink& link, UserInterface& ui, ScaleSettings& settings,
                                          char decimalSeparator, const SettingsStepHook& beforeEachCommand = {});
