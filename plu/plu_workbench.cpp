#include "plu_workbench.h"

#include "cell_block.h"
#include "file_bytes.h"
#include "file_dialog_request.h"
#include "file_replace.h"
#include "gui/qt_text.h"
#include "link/user_interface.h"
#include "plu_bulk_edit.h"
#include "plu_checks.h"
#include "plu_file.h"
#include "plu_filter_proxy.h"
#include "plu_page.h"
#include "plu_table_model.h"
#include "workbench_dialogs_qt.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QMenu>
#include <QTableView>
#include <QToolButton>
#include <QUndoStack>
#include <algorithm>
#include <set>

namespace {

QString columnName(int column) {
    const std::string_view name = kPluHeaders[static_cast<std::size_t>(column)];
    return QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
}

FileDialogRequest csvFileDialog() {
    return fileDialogInCurrentFolder("CSV Files", "*.CSV", "csv");
}

std::string bytesOf(const QString& text) {
    return qstringToBytesLossy(text);
}

} // namespace

PluWorkbench::PluWorkbench(PluPage& page)
    : QObject(&page), page_(page), ownDialogs_(std::make_unique<QtWorkbenchDialogs>(&page)),
      dialogs_(ownDialogs_.get()) {
    // Spreadsheets where a comma is the decimal separator use ";" between fields.
    exportOptions_.delimiter = page_.context().decimalSeparator == ',' ? ';' : ',';
    buildMenu();
    connectControls();
}

PluWorkbench::~PluWorkbench() = default;

char PluWorkbench::separator() const {
    return page_.context().decimalSeparator;
}

