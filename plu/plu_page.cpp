#include "plu_page.h"

#include "file_dialog_request.h"
#include "gui/qt_text.h"
#include "gui/range_spin_edit.h"
#include "link/number_parsing.h"
#include "link/scale_link.h"
#include "link/user_interface.h"
#include "plu_cell_delegate.h"
#include "plu_checks.h"
#include "plu_compare_send.h"
#include "plu_file.h"
#include "plu_file_stamp.h"
#include "plu_filter_proxy.h"
#include "plu_rows_command.h"
#include "plu_table_model.h"
#include "plu_transfer.h"
#include "plu_workbench.h"
#include "progress_window.h"
#include "region/qt_regional_forms.h"
#include "scale_knowledge.h"
#include "scale_knowledge_watch.h"
#include "transfer_loss_marks.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTableView>
#include <QTimer>
#include <QToolButton>
#include <QUndoStack>
#include <QVBoxLayout>
#include <filesystem>

namespace {

constexpr int kRowHeight = 21; // pixels
// Steps the undo history keeps. A whole-table step (a load, CLEAR, an
// import) holds the 1801 rows twice, about 1.5 MB, so at most some 75 MB.
constexpr int kUndoSteps = 50;

// The column widths are pixels, so the fonts are too: at 10 px a fixed-pitch
// digit is 6 px wide, and the widest numbers a person reads (7 digits of CODE,
// "9999.99", "-99999.99", "-32768") fit their columns with the cell margins.
constexpr int kGridFontPixels = 10;
// The headers in a proportional face a pixel smaller, so "Valid Date" and
// "QUANTITY" fit above their narrow columns.
constexpr int kHeaderFontPixels = 9;

QFont gridFont() {
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    if (QFontDatabase::families().contains(QStringLiteral("DejaVu Sans Mono"))) {
        font.setFamily(QStringLiteral("DejaVu Sans Mono"));
    }
    font.setStyleHint(QFont::Monospace);
    font.setFixedPitch(true);
    font.setPixelSize(kGridFontPixels);
    return font;
}

QFont headerFont() {
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPixelSize(kHeaderFontPixels);
    return font;
}

FileDialogRequest pluFileDialog() {
    return fileDialogInCurrentFolder("TAB separated Text Files", "*.TXT", "TXT");
}

// Four equal shares, as the four transfer buttons below share their row, so
// the last two stand exactly above the last two there (a grid spanning two
// columns shares out its pixels differently). The note is laid over the
// check box's spare width and the whole second share.
class CompareRowLayout : public QHBoxLayout {
  public:
    CompareRowLayout(QWidget& checkBox, QWidget& note) : checkBox_(checkBox), note_(note) {}
    void setGeometry(const QRect& rect) override {
        QHBoxLayout::setGeometry(rect);
        const QRect box = checkBox_.geometry();
        const int left = box.left() + checkBox_.sizeHint().width() + kNoteGap;
        const QLayoutItem* share = itemAt(1);
        if (share != nullptr) {
            note_.setGeometry(QRect(QPoint(left, box.top()), share->geometry().bottomRight()));
        }
    }

  private:
    static constexpr int kNoteGap = 8; // pixels between the check box and the note
    QWidget& checkBox_;
    QWidget& note_;
};

QPushButton* makeButton(QWidget* parent, const char* name, const char* caption) {
    auto* button = new QPushButton(QString::fromLatin1(caption), parent);
    button->setObjectName(QString::fromLatin1(name));
    return button;
}

// The rows a load has filled that the grid's views have not been told of.
// A load fills rows in ascending order.
class UntoldRows {
  public:
    void add(int row) {
        first_ = first_ == 0 ? row : first_;
        last_ = row;
    }
    void tell(PluTableModel& model) {
        if (first_ != 0) {
            model.rowsChanged(first_, last_);
            first_ = last_ = 0;
        }
    }

  private:
    int first_ = 0;
    int last_ = 0;
};

} // namespace

