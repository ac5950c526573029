#pragma once
// Putting a backup back onto a scale. Reading the backup checks everything
// before a single command is sent: the manifest's SHA-256 of each file, that
// every PLU row converts as sending converts it, that the settings convert.
// Restoring then writes the PLUs (rows by position, command 39 at the end, as
// SAVE TO SCALE does) and the settings (54 commands, the currency exactly as
// it was read), and the clock only when asked. Calibration parameters are
// never written. PLUs the backup does not hold are left as the scale has them:
// the scale has no command that removes a PLU.

#include "backup_manifest.h"
#include "plu/plu_grid.h"
#include "scale_work.h"
#include "settings/clock.h"
#include "settings/scale_settings.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

class ScaleLink;
class UserInterface;

struct RestorePlan {
    BackupManifest manifest;
    PluGrid grid; // rows as plus.txt holds them, in the backup's decimal separator
    std::vector<std::uint16_t> plus; // the PLU numbers that go, in order
    ScaleSettings settings;          // in the user's decimal separator
    std::optional<ClockValue> clock; // when the backup has clock.txt
};

struct RestorePlanRead {
    WorkOutcome outcome; // FileError or Refused with the problem, or Completed
    RestorePlan plan;
};

// Largest file of a backup the reader takes; a full plus.txt is about 150 kB.
inline constexpr std::uintmax_t kMaxBackupFileSize = 16 * 1024 * 1024;

RestorePlanRead readRestorePlan(const std::filesystem::path& folder, char decimalSeparator);

// What a restore would write, one line each, for --dry-run and the confirmation.
std::vector<std::string> describeRestore(const RestorePlan& plan, bool withClock);

// Commands a restore exchanges at most: 1801 PLU rows, command 39, 54 settings, the clock.
int restoreCommands(bool withClock);

WorkOutcome restoreBackup(ScaleLink& link, UserInterface& ui, const RestorePlan& plan, bool withClock,
                          char decimalSeparator, const WorkHooks& hooks);

// The clock box's form read back: "08-12-26 17:45:00", years 2000 to 2099.
std::optional<ClockValue> parseClock(std::string_view text);
