#include "backup_tools.h"

#include "backup/scale_backup.h"
#include "backup/scale_restore.h"
#include "gui/qt_text.h"
#include "link/scale_link.h"
#include "link/user_interface.h"
#include "plu/progress_window.h"
#include "region/qt_regional_forms.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QTimer>
#include <QWidget>
#include <filesystem>

namespace {

constexpr const char* kProgram = "tallivos-utility " TALLIVOS_VERSION;

std::string currentFolder() {
    std::error_code error;
    return std::filesystem::current_path(error).string();
}

} // namespace

BackupTools::BackupTools(PageContext context, TForm2& progress, QWidget& mainWindow)
    : QObject(&mainWindow), context_(context), progress_(progress), mainWindow_(mainWindow) {}

WorkOutcome BackupTools::runJob(int total, const std::function<WorkOutcome(const WorkHooks&)>& job) {
    running_ = true;
    closeAfterJob_ = false;
    mainWindow_.installEventFilter(this);
    progress_.beginTransfer(total);
    // Pending events (the repaint, a click on "STOP") run while each command
    // and its reply cross the line, where the program waits anyway; a step
    // that made no exchange (a file written) lets them run itself.
    ScaleLink& link = context_.link;
    std::uint64_t exchangesSeen = link.statistics().exchanges;
    WorkHooks hooks;
    hooks.step = [&](int done, int, const std::string& what) {
        progress_.setStep(done, bytesToQString(what));
        if (link.statistics().exchanges == exchangesSeen) {
            QCoreApplication::processEvents();
        }
        exchangesSeen = link.statistics().exchanges;
    };
    hooks.working = [this] { return progress_.Working; };
    const WorkWhileWaiting events(link, [] { QCoreApplication::processEvents(); });
    const WorkOutcome outcome = job(hooks);
    progress_.endTransfer();
    mainWindow_.removeEventFilter(this);
    running_ = false;
    if (closeAfterJob_) {
        QTimer::singleShot(0, &mainWindow_, &QWidget::close);
    }
    return outcome;
}

void BackupTools::tellOutcome(const WorkOutcome& outcome) {
    // A failed exchange has been told by runCommand; a stop needs no words.
    if (outcome.end == WorkEnd::FileError) {
        context_.ui.showErrorWithDetails("I/O Error!", "ERROR!", outcome.problem);
    } else if (outcome.end == WorkEnd::Refused) {
        context_.ui.showErrorWithDetails("error in input file", "ERROR!", outcome.problem);
    }
}

void BackupTools::backupClicked() {
    if (running_ || !context_.link.checkConnected()) {
        return;
    }
    const auto folder = context_.ui.askSaveFileName({"Scale backup folders", "*", "", currentFolder()});
    if (!folder) {
        return;
    }
    const QtRegionalForms forms;
    tellOutcome(runJob(kBackupCommands, [&](const WorkHooks& hooks) {
        return takeBackup(context_.link, context_.ui, forms, kProgram, *folder, hooks);
    }));
}

void BackupTools::restoreClicked() {
    if (running_ || !context_.link.checkConnected()) {
        return;
    }
    const auto folder = context_.ui.askExistingFolder(currentFolder());
    if (!folder) {
        return;
    }
    const RestorePlanRead read = readRestorePlan(*folder, context_.decimalSeparator);
    if (read.outcome.end != WorkEnd::Completed) {
        tellOutcome(read.outcome);
        return;
    }
    const RestorePlan& plan = read.plan;
    const auto target = identifyScale(context_.link);
    if (!target) {
        return;
    }
    const QtRegionalForms forms;
    const LocalDateTime& taken = plan.manifest.taken;
    const std::string question =
        "Restore the backup of the scale \"" + plan.manifest.scale + "\" taken " + forms.shortDate(taken) + " " +
        forms.longTime(taken) + " onto the scale \"" + target->text + "\"?\n\nIts " +
        std::to_string(plan.plus.size()) +
        " PLUs and its settings replace those of the scale. The calibration parameters are not written.";
    std::vector<std::string> answers{"Restore"};
    if (plan.clock) {
        answers.push_back("Restore and set the clock to " + formatClock(*plan.clock));
    }
    answers.push_back("Cancel");
    const auto answer = context_.ui.askQuestion(question, "Restore", answers);
    if (!answer || *answer + 1 == answers.size()) {
        return;
    }
    const bool withClock = plan.clock && *answer == 1;
    tellOutcome(runJob(restoreCommands(withClock), [&](const WorkHooks& hooks) {
        return restoreBackup(context_.link, context_.ui, plan, withClock, context_.decimalSeparator, hooks);
    }));
}

bool BackupTools::eventFilter(QObject* watched, QEvent* event) {
    // Closing the main window during a job stops the job first; the window
    // closes once it has ended (a stopped backup leaves no folder).
    if (running_ && watched == &mainWindow_ && event->type() == QEvent::Close) {
        closeAfterJob_ = true;
        progress_.Working = false;
        event->ignore();
        return true;
    }
    return QObject::eventFilter(watched, event);
}
