#include "scale_restore.h"

#include "link/scale_link.h"
#include "plu/file_system_calls.h"
#include "plu/plu_file.h"
#include "plu/plu_record.h"
#include "plu/plu_transfer.h"
#include "plu/whole_file.h"
#include "settings/general_settings_record.h"
#include "settings/settings_file.h"
#include "settings/settings_transfer.h"
#include "settings/tax_rates.h"
#include "sha256.h"

#include <cstdio>
#include <sstream>
#include <variant>

namespace {

constexpr int kPluRows = kPluDataRows;
constexpr int kEndUploadCommands = 1;

RestorePlanRead refused(std::string problem) {
    RestorePlanRead read;
    read.outcome = {WorkEnd::Refused, std::move(problem)};
    return read;
}

// "0-39, 1800": runs of consecutive numbers.
std::string numberRuns(const std::vector<std::uint16_t>& numbers) {
    std::string text;
    for (std::size_t i = 0; i < numbers.size();) {
        std::size_t j = i;
        while (j + 1 < numbers.size() && numbers[j + 1] == numbers[j] + 1) {
            ++j;
        }
        text += (text.empty() ? "" : ", ") + std::to_string(numbers[i]);
        if (j > i) {
            text += "-" + std::to_string(numbers[j]);
        }
        i = j + 1;
    }
    return text;
}

} // namespace

std::optional<ClockValue> parseClock(std::string_view text) {
    unsigned day = 0, month = 0, year = 0, hour = 0, minute = 0, second = 0;
    char tail = 0;
    const std::string copy(text);
    if (copy.size() != 17 || std::sscanf(copy.c_str(), "%2u-%2u-%2u %2u:%2u:%2u%c", &day, &month, &year, &hour,
                                         &minute, &second, &tail) != 6) {
        return std::nullopt;
    }
    return ClockValue{static_cast<std::uint16_t>(kClockYearBase + year), static_cast<std::uint16_t>(month),
                      static_cast<std::uint16_t>(day),                  static_cast<std::uint16_t>(hour),
                      static_cast<std::uint16_t>(minute),               static_cast<std::uint16_t>(second)};
}

RestorePlanRead readRestorePlan(const std::filesystem::path& folder, char decimalSeparator) {
    const auto manifestBytes = readWholeFile(folder / kBackupManifestFile, kMaxBackupFileSize);
    if (!manifestBytes) {
        RestorePlanRead read;
        read.outcome = {WorkEnd::FileError, "cannot read " + pathText(folder / kBackupManifestFile)};
        return read;
    }
    ManifestRead manifest = parseBackupManifest(*manifestBytes);
    if (!manifest.ok) {
        return refused(std::string(kBackupManifestFile) + ": " + manifest.problem);
    }
    for (const std::string_view needed : {kBackupPluFile, kBackupSettingsFile}) {
        if (manifest.manifest.file(needed) == nullptr) {
            return refused(std::string(kBackupManifestFile) + " has no SHA-256 for " + std::string(needed));
        }
    }

    // Every file the manifest names, checked against its sum.
    std::vector<std::pair<std::string, std::string>> files;
    for (const BackupFileSum& sum : manifest.manifest.files) {
        const auto bytes = readWholeFile(folder / sum.name, kMaxBackupFileSize);
        if (!bytes) {
            RestorePlanRead read;
            read.outcome = {WorkEnd::FileError, "cannot read " + pathText(folder / sum.name)};
            return read;
        }
        if (sha256Hex(*bytes) != sum.sha256) {
            return refused(sum.name + " does not match its SHA-256 in " + std::string(kBackupManifestFile));
        }
        files.emplace_back(sum.name, *bytes);
    }
    const auto contents = [&](std::string_view name) -> const std::string* {
        for (const auto& [fileName, bytes] : files) {
            if (fileName == name) {
                return &bytes;
            }
        }
        return nullptr;
    };

    RestorePlanRead read;
    RestorePlan& plan = read.plan;
    plan.manifest = std::move(manifest.manifest);
    const char backupSeparator = plan.manifest.decimalSeparator;

    std::istringstream pluBytes(*contents(kBackupPluFile));
    const PluFileLoad load = readPluFile(pluBytes, plan.grid, backupSeparator, PluFileChecks::FieldsOnly);
    if (load.result != PluFileResult::Ok) {
        return refused(std::string(kBackupPluFile) + " line " + std::to_string(load.errorLine) + ": " +
                       std::string(kPluFileInputError));
    }
    // Every row converted now as sending converts it: nothing goes unless all can.
    for (int row = 1; row <= kPluDataRows; ++row) {
        if (!plan.grid.inUse(row)) {
            continue;
        }
        const auto request = pluWriteRequestFromRow(plan.grid.row(row), backupSeparator);
        if (const auto* failure = std::get_if<CellConversionFailure>(&request)) {
            return refused(std::string(kBackupPluFile) + " row " + std::to_string(row) + ": " +
                           conversionErrorText(failure->text, failure->kind));
        }
        plan.plus.push_back(std::get<PluWriteRequest>(request).plu);
    }

    plan.settings = ScaleSettings::startValues(decimalSeparator);
    const SettingsFileRead settings = parseSettingsFile(*contents(kBackupSettingsFile), decimalSeparator, plan.settings);
    if (settings.result != SettingsFileResult::Ok) {
        return refused(std::string(kBackupSettingsFile) + " " + describeSettingsFileError(settings.error));
    }
    // A backup holds every setting; the page's start values must never stand
    // in for one that is missing.
    if (!settings.complete) {
        return refused(std::string(kBackupSettingsFile) + " does not name every setting");
    }
    const auto general = generalSettingsFromPage(plan.settings);
    const auto taxes = taxRatesFromPage(plan.settings.taxRates, decimalSeparator);
    if (!general || !taxes) {
        const ConversionError& error = !general ? general.error : taxes.error;
        return refused(std::string(kBackupSettingsFile) + ": " + conversionErrorText(error.text, error.kind));
    }

    if (const std::string* clock = contents(kBackupClockFile)) {
        std::string_view line = *clock;
        if (line.size() >= 2 && line.substr(line.size() - 2) == "\r\n") {
            line.remove_suffix(2);
        }
        plan.clock = parseClock(line);
        if (!plan.clock) {
            return refused(std::string(kBackupClockFile) + " does not hold a date and time as dd-mm-yy hh:mm:ss");
        }
    }
    return read;
}

