// The program: one scale link, one user interface, the main window with its
// pages and secondary windows, then the event loop until the window closes.

#include "link/platform_serial_channel.h"
#include "link/scale_link.h"
#include "main_window.h"
#include "gui/qt_user_interface.h"

#include <QApplication>
#include <QDateTime>
#include <QFile>
#include <QDir>
#include <QIcon>
#include <QStandardPaths>
#include <cstdlib>
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

    // This run's communication log, beside the last runs' in the user's data
    // folder; the demo scale's memory lives there too.
    const QDir dataFolder(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    const QString logFolder = dataFolder.filePath(QStringLiteral("logs"));
    form.setDemoScaleMemoryFile(dataFolder.filePath(QStringLiteral("demo-scale.txt")));
    form.sessionLog().startFile(QFile::encodeName(logFolder).toStdString());
    const int offset = QDateTime::currentDateTime().offsetFromUtc() / 60; // minutes east of UTC
    form.sessionLog().linkLog().note(QStringLiteral("tallivos-utility started; times are local, UTC%1%2:%3")
                                         .arg(offset < 0 ? QLatin1Char('-') : QLatin1Char('+'))
                                         .arg(std::abs(offset) / 60, 2, 10, QLatin1Char('0'))
                                         .arg(std::abs(offset) % 60, 2, 10, QLatin1Char('0'))
                                         .toStdString());

    form.show();
    return QApplication::exec();
}
