#include "main_window.h"

#include "backup_tools.h"
#include "connection_indicator.h"
#include "demo_scale_tools.h"
#include "find_scale_dialog.h"
#include "help_window.h"
#include "link/commands.h"
#include "link/number_parsing.h"
#include "link/port_diagnosis.h"
#include "link/port_name.h"
#include "link/scale_finder.h"
#include "link/scale_link.h"
#include "link/user_interface.h"
#include "plu/plu_page.h"
#include "plu/progress_window.h"
#include "log_window.h"
#include "port_list.h"
#include "port_selector.h"
#include "region/qt_regional_forms.h"
#include "saved_state.h"
#include "settings/settings_page.h"
#include "settings/system_page.h"
#include "gui/control_helpers.h"
#include "gui/qt_text.h"
#include "tools/logo_window.h"
#include "tools/reports_page.h"
#include "tools/terminal_window.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr int kClientWidth = 785;
constexpr int kClientHeight = 470;

// Positions of the pages in the tab row.
constexpr int kPluTab = 0;
constexpr int kSystemTab = 3;

constexpr std::uint8_t kIdentificationWidth = 32;

const QString kConnectCaption = QStringLiteral("CONNECT");
const QString kDisconnectCaption = QStringLiteral("DISCONNECT");

QFrame* separator(QWidget* parent, QFrame::Shape shape) {
    auto* line = new QFrame(parent);
    line->setFrameShape(shape);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

template <class Combo>
Combo* selector(Combo* combo, const QString& name, const QStringList& items, const QString& hint) {
    combo->setObjectName(name);
    combo->setEditable(true);
    // A typed text is a choice of its own, never a new item of the list.
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->addItems(items);
    combo->setToolTip(hint);
    combo->setAccessibleDescription(hint);
    return combo;
}

QPushButton* button(QWidget* parent, const QString& name, const QString& caption, const QString& hint = {}) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    if (!hint.isEmpty()) {
        b->setToolTip(hint);
        b->setAccessibleDescription(hint);
    }
    b->setAutoDefault(false);
    return b;
}

// A page in its tab, under the tab sheet's own name.
QWidget* tabSheet(const QString& name, QWidget* page) {
    auto* sheet = new QWidget;
    sheet->setObjectName(name);
    auto* layout = new QVBoxLayout(sheet);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(page);
    return sheet;
}

// Shows a secondary window, or brings it to the front when it is already up.
void bringUp(QWidget& window) {
    if (window.isVisible()) {
        window.raise();
        window.activateWindow();
    } else {
        window.show();
    }
}

// Component numbers of the saved controls, in ascending order per section.
constexpr std::array kEditBoxes{
    SavedControl{56, "Edit1"},  // "Single Item BAR"
    SavedControl{57, "Edit2"},  // "Total BAR"
    SavedControl{68, "Edit8"},  // "Clerk 4"
    SavedControl{69, "Edit7"},  // "Clerk 3"
    SavedControl{70, "Edit6"},  // "Clerk 2"
    SavedControl{71, "Edit3"},  // "Clerk 1"
    SavedControl{81, "Edit9"},  // "Currency"
    SavedControl{111, "Edit4"}, // "Max Tare"
    SavedControl{127, "Edit5"}, // the disabled box of the top row
};
constexpr std::array kComboBoxes{
    SavedControl{52, "ComboBox4"},  // "RS Baud rate"
    SavedControl{72, "ComboBox3"},  // "Clerk Mode"
    SavedControl{80, "ComboBox8"},  // "Printer Darkness"
    SavedControl{103, "ComboBox5"}, // "Capacity"
    SavedControl{106, "ComboBox6"}, // "e=d="
    SavedControl{113, "ComboBox7"}, // "price round"
    SavedControl{124, "ComboBox9"}, // "Stbale Count"
    SavedControl{125, "ComboBox1"}, // speed selector
    SavedControl{126, "ComboBox2"}, // port selector
};
constexpr std::array kMaskedBoxes{
    SavedControl{73, "MaskEdit1"}, // the clock box
};
constexpr std::array kTextBoxes{
    SavedControl{51, "Memo1"}, // header lines
    SavedControl{67, "Memo2"}, // footer lines
};

} // namespace

