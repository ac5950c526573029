// The smallest Qt Widgets program: one empty window of the main window's size.
// Its start-up time and memory are the floor the utility is compared with.
#include "window_shown_probe.h"

#include <QApplication>
#include <QWidget>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("minimal Qt window"));
    window.resize(785, 470);
    startup_probe::watch(window);
    window.show();
    return QApplication::exec();
}
