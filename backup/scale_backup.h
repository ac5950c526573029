#pragma once
// A whole-scale backup: everything the scale lets the program read, into one
// folder that appears only when it is complete:
//
//   plus.txt       every PLU (0, 1800, then 1..1799), as SAVE TO DISK writes the grid
//   settings.txt   the settings page as LOAD FROM SCALE fills it (settings/settings_file.h)
//   clock.txt      the scale's clock as the clock box shows it
//   report.txt     the sales report as SAVE TO FILE writes it
//   manifest.txt   the scale, the time, the program and the files' SHA-256 (backup_manifest.h)
//
// The calibration parameters are not part of it: they are only ever written
// by a person at the SYSTEM page.

#include "scale_work.h"

#include <filesystem>
#include <string>

class ScaleLink;
class UserInterface;
class RegionalForms;

// Commands a full backup exchanges: identify, 1801 PLUs, 54 settings, the clock, 5 report blocks.
inline constexpr int kBackupCommands = 1 + 1801 + 54 + 1 + 5;

// `folder` must not exist yet. `program` names the program in the manifest.
WorkOutcome takeBackup(ScaleLink& link, UserInterface& ui, const RegionalForms& forms, const std::string& program,
                       const std::filesystem::path& folder, const WorkHooks& hooks);
