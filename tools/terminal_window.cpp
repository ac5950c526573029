#include "terminal_window.h"

#include "gui/qt_text.h"
#include "link/scale_link.h"
#include "tools/terminal_key_event.h"
#include "tools/terminal_keys.h"
#include "tools/terminal_link.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <chrono>
#include <cmath>

namespace {

constexpr QSize kClientSize{233, 299};
constexpr QRect kPanelGeometry{0, 0, 233, 133};
const QColor kDisplayColour{155, 154, 98}; // the scale's greenish display glass
constexpr int kDisplayPixelSize = 37;
constexpr int kSubstituteStretch = 85; // percent of a substitute display font's natural width
constexpr std::array<QPoint, kDisplayLines> kLinePositions{{{40, 8}, {40, 48}, {40, 88}}};
constexpr QSize kLineSize{185, 43};
constexpr int kMarkDrop = 4;                            // the marks sit a little lower than the characters
constexpr std::chrono::milliseconds kPollInterval{100}; // from the end of one poll to the next

constexpr int kKeypadTop = 144;
constexpr int kKeypadColumnStep = 40;
constexpr int kKeypadRowStep = 32;
constexpr QSize kKeySize{33, 25};

// The display font: Lucida Console where the system has it, otherwise a
// monospaced font with Cyrillic letters, since the display shows code page 1251.
// A substitute's bold digits nearly fill their cells, leaving no room for the
// decimal mark between them; drawn narrower in the same cells (the cell kept
// by letter spacing) they leave the gap the scale's display has.
QFont displayFont() {
    const QStringList families = QFontDatabase::families();
    QString family = QStringLiteral("DejaVu Sans Mono");
    const bool original = families.contains(QStringLiteral("Lucida Console"));
    if (original) {
        family = QStringLiteral("Lucida Console");
    } else if (!families.contains(family)) {
        family = QFontDatabase::systemFont(QFontDatabase::FixedFont).family();
    }
    QFont font(family);
    font.setStyleHint(QFont::Monospace);
    font.setPixelSize(kDisplayPixelSize);
    font.setBold(true);
    if (!original) {
        const qreal cell = QFontMetricsF(font).horizontalAdvance(QLatin1Char('0'));
        font.setStretch(kSubstituteStretch);
        font.setLetterSpacing(QFont::AbsoluteSpacing,
                              cell - QFontMetricsF(font).horizontalAdvance(QLatin1Char('0')));
    }
    return font;
}

QFont indicatorFont() {
    QFont font(QStringLiteral("Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(8);
    font.setBold(true);
    return font;
}

QLabel* makeLabel(QWidget* parent, const char* name, const QString& text, const QFont& font) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setFont(font);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setMargin(0);
    label->setIndent(0);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, Qt::black);
    label->setPalette(palette);
    return label;
}

} // namespace