PluPage::PluPage(PageContext context, QWidget* parent)
    : QWidget(parent), context_(context), knowledge_(std::make_unique<ScaleKnowledge>()) {
    buildControls();
    connectControls();
    workbench_ = new PluWorkbench(*this);
    compareSend_ = new PluCompareSend(*this);
    // The link tells of failed exchanges and PLU writes from every page and window.
    knowledgeWatch_ = std::make_unique<ScaleKnowledgeWatch>(
        *knowledge_, [this] { return transferRunning_; },
        [this](KnowledgeDropped why) { compareSend_->knowledgeDropped(why); });
    context_.link.addObserver(*knowledgeWatch_);
}

PluPage::~PluPage() {
    context_.link.removeObserver(*knowledgeWatch_);
    // An open cell editor commits its text when it goes: let it do so while
    // the grid it writes to still exists, before the page's members go. The
    // workbench and the compare go first, so nothing they listen to reaches
    // them half destroyed.
    delete compareSend_;
    delete workbench_;
    delete StringGrid1;
    model_->removeMarkSource(*transferMarks_);
}

void PluPage::buildControls() {
    auto* fromLabel = new QLabel(QStringLiteral("FROM"), this);
    SpinEdit1 = new RangeSpinEdit(kFirstRangePlu, kLastRangePlu, this);
    SpinEdit1->setObjectName(QStringLiteral("SpinEdit1"));
    auto* toLabel = new QLabel(QStringLiteral("TO"), this);
    SpinEdit2 = new RangeSpinEdit(kFirstRangePlu, kLastRangePlu, this);
    SpinEdit2->setObjectName(QStringLiteral("SpinEdit2"));
    Button12 = makeButton(this, "Button12", "ALL");
    Button17 = makeButton(this, "Button17", "CLEAR");

    FindEdit = new QLineEdit(this);
    FindEdit->setObjectName(QStringLiteral("FindEdit"));
    FindEdit->setClearButtonEnabled(true);
    FindEdit->setPlaceholderText(QStringLiteral("Find NUM, CODE, NAME"));
    FindEdit->setToolTip(
        QStringLiteral("Shows only the rows whose NUM, CODE or NAME contains the text;\n"
                       "DEP=3 (or any column=value) the rows whose cell is the value (Ctrl+F)"));
    InUseOnly = new QCheckBox(QStringLiteral("rows in use only"), this);
    InUseOnly->setObjectName(QStringLiteral("InUseOnly"));
    InUseOnly->setToolTip(QStringLiteral("Shows only the rows that have a PLU number"));
    PluToolsButton = new QToolButton(this);
    PluToolsButton->setObjectName(QStringLiteral("PluToolsButton"));
    PluToolsButton->setText(QStringLiteral("TOOLS"));
    PluToolsButton->setToolTip(QStringLiteral(
        "Change prices and columns of many rows, copy and paste, undo, CSV export and import"));
    PluToolsButton->setPopupMode(QToolButton::InstantPopup);

    model_ = new PluTableModel(grid_, this);
    transferMarks_ = std::make_unique<TransferLossMarks>(grid_, context_.decimalSeparator);
    model_->addMarkSource(*transferMarks_);
    proxy_ = new PluFilterProxy(grid_, this);
    proxy_->setSourceModel(model_);
    undoStack_ = new QUndoStack(this);
    undoStack_->setUndoLimit(kUndoSteps);
    delegate_ = new PluCellDelegate(this);
    StringGrid1 = new QTableView(this);
    StringGrid1->setObjectName(QStringLiteral("StringGrid1"));
    StringGrid1->setModel(proxy_);
    StringGrid1->setItemDelegate(delegate_);
    StringGrid1->setFont(gridFont());
    // Several cells or rows may be selected for the operations and the clipboard.
    StringGrid1->setSelectionMode(QAbstractItemView::ExtendedSelection);
    StringGrid1->setSelectionBehavior(QAbstractItemView::SelectItems);
    StringGrid1->setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::DoubleClicked |
                                 QAbstractItemView::EditKeyPressed);
    StringGrid1->setTabKeyNavigation(true);
    StringGrid1->setWordWrap(false);
    StringGrid1->verticalHeader()->hide();
    StringGrid1->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    StringGrid1->verticalHeader()->setDefaultSectionSize(kRowHeight);
    StringGrid1->horizontalHeader()->setFixedHeight(kRowHeight);
    StringGrid1->horizontalHeader()->setSectionsMovable(false);
    StringGrid1->horizontalHeader()->setHighlightSections(false);
    StringGrid1->horizontalHeader()->setFont(headerFont());
    // Should a system's font still be too wide, a header keeps its first and
    // last letters, which tell the columns apart better than a cut word.
    StringGrid1->horizontalHeader()->setTextElideMode(Qt::ElideMiddle);
    for (int column = 0; column < kPluColumns; ++column) {
        StringGrid1->setColumnWidth(column, kPluColumnWidths[static_cast<std::size_t>(column)]);
    }

    Button5 = makeButton(this, "Button5", "LOAD FROM DISK");
    Button6 = makeButton(this, "Button6", "SAVE TO DISK");
    Button7 = makeButton(this, "Button7", "LOAD FROM SCALE");
    Button8 = makeButton(this, "Button8", "SAVE TO SCALE");

    CompareButton = makeButton(this, "CompareButton", "COMPARE WITH SCALE");
    CompareButton->setToolTip(
        QStringLiteral("Reads PLU 0, PLU 1800 and FROM..TO from the scale and marks what "
                       "differs from the grid,\nmatched by NUM; the grid is not changed"));
    SendChangesButton = makeButton(this, "SendChangesButton", "SEND CHANGES");
    SendChangesButton->setToolTip(
        QStringLiteral("Writes only the rows of PLU 0, PLU 1800 and FROM..TO that differ "
                       "from what the scale is known to hold"));
    VerifyWrites = new QCheckBox(QStringLiteral("verify writes"), this);
    VerifyWrites->setObjectName(QStringLiteral("VerifyWrites"));
    VerifyWrites->setToolTip(
        QStringLiteral("SEND CHANGES reads each PLU back after writing it, and stops at one "
                       "that reads back different"));
    CompareSendNote = new QLabel(this);
    CompareSendNote->setObjectName(QStringLiteral("CompareSendNote"));
    CompareSendNote->setTextFormat(Qt::PlainText);
    // The note may be long: the tooltip keeps the whole text.

    auto* rangeRow = new QHBoxLayout;
    rangeRow->addWidget(fromLabel);
    rangeRow->addWidget(SpinEdit1);
    rangeRow->addSpacing(12);
    rangeRow->addWidget(toLabel);
    rangeRow->addWidget(SpinEdit2);
    rangeRow->addSpacing(12);
    rangeRow->addWidget(Button12);
    rangeRow->addWidget(Button17);
    // The find and the tools fill the rest of the row, right of CLEAR.
    rangeRow->addSpacing(8);
    rangeRow->addWidget(FindEdit, 1);
    rangeRow->addWidget(InUseOnly);
    rangeRow->addWidget(PluToolsButton);

    auto* transferRow = new QHBoxLayout;
    for (QPushButton* button : {Button5, Button6, Button7, Button8}) {
        transferRow->addWidget(button);
    }
    // Between the grid and the transfers, COMPARE and SEND CHANGES stand
    // above LOAD FROM SCALE and SAVE TO SCALE, as wide.
    auto* compareRow = new CompareRowLayout(*VerifyWrites, *CompareSendNote);
    compareRow->setSpacing(
        style()->combinedLayoutSpacing(QSizePolicy::PushButton, QSizePolicy::PushButton, Qt::Horizontal));
    compareRow->addWidget(VerifyWrites);
    compareRow->addWidget(new QWidget(this)); // the second share, under the note
    compareRow->addWidget(CompareButton);
    compareRow->addWidget(SendChangesButton);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(rangeRow);
    layout->addWidget(StringGrid1, 1);
    layout->addLayout(compareRow);
    layout->addLayout(transferRow);

    setTabOrder(SpinEdit1, SpinEdit2);
    setTabOrder(SpinEdit2, Button12);
    setTabOrder(Button12, Button17);
    setTabOrder(Button17, FindEdit);
    setTabOrder(FindEdit, InUseOnly);
    setTabOrder(InUseOnly, PluToolsButton);
    setTabOrder(PluToolsButton, StringGrid1);
    setTabOrder(StringGrid1, Button5);
    setTabOrder(Button5, Button6);
    setTabOrder(Button6, Button7);
    setTabOrder(Button7, Button8);
    setTabOrder(Button8, VerifyWrites);
    setTabOrder(VerifyWrites, CompareButton);
    setTabOrder(CompareButton, SendChangesButton);
}

