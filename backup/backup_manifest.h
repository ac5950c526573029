#pragma once
// The manifest of a scale backup folder (manifest.txt): which scale, when,
// by which program, and a SHA-256 for each file, in lines sha256sum reads, so
// `sha256sum -c manifest.txt` checks a backup anywhere (it warns about the
// named lines and checks the rest):
//
//   scale = "TV-15 COUNTER SCALE v2.31"     the identification text
//   status = 00                            the status byte, two hex digits
//   taken = 2026-12-08 17:45:00            the PC's local date and time
//   program = "tallivos-cli 1.62"
//   decimal-separator = "."                the one plus.txt is written with
//   3a7bd3e2...  plus.txt                  SHA-256 and file name

#include "region/regional_forms.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The files of a backup folder.
inline constexpr std::string_view kBackupPluFile = "plus.txt";
inline constexpr std::string_view kBackupSettingsFile = "settings.txt";
inline constexpr std::string_view kBackupClockFile = "clock.txt";
inline constexpr std::string_view kBackupReportFile = "report.txt";
inline constexpr std::string_view kBackupManifestFile = "manifest.txt";

struct BackupFileSum {
    std::string name;
    std::string sha256; // 64 lower-case hex digits
    bool operator==(const BackupFileSum&) const = default;
};

struct BackupManifest {
    std::string scale; // bytes, as the scale sent them
    std::uint8_t status = 0;
    LocalDateTime taken;
    std::string program;
    char decimalSeparator = '.';
    std::vector<BackupFileSum> files;

    const BackupFileSum* file(std::string_view name) const;
};

std::string formatBackupManifest(const BackupManifest& manifest);

struct ManifestRead {
    bool ok = false;
    BackupManifest manifest;
    std::string problem; // what is wrong, with the line
};
ManifestRead parseBackupManifest(std::string_view bytes);

// "2026-12-08 17:45:00".
std::string isoDateTime(const LocalDateTime& moment);
