// The program: one scale link, one user interface, the main window with its
// pages and secondary windows, then the event loop until the window closes.

#include "link/platform_serial_channel.h"
#include "link/scale_link.h"
#include "main_window.h"
#include "gui/qt_user_interface.h"

#include <QApplication>
#include <QIcon>
#include <memory>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    // Fixed, so the user's configuration folder (used for the state file of an
    // installed program) stays where it was.
    QApplication::setOrganizationName(QStringLiteral("Tallivos"));
    QApplication::setApplicationName(QStringLiteral("tallivos-utility"));
    // Ties the running windows to the installed desktop entry, so the desktop
    // shows its name and icon for them.
    QGuiApplication::setDesktopFileName(QStringLiteral("tallivos-utility"));
    QIcon icon;
    for (const int size : {48, 128, 256}) {
        icon.addFile(QStringLiteral(":/icons/tallivos-utility-%1.png").arg(size), QSize(size, size));
    }
    QApplication::setWindowIcon(icon);
    // The main window decides when the program ends, whatever else is shown.
    QApplication::setQuitOnLastWindowClosed(false);

    QtUserInterface ui;
    ScaleLink link(makePlatformSerialChannel(), ui);

    // Creating the main window sets its defaults, restores the saved state and
    // creates the progress, terminal, logo and help windows, hidden.
    TForm1 form(link, ui);
    ui.onStatusText = [&form](const std::string& text) { form.showStatusText(QString::fromLatin1(text)); };
    ui.onSystemPage = [&form](bool visible) { form.setSystemTabVisible(visible); };
    QObject::connect(&form, &TForm1::closed, &app, &QApplication::quit, Qt::QueuedConnection);

    form.show();
    return QApplication::exec();
}
