// Takes a picture of every window for the README: the real windows, built as
// the program builds them, connected to the simulated scale loaded with the
// demo shop's data. Message boxes are recorded, never shown; any box that
// would have appeared makes the run fail, since the picture would then show a
// window in a state no user would see without that box.
//
//   take_screenshots <output folder> <seed file>
//
// Run it offscreen (QT_QPA_PLATFORM=offscreen); scripts/screenshots does.

#include "app/help_window.h"
#include "app/main_window.h"
#include "link/posix_serial_channel.h"
#include "link/scale_link.h"
#include "plu/plu_grid.h"
#include "plu/plu_page.h"
#include "plu/progress_window.h"
#include "settings/settings_page.h"
#include "settings/system_page.h"
#include "sim/scale_display.h"
#include "sim/scale_records.h"
#include "sim/simulated_scale.h"
#include "tests/support/recording_ui.h"
#include "tools/logo_window.h"
#include "tools/reports_page.h"
#include "tools/terminal_window.h"

#include <QApplication>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFont>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <algorithm>
#include <cstdio>
#include <memory>

namespace {

// Page order of the main window's tabs.
constexpr int kPluTab = 0;
constexpr int kSettingsTab = 1;
constexpr int kReportsTab = 2;
constexpr int kSystemTab = 3;

// The status byte with which the scale reports calibration mode.
constexpr std::uint8_t kCalibrationMode = 0x04;

// How long a window that polls (the terminal) is left to run before its
// picture is taken: three polls of 100 ms.
constexpr int kPollingTimeMs = 300;
// A window just shown lays out long texts in the background (the help text's
// scroll bar); this long is left to it before its picture is taken.
constexpr int kLayoutTimeMs = 100;
// When the progress window is pictured during the PLU load, which runs on a
// line paced at kProgressLineSpeed so that it lasts long enough to be seen
// (about 3 s for the whole table).
constexpr int kProgressPictureAfterMs = 400;
constexpr std::uint32_t kProgressLineSpeed = 460800;
constexpr int kProgressWatchMs = 2;

// The receipt logo is 384 dots wide (48 bytes a row); a logo of a third of the
// height the scale keeps is what a shop would typically load.
constexpr int kLogoWidth = 384;
constexpr int kLogoHeight = 96;

void fail(const char* what) {
    std::fprintf(stderr, "take_screenshots: %s\n", what);
    std::exit(1);
}

void settle(int ms = 0) {
    QElapsedTimer elapsed;
    elapsed.start();
    do {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    } while (elapsed.elapsed() < ms);
}

void save(QWidget& window, const QDir& folder, const char* name) {
    settle(kLayoutTimeMs);
    const QString path = folder.filePath(QString::fromLatin1(name));
    if (!window.grab().save(path, "PNG")) {
        fail(qPrintable(QStringLiteral("cannot write ") + path));
    }
    std::printf("%s\n", qPrintable(path));
}

// Two windows that stand side by side on the screen, in one picture.
void saveSideBySide(QWidget& left, QWidget& right, const QDir& folder, const char* name) {
    settle(kLayoutTimeMs);
    const QPixmap first = left.grab();
    const QPixmap second = right.grab();
    constexpr int kGap = 8;
    QPixmap both(first.width() + kGap + second.width(), std::max(first.height(), second.height()));
    both.fill(Qt::white);
    QPainter painter(&both);
    painter.drawPixmap(0, 0, first);
    painter.drawPixmap(first.width() + kGap, 0, second);
    painter.end();
    const QString path = folder.filePath(QString::fromLatin1(name));
    if (!both.save(path, "PNG")) {
        fail(qPrintable(QStringLiteral("cannot write ") + path));
    }
    std::printf("%s\n", qPrintable(path));
}

template <class T> T* child(QObject& parent, const char* name) {
    auto* found = parent.findChild<T*>(QString::fromLatin1(name));
    if (found == nullptr) {
        fail(qPrintable(QStringLiteral("no control ") + QString::fromLatin1(name)));
    }
    return found;
}

template <class T> T* page(QObject& parent) {
    auto* found = parent.findChild<T*>();
    if (found == nullptr) {
        fail("a page is missing from the main window");
    }
    return found;
}

// A shop's logo as it might come from a drawing program: a round emblem with
// a leaf, the shop's name beside it, and a grey band that the conversion
// dithers; drawn three times the logo's size on a clear background, as a PNG
// that the logo window fits into its width.
constexpr int kLogoDrawingScale = 3;

bool writeLogoPicture(const QString& path) {
    QImage image(kLogoWidth * kLogoDrawingScale, kLogoHeight * kLogoDrawingScale, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(kLogoDrawingScale, kLogoDrawingScale);

    painter.setPen(QPen(Qt::black, 5));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(QRectF(8, 8, 80, 80));
    QPainterPath leaf;
    leaf.moveTo(30, 70);
    leaf.cubicTo(28, 38, 50, 22, 70, 24);
    leaf.cubicTo(70, 50, 56, 70, 30, 70);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(60, 60, 60));
    painter.drawPath(leaf);
    painter.setPen(QPen(Qt::white, 3));
    painter.drawLine(QPointF(34, 66), QPointF(62, 32));

    QFont name(QStringLiteral("DejaVu Sans"));
    name.setPixelSize(30);
    name.setBold(true);
    painter.setFont(name);
    painter.setPen(Qt::black);
    painter.drawText(QRectF(100, 6, 280, 40), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("GREEN CORNER"));
    QFont line(QStringLiteral("DejaVu Sans"));
    line.setPixelSize(20);
    painter.setFont(line);
    painter.drawText(QRectF(100, 44, 280, 26), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("fresh market"));

    QLinearGradient band(100, 0, 376, 0);
    band.setColorAt(0, QColor(40, 40, 40));
    band.setColorAt(1, QColor(230, 230, 230));
    painter.fillRect(QRectF(100, 76, 276, 10), band);
    painter.end();
    return image.save(path, "PNG");
}

// Types a price into the grid's row of PLU `plu`, as a user edits the cell.
void typePrice(QAbstractItemModel& grid, const QString& plu, const QString& price) {
    for (int row = 0; row < grid.rowCount(); ++row) {
        if (grid.index(row, PluColumn::Num).data().toString() == plu) {
            grid.setData(grid.index(row, PluColumn::Price), price);
            return;
        }
    }
    fail("a PLU of the demo shop is missing from the grid");
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    if (argc != 3) {
        std::fprintf(stderr, "usage: take_screenshots <output folder> <seed file>\n");
        return 2;
    }
    const QDir output(QString::fromLocal8Bit(argv[1]));
    if (!output.exists() && !QDir().mkpath(output.path())) {
        fail("cannot create the output folder");
    }

    sim::SimulatedScale scale;
    std::string seedError;
    if (!scale.loadSeed(argv[2], &seedError)) {
        fail(seedError.c_str());
    }
    if (!scale.start()) {
        fail("the simulated scale did not start");
    }

    // A saved state of its own, so the pictures never depend on the state of
    // whoever runs this.
    QTemporaryDir work;
    if (!work.isValid()) {
        fail("no temporary folder");
    }

    RecordingUi ui;
    ScaleLink link(std::make_unique<PosixSerialChannel>(), ui);
    TForm1 form(link, ui, work.filePath(QStringLiteral("utility.CFG")));
    ui.onStatusText = [&form](const std::string& text) { form.showStatusText(QString::fromLatin1(text)); };
    ui.onSystemPage = [&form](bool visible) { form.setSystemTabVisible(visible); };
    form.show();
    settle();

    // CONNECT with the port selector naming the simulated scale, as a user
    // types a device.
    child<QComboBox>(form, "ComboBox2")->setEditText(QString::fromStdString(scale.device()));
    child<QPushButton>(form, "Button11")->click();
    if (child<QPushButton>(form, "Button11")->text() != QStringLiteral("DISCONNECT")) {
        fail("CONNECT did not connect to the simulated scale");
    }
    auto* pages = child<QTabWidget>(form, "PageControl1");

    // The PLU page after LOAD FROM SCALE, with the progress window pictured
    // while the load runs (the load lets pending events run between PLUs).
    pages->setCurrentIndex(kPluTab);
    auto* pluPage = page<PluPage>(form);
    bool progressPictured = false;
    // The progress window is painted a few times a second, not after every
    // PLU, and the bar only when it has grown: picture it at a moment when
    // both are painted, as the screen shows it.
    QTimer watch;
    watch.setInterval(kProgressWatchMs);
    QElapsedTimer sinceStart;
    sinceStart.start();
    QObject::connect(&watch, &QTimer::timeout, [&] {
        auto* progress = form.progressWindow();
        if (progressPictured || progress == nullptr || !progress->isVisible() ||
            sinceStart.elapsed() < kProgressPictureAfterMs || !progress->Label1->updatesEnabled() ||
            !progress->ProgressBar1->updatesEnabled()) {
            return;
        }
        save(*progress, output, "progress-window.png");
        progressPictured = true;
        watch.stop();
    });
    watch.start();
    scale.setPacing(kProgressLineSpeed);
    child<QPushButton>(*pluPage, "Button7")->click();
    scale.setPacing(0);
    watch.stop();
    save(form, output, "plu-page.png");
    save(form, output, "main-window.png"); // the README's first picture
    if (!progressPictured) {
        std::fprintf(stderr, "take_screenshots: the load ended before the progress window was pictured\n");
    }

    // The SETTINGS page after LOAD FROM SCALE.
    pages->setCurrentIndex(kSettingsTab);
    child<QPushButton>(*page<SettingsPage>(form), "Button9")->click();
    save(form, output, "settings-page.png");

    // The REPORTS page after REPORT.
    pages->setCurrentIndex(kReportsTab);
    child<QPushButton>(*page<ReportsPage>(form), "Button18")->click();
    save(form, output, "reports-page.png");

    // The SYSTEM page: the scale enters calibration mode, the next command's
    // status shows the tab, and a preset fills the page.
    scale.withMemory([](sim::ScaleMemory& m) { m.status = kCalibrationMode; });
    child<QPushButton>(*page<SettingsPage>(form), "Button4")->click(); // the clock FROM SCALE
    if (!pages->isTabVisible(kSystemTab)) {
        fail("the SYSTEM tab did not appear in calibration mode");
    }
    pages->setCurrentIndex(kSystemTab);
    auto* systemPage = page<SystemPage>(form);
    systemPage->presetClicked(kCalibrationPresets[1]);
    save(form, output, "system-page.png");
    scale.withMemory([](sim::ScaleMemory& m) { m.status = 0x00; });
    pages->setCurrentIndex(kPluTab);

    // The terminal: apples on the platter at 2.49 a kilogram.
    scale.withMemory([](sim::ScaleMemory& m) {
        m.weightGrams = 735;
        m.keyedPrice = 249;
        sim::redrawDisplay(m);
    });
    TForm3* terminal = form.terminalWindow();
    child<QPushButton>(form, "Button16")->click();
    terminal->activateWindow();
    terminal->FormActivate();
    settle(kPollingTimeMs);
    save(*terminal, output, "terminal-window.png");
    terminal->hide();

    // The logo window with a picture loaded through its own LOAD.
    const QString logoPath = work.filePath(QStringLiteral("logo.png"));
    if (!writeLogoPicture(logoPath)) {
        fail("cannot write the logo picture");
    }
    ui.openAnswers.push_back(logoPath.toStdString());
    child<QPushButton>(*page<SettingsPage>(form), "Button14")->click();
    TForm4* logo = form.logoWindow();
    child<QComboBox>(*logo, "FitMode")->setCurrentText(QStringLiteral("Fit width"));
    child<QPushButton>(*logo, "Button1")->click();
    save(*logo, output, "logo-window.png");
    logo->hide();

    // The help window.
    child<QPushButton>(form, "Button15")->click();
    save(*form.helpWindow(), output, "help-window.png");
    form.helpWindow()->hide();

    // The communication log after a clock read that the scale refused once
    // with a NAK, as a technician sees a misstep and its second attempt.
    pages->setCurrentIndex(kSettingsTab);
    scale.injectFault(sim::Fault::Nak, 1);
    child<QPushButton>(*page<SettingsPage>(form), "Button4")->click();
    child<QToolButton>(form, "LogButton")->click();
    save(*child<QWidget>(form, "LogWindow"), output, "log-window.png");
    child<QWidget>(form, "LogWindow")->hide();

    // COMPARE WITH SCALE after two prices changed in the grid and a name
    // changed at the counter since the load.
    pages->setCurrentIndex(kPluTab);
    QAbstractItemModel& grid = *pluPage->StringGrid1->model();
    typePrice(grid, QStringLiteral("3"), QStringLiteral("2.99"));
    typePrice(grid, QStringLiteral("5"), QStringLiteral("2.39"));
    scale.withMemory([](sim::ScaleMemory& m) {
        sim::PluFields grapes = sim::decodePlu(m.plu[8]);
        grapes.name = "Grapes white seedless";
        m.plu[8] = sim::encodePlu(grapes);
    });
    child<QPushButton>(*pluPage, "CompareButton")->click();
    saveSideBySide(form, *child<QWidget>(form, "CompareResult"), output, "compare-result.png");

    for (const auto& error : ui.errors) {
        std::fprintf(stderr, "take_screenshots: the program showed \"%s\" (%s)\n", error.text.c_str(),
                     error.title.c_str());
    }
    return ui.errors.empty() ? 0 : 1;
}
