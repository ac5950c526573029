#include "settings_page.h"

#include "gui/control_helpers.h"
#include "gui/memo_lines.h"
#include "gui/qt_text.h"
#include "gui/range_spin_edit.h"
#include "default_settings.h"
#include "link/scale_link.h"
#include "link/user_interface.h"
#include "name_records.h"
#include "page_controls.h"
#include "settings_file.h"
#include "settings_transfer.h"
#include "tax_cell_delegate.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextDocument>
#include <QTableWidget>
#include <QVBoxLayout>
#include <filesystem>

namespace {

const char* const kPrintOptionNames[] = {"CheckBox1", "CheckBox2", "CheckBox3", "CheckBox4",
                                         "CheckBox5", "CheckBox6", "CheckBox7", "CheckBox8"};
const char* const kPrintOptionCaptions[] = {"Print Receipt", "Print Duplicate",  "Print Graphics logo",
                                            "Print Single Bar", "Print Total Bar", "Obligatory Paid",
                                            "Discount",       "Print PLU Code"};
const char* const kClerkNames[] = {"Edit3", "Edit6", "Edit7", "Edit8"};

constexpr int kTaxRateColumn = 1;
constexpr int kDepartmentNameColumn = 1;
// Header and footer boxes show a printed line's 32 characters without scrolling.
constexpr int kPrintLineColumns = 32;

QTableWidgetItem* fixedItem(const QString& text) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled);
    return item;
}

QString cellText(const QTableWidget& grid, int row, int column) {
    const QTableWidgetItem* item = grid.item(row, column);
    return item ? item->text() : QString();
}

void setCellBytes(QTableWidget& grid, int row, int column, const std::string& bytes) {
    const QString text = bytesToQString(bytes);
    if (QTableWidgetItem* item = grid.item(row, column)) {
        item->setText(text);
    } else {
        grid.setItem(row, column, new QTableWidgetItem(text));
    }
}

// Rewritten only when the lines differ, so a box whose text means the same
// lines keeps its text, cursor and scroll position.
void showMemoLines(QPlainTextEdit& memo, const std::vector<std::string>& lines) {
    if (memoLines(memo) != lines) {
        setMemoLines(memo, lines);
    }
}

QPlainTextEdit* makeMemo(const char* name, const std::vector<std::string>& lines, int visibleLines,
                         QWidget* parent) {
    auto* memo = new QPlainTextEdit(parent);
    memo->setObjectName(QString::fromLatin1(name));
    memo->setFont(fixedPitchFont());
    // A line is a line as entered: the box never wraps it into two.
    memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    memo->setTabChangesFocus(true);
    setMemoLines(*memo, lines);
    // Room for the lines a printed receipt has, each as wide as a printed line.
    const QFontMetrics metrics(memo->font());
    const int frame = 2 * memo->frameWidth() + 2 * static_cast<int>(memo->document()->documentMargin()) + 2;
    memo->setFixedHeight(metrics.lineSpacing() * visibleLines + frame);
    memo->setMinimumWidth(metrics.horizontalAdvance(QString(kPrintLineColumns, QLatin1Char('W'))) + frame);
    return memo;
}

// The settings file's dialogs: a text file, where the program was started.
FileDialogRequest settingsFileDialog() {
    std::error_code error;
    return {"Settings files", "*.TXT", "TXT", std::filesystem::current_path(error).string()};
}

// Tight margins: the page has many fields for its area.
template <class Layout> Layout* tight(Layout* layout) {
    layout->setContentsMargins(6, 2, 6, 2);
    layout->setSpacing(2);
    return layout;
}

QTableWidget* makeGrid(const char* name, int rows, QWidget* parent) {
    auto* grid = new QTableWidget(rows, 2, parent);
    grid->setObjectName(QString::fromLatin1(name));
    grid->horizontalHeader()->hide();
    grid->verticalHeader()->hide();
    grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 4);
    grid->horizontalHeader()->setStretchLastSection(true);
    grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                          QAbstractItemView::AnyKeyPressed);
    grid->setColumnWidth(0, grid->fontMetrics().horizontalAdvance(QStringLiteral("000")) + 8);
    return grid;
}