const SavedControls& TForm1::savedControls() {
    // The file is signed with the window's caption, so a file of another
    // version of the program is not taken for this one's.
    static const SavedControls controls{kEditBoxes, kComboBoxes, kMaskedBoxes, kTextBoxes,
                                        qstringToBytesLossy(kCaption)};
    return controls;
}

TForm1::TForm1(ScaleLink& link, UserInterface& ui, QWidget* parent)
    : TForm1(link, ui, defaultStateFilePath(), parent) {}

TForm1::TForm1(ScaleLink& link, UserInterface& ui, const QString& stateFilePath, QWidget* parent)
    : QMainWindow(parent), link_(link), ui_(ui), stateFilePath_(stateFilePath) {
    setObjectName(QStringLiteral("TForm1"));
    setWindowTitle(kCaption);
    // A single border that cannot be resized: a system menu and a minimise
    // button, no maximise button.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFixedSize(kClientWidth, kClientHeight);

    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("Form1Client"));
    setCentralWidget(central);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(2);
    buildTopRow(central);
    logButton_ = addTool(QStringLiteral("LogButton"), QStringLiteral("LOG"),
                         QStringLiteral("communication log: every frame to and from the scale"));
    buildPages(central);
    connectControls();
    link_.addObserver(sessionLog_.observer());

    FormCreate();
    createSecondaryWindows();
    addBackupTools();
    addDemoScaleTools();
}

TForm1::~TForm1() {
    link_.removeObserver(sessionLog_.observer());
}

PageContext TForm1::pageContext() {
    return PageContext{link_, ui_, rememberedText_, QtRegionalForms().decimalSeparator()};
}

