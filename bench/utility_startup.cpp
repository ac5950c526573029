// The utility started exactly as its own main() starts it, with the start-up
// probe watching the main window.
#include "app/main_window.h"
#include "gui/qt_user_interface.h"
#include "link/posix_serial_channel.h"
#include "link/scale_link.h"
#include "window_shown_probe.h"

#include <QApplication>
#include <memory>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Tallivos"));
    QApplication::setApplicationName(QStringLiteral("tallivos-utility"));
    QApplication::setQuitOnLastWindowClosed(false);

    QtUserInterface ui;
    ScaleLink link(std::make_unique<PosixSerialChannel>(), ui);
    TForm1 form(link, ui);
    ui.onStatusText = [&form](const std::string& text) { form.showStatusText(QString::fromLatin1(text)); };
    ui.onSystemPage = [&form](bool visible) { form.setSystemTabVisible(visible); };
    QObject::connect(&form, &TForm1::closed, &app, &QApplication::quit, Qt::QueuedConnection);

    startup_probe::watch(form);
    form.show();
    return QApplication::exec();
}
