// A platform without pseudo-terminals has no demo scale: the port selector
// offers no DEMO SCALE item, so nothing here is ever asked to start.
#include "app/demo_scale_tools.h"

#include <QToolButton>
#include <QWidget>

struct DemoScaleTools::Impl {};

bool DemoScaleTools::available() {
    return false;
}

DemoScaleTools::DemoScaleTools(UserInterface& /*ui*/, LinkLog& /*log*/, QWidget& mainWindow, QLabel& /*identification*/,
                               QToolButton& menuButton)
    : QObject(&mainWindow) {
    menuButton.hide();
}

DemoScaleTools::~DemoScaleTools() = default;

void DemoScaleTools::setMemoryFile(const QString& /*path*/) {}

std::optional<PortId> DemoScaleTools::start(std::uint32_t /*baud*/) {
    return std::nullopt;
}

void DemoScaleTools::connected() {}

void DemoScaleTools::stop() {}

bool DemoScaleTools::running() const {
    return false;
}