void TForm1::buildTopRow(QWidget* central) {
    auto* row = new QHBoxLayout;
    row->setSpacing(6);

    // COM1 to COM8, then the ports this computer has.
    portSelector_ = selector(new PortSelector(central), QStringLiteral("ComboBox2"), {},
                             QStringLiteral("choice the comport"));
    portSelector_->setAccessibleName(QStringLiteral("port"));
    // Room for a typed device such as /dev/ttyUSB0.
    portSelector_->setMinimumWidth(
        portSelector_->fontMetrics().horizontalAdvance(QStringLiteral("/dev/ttyUSB0")) + 32);
    speedSelector_ = selector(new QComboBox(central), QStringLiteral("ComboBox1"),
                              {QStringLiteral("1200"), QStringLiteral("2400"), QStringLiteral("4800"),
                               QStringLiteral("9600"), QStringLiteral("14400"), QStringLiteral("19200"),
                               QStringLiteral("28800"), QStringLiteral("38400"), QStringLiteral("57600"),
                               QStringLiteral("115200")},
                              QStringLiteral("choice the baudrate"));
    speedSelector_->setAccessibleName(QStringLiteral("speed"));
    speedSelector_->setMinimumContentsLength(6);
    row->addWidget(portSelector_);
    row->addWidget(speedSelector_);
    row->addWidget(separator(central, QFrame::VLine));

    addressBox_ = new QLineEdit(QStringLiteral("0"), central);
    addressBox_->setObjectName(QStringLiteral("Edit5"));
    addressBox_->setEnabled(false);
    addressBox_->setFixedWidth(28);
    addressBox_->setAccessibleName(QStringLiteral("address"));
    connectButton_ = button(central, QStringLiteral("Button11"), kConnectCaption,
                            QStringLiteral("connect/disconnect to the scale"));
    connectButton_->setMinimumWidth(100);
    indicator_ = new ConnectionIndicator(central);
    indicator_->setObjectName(QStringLiteral("Shape1"));
    indicator_->setToolTip(QStringLiteral("indicator, light-green if connect"));
    indicator_->setAccessibleName(QStringLiteral("indicator, light-green if connect"));
    findScaleButton_ = button(central, QStringLiteral("FindScaleButton"), QStringLiteral("FIND"),
                              QStringLiteral("find the scale: every port at every speed"));
    findScaleButton_->setFixedWidth(findScaleButton_->fontMetrics().horizontalAdvance(QStringLiteral("FIND")) + 20);
    row->addWidget(addressBox_);
    row->addWidget(connectButton_);
    row->addWidget(indicator_);
    row->addWidget(findScaleButton_);
    row->addWidget(separator(central, QFrame::VLine));

    terminalButton_ = button(central, QStringLiteral("Button16"), QStringLiteral("TERMINAL"),
                             QStringLiteral("scale terminal"));
    row->addWidget(terminalButton_);
    row->addWidget(separator(central, QFrame::VLine));

    statusText_ = new QLabel(QStringLiteral("LAST STATUS: "), central);
    statusText_->setObjectName(QStringLiteral("Label4"));
    statusText_->setFont(fixedPitchFont());
    statusText_->setToolTip(QStringLiteral("last transmision status"));
    statusText_->setMinimumWidth(
        statusText_->fontMetrics().horizontalAdvance(QStringLiteral("LAST STATUS: ")));
    row->addWidget(statusText_, 1);
    row->addWidget(separator(central, QFrame::VLine));

    helpButton_ = button(central, QStringLiteral("Button15"), QStringLiteral("HELP"));
    row->addWidget(helpButton_);
    row->addWidget(separator(central, QFrame::VLine));
    closeButton_ = button(central, QStringLiteral("Button10"), QStringLiteral("CLOSE"));
    row->addWidget(closeButton_);

    auto* layout = static_cast<QVBoxLayout*>(central->layout());
    layout->addLayout(row);
    layout->addWidget(separator(central, QFrame::HLine));

    // The line under the row: on its left a strip of the program's own tools
    // (each added where its feature is built), on its right the scale's
    // identification.
    auto* line = new QHBoxLayout;
    line->setSpacing(4);
    toolStrip_ = new QWidget(central);
    toolStrip_->setObjectName(QStringLiteral("ToolStrip"));
    auto* strip = new QHBoxLayout(toolStrip_);
    strip->setContentsMargins(0, 0, 0, 0);
    strip->setSpacing(4);
    line->addWidget(toolStrip_);
    identification_ = new QLabel(central);
    identification_->setObjectName(QStringLiteral("StaticText1"));
    identification_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    identification_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    line->addWidget(identification_, 1);
    layout->addLayout(line);
}

QToolButton* TForm1::addTool(const QString& objectName, const QString& caption, const QString& hint) {
    auto* tool = new QToolButton(toolStrip_);
    tool->setObjectName(objectName);
    tool->setText(caption);
    tool->setToolTip(hint);
    tool->setAccessibleName(hint);
    tool->setAutoRaise(true);
    tool->setToolButtonStyle(Qt::ToolButtonTextOnly);
    toolStrip_->layout()->addWidget(tool);
    return tool;
}