void PluPage::connectControls() {
    // ALL: the whole range the user can pick, 1 to 1799.
    connect(Button12, &QPushButton::clicked, this, &PluPage::allClicked);
    // CLEAR: empties every data row of the grid; nothing goes to the scale.
    connect(Button17, &QPushButton::clicked, this, &PluPage::Button17Click);
    // LOAD FROM DISK / SAVE TO DISK: the grid from and to a PLU text file.
    connect(Button5, &QPushButton::clicked, this, &PluPage::Button5Click);
    connect(Button6, &QPushButton::clicked, this, &PluPage::Button6Click);
    // LOAD FROM SCALE / SAVE TO SCALE: the range between the scale and the grid.
    connect(Button7, &QPushButton::clicked, this, &PluPage::Button7Click);
    connect(Button8, &QPushButton::clicked, this, &PluPage::Button8Click);
    // Moving to a cell: its text becomes the one a refused keystroke puts back.
    connect(StringGrid1->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid()) {
                    StringGrid1SelectCell(current.column(), dataRow(current));
                }
            });
    // An editor opening on a cell: a load, CLEAR or the tax grid may have
    // changed the remembered text since the cell was selected. What the user
    // types until the editor closes is one undo step.
    delegate_->editorOpened = [this](const QModelIndex& index) {
        StringGrid1SelectCell(index.column(), dataRow(index));
        beginTypingStep(dataRow(index), index.column());
    };
    delegate_->editorClosed = [this](const QModelIndex&) {
        finishTypingStep();
        typing_.reset();
    };
    // Every change the user makes in a cell's editor is checked.
    delegate_->textEdited = [this](const QModelIndex& index, const QString& text, QLineEdit& editor) {
        if (!StringGrid1SetEditText(index.column(), dataRow(index), text)) {
            editor.setText(bytesToQString(context_.rememberedText.bytes));
        }
    };
}

