#include "plu_page.h"

#include "gui/qt_text.h"
#include "link/number_parsing.h"
#include "link/scale_link.h"
#include "link/user_interface.h"
#include "plu_cell_delegate.h"
#include "plu_checks.h"
#include "plu_file.h"
#include "plu_file_stamp.h"
#include "plu_table_model.h"
#include "plu_transfer.h"
#include "progress_window.h"
#include "range_spin_edit.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDateTime>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>
#include <filesystem>

namespace {

constexpr int kRowHeight = 21; // pixels

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
    FileDialogRequest request;
    request.filterDescription = "TAB separated Text Files";
    request.pattern = "*.TXT"; // the dialog adds *.txt where names are case-sensitive
    request.defaultSuffix = "TXT";
    std::error_code error;
    request.startFolder = std::filesystem::current_path(error).string();
    return request;
}

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

PluPage::PluPage(PageContext context, QWidget* parent) : QWidget(parent), context_(context) {
    buildControls();
    connectControls();
}

PluPage::~PluPage() {
    // An open cell editor commits its text when it goes: let it do so while
    // the grid it writes to still exists, before the page's members go.
    delete StringGrid1;
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

    model_ = new PluTableModel(grid_, this);
    delegate_ = new PluCellDelegate(this);
    StringGrid1 = new QTableView(this);
    StringGrid1->setObjectName(QStringLiteral("StringGrid1"));
    StringGrid1->setModel(model_);
    StringGrid1->setItemDelegate(delegate_);
    StringGrid1->setFont(gridFont());
    StringGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
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

    auto* rangeRow = new QHBoxLayout;
    rangeRow->addWidget(fromLabel);
    rangeRow->addWidget(SpinEdit1);
    rangeRow->addSpacing(12);
    rangeRow->addWidget(toLabel);
    rangeRow->addWidget(SpinEdit2);
    rangeRow->addSpacing(12);
    rangeRow->addWidget(Button12);
    rangeRow->addWidget(Button17);
    rangeRow->addStretch(1);

    auto* transferRow = new QHBoxLayout;
    for (QPushButton* button : {Button5, Button6, Button7, Button8}) {
        transferRow->addWidget(button);
    }

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(rangeRow);
    layout->addWidget(StringGrid1, 1);
    layout->addLayout(transferRow);

    setTabOrder(SpinEdit1, SpinEdit2);
    setTabOrder(SpinEdit2, Button12);
    setTabOrder(Button12, Button17);
    setTabOrder(Button17, StringGrid1);
    setTabOrder(StringGrid1, Button5);
    setTabOrder(Button5, Button6);
    setTabOrder(Button6, Button7);
    setTabOrder(Button7, Button8);
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
                    StringGrid1SelectCell(current.column(), PluTableModel::dataRow(current));
                }
            });
    // An editor opening on a cell: a load, CLEAR or the tax grid may have
    // changed the remembered text since the cell was selected.
    delegate_->editorOpened = [this](const QModelIndex& index) {
        StringGrid1SelectCell(index.column(), PluTableModel::dataRow(index));
    };
    // Every change the user makes in a cell's editor is checked.
    delegate_->textEdited = [this](const QModelIndex& index, const QString& text, QLineEdit& editor) {
        if (!StringGrid1SetEditText(index.column(), PluTableModel::dataRow(index), text)) {
            editor.setText(bytesToQString(context_.rememberedText.bytes));
        }
    };
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
    grid_.clear();
    model_->allRowsChanged();
}

void PluPage::Button5Click() {
    if (transferRunning_) {
        return;
    }
    const auto name = context_.ui.askOpenFileName(pluFileDialog());
    if (!name) {
        return;
    }
    const PluFileLoad load = loadPluFile(std::filesystem::path(*name), grid_, context_.decimalSeparator);
    model_->allRowsChanged();
    reportPluFileResult(context_.ui, load.result);
}

void PluPage::Button6Click() {
    const auto name = context_.ui.askSaveFileName(pluFileDialog());
    if (!name) {
        return;
    }
    const PluFileStamp stamp = pluFileStamp(QLocale::system(), QDateTime::currentDateTime());
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
    TForm2& progress = progressWindow();
    QPointer<QWidget> mainWindow = window();
    transferRunning_ = true;
    closeAfterTransfer_ = false;
    mainWindow->installEventFilter(this);
    progress.beginTransfer(to - from);

    // The grid is told of the rows loaded so far when the progress window
    // paints, so its views repaint at those moments rather than after every PLU.
    UntoldRows untold;
    TransferHooks hooks;
    hooks.working = [&progress] { return progress.Working; };
    hooks.progress = [&](int position, int plu) {
        if (progress.setProgress(position, plu)) {
            untold.tell(*model_);
        }
    };
    // Pending events include the paints the progress window and the grid ask
    // for at a paint moment, so neither is repainted by force per PLU.
    hooks.letEventsRun = [] { QCoreApplication::processEvents(); };
    const char separator = context_.decimalSeparator;
    if (kind == Transfer::Load) {
        loadPluRange(
            from, to,
            [&](std::uint16_t plu, int row) {
                const PluReadResult result = readPlu(context_.link, grid_, plu, row, separator);
                if (result == PluReadResult::Ok) {
                    untold.add(row);
                }
                return result;
            },
            hooks);
    } else {
        savePluRange(context_.link, context_.ui, grid_, from, to, separator, hooks);
    }
    untold.tell(*model_);

    progress.endTransfer();
    transferRunning_ = false;
    if (mainWindow) {
        mainWindow->removeEventFilter(this);
        if (closeAfterTransfer_) {
            QTimer::singleShot(0, mainWindow.data(), &QWidget::close);
        }
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