void TForm1::buildPages(QWidget* central) {
    pages_ = new QTabWidget(central);
    pages_->setObjectName(QStringLiteral("PageControl1"));
    pluPage_ = new PluPage(pageContext());
    settingsPage_ = new SettingsPage(pageContext());
    reportsPage_ = new ReportsPage(pageContext());
    systemPage_ = new SystemPage(pageContext());
    pages_->addTab(tabSheet(QStringLiteral("TabSheet1"), pluPage_), QStringLiteral("PLU"));
    pages_->addTab(tabSheet(QStringLiteral("TabSheet2"), settingsPage_), QStringLiteral("SETTINGS"));
    pages_->addTab(tabSheet(QStringLiteral("TabSheet3"), reportsPage_), QStringLiteral("REPORTS"));
    pages_->addTab(tabSheet(QStringLiteral("TabSheet4"), systemPage_), QStringLiteral("SYSTEM"));
    static_cast<QVBoxLayout*>(central->layout())->addWidget(pages_, 1);

    // The top row first, left to right, then the pages.
    setTabOrder(portSelector_, speedSelector_);
    setTabOrder(speedSelector_, connectButton_);
    setTabOrder(connectButton_, terminalButton_);
    setTabOrder(terminalButton_, helpButton_);
    setTabOrder(helpButton_, closeButton_);
    setTabOrder(closeButton_, pages_);
}

void TForm1::connectControls() {
    // CONNECT / DISCONNECT: its caption is the connection state.
    connect(connectButton_, &QPushButton::clicked, this, &TForm1::Button11Click);
    // TERMINAL: the scale's remote terminal, only while connected.
    connect(terminalButton_, &QPushButton::clicked, this, &TForm1::Button16Click);
    // GRAPHICAL LOGO on the settings page: the logo window, only while connected.
    connect(settingsPage_, &SettingsPage::logoWindowRequested, this, &TForm1::Button14Click);
    // HELP: the help window, at any time.
    connect(helpButton_, &QPushButton::clicked, this, &TForm1::Button15Click);
    // CLOSE: ends the program as the window's close box does.
    connect(closeButton_, &QPushButton::clicked, this, &TForm1::Button10Click);
    // FIND: tries every listed port at every speed and chooses where the scale answered.
    connect(findScaleButton_, &QPushButton::clicked, this, &TForm1::FindScaleClick);
    // LOG: the communication log window, at any time.
    connect(logButton_, &QToolButton::clicked, this, &TForm1::LogButtonClick);
}

void TForm1::FormCreate() {
    pages_->setCurrentIndex(kPluTab);
    pages_->setTabVisible(kSystemTab, false);
    speedSelector_->setCurrentIndex(3); // "9600"
    portSelector_->setCurrentIndex(0);  // "COM1"
    restoreall(savedControls(), *centralWidget(), stateFilePath_);
    pluPage_->allClicked();
    settingsPage_->captureClockFromPc();
}

void TForm1::createSecondaryWindows() {
    // Children of the main window, so they stay above it; each is a window of
    // its own (Qt::Dialog) and hides when closed.
    progressWindow_ = new TForm2(pageContext(), this);
    terminalWindow_ = new TForm3(pageContext(), this);
    logoWindow_ = new TForm4(pageContext(), this);
    helpWindow_ = new TForm5(this);
    logWindow_ = new LogWindow(sessionLog_, ui_, this);
    // The PLU transfers show their progress in the one progress window.
    pluPage_->setProgressWindow(progressWindow_);
    // The CSV columns the user assigned by hand live beside the saved state.
    const QFileInfo state(stateFilePath_);
    const QString columns =
        QDir(state.absolutePath()).filePath(state.completeBaseName() + QStringLiteral("-csv-columns.txt"));
    pluPage_->setCsvColumnMemoryFile(QFile::encodeName(columns).toStdString());
    for (QWidget* window : {static_cast<QWidget*>(progressWindow_), static_cast<QWidget*>(terminalWindow_),
                            static_cast<QWidget*>(logoWindow_), static_cast<QWidget*>(helpWindow_),
                            static_cast<QWidget*>(logWindow_)}) {
        window->hide();
    }
}