int PluPage::dataRow(const QModelIndex& viewIndex) const {
    return PluTableModel::dataRow(proxy_->mapToSource(viewIndex));
}

std::vector<int> PluPage::shownRows() const {
    std::vector<int> rows;
    const int count = proxy_->rowCount();
    rows.reserve(static_cast<std::size_t>(count));
    for (int row = 0; row < count; ++row) {
        rows.push_back(dataRow(proxy_->index(row, 0)));
    }
    return rows;
}

void PluPage::setCsvColumnMemoryFile(const std::filesystem::path& path) {
    workbench_->setColumnMemoryFile(path);
}

int PluPage::applyRowsAsOneStep(const QString& title, std::vector<PluRowEdit> edits) {
    if (transferRunning_) {
        return 0;
    }
    finishTypingStep();
    PluGridChange change = changeFromEdits(grid_, std::move(edits));
    applyChange(grid_, change, true);
    showChangedRows(change);
    const int changed = static_cast<int>(change.size());
    pushStep(title, std::move(change));
    return changed;
}

void PluPage::undoStep() {
    if (!transferRunning_) {
        finishTypingStep();
        undoStack_->undo();
    }
}

void PluPage::redoStep() {
    if (!transferRunning_) {
        finishTypingStep();
        undoStack_->redo();
    }
}

void PluPage::recordStep(const QString& title, const std::function<void()>& change) {
    finishTypingStep();
    const PluGrid before = grid_;
    change();
    PluGridChange changed = changedRows(before, grid_);
    showChangedRows(changed);
    pushStep(title, std::move(changed));
}

void PluPage::pushStep(const QString& title, PluGridChange change) {
    if (change.empty()) {
        return;
    }
    undoStack_->push(new PluRowsCommand(
        title, std::move(change), [this](const PluGridChange& step, bool after) { applyStep(step, after); }));
}

void PluPage::applyStep(const PluGridChange& change, bool after) {
    applyChange(grid_, change, after);
    showChangedRows(change);
    if (!change.empty()) {
        const QModelIndex first = proxy_->mapFromSource(model_->cellIndex(change.front().row, 0));
        if (first.isValid()) {
            StringGrid1->scrollTo(first);
        }
    }
}

