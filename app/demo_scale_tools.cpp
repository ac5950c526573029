#include "app/demo_scale_tools.h"

#include "app/demo_scale.h"
#include "link/link_log.h"
#include "link/user_interface.h"

#include <QAction>
#include <QActionGroup>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QPalette>
#include <QToolButton>
#include <QWidget>

namespace {

const QString kCaptionSign = QStringLiteral(" \u2014 DEMO SCALE, simulated by this program: not a real scale");
const QString kIdentificationSign = QStringLiteral("  \u2014 DEMO SCALE");
const QString kMenuCaption = QStringLiteral("PRACTICE FAULTS");
const QColor kFaultOnColour{176, 0, 0}; // dark red

constexpr PracticeFault kFaults[] = {PracticeFault::None,         PracticeFault::Silent, PracticeFault::Nak,
                                     PracticeFault::BadCheckByte, PracticeFault::Slow,   PracticeFault::SwitchedOff};

struct FaultTexts {
    const char* objectName;
    QString menu;   // the menu item
    QString button; // on the button while it is on
    QString note;   // in the communication log when it is switched on
};

FaultTexts textsOf(PracticeFault fault) {
    const QString seconds = QString::number(kSlowAnswerDelay.count() / 1000.0, 'f', 1);
    const QString requests = QString::number(kRequestsBeforeSwitchOff);
    switch (fault) {
    case PracticeFault::None:
        return {"PracticeNormal", QStringLiteral("Normal: answers every request"), kMenuCaption,
                QStringLiteral("practice faults off: the demo scale answers every request")};
    case PracticeFault::Silent:
        return {"PracticeSilent", QStringLiteral("Silent: answers nothing"), QStringLiteral("SILENT"),
                QStringLiteral("practice fault on: the demo scale answers nothing")};
    case PracticeFault::Nak:
        return {"PracticeNak", QStringLiteral("NAK: refuses every request"), QStringLiteral("NAK"),
                QStringLiteral("practice fault on: the demo scale refuses every request with NAK")};
    case PracticeFault::BadCheckByte:
        return {"PracticeBadCheckByte", QStringLiteral("Bad check byte: spoils every reply"),
                QStringLiteral("BAD CHECK"),
                QStringLiteral("practice fault on: every reply of the demo scale has a wrong check byte")};
    case PracticeFault::Slow:
        return {"PracticeSlow", QStringLiteral("Slow: answers %1 s late").arg(seconds), QStringLiteral("SLOW"),
                QStringLiteral("practice fault on: the demo scale answers every request %1 s late").arg(seconds)};
    case PracticeFault::SwitchedOff:
        return {"PracticeSwitchedOff",
                QStringLiteral("Switched off during a transfer: silent after %1 more requests").arg(requests),
                QStringLiteral("SWITCHED OFF"),
                QStringLiteral("practice fault on: the demo scale switches off after %1 more requests").arg(requests)};
    }
    return {};
}

std::string bytes(const QString& text) {
    return text.toUtf8().toStdString();
}

} // namespace

struct DemoScaleTools::Impl {
    Impl(UserInterface& boxes, LinkLog& runLog, QWidget& mainWindow, QLabel& idLine, QToolButton& menuButton)
        : ui(boxes), log(runLog), window(mainWindow), identification(idLine), button(menuButton) {}

    UserInterface& ui;
    LinkLog& log;
    QWidget& window;
    QLabel& identification;
    QToolButton& button;
    std::unique_ptr<DemoScale> scale = std::make_unique<DemoScale>();
    QActionGroup* faults = nullptr;
    QAction* calibration = nullptr;
    QString plainCaption;
    bool shown = false;
    bool problemTold = false;

    void buildMenu(DemoScaleTools& owner);
    void choose(PracticeFault fault);
    void switchCalibration(bool on);
    void reset();
    void showFault() {
        const PracticeFault fault = scale->fault();
        button.setText(fault == PracticeFault::None ? kMenuCaption
                                                    : QStringLiteral("FAULT ON: ") + textsOf(fault).button);
        // A fault that is on is in the colour of a warning.
        QPalette palette = window.palette();
        if (fault != PracticeFault::None) {
            palette.setColor(QPalette::ButtonText, kFaultOnColour);
            palette.setColor(QPalette::WindowText, kFaultOnColour);
        }
        button.setPalette(palette);
        for (QAction* action : faults->actions()) {
            action->setChecked(action->data().toInt() == static_cast<int>(fault));
        }
        calibration->setChecked(scale->calibrationMode());
    }
};