void TForm1::addBackupTools() {
    backupTools_ = new BackupTools(pageContext(), *progressWindow_, *this);
    // BACKUP…: everything the scale lets the program read, into a new folder.
    connect(addTool(QStringLiteral("BackupButton"), QStringLiteral("BACKUP\u2026"),
                    QStringLiteral("the whole scale into a backup folder")),
            &QToolButton::clicked, backupTools_, &BackupTools::backupClicked);
    // RESTORE…: a backup folder's PLUs and settings back onto the scale.
    connect(addTool(QStringLiteral("RestoreButton"), QStringLiteral("RESTORE\u2026"),
                    QStringLiteral("a backup folder back onto the scale")),
            &QToolButton::clicked, backupTools_, &BackupTools::restoreClicked);
}

void TForm1::addDemoScaleTools() {
    // PRACTICE FAULTS: the demo scale's misbehaviours, shown only while connected to it.
    QToolButton* practice = addTool(QStringLiteral("PracticeFaultsButton"), QStringLiteral("PRACTICE FAULTS"),
                                    QStringLiteral("make the demo scale misbehave as a real scale can"));
    demoScale_ = new DemoScaleTools(ui_, sessionLog_.linkLog(), *this, *identification_, *practice);
}

void TForm1::setDemoScaleMemoryFile(const QString& path) {
    demoScale_->setMemoryFile(path);
}

bool TForm1::demoScaleChosen() const {
    return DemoScaleTools::available() && portSelector_->currentText() == QLatin1String(kDemoScaleItem);
}

void TForm1::showStatusText(const QString& text) {
    statusText_->setText(text);
}

void TForm1::setSystemTabVisible(bool visible) {
    // Every reply tells the calibration mode, and the tab widget lays itself
    // out and repaints all its pages at each call, changed or not: during a
    // PLU load that repainted the whole window after every PLU.
    if (pages_->isTabVisible(kSystemTab) == visible) {
        return;
    }
    // Hiding the current tab would let the tab widget choose another page.
    if (!visible && pages_->currentIndex() == kSystemTab) {
        pages_->setCurrentIndex(kPluTab);
    }
    pages_->setTabVisible(kSystemTab, visible);
}

void TForm1::Button11Click() {
    if (connectButton_->text() == kDisconnectCaption) {
        disconnectFromScale();
    } else {
        connectToScale();
    }
}

void TForm1::connectToScale() {
    const std::string speedText = qstringToBytesLossy(speedSelector_->currentText());
    std::int32_t speed = 0;
    if (!parseInt(speedText, speed)) {
        reportConversionError(ui_, speedText, NumberKind::Integer);
        return;
    }

    const auto baud = static_cast<std::uint32_t>(speed);
    // DEMO SCALE: the demo scale starts here and is reached like any port.
    const bool demo = demoScaleChosen();
    const std::optional<PortId> chosen = demo ? demoScale_->start(baud) : selectedPort();
    if (!chosen) {
        return; // the demo scale has said why it could not start
    }
    const PortId& port = *chosen;
    if (!link_.openLink(port, baud)) {
        const OpenFailure failure = link_.openFailure();
        ui_.showErrorWithDetails("Cannot inicialize COM port!", "Error!",
                                 openFailureDetails(failure, portTroubleCauses(port, failure.inUse)));
        demoScale_->stop();
        return;
    }

    link_.buffer().clear();
    // No answer: the box's details say whether the scale answers at another
    // speed, found with short probes while the busy cursor shows.
    const auto whyNoAnswer = [&] {
        const BusyCursor busy(ui_);
        return diagnoseSilentPort(link_.channel(), port, baud, listedSpeeds(), link_.observer());
    };
    if (!link_.runCommand(cmd::kIdentify, whyNoAnswer)) {
        link_.closeLink();
        demoScale_->stop();
        return;
    }
    const std::string id = link_.buffer().getText(kIdentificationWidth);
    identification_->setText(QStringLiteral("SCALE ID: ") + bytesToQString(id));
    connectButton_->setText(kDisconnectCaption);
    indicator_->setConnected(true);
    if (demo) {
        demoScale_->connected();
    }
    // Another scale, or the same one after who knows what: nothing is known of it yet.
    pluPage_->scaleConnectionChanged();
    // The scale is found: a search now would take the open port away.
    findScaleButton_->setEnabled(false);
}