TForm3::TForm3(PageContext context, QWidget* parent) : QDialog(parent), context_(context) {
    setObjectName(QStringLiteral("TForm3"));
    setWindowTitle(QStringLiteral("TERMINAL"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(kClientSize);
    // The window itself takes every key: no button may swallow Space or Enter.
    setFocusPolicy(Qt::StrongFocus);

    buildDisplay();
    buildKeypad();

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setSingleShot(true); // restarted at the end of each poll
    Timer1->setInterval(kPollInterval);

    // Timer1: the display poll, while the window is active.
    connect(Timer1, &QTimer::timeout, this, &TForm3::Timer1Timer);
}

void TForm3::buildDisplay() {
    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(kPanelGeometry);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel1->setAutoFillBackground(true);
    QPalette palette = Panel1->palette();
    palette.setColor(QPalette::Window, kDisplayColour);
    Panel1->setPalette(palette);

    const QFont font = displayFont();
    const char* lineNames[] = {"Label1", "Label2", "Label3"};
    const char* markNames[] = {"Label10", "Label11", "Label12"};
    for (std::size_t i = 0; i < lineLabels_.size(); ++i) {
        lineLabels_[i] = makeLabel(Panel1, lineNames[i], QStringLiteral(" 0000000"), font);
        lineLabels_[i]->setGeometry(QRect(kLinePositions[i], kLineSize));
    }
    // Made after the lines so that they are drawn over them.
    for (std::size_t i = 0; i < markLabels_.size(); ++i) {
        markLabels_[i] = makeLabel(Panel1, markNames[i], QStringLiteral("........"), font);
    }
    placeMarks();

    const QFont small = indicatorFont();
    struct Indicator {
        QLabel*& label;
        const char* name;
        const char* text;
        int top;
    };
    const Indicator indicators[] = {
        {Label9, "Label9", "SHIFT", 8},     {Label7, "Label7", "MODE", 20},
        {Label4, "Label4", "STAB", 32},     {Label5, "Label5", "ZERO", 44},
        {Label6, "Label6", "NET", 56},      {Label8, "Label8", "BATT", 68},
        {Label13, "Label13", "SBT", 80},    {Label14, "Label14", "PAPER", 92},
        {Label15, "Label15", "CHARG", 104},
    };
    for (const Indicator& indicator : indicators) {
        indicator.label = makeLabel(Panel1, indicator.name, QString::fromLatin1(indicator.text), small);
        indicator.label->move(4, indicator.top);
        indicator.label->adjustSize();
    }
}

namespace {

// Where a label starts drawing its text, in its parent's coordinates: past
// its frame, its margin and its indent (a framed label without an indent of
// its own indents by half an "x").
qreal textOriginX(const QLabel& label) {
    int indent = label.indent();
    if (indent < 0) {
        indent =
            label.frameWidth() > 0 ? QFontMetrics(label.font()).horizontalAdvance(QLatin1Char('x')) / 2 : 0;
    }
    return label.x() + label.contentsRect().left() + label.margin() + indent;
}

} // namespace

// Mark cell k stands for the place after display character k (the first
// being the line's leading blank). The mark line is shifted so that the ink
// of the separator in cell k is centred in the gap between the ink of display
// characters k and k + 1: about one character cell right of the line's text
// origin, less the middle of the separator's own ink. Cell and ink are
// measured, since the font differs between systems.
void TForm3::placeMarks() {
    const QFontMetricsF metrics(lineLabels_[0]->font());
    // Measured over a whole line: a lone character's advance leaves out the
    // letter spacing that every character of a line gets.
    const QString line(static_cast<qsizetype>(kMarkCells), QLatin1Char('0'));
    const qreal cell = metrics.horizontalAdvance(line) / static_cast<qreal>(kMarkCells);
    const QRectF digit = metrics.boundingRect(QLatin1Char('0'));
    const qreal gapMiddle = cell + (digit.left() + digit.right() - cell) / 2; // from a character's origin
    const QChar separator = QLatin1Char(context_.decimalSeparator);
    const qreal inkMiddle = metrics.boundingRect(separator).center().x();
    const int markWidth = static_cast<int>(std::ceil(cell * static_cast<qreal>(kMarkCells + 1)));
    for (std::size_t i = 0; i < markLabels_.size(); ++i) {
        QLabel& mark = *markLabels_[i];
        const qreal markOffset = textOriginX(mark) - mark.x(); // the mark's own margins
        const qreal left = textOriginX(*lineLabels_[i]) + gapMiddle - inkMiddle - markOffset;
        const QRect lineGeometry = lineLabels_[i]->geometry();
        mark.setGeometry(static_cast<int>(std::lround(left)), lineGeometry.y() + kMarkDrop, markWidth,
                         lineGeometry.height() - kMarkDrop);
    }
}

void TForm3::buildKeypad() {
    for (int index = 0; index < static_cast<int>(kKeypad.size()); ++index) {
        const KeypadKey& key = kKeypad[static_cast<std::size_t>(index)];
        auto* button = new QPushButton(
            QString::fromLatin1(key.caption.data(), static_cast<int>(key.caption.size())), this);
        button->setObjectName(QStringLiteral("Button%1").arg(index + 1));
        button->setGeometry(QRect(QPoint(kKeypadColumnStep * (index % kKeypadColumns),
                                         kKeypadTop + kKeypadRowStep * (index / kKeypadColumns)),
                                  kKeySize));
        button->setFocusPolicy(Qt::NoFocus);
        button->setAutoDefault(false);
        button->setProperty("keyCode", key.code);
        const std::uint8_t code = key.code;
        // Button1..Button30: the scale's keys, each sends its key code.
        connect(button, &QPushButton::clicked, this, [this, code] { ButtonXClick(code); });
    }
}

void TForm3::ButtonXClick(std::uint8_t keyCode) {
    pressScaleKey(context_.link, keyCode);
}

void TForm3::FormKeyDown(std::uint16_t virtualKey) {
    pressScaleKey(context_.link, scaleKeyForPcKey(virtualKey));
}

void TForm3::Timer1Timer() {
    // A command's message box runs a nested event loop in which this timer can
    // fire; a poll then would overwrite that command's reply. Try again later.
    if (context_.link.commandInProgress()) {
        Timer1->start();
        return;
    }
    Timer1->stop();
    const auto state = pollTerminalDisplay(context_.link);
    if (!state) {
        return; // polling rests until the window is activated again
    }
    showDisplay(*state);
    Timer1->start();
}

void TForm3::showDisplay(const TerminalDisplayState& state) {
    for (std::size_t i = 0; i < lineLabels_.size(); ++i) {
        lineLabels_[i]->setText(bytesToQString(displayLabelText(state.lines[i]), CodePage::Windows1251));
        markLabels_[i]->setText(
            QString::fromLatin1(markLabelText(state.marks[i], context_.decimalSeparator)));
    }
    const TerminalIndicators& lit = state.indicators;
    Label4->setVisible(lit.stab);
    Label5->setVisible(lit.zero);
    Label6->setVisible(lit.net);
    Label8->setVisible(lit.batt);
    Label7->setVisible(lit.mode);
    Label9->setVisible(lit.shift);
    Label13->setVisible(lit.sbt);
    Label14->setVisible(lit.paper);
    Label15->setVisible(lit.charg);
}

void TForm3::FormActivate() {
    Timer1->start();
}

void TForm3::FormDeactivate() {
    Timer1->stop();
}

bool TForm3::event(QEvent* event) {
    switch (event->type()) {
    case QEvent::WindowActivate:
        FormActivate();
        break;
    case QEvent::WindowDeactivate:
        FormDeactivate();
        break;
    case QEvent::ShortcutOverride:
        // Every key belongs to the scale while this window is active, even
        // one the main window uses as a shortcut.
        event->accept();
        return true;
    default:
        break;
    }
    return QDialog::event(event);
}

void TForm3::keyPressEvent(QKeyEvent* event) {
    // Auto-repeat included: a held key presses the scale's key again each time.
    // The dialog's own handling (Esc closes, Enter clicks) is left out.
    FormKeyDown(virtualKeyForKeyEvent(*event));
    event->accept();
}

void TForm3::showEvent(QShowEvent* event) {
    if (!centred_) {
        if (const QScreen* screen = this->screen()) {
            move(screen->availableGeometry().center() - rect().center());
        }
        centred_ = true;
    }
    QDialog::showEvent(event);
}
