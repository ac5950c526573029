#include "saved_state.h"

#include "gui/control_helpers.h"
#include "gui/memo_lines.h"
#include "gui/qt_text.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <span>
#include <utility>

namespace {

// A state file is a few kilobytes; anything far beyond that is not ours and
// is read no further than this.
constexpr qint64 kMaxStateFileBytes = 1 << 20;

const char* nameOf(std::span<const SavedControl> section, int number) {
    for (const auto& control : section) {
        if (control.number == number) {
            return control.name;
        }
    }
    return nullptr;
}

template <class Control>
Control* findControl(const QWidget& window, std::span<const SavedControl> section, int number) {
    const char* name = nameOf(section, number);
    return name ? window.findChild<Control*>(QString::fromLatin1(name)) : nullptr;
}

// Whether a file can be made in `folder`, as saving the state file does.
// Windows keeps who may write in access lists that QFileInfo does not read by
// default (it sees only the read-only attribute, which no folder uses), so
// there the folder is asked by making an empty file, removed at once.
bool folderTakesNewFiles(const QString& folder) {
#if defined(Q_OS_WIN)
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral("state-probe-XXXXXX")));
    return probe.open();
#else
    return QFileInfo(folder).isWritable();
#endif
}

QString stateFileName() {
    return QString::fromStdString(
        stateFileNameFor(QFileInfo(QCoreApplication::applicationFilePath()).fileName().toStdString()));
}

} // namespace

bool stateFileBesideExecutable(const QString& executableFolder, bool folderWritable) {
    if (!folderWritable) {
        return false;
    }
    // Backslashes and "." / ".." pieces made plain, so "/usr/./bin" and
    // "C:\\Program Files\\x" are judged like any other spelling.
    const QString folder =
        QDir::cleanPath(QString(executableFolder).replace(QLatin1Char('\\'), QLatin1Char('/')));
    static const char* const kSystemPrefixes[] = {"/usr", "/opt", "/bin", "/sbin", "/snap"};
    for (const char* prefix : kSystemPrefixes) {
        const QString root = QString::fromLatin1(prefix);
        if (folder == root || folder.startsWith(root + QLatin1Char('/'))) {
            return false;
        }
    }
    // Windows installs into "Program Files" or "Program Files (x86)" on any drive.
    const QStringList pieces = folder.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    for (const QString& piece : pieces) {
        if (piece.compare(QStringLiteral("Program Files"), Qt::CaseInsensitive) == 0 ||
            piece.compare(QStringLiteral("Program Files (x86)"), Qt::CaseInsensitive) == 0) {
            return false;
        }
    }
    return true;
}

QString defaultStateFilePath() {
    const QString executableFolder = QCoreApplication::applicationDirPath();
    // An installed program's folder is never asked: on Windows that would
    // mean making a file in it.
    if (stateFileBesideExecutable(executableFolder, true) && folderTakesNewFiles(executableFolder)) {
        return QDir(executableFolder).filePath(stateFileName());
    }
    const QString configFolder = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    return QDir(configFolder).filePath(stateFileName());
}

SavedState collectSavedState(const SavedControls& controls, const QWidget& window) {
    SavedState state;
    for (const auto& entry : controls.edits) {
        if (const auto* edit = findControl<QLineEdit>(window, controls.edits, entry.number)) {
            state.edits[entry.number] = qstringToBytesLossy(edit->text());
        }
    }
    for (const auto& entry : controls.combos) {
        if (const auto* combo = findControl<QComboBox>(window, controls.combos, entry.number)) {
            state.combos[entry.number] =
                SavedComboState{shownComboPosition(*combo), qstringToBytesLossy(combo->currentText())};
        }
    }
    for (const auto& entry : controls.masked) {
        if (const auto* masked = findControl<QLineEdit>(window, controls.masked, entry.number)) {
            state.masked[entry.number] = qstringToBytesLossy(masked->text());
        }
    }
    for (const auto& entry : controls.memos) {
        if (const auto* memo = findControl<QPlainTextEdit>(window, controls.memos, entry.number)) {
            state.memos[entry.number] = memoLines(*memo);
        }
    }
    return state;
}

void applySavedState(const SavedControls& controls, QWidget& window, const SavedState& state) {
    for (const auto& [number, text] : state.edits) {
        if (auto* edit = findControl<QLineEdit>(window, controls.edits, number)) {
            edit->setText(bytesToQString(text));
        }
    }
    for (const auto& [number, saved] : state.combos) {
        if (auto* combo = findControl<QComboBox>(window, controls.combos, number)) {
            // The selection first, then the text, which is what the box shows.
            combo->setCurrentIndex(saved.position < combo->count() ? saved.position : -1);
            setComboText(*combo, bytesToQString(saved.text));
        }
    }
    for (const auto& [number, text] : state.masked) {
        if (auto* masked = findControl<QLineEdit>(window, controls.masked, number)) {
            masked->setText(bytesToQString(text));
        }
    }
    for (const auto& [number, lines] : state.memos) {
        if (auto* memo = findControl<QPlainTextEdit>(window, controls.memos, number)) {
            restoreMemoLines(*memo, lines);
        }
    }
}

void saveall(const SavedControls& controls, const QWidget& window, const QString& path) {
    const std::string bytes = writeStateFile(collectSavedState(controls, window), controls.signature);
    // Written beside the old file and renamed over it only when complete, so
    // a failed write never costs the settings saved before. Failures are silent.
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return;
    }
    // The bytes sit in the file's buffer until flushed, and commit() renames
    // over the old file even when that last flush fails (a full disk, a size
    // limit): flush here, where a failure can still cancel the rename.
    if (file.write(bytes.data(), static_cast<qint64>(bytes.size())) != static_cast<qint64>(bytes.size()) ||
        !file.flush()) {
        file.cancelWriting();
        return;
    }
    file.commit();
}

void restoreall(const SavedControls& controls, QWidget& window, const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return;
    }
    const QByteArray bytes = file.read(kMaxStateFileBytes);
    applySavedState(controls, window,
                    readStateFile(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())),
                                  controls.signature));
}