void PluPage::showChangedRows(const PluGridChange& change) {
    // One notice per run of neighbouring rows, then one filtering at most.
    for (std::size_t i = 0; i < change.size();) {
        std::size_t last = i;
        while (last + 1 < change.size() && change[last + 1].row == change[last].row + 1) {
            ++last;
        }
        model_->rowsChanged(change[i].row, change[last].row);
        i = last + 1;
    }
    proxy_->refilter();
    // A cell being typed in that the change touched starts its step afresh.
    if (typing_) {
        typing_->before = grid_.cell(typing_->row, typing_->column);
    }
}

void PluPage::beginTypingStep(int row, int column) {
    finishTypingStep();
    typing_ = TypingStep{row, column, grid_.cell(row, column)};
}

void PluPage::finishTypingStep() {
    if (!typing_) {
        return;
    }
    const std::string& now = grid_.cell(typing_->row, typing_->column);
    if (now == typing_->before) {
        return;
    }
    PluRowChange change{typing_->row, grid_.row(typing_->row), grid_.row(typing_->row)};
    change.before[static_cast<std::size_t>(typing_->column)] = typing_->before;
    typing_->before = now;
    const auto header = kPluHeaders[static_cast<std::size_t>(typing_->column)];
    pushStep(QStringLiteral("typing in %1, row %2")
                 .arg(QString::fromLatin1(header.data(), static_cast<qsizetype>(header.size())))
                 .arg(typing_->row),
             {std::move(change)});
}

void PluPage::allClicked() {
    SpinEdit1->setValue(kFirstRangePlu);
    SpinEdit2->setValue(kLastRangePlu);
}

void PluPage::setProgressWindow(TForm2* window) {
    progressWindow_ = window;
}

TForm2& PluPage::progressWindow() {
    if (progressWindow_.isNull()) {
        progressWindow_ = new TForm2(context_, this);
    }
    return *progressWindow_;
}

void PluPage::StringGrid1SelectCell(int column, int row) {
    context_.rememberedText.bytes = grid_.cell(row, column);
}

bool PluPage::StringGrid1SetEditText(int column, int row, const QString& text) {
    // A character without a byte in the grid's code page cannot be kept.
    const auto bytes = qstringToBytes(text);
    if (bytes) {
        model_->setCell(row, column, *bytes);
        if (acceptsTypedText(column, *bytes, context_.decimalSeparator)) {
            context_.rememberedText.bytes = *bytes;
            return true;
        }
    }
    model_->setCell(row, column, context_.rememberedText.bytes);
    context_.ui.beep();
    return false;
}

void PluPage::Button17Click() {
    if (transferRunning_) {
        return;
    }
    recordStep(QStringLiteral("CLEAR"), [this] { grid_.clear(); });
    emit tableReplaced();
}

void PluPage::Button5Click() {
    if (transferRunning_) {
        return;
    }
    const auto name = context_.ui.askOpenFileName(pluFileDialog());
    if (!name) {
        return;
    }
    PluFileLoad load;
    recordStep(QStringLiteral("LOAD FROM DISK"),
               [&] { load = loadPluFile(std::filesystem::path(*name), grid_, context_.decimalSeparator); });
    emit tableReplaced();
    reportPluFileResult(context_.ui, load.result);
}

void PluPage::Button6Click() {
    const auto name = context_.ui.askSaveFileName(pluFileDialog());
    if (!name) {
        return;
    }
    const PluFileStamp stamp = pluFileStamp(QtRegionalForms(), localNow());
    reportPluFileResult(context_.ui,
                        savePluFile(std::filesystem::path(*name), grid_, stamp.date, stamp.time));
}

void PluPage::Button7Click() {
    runTransfer(Transfer::Load);
}

void PluPage::Button8Click() {
    runTransfer(Transfer::Save);
}

bool PluPage::readRange(int& from, int& to) {
    // A click on the button takes the focus from the editors, which moves a
    // number outside the range to its limit; do the same for a click that
    // did not take the focus.
    SpinEdit1->clampToRange();
    SpinEdit2->clampToRange();
    for (auto [editor, value] : {std::pair{SpinEdit2, &to}, std::pair{SpinEdit1, &from}}) {
        const auto number = editor->value();
        if (!number) {
            reportConversionError(context_.ui, qstringToBytesLossy(editor->text()), NumberKind::Integer);
            return false;
        }
        *value = *number;
    }
    return true;
}