std::vector<std::string> describeRestore(const RestorePlan& plan, bool withClock) {
    std::vector<std::string> lines;
    lines.push_back("backup of scale \"" + plan.manifest.scale + "\" taken " + isoDateTime(plan.manifest.taken) +
                    (plan.manifest.program.empty() ? "" : " by " + plan.manifest.program) + "; its sums are right");
    lines.push_back("would write " + std::to_string(plan.plus.size()) + " PLUs (" + numberRuns(plan.plus) +
                    "), then end the upload with command 39");
    for (int row = 1; row <= kPluDataRows; ++row) {
        if (plan.grid.inUse(row)) {
            const PluRow& cells = plan.grid.row(row);
            lines.push_back("  PLU " + cells[PluColumn::Num] + "\t" + cells[PluColumn::Price] + "\t" +
                            cells[PluColumn::Name]);
        }
    }
    lines.push_back("would write the settings in " + std::to_string(kSettingsCommandCount) +
                    " commands: general settings, clerks 1-4, header lines 1-6, footer lines 1-2, "
                    "departments 0-39, tax rates");
    if (!plan.clock) {
        lines.push_back("would leave the clock: the backup has no clock.txt");
    } else if (withClock) {
        lines.push_back("would set the clock to " + formatClock(*plan.clock));
    } else {
        lines.push_back("would leave the clock (asked for, it would be set to " + formatClock(*plan.clock) + ")");
    }
    lines.push_back("would leave the calibration parameters: a restore never writes them");
    return lines;
}

int restoreCommands(bool withClock) {
    return kPluRows + kEndUploadCommands + kSettingsCommandCount + (withClock ? 1 : 0);
}

WorkOutcome restoreBackup(ScaleLink& link, UserInterface& ui, const RestorePlan& plan, bool withClock,
                          char decimalSeparator, const WorkHooks& hooks) {
    if (!link.checkConnected()) {
        return {WorkEnd::LinkFailed, {}};
    }
    const int total = restoreCommands(withClock && plan.clock);
    int done = 0;
    const auto next = [&](const std::string& what) {
        if (hooks.step) {
            hooks.step(done, total, what);
        }
        ++done;
    };

    TransferHooks transferHooks;
    transferHooks.working = hooks.working;
    const char backupSeparator = plan.manifest.decimalSeparator;
    const TransferEnd plus = savePluRange(
        kFirstRangePlu, kLastRangePlu,
        [&](int row) {
            next(plan.grid.inUse(row) ? "PLU " + plan.grid.cell(row, PluColumn::Num) : "row " + std::to_string(row));
            return writePluRow(link, ui, plan.grid, row, backupSeparator);
        },
        [&] {
            next("end of the PLU upload");
            endPluUpload(link);
        },
        transferHooks);
    if (plus != TransferEnd::Completed) {
        return {plus == TransferEnd::Stopped ? WorkEnd::Stopped : WorkEnd::LinkFailed, {}};
    }
    if (hooks.working && !hooks.working()) {
        return {WorkEnd::Stopped, {}};
    }

    ScaleSettings settings = plan.settings;
    const SettingsTransferEnd sent =
        sendSettingsToScale(link, ui, settings, decimalSeparator, CurrencyRule::AsHeld,
                            [&](int index) { next("settings: " + settingsCommandName(index)); });
    if (sent != SettingsTransferEnd::Completed) {
        return {WorkEnd::LinkFailed, {}};
    }

    if (withClock && plan.clock) {
        next("clock");
        if (!sendClockToScale(link, *plan.clock)) {
            return {WorkEnd::LinkFailed, {}};
        }
    }
    return {WorkEnd::Completed, {}};
}