void DemoScaleTools::Impl::buildMenu(DemoScaleTools& owner) {
    auto* menu = new QMenu(&button);
    menu->setObjectName(QStringLiteral("PracticeFaultsMenu"));
    menu->setToolTipsVisible(true);
    // One fault at a time; "Normal" is the way back.
    faults = new QActionGroup(menu);
    faults->setExclusive(true);
    for (const PracticeFault fault : kFaults) {
        const FaultTexts texts = textsOf(fault);
        QAction* action = menu->addAction(texts.menu);
        action->setObjectName(QString::fromLatin1(texts.objectName));
        action->setCheckable(true);
        action->setData(static_cast<int>(fault));
        faults->addAction(action);
        QObject::connect(action, &QAction::triggered, &owner, [this, fault] { choose(fault); });
        if (fault == PracticeFault::None) {
            menu->addSeparator();
        }
    }
    menu->addSeparator();
    // The scale's calibration switch: the program sees it in the status byte
    // of the next reply, as with a real scale.
    calibration = menu->addAction(QStringLiteral("Calibration mode"));
    calibration->setObjectName(QStringLiteral("PracticeCalibrationMode"));
    calibration->setCheckable(true);
    calibration->setToolTip(
        QStringLiteral("the scale's calibration switch: the SYSTEM page shows, or goes, with the next reply"));
    QObject::connect(calibration, &QAction::triggered, &owner, [this](bool on) { switchCalibration(on); });
    menu->addSeparator();
    QAction* resetAction = menu->addAction(QStringLiteral("Reset demo scale\u2026"));
    resetAction->setObjectName(QStringLiteral("ResetDemoScale"));
    resetAction->setToolTip(QStringLiteral("the demo shop's data back on the demo scale"));
    QObject::connect(resetAction, &QAction::triggered, &owner, [this] { reset(); });

    button.setMenu(menu);
    button.setPopupMode(QToolButton::InstantPopup);
}

void DemoScaleTools::Impl::choose(PracticeFault fault) {
    scale->setFault(fault);
    log.note(bytes(textsOf(fault).note));
    showFault();
}

void DemoScaleTools::Impl::switchCalibration(bool on) {
    scale->setCalibrationMode(on);
    log.note(on ? "practice: the demo scale's calibration switch on; the SYSTEM page shows from its next reply"
                : "practice: the demo scale's calibration switch off; the SYSTEM page goes with its next reply");
}

void DemoScaleTools::Impl::reset() {
    const auto answer = ui.askQuestion("Put the demo shop back on the demo scale? Everything written to it "
                                       "is replaced by the demo shop's data.",
                                       "DEMO SCALE", {"Reset", "Cancel"});
    if (answer != std::size_t{0}) {
        return;
    }
    std::string error;
    const bool written = scale->reset(&error);
    log.note("demo scale reset: the demo shop's data is back");
    showFault();
    if (!written) {
        ui.showErrorWithDetails("I/O Error!", "ERROR!", error);
    }
}

bool DemoScaleTools::available() {
    return true;
}

DemoScaleTools::DemoScaleTools(UserInterface& ui, LinkLog& log, QWidget& mainWindow, QLabel& identification,
                               QToolButton& menuButton)
    : QObject(&mainWindow), impl_(std::make_unique<Impl>(ui, log, mainWindow, identification, menuButton)) {
    impl_->buildMenu(*this);
    menuButton.hide();
}

DemoScaleTools::~DemoScaleTools() = default;

void DemoScaleTools::setMemoryFile(const QString& path) {
    if (!impl_->scale->running()) {
        impl_->scale = std::make_unique<DemoScale>(QFile::encodeName(path).toStdString());
    }
}

std::optional<PortId> DemoScaleTools::start(std::uint32_t baud) {
    DemoScale& scale = *impl_->scale;
    std::string error;
    if (!scale.start(baud, &error)) {
        impl_->ui.showErrorWithDetails("Cannot inicialize COM port!", "Error!", error);
        return std::nullopt;
    }
    const std::string kept =
        scale.memoryFile().empty() ? std::string("for this run only") : "in " + scale.memoryFile().string();
    impl_->log.note("DEMO SCALE: the simulated scale inside the program, on " + scale.device() +
                    "; its memory is kept " + kept);
    if (!scale.memoryFileProblem().empty() && !impl_->problemTold) {
        impl_->problemTold = true;
        impl_->ui.showInformation("The demo scale's memory could not be read, so it starts again as the "
                                  "demo shop.\n\n" + scale.memoryFileProblem(),
                                  "DEMO SCALE");
    }
    return PortId::named(scale.device());
}

void DemoScaleTools::connected() {
    impl_->plainCaption = impl_->window.windowTitle();
    impl_->window.setWindowTitle(impl_->plainCaption + kCaptionSign);
    impl_->identification.setText(impl_->identification.text() + kIdentificationSign);
    impl_->showFault();
    impl_->button.show();
    impl_->shown = true;
}

void DemoScaleTools::stop() {
    if (!impl_->scale->running()) {
        return;
    }
    std::string error;
    const bool written = impl_->scale->stop(&error);
    if (impl_->shown) {
        impl_->shown = false;
        impl_->window.setWindowTitle(impl_->plainCaption);
        impl_->button.hide();
    }
    impl_->log.note("DEMO SCALE stopped");
    if (!written) {
        impl_->ui.showErrorWithDetails("I/O Error!", "ERROR!", error);
    }
}

bool DemoScaleTools::running() const {
    return impl_->scale->running();
}