void PluWorkbench::buildMenu() {
    menu_ = new QMenu(&page_);
    menu_->setObjectName(QStringLiteral("PluToolsMenu"));
    QTableView& grid = *page_.StringGrid1;
    const auto add = [this](const QString& text, auto handler) {
        QAction* action = menu_->addAction(text);
        connect(action, &QAction::triggered, this, handler);
        return action;
    };
    // Keys that act where the focus is: the grid's for the clipboard, the
    // page's for undo, so that an open cell editor or the find keeps its own.
    const auto keys = [](QAction* action, QWidget& owner, const QList<QKeySequence>& sequences) {
        action->setShortcuts(sequences);
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        owner.addAction(action);
    };

    scope_ = menu_->addSection(QString());
    gridChanges_.push_back(add(QStringLiteral("Change price..."), &PluWorkbench::changePrices));
    QMenu* set = menu_->addMenu(QStringLiteral("Set column"));
    gridChanges_.push_back(set->menuAction());
    for (const int column : kSettableColumns) {
        QAction* action = set->addAction(QStringLiteral("Set %1...").arg(columnName(column)));
        connect(action, &QAction::triggered, this, [this, column] { setColumnValue(column); });
    }
    gridChanges_.push_back(add(QStringLiteral("Clear rows"), &PluWorkbench::clearRows));
    menu_->addSeparator();
    QAction* copy = add(QStringLiteral("Copy"), &PluWorkbench::copySelection);
    keys(copy, grid, {QKeySequence::Copy});
    paste_ = add(QStringLiteral("Paste"), &PluWorkbench::pasteAtCurrentCell);
    keys(paste_, grid, {QKeySequence::Paste});
    gridChanges_.push_back(paste_);
    undo_ = add(QStringLiteral("Undo"), [this] { page_.undoStep(); });
    keys(undo_, page_, {QKeySequence(Qt::CTRL | Qt::Key_Z)});
    redo_ = add(QStringLiteral("Redo"), [this] { page_.redoStep(); });
    keys(redo_, page_, {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    menu_->addSeparator();
    add(QStringLiteral("Export CSV..."), &PluWorkbench::exportCsv);
    gridChanges_.push_back(add(QStringLiteral("Import CSV..."), &PluWorkbench::importCsv));

    QAction* find = new QAction(QStringLiteral("Find"), this);
    keys(find, page_, {QKeySequence::Find});
    connect(find, &QAction::triggered, page_.FindEdit, [this] {
        page_.FindEdit->setFocus(Qt::ShortcutFocusReason);
        page_.FindEdit->selectAll();
    });
    updateMenu();
}

void PluWorkbench::connectControls() {
    // The find: every keystroke and the check box filter the rows shown.
    connect(page_.FindEdit, &QLineEdit::textChanged, this, &PluWorkbench::applyFind);
    connect(page_.InUseOnly, &QCheckBox::toggled, this, &PluWorkbench::applyFind);
    // TOOLS opens the menu; a right click on the grid opens the same menu there.
    page_.PluToolsButton->setMenu(menu_);
    page_.StringGrid1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(page_.StringGrid1, &QWidget::customContextMenuRequested, this, [this](const QPoint& position) {
        menu_->popup(page_.StringGrid1->viewport()->mapToGlobal(position));
    });
    // The menu tells what it will work on and what can be undone.
    connect(menu_, &QMenu::aboutToShow, this, &PluWorkbench::updateMenu);
    connect(&page_.undoStack(), &QUndoStack::indexChanged, this, &PluWorkbench::updateUndoActions);
}

void PluWorkbench::updateMenu() {
    scope_->setText(scopeText(targetRows()));
    const bool idle = !page_.transferRunning();
    for (QAction* action : gridChanges_) {
        action->setEnabled(idle);
    }
    updateUndoActions();
}

void PluWorkbench::updateUndoActions() {
    const bool idle = !page_.transferRunning();
    QUndoStack& stack = page_.undoStack();
    undo_->setEnabled(idle && stack.canUndo());
    undo_->setText(stack.canUndo() ? QStringLiteral("Undo ") + stack.undoText() : QStringLiteral("Undo"));
    redo_->setEnabled(idle && stack.canRedo());
    redo_->setText(stack.canRedo() ? QStringLiteral("Redo ") + stack.redoText() : QStringLiteral("Redo"));
}

void PluWorkbench::applyFind() {
    PluFindQuery query;
    query.text = bytesOf(page_.FindEdit->text());
    query.inUseOnly = page_.InUseOnly->isChecked();
    page_.filterProxy().setQuery(query);
}

bool PluWorkbench::selectionCoversManyCells() const {
    qsizetype cells = 0;
    for (const QItemSelectionRange& range : page_.StringGrid1->selectionModel()->selection()) {
        cells += static_cast<qsizetype>(range.width()) * range.height();
        if (cells > 1) {
            return true;
        }
    }
    return false;
}

std::vector<int> PluWorkbench::targetRows() const {
    if (!selectionCoversManyCells()) {
        return page_.shownRows();
    }
    std::set<int> rows;
    for (const QItemSelectionRange& range : page_.StringGrid1->selectionModel()->selection()) {
        for (int row = range.top(); row <= range.bottom(); ++row) {
            rows.insert(page_.dataRow(page_.filterProxy().index(row, 0)));
        }
    }
    return {rows.begin(), rows.end()};
}

QString PluWorkbench::scopeText(const std::vector<int>& rows) const {
    const QString count =
        QString::number(rows.size()) + (rows.size() == 1 ? QStringLiteral(" row") : QStringLiteral(" rows"));
    return selectionCoversManyCells() ? count + QStringLiteral(" selected")
                                      : QStringLiteral("all ") + count + QStringLiteral(" shown");
}

void PluWorkbench::copySelection() {
    const QItemSelectionModel& selection = *page_.StringGrid1->selectionModel();
    std::set<int> viewRows;
    std::set<int> columns;
    for (const QItemSelectionRange& range : selection.selection()) {
        for (int row = range.top(); row <= range.bottom(); ++row) {
            viewRows.insert(row);
        }
        for (int column = range.left(); column <= range.right(); ++column) {
            columns.insert(column);
        }
    }
    const QModelIndex current = page_.StringGrid1->currentIndex();
    if (viewRows.empty() && current.isValid()) {
        viewRows.insert(current.row());
        columns.insert(current.column());
    }
    if (viewRows.empty()) {
        return;
    }
    std::vector<int> rows;
    rows.reserve(viewRows.size());
    for (const int row : viewRows) {
        rows.push_back(page_.dataRow(page_.filterProxy().index(row, 0)));
    }
    const std::string text = formatCellBlock(page_.grid(), rows, {columns.begin(), columns.end()});
    QGuiApplication::clipboard()->setText(
        QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

void PluWorkbench::pasteAtCurrentCell() {
    const QModelIndex current = page_.StringGrid1->currentIndex();
    if (!current.isValid() || page_.transferRunning()) {
        return;
    }
    std::vector<int> rows = page_.shownRows();
    rows.erase(rows.begin(), rows.begin() + current.row());
    const QByteArray text = QGuiApplication::clipboard()->text().toUtf8();
    PastePlan plan =
        planPaste(page_.grid(), rows, current.column(),
                  std::string_view(text.constData(), static_cast<std::size_t>(text.size())), separator());
    if (!plan.accepted()) {
        page_.context().ui.showError(pasteRefusalMessage(plan), "Paste");
        return;
    }
    page_.applyRowsAsOneStep(QStringLiteral("paste of %1 x %2 cells").arg(plan.height).arg(plan.width),
                             std::move(plan.edits));
    // The pasted block stays selected, as in a spreadsheet.
    QAbstractItemModel& view = page_.filterProxy();
    const int lastRow = std::min(current.row() + plan.height, view.rowCount()) - 1;
    const QItemSelection block(current, view.index(lastRow, current.column() + plan.width - 1));
    page_.StringGrid1->selectionModel()->select(block, QItemSelectionModel::ClearAndSelect);
}

void PluWorkbench::changePrices() {
    const std::vector<int> rows = targetRows();
    const PluGrid& grid = page_.grid();
    const char sep = separator();
    const auto answer = dialogs_->askPriceChange(scopeText(rows), sep, [&](const PriceChange& change) {
        return bytesToQString(bulkEditPreview(planPriceChange(grid, rows, change, sep)));
    });
    if (!answer) {
        return;
    }
    BulkEditPlan plan = planPriceChange(grid, rows, *answer, sep);
    const std::string report = bulkEditReport(plan, grid);
    page_.applyRowsAsOneStep(QStringLiteral("price change"), std::move(plan.edits));
    page_.context().ui.showInformation(report, "Change price");
}

void PluWorkbench::setColumnValue(int column) {
    const std::vector<int> rows = targetRows();
    const char sep = separator();
    const auto value =
        dialogs_->askColumnValue(column, scopeText(rows), [column, sep](const std::string& text) {
            return acceptsTypedText(column, withLocaleSeparator(column, text, sep), sep);
        });
    if (!value) {
        return;
    }
    BulkEditPlan plan = planColumnValue(page_.grid(), rows, column, *value, sep);
    const std::string report = bulkEditReport(plan, page_.grid());
    page_.applyRowsAsOneStep(QStringLiteral("%1 set").arg(columnName(column)), std::move(plan.edits));
    page_.context().ui.showInformation(report, "Set " + bytesOf(columnName(column)));
}

void PluWorkbench::clearRows() {
    BulkEditPlan plan = planClearRows(page_.grid(), targetRows());
    const std::string report = bulkEditReport(plan, page_.grid());
    page_.applyRowsAsOneStep(QStringLiteral("clearing rows"), std::move(plan.edits));
    page_.context().ui.showInformation(report, "Clear rows");
}

void PluWorkbench::exportCsv() {
    const auto options = dialogs_->askCsvExport(exportOptions_, separator());
    if (!options) {
        return;
    }
    exportOptions_ = *options;
    UserInterface& ui = page_.context().ui;
    const auto name = ui.askSaveFileName(csvFileDialog());
    if (!name) {
        return;
    }
    if (!replaceFileContents(std::filesystem::path(*name),
                             formatPluCsv(page_.grid(), *options, separator()))) {
        ui.showError(std::string(kPluFileIoError), std::string(kPluFileErrorTitle));
    }
}

void PluWorkbench::importCsv() {
    UserInterface& ui = page_.context().ui;
    if (page_.transferRunning()) {
        return;
    }
    const auto name = ui.askOpenFileName(csvFileDialog());
    if (!name) {
        return;
    }
    std::string bytes;
    switch (readFileBytes(std::filesystem::path(*name), kMaxPluCsvBytes, bytes)) {
    case FileRead::Ok:
        break;
    case FileRead::Failed:
        ui.showError(std::string(kPluFileIoError), std::string(kPluFileErrorTitle));
        return;
    case FileRead::TooLarge:
        ui.showError("The file is far larger than a PLU table; nothing was imported.", "Import CSV");
        return;
    }
    const PluCsvTable table = readPluCsv(bytes);
    if (table.headers.empty()) {
        ui.showInformation("The file holds no rows.", "Import CSV");
        return;
    }
    const CsvColumnMatch match = matchCsvColumns(table.headers, columnMemory_);
    std::vector<int> columns = match.columnOfField;
    if (match.needsUser()) {
        std::vector<std::string> samples;
        if (!table.rows.empty()) {
            for (const auto& field : table.rows.front().fields) {
                samples.push_back(field.value_or("?"));
            }
        }
        const auto assigned = dialogs_->askCsvColumns(table.headers, samples, columns);
        if (!assigned) {
            return;
        }
        columns = *assigned;
        rememberAssignment(columnMemory_, table.headers, columns);
        saveColumnMemory();
    }
    CsvImportPlan plan = planCsvImport(page_.grid(), table, columns, separator());
    const std::string report = csvImportReport(plan, table);
    page_.applyRowsAsOneStep(QStringLiteral("CSV import"), std::move(plan.edits));
    ui.showInformation(report, "Import CSV");
}

void PluWorkbench::setColumnMemoryFile(const std::filesystem::path& path) {
    columnMemoryFile_ = path;
    std::string bytes;
    if (readFileBytes(path, kMaxColumnMemoryBytes, bytes) == FileRead::Ok) {
        columnMemory_ = CsvColumnMemory::parse(bytes);
    }
}

void PluWorkbench::saveColumnMemory() const {
    // Like the saved state: a failure to keep it costs only the next question.
    if (!columnMemoryFile_.empty()) {
        replaceFileContents(columnMemoryFile_, columnMemory_.format());
    }
}