// A spin field with its unit written after it.
QWidget* withUnit(QWidget* spin, const QString& unit, QWidget* parent) {
    auto* box = new QWidget(parent);
    auto* row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(spin, 1);
    row->addWidget(makeLabel(unit, spin, box));
    return box;
}

} // namespace

SettingsPage::SettingsPage(PageContext context, QWidget* parent) : QWidget(parent), context_(context) {
    createControls();
    layOutControls();
    connectControls();
}

void SettingsPage::createControls() {
    const ScaleSettings start = ScaleSettings::startValues(context_.decimalSeparator);

    clerkMode_ = new QComboBox(this);
    clerkMode_->setObjectName(QStringLiteral("ComboBox3"));
    clerkMode_->addItems({QStringLiteral("All at once"), QStringLiteral("Only one"), QStringLiteral("Super Market"),
                          QStringLiteral("LABEL-1"), QStringLiteral("LABEL-2")});
    clerkMode_->setCurrentIndex(start.clerkMode);

    for (std::size_t bit = 0; bit < printOptions_.size(); ++bit) {
        printOptions_[bit] = makeCheckBox(kPrintOptionNames[bit], QString::fromLatin1(kPrintOptionCaptions[bit]),
                                          (start.printOptions >> bit) & 1, this);
    }
    singleItemBarcode_ = makeEdit("Edit1", start.singleItemBarcode, 0, this);
    totalBarcode_ = makeEdit("Edit2", start.totalBarcode, 0, this);
    baudRate_ = makeEditableCombo("ComboBox4",
                                  {QStringLiteral("1200"), QStringLiteral("2400"), QStringLiteral("4800"),
                                   QStringLiteral("9600"), QStringLiteral("14400"), QStringLiteral("19200"),
                                   QStringLiteral("28800"), QStringLiteral("38400"), QStringLiteral("57600"),
                                   QStringLiteral("115200")},
                                  0, this);
    autoOff_ = makeSpinField("SpinEdit3", kAutoOffRange, start.autoOffMinutes, this);
    lanNumber_ = makeSpinField("SpinEdit4", kLanNumberRange, start.lanNumber, this);
    discount_ = makeSpinField("SpinEdit5", kDiscountRange, start.discountPercent, this);
    drawerOpenTime_ = makeSpinField("SpinEdit6", kDrawerOpenTimeRange, start.drawerOpenTime, this);
    darkness_ = makeEditableCombo("ComboBox8",
                                  {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"),
                                   QStringLiteral("4"), QStringLiteral("5")},
                                  2, this);
    currency_ = makeEdit("Edit9", start.currency, kCurrencyWidth, this);
    printAllReports_ = makeCheckBox("CheckBox13", QStringLiteral("Print All Reports"), start.printAllReports, this);
    printTax_ = makeCheckBox("CheckBox15", QStringLiteral("Print Tax"), start.printTax, this);
    for (std::size_t k = 0; k < clerks_.size(); ++k) {
        clerks_[k] = makeEdit(kClerkNames[k], start.clerkNames[k], kClerkNameWidth, this);
    }

    header_ = makeMemo("Memo1", start.headerLines, kHeaderLineCount, this);
    footer_ = makeMemo("Memo2", start.footerLines, kFooterLineCount, this);

    // The heading "N" / "NAME" stays in view while the 40 departments scroll.
    departments_ = makeGrid("StringGrid2", kDepartmentCount, this);
    departments_->setHorizontalHeaderLabels({QStringLiteral("N"), QStringLiteral("NAME")});
    departments_->horizontalHeader()->show();
    for (int k = 0; k < kDepartmentCount; ++k) {
        departments_->setItem(k, 0, fixedItem(QString::number(k)));
        setCellBytes(*departments_, k, kDepartmentNameColumn, start.departmentNames[static_cast<std::size_t>(k)]);
    }

    taxes_ = makeGrid("StringGrid3", kTaxRateCount, this);
    for (int r = 0; r < kTaxRateCount; ++r) {
        taxes_->setItem(r, 0, fixedItem(QString(QChar(u'A' + r))));
        setCellBytes(*taxes_, r, kTaxRateColumn, start.taxRates[static_cast<std::size_t>(r)]);
    }
    taxes_->setItemDelegateForColumn(
        kTaxRateColumn, new TaxCellDelegate(context_.rememberedText, context_.ui, context_.decimalSeparator, taxes_));
    taxes_->setFixedHeight(taxes_->verticalHeader()->defaultSectionSize() * kTaxRateCount + 2 * taxes_->frameWidth() + 1);
    taxes_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    clockBox_ = new QLineEdit(this);
    clockBox_->setObjectName(QStringLiteral("MaskEdit1"));
    clockBox_->setInputMask(QStringLiteral("99-99-99 99:99:99;_"));
    clockBox_->setFont(fixedPitchFont());
    clockBox_->setMaxLength(17);

    sendButton_ = makeButton("Button1", QStringLiteral("SEND TO SCALE"), this);
    loadButton_ = makeButton("Button9", QStringLiteral("LOAD FROM SCALE"), this);
    defaultButton_ = makeButton("Button24", QStringLiteral("Default Set"), this);
    logoButton_ = makeButton("Button14", QStringLiteral("GRAPHICAL LOGO"), this);
    clockFromPcButton_ = makeButton("Button3", QStringLiteral("From PC"), this);
    clockToScaleButton_ = makeButton("Button13", QStringLiteral("TO SCALE"), this);
    clockFromScaleButton_ = makeButton("Button4", QStringLiteral("FROM SCALE"), this);
    saveSettingsButton_ = makeButton("SaveSettingsButton", QStringLiteral("SAVE SETTINGS\u2026"), this);
    saveSettingsButton_->setToolTip(QStringLiteral("the whole page into a settings file"));
    loadSettingsButton_ = makeButton("LoadSettingsButton", QStringLiteral("LOAD SETTINGS\u2026"), this);
    loadSettingsButton_->setToolTip(QStringLiteral("the page from a settings file"));
}

