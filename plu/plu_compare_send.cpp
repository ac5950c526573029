#include "plu_compare_send.h"

#include "compare_result_panel.h"
#include "grid_plu_index.h"
#include "gui/qt_text.h"
#include "link/scale_link.h"
#include "link/user_interface.h"
#include "plu_page.h"
#include "plu_table_model.h"
#include "plu_workbench.h"
#include "progress_window.h"
#include "send_changes.h"
#include "take_scale_values.h"

#include <QAction>
#include <QCheckBox>
#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTableView>
#include <QTimer>

namespace {

const std::string kSendTitle = "SEND CHANGES";
const QString kSendNote = QStringLiteral("SEND CHANGES: ");

QString text(const std::string& bytes) {
    return bytesToQString(bytes);
}

} // namespace

PluCompareSend::PluCompareSend(PluPage& page) : QObject(&page), page_(page) {
    panel_ = new CompareResultPanel(&page_);
    refreshTimer_ = new QTimer(this);
    refreshTimer_->setSingleShot(true);
    refreshTimer_->setInterval(0);
    page_.tableModel().addMarkSource(marks_);

    QMenu& menu = page_.workbench().menu();
    menu.addSeparator();
    takeAction_ = menu.addAction(QStringLiteral("Take the scale's values"));
    takeAction_->setObjectName(QStringLiteral("TakeScaleValuesAction"));
    showAction_ = menu.addAction(QStringLiteral("Show the comparison"));
    showAction_->setObjectName(QStringLiteral("ShowComparisonAction"));

    // COMPARE WITH SCALE: the range read into a snapshot and shown against the grid.
    connect(page_.CompareButton, &QPushButton::clicked, this, &PluCompareSend::compareClicked);
    // SEND CHANGES: only the rows that differ from what the scale is known to hold.
    connect(page_.SendChangesButton, &QPushButton::clicked, this, &PluCompareSend::sendChangesClicked);
    // The panel's TAKE buttons, and a finding clicked: its row shown in the grid.
    connect(panel_, &CompareResultPanel::takeSelected, this, &PluCompareSend::takeSelected);
    connect(panel_, &CompareResultPanel::takeAll, this, &PluCompareSend::takeAll);
    connect(panel_, &CompareResultPanel::rowChosen, this, [this](int row) { page_.showDataRow(row); });
    // The tools menu: the scale's values for the rows it works on.
    connect(takeAction_, &QAction::triggered, this,
            [this] { takeForRows(page_.workbench().targetRows()); });
    // The tools menu: the panel again, after it was closed.
    connect(showAction_, &QAction::triggered, this, &PluCompareSend::showPanel);
    connect(&menu, &QMenu::aboutToShow, this, &PluCompareSend::updateMenu);
    // Every change of the grid's texts compares again, once the change is whole.
    connect(&page_.tableModel(), &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex&, const QModelIndex&, const QList<int>& roles) {
                if (shown_ && (roles.isEmpty() || roles.contains(Qt::DisplayRole))) {
                    refreshTimer_->start();
                }
            });
    connect(refreshTimer_, &QTimer::timeout, this, &PluCompareSend::refresh);
    // CLEAR and the loads replace the table the comparison was made for.
    connect(&page_, &PluPage::tableReplaced, this, &PluCompareSend::endComparison);
    connect(&page_, &PluPage::scaleWritten, this, &PluCompareSend::scaleWritten);
}

PluCompareSend::~PluCompareSend() {
    page_.tableModel().removeMarkSource(marks_);
}

void PluCompareSend::compareClicked() {
    if (page_.transferRunning() || !page_.context().link.checkConnected()) {
        return;
    }
    int from = 0;
    int to = 0;
    if (page_.readRange(from, to)) {
        runCompare(from, to);
    }
}

bool PluCompareSend::runCompare(int from, int to) {
    endComparison();
    const PageContext& context = page_.context();
    CompareOutcome outcome;
    page_.runScaleJob(to - from, [&](TForm2&, const TransferHooks& hooks) {
        outcome = compareWithScale(context.link, page_.grid(), page_.scaleKnowledge(), from, to,
                                   context.decimalSeparator, hooks);
    });
    if (outcome.end == TransferEnd::LinkFailed) {
        setNote(QStringLiteral("COMPARE WITH SCALE: the link failed, and what the scale holds is no longer known."));
        return false;
    }
    QString heading = outcome.end == TransferEnd::Stopped
                          ? QStringLiteral("Stopped: only the PLUs read before STOP were compared.")
                      : to >= from ? QStringLiteral("PLUs 0, 1800 and %1 to %2 compared.").arg(from).arg(to)
                                   : QStringLiteral("PLUs 0 and 1800 compared.");
    shown_ = Shown{std::move(outcome.snapshot), std::move(outcome.changedOnScale), std::move(outcome.comparison),
                   std::move(heading)};
    showComparison(true);
    showPanel();
    return outcome.end == TransferEnd::Completed;
}

