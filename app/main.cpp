// The program: one scale link, one user interface, the main window with its
// pages and secondary windows, then the event loop until the window closes.

#include "link/posix_serial_channel.h"
#include "link/scale_link.h"
#include "main_window.h"
#include "support/qt_user_interface.h"

#include <QApplication>
#include <memory>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    // Fixed, so the user's configuration folder (used when the program's own
    // folder cannot be written) stays where it was.
    QApplication::setOrganizationName(QStringLiteral("Tallivos"));
    QApplication::setApplicationName(QStringLiteral("tallivos-utility"));
    // The main window decides when the program ends, whatever else is shown.
    QApplication::setQuitOnLastWindowClosed(false);

    QtUserInterface ui;
    ScaleLink link(std::make_unique<PosixSerialChannel>(), ui);

    // Creating the main window sets its defaults, restores the saved state and
    // creates the progress, terminal, logo and help windows, hidden.
    TForm1 form(link, ui);
    ui.onStatusText = [&form](const std::string& text) { form.showStatusText(QString::fromLatin1(text)); };
    ui.onSystemPage = [&form](bool visible) { form.setSystemTabVisible(visible); };
    QObject::connect(&form, &TForm1::closed, &app, &QApplication::quit, Qt::QueuedConnection);

    form.show();
    return QApplication::exec();
}