void SettingsPage::layOutControls() {
    auto* page = new QHBoxLayout(this);
    page->setContentsMargins(2, 2, 2, 2);
    page->setSpacing(4);

    // Column 1: the scale's sale and line settings, then the clock.
    auto* column1 = new QVBoxLayout;
    auto* scale = new QGroupBox(QStringLiteral("Scale"), this);
    auto* form = tight(new QGridLayout(scale));
    int row = 0;
    auto addRow = [&](const QString& caption, QWidget* control, QWidget* field) {
        form->addWidget(makeLabel(caption, control, scale), row, 0);
        form->addWidget(field ? field : control, row, 1);
        ++row;
    };
    addRow(QStringLiteral("Clerk Mode"), clerkMode_, nullptr);
    addRow(QStringLiteral("Single Item BAR"), singleItemBarcode_, nullptr);
    addRow(QStringLiteral("Total BAR"), totalBarcode_, nullptr);
    addRow(QStringLiteral("RS Baud rate"), baudRate_, nullptr);
    addRow(QStringLiteral("AutoOFF time"), autoOff_, withUnit(autoOff_, QStringLiteral("min"), scale));
    addRow(QStringLiteral("LAN Number"), lanNumber_, nullptr);
    addRow(QStringLiteral("Discount"), discount_, withUnit(discount_, QStringLiteral("%"), scale));
    addRow(QStringLiteral("Drawer open time"), drawerOpenTime_,
           withUnit(drawerOpenTime_, QStringLiteral("ms"), scale));
    addRow(QStringLiteral("Printer Darkness"), darkness_, nullptr);
    addRow(QStringLiteral("Currency"), currency_, nullptr);
    form->setColumnStretch(1, 1);
    column1->addWidget(scale);

    auto* clock = new QGroupBox(QStringLiteral("Real TIme CLock"), this);
    auto* clockGrid = tight(new QGridLayout(clock));
    clockGrid->addWidget(clockBox_, 0, 0);
    clockGrid->addWidget(clockFromPcButton_, 0, 1);
    clockGrid->addWidget(clockToScaleButton_, 1, 0);
    clockGrid->addWidget(clockFromScaleButton_, 1, 1);
    column1->addWidget(clock);
    auto* files = new QHBoxLayout;
    files->setContentsMargins(6, 0, 6, 0);
    files->addWidget(saveSettingsButton_);
    files->addWidget(loadSettingsButton_);
    column1->addLayout(files);
    column1->addStretch(1);
    page->addLayout(column1);

    // Column 2: what the receipt says and prints.
    auto* column2 = new QVBoxLayout;
    auto* clerks = new QGroupBox(QStringLiteral("Clerks"), this);
    auto* clerkGrid = tight(new QGridLayout(clerks));
    for (int k = 0; k < kClerkCount; ++k) {
        const int r = k / 2;
        const int c = (k % 2) * 2;
        QLineEdit* name = clerks_[static_cast<std::size_t>(k)];
        clerkGrid->addWidget(makeLabel(QStringLiteral("Clerk %1").arg(k + 1), name, clerks), r, c);
        clerkGrid->addWidget(name, r, c + 1);
    }
    column2->addWidget(clerks);

    auto* lines = new QGroupBox(QStringLiteral("Header / Footer"), this);
    auto* lineList = tight(new QVBoxLayout(lines));
    lineList->addWidget(header_);
    lineList->addWidget(footer_);
    column2->addWidget(lines);

    auto* options = new QGroupBox(QStringLiteral("Receipt"), this);
    auto* optionGrid = tight(new QGridLayout(options));
    optionGrid->setVerticalSpacing(0);
    std::vector<QCheckBox*> boxes(printOptions_.begin(), printOptions_.end());
    boxes.push_back(printAllReports_);
    boxes.push_back(printTax_);
    const int perColumn = static_cast<int>(boxes.size() + 1) / 2;
    for (int i = 0; i < static_cast<int>(boxes.size()); ++i) {
        optionGrid->addWidget(boxes[static_cast<std::size_t>(i)], i % perColumn, i / perColumn);
    }
    column2->addWidget(options);
    column2->addStretch(1);
    page->addLayout(column2);

    // Column 3: departments and taxes side by side, the page's actions below.
    auto* column3 = new QGridLayout;
    column3->setSpacing(4);
    auto* departmentLabel = makeLabel(QStringLiteral("Departments Names"), departments_, this);
    column3->addWidget(departmentLabel, 0, 0);
    column3->addWidget(departments_, 1, 0, 2, 1);
    column3->addWidget(makeLabel(QStringLiteral("Taxes"), taxes_, this), 0, 1);
    column3->addWidget(taxes_, 1, 1);
    column3->setRowStretch(2, 1);
    column3->setColumnStretch(0, 3);
    column3->setColumnStretch(1, 2);
    auto* actions = new QGridLayout;
    actions->addWidget(sendButton_, 0, 0);
    actions->addWidget(loadButton_, 0, 1);
    actions->addWidget(defaultButton_, 1, 0);
    actions->addWidget(logoButton_, 1, 1);
    column3->addLayout(actions, 3, 0, 1, 2);
    page->addLayout(column3, 1);

    // Tab moves down each column in the order the page shows its fields.
    std::vector<QWidget*> order{clerkMode_, singleItemBarcode_, totalBarcode_, baudRate_, autoOff_,
                                lanNumber_, discount_, drawerOpenTime_, darkness_, currency_,
                                clockBox_, clockFromPcButton_, clockToScaleButton_, clockFromScaleButton_,
                                saveSettingsButton_, loadSettingsButton_};
    order.insert(order.end(), {clerks_[0], clerks_[1], clerks_[2], clerks_[3], header_, footer_});
    order.insert(order.end(), boxes.begin(), boxes.end());
    order.insert(order.end(), {departments_, taxes_, sendButton_, loadButton_, defaultButton_, logoButton_});
    for (std::size_t i = 1; i < order.size(); ++i) {
        setTabOrder(order[i - 1], order[i]);
    }
}