void PluPage::runTransfer(Transfer kind) {
    // The progress window is modal, so only a call from code can get here
    // while a transfer runs; it must not start a second one inside it.
    if (transferRunning_ || !context_.link.checkConnected()) {
        return;
    }
    int from = 0;
    int to = 0;
    if (!readRange(from, to)) {
        return;
    }
    // A load is one undo step: the rows it changed, against a copy taken before.
    std::optional<PluGrid> beforeLoad;
    if (kind == Transfer::Load) {
        finishTypingStep();
        beforeLoad = grid_;
    }
    // The grid is told of the rows loaded so far when the progress window
    // paints, so its views repaint at those moments rather than after every PLU.
    UntoldRows untold;
    const char separator = context_.decimalSeparator;
    runScaleJob(
        to - from,
        [&](TForm2&, const TransferHooks& hooks) {
            if (kind == Transfer::Load) {
                loadPluRange(
                    from, to,
                    [&](std::uint16_t plu, int row) {
                        const PluReadResult result =
                            readPlu(*knowledge_, context_.link, grid_, plu, row, separator);
                        if (result == PluReadResult::Ok) {
                            untold.add(row);
                        }
                        return result;
                    },
                    hooks);
            } else {
                savePluRange(*knowledge_, context_.link, context_.ui, grid_, from, to, separator, hooks);
            }
            untold.tell(*model_);
        },
        [&] { untold.tell(*model_); });

    if (beforeLoad) {
        proxy_->refilter();
        pushStep(QStringLiteral("LOAD FROM SCALE"), changedRows(*beforeLoad, grid_));
    }
    if (kind == Transfer::Load) {
        emit tableReplaced();
    } else {
        emit scaleWritten();
    }
}

void PluPage::runScaleJob(int span, const std::function<void(TForm2&, const TransferHooks&)>& job,
                          const std::function<void()>& atPaintMoment) {
    TForm2& progress = progressWindow();
    QPointer<QWidget> mainWindow = window();
    transferRunning_ = true;
    closeAfterTransfer_ = false;
    mainWindow->installEventFilter(this);
    progress.beginTransfer(span);

    TransferHooks hooks;
    hooks.working = [&progress] { return progress.Working; };
    hooks.progress = [&](int position, int plu) {
        if (progress.setProgress(position, plu) && atPaintMoment) {
            atPaintMoment();
        }
    };
    // Pending events (the paints the progress window and the grid ask for at a
    // paint moment, the STOP click) run while each request and its reply
    // cross the line: the program waits there anyway, whereas between PLUs
    // the scale would wait for the window. STOP is still seen after the PLU
    // whose exchange it came in.
    const WorkWhileWaiting events(context_.link, [] { QCoreApplication::processEvents(); });
    job(progress, hooks);

    progress.endTransfer();
    transferRunning_ = false;
    if (mainWindow) {
        mainWindow->removeEventFilter(this);
        if (closeAfterTransfer_) {
            QTimer::singleShot(0, mainWindow.data(), &QWidget::close);
        }
    }
}

void PluPage::scaleConnectionChanged() {
    knowledge_->forget();
    compareSend_->endComparison();
}

void PluPage::showDataRow(int row) {
    const QModelIndex shown = proxy_->mapFromSource(model_->cellIndex(row, PluColumn::Num));
    if (shown.isValid()) {
        StringGrid1->scrollTo(shown);
        StringGrid1->selectionModel()->setCurrentIndex(shown, QItemSelectionModel::ClearAndSelect |
                                                                  QItemSelectionModel::Rows);
    }
}

bool PluPage::eventFilter(QObject* watched, QEvent* event) {
    // Closing the main window during a transfer stops the transfer first; the
    // window closes once the transfer has ended.
    if (transferRunning_ && event->type() == QEvent::Close && watched == window()) {
        closeAfterTransfer_ = true;
        progressWindow().Working = false;
        event->ignore();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
