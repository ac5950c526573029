#include "app/log_window.h"

#include "app/session_log.h"
#include "gui/control_helpers.h"
#include "link/user_interface.h"
#include "plu/file_replace.h"

#include <QCheckBox>
#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>

#include <fstream>
#include <sstream>

namespace {

// The view follows the log at most this often: lines come by the thousand in
// a table transfer, and painting each would slow the transfer down.
constexpr int kCatchUpMilliseconds = 200;
// Lines the view holds; the oldest leave it first.
constexpr int kLinesShown = 20'000;

} // namespace

LogWindow::LogWindow(SessionLog& log, UserInterface& ui, QWidget* parent)
    : QWidget(parent, Qt::Window), log_(log), ui_(ui) {
    setObjectName(QStringLiteral("LogWindow"));
    setWindowTitle(kCaption);
    resize(900, 420);

    text_ = new QPlainTextEdit(this);
    text_->setObjectName(QStringLiteral("LogText"));
    text_->setReadOnly(true);
    // Long replies wrap, so what they mean, at the end of the line, stays in sight.
    text_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    text_->setFont(fixedPitchFont());
    text_->setMaximumBlockCount(kLinesShown);
    errorsOnly_ = new QCheckBox(QStringLiteral("errors only"), this);
    errorsOnly_->setObjectName(QStringLiteral("LogErrorsOnly"));
    pause_ = new QCheckBox(QStringLiteral("pause"), this);
    pause_->setObjectName(QStringLiteral("LogPause"));
    save_ = new QPushButton(QStringLiteral("Save log..."), this);
    save_->setObjectName(QStringLiteral("SaveLogButton"));
    save_->setAutoDefault(false);
    file_ = new QLabel(this);
    file_->setObjectName(QStringLiteral("LogFileName"));
    file_->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* controls = new QHBoxLayout;
    controls->addWidget(errorsOnly_);
    controls->addWidget(pause_);
    controls->addWidget(file_, 1);
    controls->addWidget(save_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text_, 1);
    layout->addLayout(controls);

    catchUpTimer_ = new QTimer(this);
    catchUpTimer_->setSingleShot(true);
    catchUpTimer_->setInterval(kCatchUpMilliseconds);

    // The filter shows the kept lines again, all or only what went wrong.
    connect(errorsOnly_, &QCheckBox::toggled, this, &LogWindow::rebuild);
    // Pause holds the view; lifting it shows what came meanwhile.
    connect(pause_, &QCheckBox::toggled, this, [this](bool paused) {
        if (!paused) {
            catchUp();
        }
    });
    // "Save log...": this run's whole log, to a file of the user's choice.
    connect(save_, &QPushButton::clicked, this, &LogWindow::saveLog);
    connect(catchUpTimer_, &QTimer::timeout, this, &LogWindow::catchUp);
    log_.onLine = [this] { lineAdded(); };
}

void LogWindow::lineAdded() {
    if (isVisible() && !pause_->isChecked() && !catchUpTimer_->isActive()) {
        catchUpTimer_->start();
    }
}

void LogWindow::catchUp() {
    if (pause_->isChecked()) {
        return;
    }
    const auto& lines = log_.lines();
    std::uint64_t next = std::max(shownUpTo_, log_.firstLine());
    const bool atBottom = text_->verticalScrollBar()->value() == text_->verticalScrollBar()->maximum();
    QStringList batch;
    for (; next < log_.lineCount(); ++next) {
        const LogLine& line = lines[static_cast<std::size_t>(next - log_.firstLine())];
        if (!errorsOnly_->isChecked() || line.trouble) {
            batch.append(QString::fromLatin1(line.text.data(), static_cast<qsizetype>(line.text.size())));
        }
    }
    shownUpTo_ = next;
    if (!batch.isEmpty()) {
        text_->appendPlainText(batch.join(QLatin1Char('\n')));
        if (atBottom) {
            text_->verticalScrollBar()->setValue(text_->verticalScrollBar()->maximum());
        }
    }
    showFileState();
}

void LogWindow::rebuild() {
    text_->clear();
    shownUpTo_ = 0;
    const bool paused = pause_->isChecked();
    pause_->blockSignals(true);
    pause_->setChecked(false);
    catchUp();
    pause_->setChecked(paused);
    pause_->blockSignals(false);
}

void LogWindow::showFileState() {
    const std::string error = log_.fileError();
    if (!error.empty()) {
        file_->setText(QStringLiteral("The log file cannot be written: ") + QString::fromLocal8Bit(error.c_str()));
    } else if (!log_.filePath().empty()) {
        file_->setText(QStringLiteral("Log file: ") + QFile::decodeName(log_.filePath().c_str()));
    } else {
        file_->setText(QStringLiteral("No log file in this run."));
    }
}

void LogWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    catchUp();
}

void LogWindow::saveLog() {
    const auto target = ui_.askSaveFileName(FileDialogRequest{"Log files", "*.log", "log", ""});
    if (!target) {
        return;
    }
    std::string bytes;
    std::ifstream in(log_.filePath(), std::ios::binary);
    if (!log_.filePath().empty() && in) {
        std::ostringstream whole;
        whole << in.rdbuf();
        bytes = whole.str();
    } else {
        // No file this run: what memory holds.
        for (const LogLine& line : log_.lines()) {
            bytes += line.text + "\n";
        }
    }
    if (!replaceFileContents(*target, bytes)) {
        ui_.showError("I/O Error!", "ERROR!");
    }
}