void SettingsPage::connectControls() {
    // SEND TO SCALE: the whole page to the scale in 54 commands.
    connect(sendButton_, &QPushButton::clicked, this, &SettingsPage::Button1Click);
    // LOAD FROM SCALE: the whole page from the scale.
    connect(loadButton_, &QPushButton::clicked, this, &SettingsPage::Button9Click);
    // Default Set: factory values into most of the page; nothing is sent.
    connect(defaultButton_, &QPushButton::clicked, this, &SettingsPage::Button24Click);
    // GRAPHICAL LOGO: the main window decides whether the logo window opens.
    connect(logoButton_, &QPushButton::clicked, this, &SettingsPage::logoWindowRequested);
    // Clock "From PC": the PC's local time becomes the stored clock value.
    connect(clockFromPcButton_, &QPushButton::clicked, this, &SettingsPage::Button3Click);
    // Clock "TO SCALE": the stored value (never the box's text) to the scale.
    connect(clockToScaleButton_, &QPushButton::clicked, this, &SettingsPage::Button13Click);
    // Clock "FROM SCALE": the scale's clock becomes the stored value.
    connect(clockFromScaleButton_, &QPushButton::clicked, this, &SettingsPage::Button4Click);
    // SAVE SETTINGS… / LOAD SETTINGS…: the page to and from a settings file.
    connect(saveSettingsButton_, &QPushButton::clicked, this, &SettingsPage::saveSettingsClicked);
    connect(loadSettingsButton_, &QPushButton::clicked, this, &SettingsPage::loadSettingsClicked);
    // Selecting a tax cell remembers its text, which a refused keystroke puts back.
    connect(taxes_, &QTableWidget::currentCellChanged, this, [this](int row, int column) {
        context_.rememberedText.bytes = qstringToBytesLossy(cellText(*taxes_, row, column));
    });
}