PortId TForm1::selectedPort() const {
    // The item at position p is port p + 1; "COMn" typed by hand is port n
    // as well; any other text names the device itself.
    // The ports found after COM8 are named by their text, the device itself.
    const int position = shownComboPosition(*portSelector_);
    if (position >= 0 && position < kNumberedPortItems) {
        return PortId::numbered(position + 1);
    }
    return portFromText(QFile::encodeName(portSelector_->currentText()).toStdString());
}

std::vector<std::uint32_t> TForm1::listedSpeeds() const {
    std::vector<std::uint32_t> speeds;
    for (int i = 0; i < speedSelector_->count(); ++i) {
        std::int32_t speed = 0;
        if (parseInt(qstringToBytesLossy(speedSelector_->itemText(i)), speed) && speed > 0) {
            speeds.push_back(static_cast<std::uint32_t>(speed));
        }
    }
    return speeds;
}

void TForm1::FindScaleClick() {
    if (link_.isOpen()) {
        return;
    }
    portSelector_->refresh();
    // The port the user typed first, then every listed one.
    std::vector<PortCandidate> ports;
    const QString typed = portSelector_->currentText();
    if (shownComboPosition(*portSelector_) < 0 && !typed.trimmed().isEmpty()) {
        ports.push_back({portFromText(QFile::encodeName(typed).toStdString()), QFile::encodeName(typed).toStdString()});
    }
    for (int i = 0; i < portSelector_->count(); ++i) {
        const std::string text = QFile::encodeName(portSelector_->itemText(i)).toStdString();
        if (text == kDemoScaleItem) {
            continue; // a search looks for a real scale
        }
        ports.push_back({i < kNumberedPortItems ? PortId::numbered(i + 1) : portFromText(text), text});
    }
    sessionLog_.linkLog().note("looking for the scale on " + std::to_string(ports.size()) + " ports");
    ScaleFinder finder(link_.channel(), ports, listedSpeeds(), link_.observer());
    auto* dialog = findChild<FindScaleDialog*>(QStringLiteral("FindScaleDialog"));
    if (dialog == nullptr) {
        dialog = new FindScaleDialog(this);
    }
    if (const auto found = dialog->run(finder)) {
        setComboText(*portSelector_, QFile::decodeName(finder.ports()[found->portIndex].label.c_str()));
        setComboText(*speedSelector_, QString::number(found->baud));
    }
}

void TForm1::LogButtonClick() {
    bringUp(*logWindow_);
}

void TForm1::disconnectFromScale() {
    identification_->clear();
    connectButton_->setText(kConnectCaption);
    indicator_->setConnected(false);
    pages_->setCurrentIndex(kPluTab);
    setSystemTabVisible(false);
    link_.closeLink();
    demoScale_->stop();
    pluPage_->scaleConnectionChanged();
    findScaleButton_->setEnabled(true);
}

void TForm1::Button16Click() {
    if (link_.checkConnected()) {
        bringUp(*terminalWindow_);
    }
}

void TForm1::Button14Click() {
    if (link_.checkConnected()) {
        bringUp(*logoWindow_);
    }
}

void TForm1::Button15Click() {
    bringUp(*helpWindow_);
}

void TForm1::Button10Click() {
    close();
}

void TForm1::closeEvent(QCloseEvent* event) {
    saveall(savedControls(), *centralWidget(), stateFilePath_);
    // The demo scale's memory is written as it stops; the link to it goes first.
    if (demoScale_->running()) {
        link_.closeLink();
        demoScale_->stop();
    }
    event->accept();
    emit closed();
}

void TForm1::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!centred_) {
        centred_ = true;
        if (const QScreen* screen = this->screen()) {
            QRect frame = frameGeometry();
            frame.moveCenter(screen->availableGeometry().center());
            move(frame.topLeft());
        }
    }
}
