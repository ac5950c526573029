#pragma once
// The settings file: everything the "SETTINGS" page sends to the scale, as
// plain text a person can read and edit (settings/keyed_file.h), one setting a
// line. Texts stand in double quotes (settings/quoted_text.h), so every byte
// of every name survives; numbers and yes/no stand bare; tax rates are
// written with a point whatever the user's decimal separator, so a file moves
// between PCs of any region.
//
//   clerk-mode = 0                       0..4, or none
//   print-receipt = yes                  the ten check boxes, yes or no
//   single-item-bar = "a44W5U5"          texts: barcode formats, baud rate,
//   rs-baud-rate = "9600"                printer darkness, currency, clerks,
//   auto-off-time = 20                   numbers: the four spin fields, in range
//   header-1 = "      Welcome!"          lines of the header and footer boxes
//   department-0 = "GROUP 0"             departments 0..39
//   tax-A = "7.5"                        tax rates A..H
//
// Reading puts the file's settings over the given ones: a setting the file
// leaves out keeps its value, and the header (footer) box is replaced whole
// by the lines the file gives for it. A file with any mistake changes nothing.

#include "scale_settings.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

std::string formatSettingsFile(const ScaleSettings& settings, char decimalSeparator);

struct SettingsFileError {
    int line = 0; // 0: the file as a whole
    std::string reason;
};

enum class SettingsFileResult { Ok, IoError, InputError };
struct SettingsFileRead {
    SettingsFileResult result = SettingsFileResult::Ok;
    SettingsFileError error; // for InputError
    // The file names every setting (and lines of both boxes): what it gives
    // does not depend on the settings it was read over.
    bool complete = false;
};

SettingsFileRead parseSettingsFile(std::string_view bytes, char decimalSeparator, ScaleSettings& settings);

// Largest settings file a reader takes; a saved one is a few kilobytes.
inline constexpr std::uintmax_t kMaxSettingsFileSize = 1024 * 1024;

// Replaces the file whole (the old file survives a failed save).
bool saveSettingsFile(const std::filesystem::path& path, const ScaleSettings& settings, char decimalSeparator);
SettingsFileRead loadSettingsFile(const std::filesystem::path& path, char decimalSeparator, ScaleSettings& settings);

// "error in input file", and where: "line 12: 'tax-I' is no setting".
std::string describeSettingsFileError(const SettingsFileError& error);