ScaleSettings SettingsPage::settings() const {
    ScaleSettings s;
    s.clerkMode = clerkMode_->currentIndex();
    s.printOptions = 0;
    for (std::size_t bit = 0; bit < printOptions_.size(); ++bit) {
        if (printOptions_[bit]->isChecked()) {
            s.printOptions = static_cast<std::uint8_t>(s.printOptions | (1u << bit));
        }
    }
    s.singleItemBarcode = controlBytes(*singleItemBarcode_);
    s.totalBarcode = controlBytes(*totalBarcode_);
    s.baudRate = controlBytes(*baudRate_);
    s.autoOffMinutes = spinFieldValue(*autoOff_);
    s.lanNumber = spinFieldValue(*lanNumber_);
    s.discountPercent = spinFieldValue(*discount_);
    s.drawerOpenTime = spinFieldValue(*drawerOpenTime_);
    s.printerDarkness = controlBytes(*darkness_);
    s.currency = controlBytes(*currency_);
    s.printAllReports = printAllReports_->isChecked();
    s.printTax = printTax_->isChecked();
    for (std::size_t k = 0; k < clerks_.size(); ++k) {
        s.clerkNames[k] = controlBytes(*clerks_[k]);
    }
    s.headerLines = memoLines(*header_);
    s.footerLines = memoLines(*footer_);
    for (int k = 0; k < kDepartmentCount; ++k) {
        s.departmentNames[static_cast<std::size_t>(k)] =
            qstringToBytesLossy(cellText(*departments_, k, kDepartmentNameColumn));
    }
    for (int r = 0; r < kTaxRateCount; ++r) {
        s.taxRates[static_cast<std::size_t>(r)] = qstringToBytesLossy(cellText(*taxes_, r, kTaxRateColumn));
    }
    return s;
}