void PluCompareSend::showPanel() {
    if (!shown_) {
        return;
    }
    if (!panel_->isVisible()) {
        panel_->showComparison(shown_->heading, shown_->comparison, page_.grid(),
                               plusOverwritingChanges(kFirstRangePlu, kLastRangePlu));
    }
    if (!panelPlaced_) {
        // Beside the main window where the screen has room, so the grid stays in sight.
        const QWidget* main = page_.window();
        const QRect screen = main->screen() != nullptr ? main->screen()->availableGeometry() : QRect();
        const QRect frame = main->frameGeometry();
        const int left = frame.right() + 1 + panel_->width() <= screen.right() ? frame.right() + 1
                                                                                 : frame.right() - panel_->width();
        panel_->move(left, frame.top());
        panelPlaced_ = true;
    }
    panel_->show();
    panel_->raise();
}

void PluCompareSend::sendChangesClicked() {
    if (page_.transferRunning() || !page_.context().link.checkConnected()) {
        return;
    }
    int from = 0;
    int to = 0;
    if (!page_.readRange(from, to)) {
        return;
    }
    const PageContext& context = page_.context();
    const PluGrid& grid = page_.grid();
    if (!GridPluIndex(grid).everyRowMatched()) {
        // Refused with its message before any exchange: no progress window for it.
        sendChangedRows(context.link, context.ui, grid, page_.scaleKnowledge(), {from, to, context.decimalSeparator},
                        {});
        setNote(kSendNote + QStringLiteral("nothing was sent."));
        return;
    }
    if (!plusToReadFirst(grid, page_.scaleKnowledge(), from, to).empty()) {
        // Without knowledge a difference may be a change made at the counter:
        // the user sees the comparison and decides before anything is written.
        setNote(kSendNote + QStringLiteral("what the scale holds is not known, so it compares first."));
        if (!runCompare(from, to)) {
            setNote(kSendNote + QStringLiteral("nothing was sent, as the compare did not finish."));
            return;
        }
        if (rowsToWrite(shown_->comparison) == 0) {
            SendChangesOutcome nothing;
            nothing.end = SendChangesEnd::NothingToSend;
            setNote(kSendNote + text(sendChangesNote(nothing, false)));
            return;
        }
        const auto answer = context.ui.askQuestion(writeAfterCompareQuestion(shown_->comparison, grid), kSendTitle,
                                                   {"WRITE", "DO NOT WRITE"});
        if (answer != std::optional<std::size_t>(0)) {
            setNote(kSendNote + QStringLiteral("nothing was sent. Take the scale's values where the scale is "
                                               "right; SEND CHANGES then writes the rest."));
            return;
        }
    }
    QString kept;
    if (keepOrOverwriteScaleChanges(from, to, kept)) {
        send(from, to, kept);
    }
}

std::vector<std::uint16_t> PluCompareSend::plusOverwritingChanges(int from, int to) const {
    if (!shown_ || shown_->changedOnScale.empty()) {
        return {};
    }
    return plusOverwritingScaleChanges(page_.grid(), shown_->changedOnScale, page_.scaleKnowledge(), from, to,
                                       page_.context().decimalSeparator);
}

bool PluCompareSend::keepOrOverwriteScaleChanges(int from, int to, QString& kept) {
    // The knowledge holds what a compare read, so a row the user never
    // touched differs from a change made at the counter as much as an edit
    // does: the user says which side is right before the older values go out.
    const std::vector<std::uint16_t> plus = plusOverwritingChanges(from, to);
    if (plus.empty()) {
        return true;
    }
    const auto answer = page_.context().ui.askQuestion(overwriteQuestion(plus), kSendTitle,
                                                       {"KEEP THE SCALE'S", "WRITE THE GRID'S", "CANCEL"});
    if (answer == std::optional<std::size_t>(1)) {
        return true;
    }
    if (answer != std::optional<std::size_t>(0)) {
        setNote(kSendNote + QStringLiteral("nothing was sent."));
        return false;
    }
    refresh();
    const GridPluIndex index(page_.grid());
    std::vector<int> rows;
    for (const std::uint16_t plu : plus) {
        rows.push_back(index.rowOf(plu));
    }
    applyTake(planTakeScaleValues(page_.grid(), shown_->comparison, rows, {}), false);
    const std::vector<int> numbers(plus.begin(), plus.end());
    kept = text(numberListText("PLU ", "PLUs ", numbers)) + QStringLiteral(" kept the scale's values.");
    return true;
}

