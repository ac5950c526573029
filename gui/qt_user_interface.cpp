#include "qt_user_interface.h"

#include "qt_text.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>

class QtUserInterface::CursorLifted {
  public:
    explicit CursorLifted(int busyDepth) : lifted_(busyDepth > 0) {
        if (lifted_) {
            QApplication::restoreOverrideCursor();
        }
    }
    ~CursorLifted() {
        if (lifted_) {
            QApplication::setOverrideCursor(Qt::WaitCursor);
        }
    }
    CursorLifted(const CursorLifted&) = delete;
    CursorLifted& operator=(const CursorLifted&) = delete;

  private:
    bool lifted_;
};

void QtUserInterface::showError(const std::string& text, const std::string& title) {
    showErrorWithDetails(text, title, {});
}

void QtUserInterface::showErrorWithDetails(const std::string& text, const std::string& title,
                                           const std::string& details) {
    CursorLifted lifted(busyDepth_);
    // The texts may quote what the user typed, which is single-byte text.
    QMessageBox box(QMessageBox::Critical, bytesToQString(title), bytesToQString(text), QMessageBox::Ok,
                    QApplication::activeWindow());
    if (!details.empty()) {
        box.setDetailedText(QString::fromLocal8Bit(details.data(), static_cast<qsizetype>(details.size())));
    }
    box.exec();
}

void QtUserInterface::showInformation(const std::string& text, const std::string& title) {
    CursorLifted lifted(busyDepth_);
    QMessageBox box(QMessageBox::Information, bytesToQString(title), bytesToQString(text), QMessageBox::Ok,
                    QApplication::activeWindow());
    box.exec();
}

std::string QtUserInterface::applicationTitle() const {
    return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName().toStdString();
}

void QtUserInterface::beep() {
    QApplication::beep();
}

void QtUserInterface::setBusy(bool busy) {
    if (busy) {
        if (busyDepth_++ == 0) {
            QApplication::setOverrideCursor(Qt::WaitCursor);
        }
    } else if (busyDepth_ > 0) {
        if (--busyDepth_ == 0) {
            QApplication::restoreOverrideCursor();
        }
    }
}

namespace {

QString filterLine(const std::string& description, const std::string& pattern) {
    QString patterns = QString::fromStdString(pattern);
#ifndef Q_OS_WIN
    const QString lower = patterns.toLower();
    if (lower != patterns) {
        patterns += QLatin1Char(' ') + lower;
    }
#endif
    return QString::fromStdString(description) + QStringLiteral(" (") + patterns + QLatin1Char(')');
}

} // namespace

QString fileDialogFilter(const FileDialogRequest& request) {
    QString filters = filterLine(request.filterDescription, request.pattern);
    for (const FileDialogFilter& more : request.moreFilters) {
        filters += QStringLiteral(";;") + filterLine(more.description, more.pattern);
    }
    return filters;
}

std::optional<std::string> QtUserInterface::askFileName(const FileDialogRequest& request, bool forSaving) {
    CursorLifted lifted(busyDepth_);
    QString folder = QString::fromLocal8Bit(request.startFolder.data(),
                                            static_cast<qsizetype>(request.startFolder.size()));
    if (folder == QLatin1String(".")) {
        folder = QDir::currentPath();
    }
    QFileDialog dialog(QApplication::activeWindow(), QString(), folder, fileDialogFilter(request));
    dialog.setAcceptMode(forSaving ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(forSaving ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    // The program has always replaced a chosen file without asking.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setDefaultSuffix(QString::fromStdString(request.defaultSuffix));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return QFile::encodeName(dialog.selectedFiles().constFirst()).toStdString();
}

std::optional<std::string> QtUserInterface::askOpenFileName(const FileDialogRequest& request) {
    return askFileName(request, false);
}

std::optional<std::string> QtUserInterface::askSaveFileName(const FileDialogRequest& request) {
    return askFileName(request, true);
}

std::optional<std::size_t> QtUserInterface::askQuestion(const std::string& text, const std::string& title,
                                                        const std::vector<std::string>& answers) {
    CursorLifted lifted(busyDepth_);
    QMessageBox box(QMessageBox::Question, bytesToQString(title), bytesToQString(text), QMessageBox::NoButton,
                    QApplication::activeWindow());
    std::vector<QPushButton*> buttons;
    for (const std::string& answer : answers) {
        buttons.push_back(box.addButton(bytesToQString(answer), QMessageBox::AcceptRole));
    }
    if (!buttons.empty()) {
        box.setDefaultButton(buttons.front());
        box.setEscapeButton(buttons.back());
    }
    box.exec();
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        if (box.clickedButton() == buttons[i]) {
            return i;
        }
    }
    return std::nullopt;
}

std::optional<std::string> QtUserInterface::askExistingFolder(const std::string& startFolder) {
    CursorLifted lifted(busyDepth_);
    const QString folder = QFileDialog::getExistingDirectory(
        QApplication::activeWindow(), QString(),
        QString::fromLocal8Bit(startFolder.data(), static_cast<qsizetype>(startFolder.size())));
    if (folder.isEmpty()) {
        return std::nullopt;
    }
    return QFile::encodeName(folder).toStdString();
}

void QtUserInterface::setStatusText(const std::string& text) {
    if (onStatusText) {
        onStatusText(text);
    }
}

void QtUserInterface::setSystemPageVisible(bool visible) {
    if (onSystemPage) {
        onSystemPage(visible);
    }
}
