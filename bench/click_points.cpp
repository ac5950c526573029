// Where a person clicks: the centre of each named control of the main window,
// relative to the window's top-left corner, one "name x y" line each. Built
// and laid out as the program lays itself out from the given state file, on
// the platform QT_QPA_PLATFORM names, so that a script can click the real
// program's controls with xdotool under the same X server.
//
//   click_points STATE.CFG Button11 Button7 ...
#include "app/main_window.h"
#include "gui/qt_user_interface.h"
#include "link/posix_serial_channel.h"
#include "link/scale_link.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QWidget>
#include <QWindow>
#include <cstdio>
#include <memory>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: click_points STATE.CFG NAME...\n");
        return 2;
    }
    QtUserInterface ui;
    ScaleLink link(std::make_unique<PosixSerialChannel>(), ui);
    TForm1 form(link, ui, QString::fromLocal8Bit(argv[1]));
    form.show();
    QElapsedTimer waited;
    waited.start();
    while (!(form.windowHandle() && form.windowHandle()->isExposed()) && waited.elapsed() < 5000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    int missing = 0;
    for (int i = 2; i < argc; ++i) {
        const auto* control = form.findChild<QWidget*>(QString::fromLatin1(argv[i]));
        if (control == nullptr) {
            std::fprintf(stderr, "click_points: no control named %s\n", argv[i]);
            ++missing;
            continue;
        }
        const QPoint centre = control->mapTo(&form, control->rect().center());
        std::printf("%s %d %d\n", argv[i], centre.x(), centre.y());
    }
    return missing == 0 ? 0 : 1;
}