void PluCompareSend::send(int from, int to, const QString& before) {
    const PageContext& context = page_.context();
    const bool verify = page_.VerifyWrites->isChecked();
    SendChangesOutcome outcome;
    page_.runScaleJob(0, [&](TForm2& progress, const TransferHooks& transfer) {
        SendPhase phase = SendPhase::Writing;
        int steps = 0;
        SendChangesHooks hooks;
        hooks.transfer = transfer;
        hooks.phaseBegins = [&](SendPhase begun, int span) {
            phase = begun;
            steps = span;
            progress.ProgressBar1->setRange(0, std::max(span, 0));
            progress.ProgressBar1->setValue(0);
        };
        hooks.transfer.progress = [&](int position, int plu) {
            if (phase == SendPhase::Writing) {
                progress.setStep(position, QStringLiteral("%1 of %2 PLUs written").arg(position).arg(steps));
            } else {
                progress.setProgress(position, plu);
            }
        };
        outcome = sendChangedRows(context.link, context.ui, page_.grid(), page_.scaleKnowledge(),
                                  {from, to, context.decimalSeparator, verify}, hooks);
    });
    setNote(kSendNote + (before.isEmpty() ? QString() : before + QLatin1Char(' ')) +
            text(sendChangesNote(outcome, verify)));
    followKnowledge();
}

void PluCompareSend::scaleWritten() {
    followKnowledge();
    if (page_.scaleKnowledge().empty()) {
        setNote(QStringLiteral("SAVE TO SCALE did not finish: what the scale holds is no longer known."));
    }
}

void PluCompareSend::followKnowledge() {
    if (!shown_) {
        return;
    }
    shown_->compared.followFor(page_.scaleKnowledge());
    if (shown_->compared.empty()) {
        endComparison();
    } else {
        refresh();
    }
}

void PluCompareSend::knowledgeDropped(KnowledgeDropped why) {
    // A job of the page sees its own failure when it ends.
    if (page_.transferRunning()) {
        return;
    }
    endComparison();
    setNote(why == KnowledgeDropped::ExchangeFailed
                ? QStringLiteral("An exchange with the scale failed: what the scale holds is no longer known, "
                                 "and SEND CHANGES compares first.")
                : QStringLiteral("PLUs were written to the scale from elsewhere: what the scale holds is no "
                                 "longer known, and SEND CHANGES compares first."));
}

void PluCompareSend::endComparison() {
    refreshTimer_->stop();
    if (!shown_) {
        return;
    }
    marks_.clear(); // before the comparison it points into goes
    shown_.reset();
    page_.tableModel().marksChanged(1, kPluDataRows);
    panel_->hide();
    if (noteIsSummary_) {
        setNote({});
    }
}

void PluCompareSend::refresh() {
    if (!shown_ || page_.transferRunning()) {
        return;
    }
    refreshTimer_->stop();
    shown_->comparison = comparePluTables(page_.grid(), shown_->compared, page_.context().decimalSeparator);
    showComparison(false);
}

void PluCompareSend::showComparison(bool justCompared) {
    const std::vector<std::uint16_t> changed = plusOverwritingChanges(kFirstRangePlu, kLastRangePlu);
    marks_.show(shown_->comparison, changed);
    page_.tableModel().marksChanged(1, kPluDataRows);
    // A closed panel is filled again when it is opened.
    if (justCompared || panel_->isVisible()) {
        panel_->showComparison(shown_->heading, shown_->comparison, page_.grid(), changed);
    }
    // The note follows the summary until another action's note replaces it.
    if (justCompared || noteIsSummary_) {
        setNote(text(shown_->comparison.summary()), true);
    }
}

void PluCompareSend::takeSelected() {
    if (shown_) {
        applyTake(planTakeScaleValues(page_.grid(), shown_->comparison, panel_->selectedRows(),
                                      panel_->selectedScaleOnly()));
    }
}

void PluCompareSend::takeAll() {
    if (shown_) {
        applyTake(planTakeAllScaleValues(page_.grid(), shown_->comparison));
    }
}

void PluCompareSend::takeForRows(const std::vector<int>& rows) {
    if (shown_) {
        applyTake(planTakeScaleValues(page_.grid(), shown_->comparison, rows, {}));
    }
}

void PluCompareSend::applyTake(const TakeScaleValuesPlan& plan, bool report) {
    if (page_.transferRunning()) {
        return;
    }
    const std::string said = takeScaleValuesReport(plan);
    page_.applyRowsAsOneStep(QStringLiteral("taking the scale's values"), plan.edits);
    refresh();
    if (report) {
        page_.context().ui.showInformation(said, "Take the scale's values");
    }
}

void PluCompareSend::updateMenu() {
    takeAction_->setEnabled(shown_.has_value() && !page_.transferRunning());
    showAction_->setEnabled(shown_.has_value());
    takeAction_->setText(QStringLiteral("Take the scale's values (%1)")
                             .arg(page_.workbench().scopeText(page_.workbench().targetRows())));
}

void PluCompareSend::setNote(const QString& note, bool isSummary) {
    noteIsSummary_ = isSummary && !note.isEmpty();
    QLabel& label = *page_.CompareSendNote;
    label.setToolTip(note);
    label.setText(label.fontMetrics().elidedText(note, Qt::ElideRight, label.width()));
}
