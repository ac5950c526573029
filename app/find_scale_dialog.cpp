#include "app/find_scale_dialog.h"

#include "gui/qt_text.h"

#include <QCoreApplication>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <filesystem>

namespace {

QString label(const std::string& text) { return QFile::decodeName(text.c_str()); }

} // namespace

FindScaleDialog::FindScaleDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FindScaleDialog"));
    setWindowTitle(QStringLiteral("FIND THE SCALE"));
    // The main window waits while ports are opened under it.
    setWindowModality(Qt::WindowModal);
    auto* layout = new QVBoxLayout(this);
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("FindScaleStatus"));
    status_->setWordWrap(true);
    status_->setMinimumWidth(420);
    progress_ = new QProgressBar(this);
    progress_->setObjectName(QStringLiteral("FindScaleProgress"));
    button_ = new QPushButton(QStringLiteral("STOP"), this);
    button_->setObjectName(QStringLiteral("FindScaleStop"));
    layout->addWidget(status_);
    layout->addWidget(progress_);
    layout->addWidget(button_, 0, Qt::AlignRight);
    // STOP while searching, CLOSE once it is over.
    connect(button_, &QPushButton::clicked, this, [this] {
        if (running_) {
            stopped_ = true;
        } else {
            accept();
        }
    });
}

QString FindScaleDialog::resultText() const { return status_->text(); }

std::optional<ScaleFinder::Found> FindScaleDialog::run(ScaleFinder& finder) {
    running_ = true;
    stopped_ = false;
    button_->setText(QStringLiteral("STOP"));
    progress_->setRange(0, static_cast<int>(finder.total()));
    show();
    // Bounded by the finder: every step tries one port and speed or ends it.
    while (!finder.finished() && !stopped_) {
        status_->setText(QStringLiteral("Trying %1 at %2 bit/s...")
                             .arg(label(finder.nextPort().label))
                             .arg(finder.nextSpeed()));
        progress_->setValue(static_cast<int>(finder.tried()));
        QCoreApplication::processEvents();
        if (stopped_) {
            break;
        }
        finder.step();
    }
    running_ = false;
    progress_->setValue(finder.found() ? progress_->maximum() : static_cast<int>(finder.tried()));
    status_->setText(findScaleResultText(finder, stopped_));
    button_->setText(QStringLiteral("CLOSE"));
    button_->setDefault(true);
    return finder.found();
}

QString findScaleResultText(const ScaleFinder& finder, bool stopped) {
    if (const auto& found = finder.found()) {
        return QStringLiteral("The scale \"%1\" answered on %2 at %3 bit/s. Port and speed are chosen: click CONNECT.")
            .arg(bytesToQString(found->identification), label(finder.ports()[found->portIndex].label))
            .arg(found->baud);
    }
    QString text = stopped ? QStringLiteral("Stopped: no scale answered on the ports tried so far.")
                           : QStringLiteral("No scale answered on any of the %1 ports at any speed. Check the "
                                            "cable, that the scale is on, and its RS Baud rate.")
                                 .arg(finder.ports().size());
    // Ports that exist but would not open are worth a word; missing ones are not.
    for (const auto& unopened : finder.unopened()) {
        std::error_code error;
        if (std::filesystem::exists(unopened.failure.device, error)) {
            text += QStringLiteral("\n%1 did not open: %2")
                        .arg(label(unopened.label), QString::fromLocal8Bit(unopened.failure.reason.c_str()));
        }
    }
    return text;
}