void SettingsPage::showSettings(const ScaleSettings& s) {
    // Clerk Mode is a plain list: a mode outside its items selects none.
    clerkMode_->setCurrentIndex(s.clerkMode >= 0 && s.clerkMode < kClerkModeCount ? s.clerkMode : -1);
    for (std::size_t bit = 0; bit < printOptions_.size(); ++bit) {
        printOptions_[bit]->setChecked((s.printOptions >> bit) & 1);
    }
    setControlBytes(*singleItemBarcode_, s.singleItemBarcode);
    setControlBytes(*totalBarcode_, s.totalBarcode);
    setControlBytes(*baudRate_, s.baudRate);
    setSpinFieldValue(*autoOff_, s.autoOffMinutes);
    setSpinFieldValue(*lanNumber_, s.lanNumber);
    setSpinFieldValue(*discount_, s.discountPercent);
    setSpinFieldValue(*drawerOpenTime_, s.drawerOpenTime);
    setControlBytes(*darkness_, s.printerDarkness);
    setControlBytes(*currency_, s.currency);
    printAllReports_->setChecked(s.printAllReports);
    printTax_->setChecked(s.printTax);
    for (std::size_t k = 0; k < clerks_.size(); ++k) {
        setControlBytes(*clerks_[k], s.clerkNames[k]);
    }
    showMemoLines(*header_, s.headerLines);
    showMemoLines(*footer_, s.footerLines);
    for (int k = 0; k < kDepartmentCount; ++k) {
        setCellBytes(*departments_, k, kDepartmentNameColumn, s.departmentNames[static_cast<std::size_t>(k)]);
    }
    for (int r = 0; r < kTaxRateCount; ++r) {
        setCellBytes(*taxes_, r, kTaxRateColumn, s.taxRates[static_cast<std::size_t>(r)]);
    }
}

void SettingsPage::Button1Click() {
    ScaleSettings s = settings();
    sendSettingsToScale(context_.link, context_.ui, s, context_.decimalSeparator);
    // Sending changes nothing on the page but the currency's euro byte,
    // which it shows as the word again.
    setControlBytes(*currency_, s.currency);
}

void SettingsPage::Button9Click() {
    ScaleSettings s = settings();
    loadSettingsFromScale(context_.link, context_.ui, s, context_.decimalSeparator);
    showSettings(s);
}

void SettingsPage::Button24Click() {
    ScaleSettings s = settings();
    applyDefaultSettings(s);
    showSettings(s);
}

void SettingsPage::captureClockFromPc() {
    const QDateTime now = clockSource_();
    const QDate date = now.date();
    const QTime time = now.time();
    clock_ = ClockValue{static_cast<std::uint16_t>(date.year()),   static_cast<std::uint16_t>(date.month()),
                        static_cast<std::uint16_t>(date.day()),    static_cast<std::uint16_t>(time.hour()),
                        static_cast<std::uint16_t>(time.minute()), static_cast<std::uint16_t>(time.second())};
    showClock();
}

void SettingsPage::Button3Click() { captureClockFromPc(); }

void SettingsPage::Button13Click() { sendClockToScale(context_.link, clock_); }

void SettingsPage::Button4Click() {
    if (readClockFromScale(context_.link, clock_)) {
        showClock();
    }
}

void SettingsPage::showClock() { clockBox_->setText(QString::fromLatin1(formatClock(clock_))); }

void SettingsPage::saveSettingsClicked() {
    const auto name = context_.ui.askSaveFileName(settingsFileDialog());
    if (name && !saveSettingsFile(*name, settings(), context_.decimalSeparator)) {
        context_.ui.showError("I/O Error!", "ERROR!");
    }
}

void SettingsPage::loadSettingsClicked() {
    const auto name = context_.ui.askOpenFileName(settingsFileDialog());
    if (!name) {
        return;
    }
    ScaleSettings s = settings();
    const SettingsFileRead read = loadSettingsFile(*name, context_.decimalSeparator, s);
    switch (read.result) {
    case SettingsFileResult::Ok:
        showSettings(s);
        return;
    case SettingsFileResult::IoError:
        context_.ui.showError("I/O Error!", "ERROR!");
        return;
    case SettingsFileResult::InputError:
        // The page keeps what it showed; the details say where the file is wrong.
        context_.ui.showErrorWithDetails("error in input file", "ERROR!", describeSettingsFileError(read.error));
        return;
    }
}
