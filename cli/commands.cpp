#include "commands.h"

#include "backup/scale_backup.h"
#include "backup/scale_restore.h"
#include "exit_status.h"
#include "link/platform_serial_channel.h"
#include "link/port_name.h"
#include "link/scale_link.h"
#include "plu/file_replace.h"
#include "plu/plu_file.h"
#include "plu/plu_file_stamp.h"
#include "plu/plu_record.h"
#include "plu/plu_transfer.h"
#include "progress_bar.h"
#include "region/regional_forms.h"
#include "settings/clock.h"
#include "settings/general_settings_record.h"
#include "settings/settings_file.h"
#include "settings/settings_transfer.h"
#include "settings/tax_rates.h"
#include "stderr_user_interface.h"
#include "terminal.h"
#include "tools/report_file.h"
#include "tools/report_reader.h"

#include <cstdio>
#include <filesystem>
#include <variant>

namespace {

constexpr const char* kProgram = "tallivos-cli " TALLIVOS_VERSION;

// One run of one command: the link, the messages, the progress.
class Session {
  public:
    Session(const CommandLine& line, const RegionalForms& forms, StderrUserInterface& ui, ProgressBar* bar)
        : line_(line), forms_(forms), ui_(ui), bar_(bar), link_(makePlatformSerialChannel(), ui) {
        ui_.setCommand(line.commandName);
        ui_.setProgressBar(bar);
    }
    ~Session() {
        if (bar_) {
            bar_->clear();
        }
    }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    const CommandLine& line() const { return line_; }
    const RegionalForms& forms() const { return forms_; }
    char separator() const { return forms_.decimalSeparator(); }
    StderrUserInterface& ui() { return ui_; }
    ScaleLink& link() { return link_; }

    // Opens the port as CONNECT does; a failure is told with the system's reason.
    bool open() {
        if (link_.openLink(portFromText(line_.port), static_cast<std::uint32_t>(line_.speed))) {
            return true;
        }
        const OpenFailure failure = link_.openFailure();
        std::string details = failure.device;
        if (!failure.reason.empty()) {
            details += details.empty() ? failure.reason : ": " + failure.reason;
        }
        ui_.showErrorWithDetails("Cannot inicialize COM port!", "Error!", details);
        return false;
    }

    // Before each command of a job.
    void step(int done, int total, const std::string& what) {
        ui_.setWhere(what);
        if (bar_) {
            bar_->show(done, total, what);
        }
    }
    // The job is over: messages name nothing in particular any more.
    void finished(int total) {
        if (bar_) {
            bar_->show(total, total, "done");
            bar_->clear();
        }
        ui_.setWhere({});
    }

    WorkHooks hooks() {
        WorkHooks hooks;
        hooks.step = [this](int done, int total, const std::string& what) { step(done, total, what); };
        hooks.working = [] { return !stopRequested(); };
        return hooks;
    }

    // A message about a file, named by its path.
    int fileError(const std::string& path, const std::string& text) {
        ui_.setWhere(path);
        ui_.tell(text);
        return exit_status::kFileError;
    }
    int refused(const std::string& where, const std::string& text) {
        ui_.setWhere(where);
        ui_.tell(text);
        return exit_status::kRefused;
    }
    int stopped() {
        ui_.setWhere({});
        ui_.tell("stopped");
        return exit_status::kStopped;
    }

    // A file is only written once its data is complete, and its folder is
    // looked at first, so minutes of reading do not end in "I/O Error!".
    bool folderOfFileIsThere() {
        std::error_code error;
        std::filesystem::path parent = file().parent_path();
        if (parent.empty()) {
            parent = ".";
        }
        if (std::filesystem::is_directory(parent, error) && !std::filesystem::is_directory(file(), error)) {
            return true;
        }
        fileError(line_.path, std::string(kPluFileIoError));
        return false;
    }
    // The FILE or DIR of the command.
    std::filesystem::path file() const { return pathFromArgument(line_.path); }

