#include "scale_backup.h"

#include "backup_manifest.h"
#include "durable_folder.h"
#include "link/scale_link.h"
#include "plu/file_system_calls.h"
#include "plu/plu_file.h"
#include "plu/plu_file_stamp.h"
#include "plu/plu_grid.h"
#include "plu/plu_transfer.h"
#include "region/regional_forms.h"
#include "settings/clock.h"
#include "settings/settings_file.h"
#include "settings/settings_transfer.h"
#include "sha256.h"
#include "tools/report_file.h"
#include "tools/report_reader.h"

#include <array>
#include <utility>

namespace {

constexpr int kReportCommands = 5; // the general block and four clerks

// Counts the commands as they go, for the step hook.
class Steps {
  public:
    explicit Steps(const WorkHooks& hooks) : hooks_(hooks) {}
    void next(const std::string& what, int commands = 1) {
        if (hooks_.step) {
            hooks_.step(done_, kBackupCommands, what);
        }
        done_ += commands;
    }
    bool working() const { return !hooks_.working || hooks_.working(); }

  private:
    const WorkHooks& hooks_;
    int done_ = 0;
};

struct BackupContents {
    ScaleIdentity identity;
    PluGrid grid;
    ScaleSettings settings;
    ClockValue clock;
    std::vector<std::string> reportLines;
};

WorkEnd readEverything(ScaleLink& link, UserInterface& ui, const RegionalForms& forms, const WorkHooks& hooks,
                       BackupContents& contents) {
    const char separator = forms.decimalSeparator();
    Steps steps(hooks);
    steps.next("identification");
    const auto identity = identifyScale(link);
    if (!identity) {
        return WorkEnd::LinkFailed;
    }
    contents.identity = *identity;

    TransferHooks transferHooks;
    transferHooks.working = hooks.working;
    const TransferEnd plus = loadPluRange(
        kFirstRangePlu, kLastRangePlu,
        [&](std::uint16_t plu, int row) {
            steps.next("PLU " + std::to_string(plu));
            return readPlu(link, contents.grid, plu, row, separator);
        },
        transferHooks);
    if (plus != TransferEnd::Completed) {
        return plus == TransferEnd::Stopped ? WorkEnd::Stopped : WorkEnd::LinkFailed;
    }

    contents.settings = ScaleSettings::startValues(separator);
    if (!steps.working()) {
        return WorkEnd::Stopped;
    }
    const SettingsTransferEnd settings = loadSettingsFromScale(
        link, ui, contents.settings, separator, [&](int index) { steps.next("settings: " + settingsCommandName(index)); });
    if (settings != SettingsTransferEnd::Completed) {
        return WorkEnd::LinkFailed;
    }

    if (!steps.working()) {
        return WorkEnd::Stopped;
    }
    steps.next("clock");
    if (!readClockFromScale(link, contents.clock)) {
        return WorkEnd::LinkFailed;
    }

    if (!steps.working()) {
        return WorkEnd::Stopped;
    }
    steps.next("report", kReportCommands);
    // The report's own stamp is the moment it is read, as on the REPORTS page.
    return readReport(link, ui, reportStamp(forms, localNow()), separator,
                      [&](const std::string& line) { contents.reportLines.push_back(line); })
               ? WorkEnd::Completed
               : WorkEnd::LinkFailed;
}

} // namespace

WorkOutcome takeBackup(ScaleLink& link, UserInterface& ui, const RegionalForms& forms, const std::string& program,
                       const std::filesystem::path& folder, const WorkHooks& hooks) {
    if (!link.checkConnected()) {
        return {WorkEnd::LinkFailed, {}};
    }
    // The folder is made before the first command, so a place that cannot
    // be written is known before minutes of reading.
    std::error_code error;
    if (std::filesystem::exists(std::filesystem::symlink_status(folder, error))) {
        return {WorkEnd::FileError, pathText(folder) + " exists already"};
    }
    auto target = DurableFolder::begin(folder);
    if (!target) {
        return {WorkEnd::FileError, "cannot create a folder beside " + pathText(folder)};
    }

    const LocalDateTime taken = localNow();
    BackupContents contents;
    if (const WorkEnd end = readEverything(link, ui, forms, hooks, contents); end != WorkEnd::Completed) {
        return {end, {}};
    }

    const PluFileStamp stamp = pluFileStamp(forms, taken);
    const std::array<std::pair<std::string_view, std::string>, 4> files{{
        {kBackupPluFile, formatPluFile(contents.grid, stamp.date, stamp.time)},
        {kBackupSettingsFile, formatSettingsFile(contents.settings, forms.decimalSeparator())},
        {kBackupClockFile, formatClock(contents.clock) + "\r\n"},
        {kBackupReportFile, reportFileBytes(contents.reportLines)},
    }};
    BackupManifest manifest;
    manifest.scale = contents.identity.text;
    manifest.status = contents.identity.status;
    manifest.taken = taken;
    manifest.program = program;
    manifest.decimalSeparator = forms.decimalSeparator();
    for (const auto& [name, bytes] : files) {
        if (!target->write(name, bytes)) {
            return {WorkEnd::FileError, "cannot write " + std::string(name) + " in " + pathText(folder)};
        }
        manifest.files.push_back({std::string(name), sha256Hex(bytes)});
    }
    // The manifest last: a folder with one is a folder with everything.
    if (!target->write(kBackupManifestFile, formatBackupManifest(manifest)) || !target->commit()) {
        return {WorkEnd::FileError, "cannot put the backup in place as " + pathText(folder)};
    }
    return {WorkEnd::Completed, {}};
}