  private:
    const CommandLine& line_;
    const RegionalForms& forms_;
    StderrUserInterface& ui_;
    ProgressBar* bar_;
    ScaleLink link_;
};

int fromWork(Session& session, const WorkOutcome& outcome) {
    switch (outcome.end) {
    case WorkEnd::Completed:
        return exit_status::kOk;
    case WorkEnd::Stopped:
        return session.stopped();
    case WorkEnd::LinkFailed:
        return exit_status::kLinkFailed;
    case WorkEnd::FileError:
        return session.fileError({}, outcome.problem);
    case WorkEnd::Refused:
        return session.refused({}, outcome.problem);
    }
    return exit_status::kLinkFailed;
}

std::string clockText(const ClockValue& clock) {
    return formatClock(clock) + "\n";
}

int identify(Session& session) {
    if (!session.open()) {
        return exit_status::kLinkFailed;
    }
    const auto identity = identifyScale(session.link());
    if (!identity) {
        return exit_status::kLinkFailed;
    }
    char status[16];
    std::snprintf(status, sizeof status, "STATUS:%02X", static_cast<unsigned>(identity->status));
    std::printf("SCALE ID: %s\n%s\n", identity->text.c_str(), status);
    return exit_status::kOk;
}

int pluLoad(Session& session) {
    const CommandLine& line = session.line();
    if (!session.folderOfFileIsThere()) {
        return exit_status::kFileError;
    }
    if (!session.open()) {
        return exit_status::kLinkFailed;
    }
    const int total = 2 + std::max(0, line.to - line.from + 1);
    int done = 0;
    PluGrid grid;
    TransferHooks hooks;
    hooks.working = [] { return !stopRequested(); };
    const TransferEnd end = loadPluRange(
        line.from, line.to,
        [&](std::uint16_t plu, int row) {
            session.step(done++, total, "PLU " + std::to_string(plu));
            return readPlu(session.link(), grid, plu, row, session.separator());
        },
        hooks);
    if (end == TransferEnd::Stopped) {
        return session.stopped();
    }
    if (end != TransferEnd::Completed) {
        return exit_status::kLinkFailed;
    }
    session.finished(total);
    const PluFileStamp stamp = pluFileStamp(session.forms(), localNow());
    if (savePluFile(session.file(), grid, stamp.date, stamp.time) != PluFileResult::Ok) {
        return session.fileError(line.path, std::string(kPluFileIoError));
    }
    return exit_status::kOk;
}

int pluSave(Session& session) {
    const CommandLine& line = session.line();
    PluGrid grid;
    const PluFileLoad load = loadPluFile(session.file(), grid, session.separator());
    if (load.result == PluFileResult::IoError) {
        return session.fileError(line.path, std::string(kPluFileIoError));
    }
    if (load.result == PluFileResult::InputError) {
        return session.refused(line.path + " line " + std::to_string(load.errorLine), std::string(kPluFileInputError));
    }
    // Every row that would go is converted before the first is sent, so a
    // file with a bad row leaves the scale as it was instead of half changed.
    const int rows = 2 + std::max(0, line.to - line.from + 1);
    for (int row = 1; row <= rows; ++row) {
        if (!grid.inUse(row)) {
            continue;
        }
        const auto request = pluWriteRequestFromRow(grid.row(row), session.separator());
        if (const auto* failure = std::get_if<CellConversionFailure>(&request)) {
            return session.refused(line.path + " row " + std::to_string(row),
                                   conversionErrorText(failure->text, failure->kind));
        }
    }
    if (!session.open()) {
        return exit_status::kLinkFailed;
    }
    int done = 0;
    const int total = rows + 1;
    TransferHooks hooks;
    hooks.working = [] { return !stopRequested(); };
    const TransferEnd end = savePluRange(
        line.from, line.to,
        [&](int row) {
            const std::string& number = grid.cell(row, PluColumn::Num);
            session.step(done++, total, grid.inUse(row) ? "PLU " + number : "row " + std::to_string(row));
            return writePluRow(session.link(), session.ui(), grid, row, session.separator());
        },
        [&] {
            session.step(done++, total, "end of the PLU upload");
            endPluUpload(session.link());
        },
        hooks);
    if (end == TransferEnd::Stopped) {
        return session.stopped();
    }
    if (end != TransferEnd::Completed || session.link().linkError()) {
        return end == TransferEnd::ConversionFailed ? exit_status::kRefused : exit_status::kLinkFailed;
    }
    session.finished(total);
    return exit_status::kOk;
}

SettingsStepHook settingsSteps(Session& session, int& done, int total, const char* prefix) {
    return [&session, &done, total, prefix](int index) {
        session.step(done++, total, std::string(prefix) + settingsCommandName(index));
    };
}

int settingsLoad(Session& session) {
    const CommandLine& line = session.line();
    if (!session.folderOfFileIsThere()) {
        return exit_status::kFileError;
    }
    if (!session.open()) {
        return exit_status::kLinkFailed;
    }
    ScaleSettings settings = ScaleSettings::startValues(session.separator());
    int done = 0;
    if (loadSettingsFromScale(session.link(), session.ui(), settings, session.separator(),
                              settingsSteps(session, done, kSettingsCommandCount, "settings: ")) !=
        SettingsTransferEnd::Completed) {
        return exit_status::kLinkFailed;
    }
    if (stopRequested()) {
        return session.stopped();
    }
    session.finished(kSettingsCommandCount);
    if (!saveSettingsFile(session.file(), settings, session.separator())) {
        return session.fileError(line.path, std::string(kPluFileIoError));
    }
    return exit_status::kOk;
}

int settingsSend(Session& session) {
    const CommandLine& line = session.line();
    const char separator = session.separator();
    ScaleSettings settings = ScaleSettings::startValues(separator);
    const SettingsFileRead read = loadSettingsFile(session.file(), separator, settings);
    if (read.result == SettingsFileResult::IoError) {
        return session.fileError(line.path, std::string(kPluFileIoError));
    }
    if (read.result == SettingsFileResult::InputError) {
        return session.refused(line.path, std::string(kPluFileInputError) + " (" +
                                              describeSettingsFileError(read.error) + ")");
    }
    if (!session.open()) {
        return exit_status::kLinkFailed;
    }
    int done = 0;
    const int total = kSettingsCommandCount * (read.complete ? 1 : 2);
    if (!read.complete) {
        // What the file leaves out stays as the scale has it.
        settings = ScaleSettings::startValues(separator);
        if (loadSettingsFromScale(session.link(), session.ui(), settings, separator,
                                  settingsSteps(session, done, total, "reading: ")) != SettingsTransferEnd::Completed) {
            return exit_status::kLinkFailed;
        }
        loadSettingsFile(session.file(), separator, settings);
        if (stopRequested()) {
            return session.stopped();
        }
    }
    // Texts that must be numbers are checked before the first command, so the
    // tax rates' failing does not come after 53 commands have changed the scale.
    const auto general = generalSettingsFromPage(settings);
    const auto taxes = taxRatesFromPage(settings.taxRates, separator);
    if (!general || !taxes) {
        const ConversionError& error = !general ? general.error : taxes.error;
        return session.refused(line.path, conversionErrorText(error.text, error.kind));
    }
    const SettingsTransferEnd sent = sendSettingsToScale(session.link(), session.ui(), settings, separator,
                                                         CurrencyRule::EuroAsByte,
                                                         settingsSteps(session, done, total, "settings: "));
    if (sent != SettingsTransferEnd::Completed) {
        return sent == SettingsTransferEnd::ConversionFailed ? exit_status::kRefused : exit_status::kLinkFailed;
    }
    session.finished(total);
    return exit_status::kOk;
}

int clockRead(Session& session) {
    ClockValue clock;
    if (!session.open() || !readClockFromScale(session.link(), clock)) {
        return exit_status::kLinkFailed;
    }
    std::fputs(clockText(clock).c_str(), stdout);
    return exit_status::kOk;
}

int clockSync(Session& session) {
    if (!session.open()) {
        return exit_status::kLinkFailed;
    }
    // Taken right before the command, so the scale is behind by the exchange only.
    const LocalDateTime now = localNow();
    const ClockValue clock{static_cast<std::uint16_t>(now.year),   static_cast<std::uint16_t>(now.month),
                           static_cast<std::uint16_t>(now.day),    static_cast<std::uint16_t>(now.hour),
                           static_cast<std::uint16_t>(now.minute), static_cast<std::uint16_t>(now.second)};
    if (!sendClockToScale(session.link(), clock)) {
        return exit_status::kLinkFailed;
    }
    std::fputs(clockText(clock).c_str(), stdout);
    return exit_status::kOk;
}

int report(Session& session) {
    const CommandLine& line = session.line();
    if (!session.folderOfFileIsThere()) {
        return exit_status::kFileError;
    }
    if (!session.open()) {
        return exit_status::kLinkFailed;
    }
    std::vector<std::string> lines;
    session.step(0, 1, "report");
    if (!readReport(session.link(), session.ui(), reportStamp(session.forms(), localNow()), session.separator(),
                    [&](const std::string& text) { lines.push_back(text); })) {
        return exit_status::kLinkFailed;
    }
    if (stopRequested()) {
        return session.stopped();
    }
    session.finished(1);
    if (!replaceFileContents(session.file(), reportFileBytes(lines))) {
        return session.fileError(line.path, std::string(kPluFileIoError));
    }
    return exit_status::kOk;
}

int backup(Session& session) {
    if (!session.open()) {
        return exit_status::kLinkFailed;
    }
    const WorkOutcome outcome =
        takeBackup(session.link(), session.ui(), session.forms(), kProgram, session.file(), session.hooks());
    if (outcome.end == WorkEnd::Completed) {
        session.finished(kBackupCommands);
    }
    return fromWork(session, outcome);
}

int restore(Session& session) {
    const CommandLine& line = session.line();
    const RestorePlanRead read = readRestorePlan(session.file(), session.separator());
    if (read.outcome.end != WorkEnd::Completed) {
        return fromWork(session, read.outcome);
    }
    if (line.dryRun) {
        for (const std::string& text : describeRestore(read.plan, line.clock)) {
            std::fputs((text + "\n").c_str(), stdout);
        }
        return exit_status::kOk;
    }
    if (!session.open()) {
        return exit_status::kLinkFailed;
    }
    const WorkOutcome outcome =
        restoreBackup(session.link(), session.ui(), read.plan, line.clock, session.separator(), session.hooks());
    if (outcome.end == WorkEnd::Completed) {
        session.finished(restoreCommands(line.clock));
    }
    return fromWork(session, outcome);
}

} // namespace

int runCompanionCommand(const CommandLine& line, const RegionalForms& forms, StderrUserInterface& ui,
                        ProgressBar* bar) {
    Session session(line, forms, ui, bar);
    switch (line.command) {
    case Command::Identify:
        return identify(session);
    case Command::PluLoad:
        return pluLoad(session);
    case Command::PluSave:
        return pluSave(session);
    case Command::SettingsLoad:
        return settingsLoad(session);
    case Command::SettingsSend:
        return settingsSend(session);
    case Command::ClockRead:
        return clockRead(session);
    case Command::ClockSync:
        return clockSync(session);
    case Command::Report:
        return report(session);
    case Command::Backup:
        return backup(session);
    case Command::Restore:
        return restore(session);
    }
    return exit_status::kUsage;
}
