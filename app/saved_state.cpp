#include "saved_state.h"

#include "main_window.h"
#include "support/control_helpers.h"
#include "support/qt_text.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTextEdit>
#include <array>
#include <utility>

namespace {

struct Entry {
    int number;
    const char* name;
};

// Component numbers of the saved controls, in ascending order per section.
constexpr std::array kEditBoxes{
    Entry{56, "Edit1"},  // "Single Item BAR"
    Entry{57, "Edit2"},  // "Total BAR"
    Entry{68, "Edit8"},  // "Clerk 4"
    Entry{69, "Edit7"},  // "Clerk 3"
    Entry{70, "Edit6"},  // "Clerk 2"
    Entry{71, "Edit3"},  // "Clerk 1"
    Entry{81, "Edit9"},  // "Currency"
    Entry{111, "Edit4"}, // "Max Tare"
    Entry{127, "Edit5"}, // the disabled box of the top row
};
constexpr std::array kComboBoxes{
    Entry{52, "ComboBox4"},  // "RS Baud rate"
    Entry{72, "ComboBox3"},  // "Clerk Mode"
    Entry{80, "ComboBox8"},  // "Printer Darkness"
    Entry{103, "ComboBox5"}, // "Capacity"
    Entry{106, "ComboBox6"}, // "e=d="
    Entry{113, "ComboBox7"}, // "price round"
    Entry{124, "ComboBox9"}, // "Stbale Count"
    Entry{125, "ComboBox1"}, // speed selector
    Entry{126, "ComboBox2"}, // port selector
};
constexpr std::array kMaskedBoxes{
    Entry{73, "MaskEdit1"}, // the clock box
};
constexpr std::array kTextBoxes{
    Entry{51, "Memo1"}, // header lines
    Entry{67, "Memo2"}, // footer lines
};

// A state file is a few kilobytes; anything far beyond that is not ours and
// is read no further than this.
constexpr qint64 kMaxStateFileBytes = 1 << 20;

template <std::size_t N> const char* nameOf(const std::array<Entry, N>& table, int number) {
    for (const auto& entry : table) {
        if (entry.number == number) {
            return entry.name;
        }
    }
    return nullptr;
}

template <class Control, std::size_t N>
Control* findControl(const QWidget& window, const std::array<Entry, N>& table, int number) {
    const char* name = nameOf(table, number);
    return name ? window.findChild<Control*>(QString::fromLatin1(name)) : nullptr;
}

// A multi-line box may be plain or rich; either way its text is what counts.
QString memoText(const QWidget& memo) {
    if (const auto* plain = qobject_cast<const QPlainTextEdit*>(&memo)) {
        return plain->toPlainText();
    }
    if (const auto* rich = qobject_cast<const QTextEdit*>(&memo)) {
        return rich->toPlainText();
    }
    return {};
}

void setMemoText(QWidget& memo, const QString& text) {
    if (auto* plain = qobject_cast<QPlainTextEdit*>(&memo)) {
        plain->setPlainText(text);
    } else if (auto* rich = qobject_cast<QTextEdit*>(&memo)) {
        rich->setPlainText(text);
    }
}

// The lines as entered: the text split at its line breaks, one final empty
// piece dropped, so an empty box has no lines.
std::vector<std::string> memoLines(const QString& text) {
    QStringList pieces = text.split(QLatin1Char('\n'));
    if (!pieces.isEmpty() && pieces.constLast().isEmpty()) {
        pieces.removeLast();
    }
    std::vector<std::string> lines;
    lines.reserve(static_cast<std::size_t>(pieces.size()));
    for (const QString& piece : std::as_const(pieces)) {
        lines.push_back(qstringToBytesLossy(piece));
    }
    return lines;
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
    if (stateFileBesideExecutable(executableFolder, QFileInfo(executableFolder).isWritable())) {
        return QDir(executableFolder).filePath(stateFileName());
    }
    const QString configFolder = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    return QDir(configFolder).filePath(stateFileName());
}

SavedState collectSavedState(const QWidget& window) {
    SavedState state;
    for (const auto& entry : kEditBoxes) {
        if (const auto* edit = findControl<QLineEdit>(window, kEditBoxes, entry.number)) {
            state.edits[entry.number] = qstringToBytesLossy(edit->text());
        }
    }
    for (const auto& entry : kComboBoxes) {
        if (const auto* combo = findControl<QComboBox>(window, kComboBoxes, entry.number)) {
            state.combos[entry.number] =
                SavedComboState{shownComboPosition(*combo), qstringToBytesLossy(combo->currentText())};
        }
    }
    for (const auto& entry : kMaskedBoxes) {
        if (const auto* masked = findControl<QLineEdit>(window, kMaskedBoxes, entry.number)) {
            state.masked[entry.number] = qstringToBytesLossy(masked->text());
        }
    }
    for (const auto& entry : kTextBoxes) {
        if (const auto* memo = findControl<QWidget>(window, kTextBoxes, entry.number)) {
            state.memos[entry.number] = memoLines(memoText(*memo));
        }
    }
    return state;
}

void applySavedState(QWidget& window, const SavedState& state) {
    for (const auto& [number, text] : state.edits) {
        if (auto* edit = findControl<QLineEdit>(window, kEditBoxes, number)) {
            edit->setText(bytesToQString(text));
        }
    }
    for (const auto& [number, saved] : state.combos) {
        if (auto* combo = findControl<QComboBox>(window, kComboBoxes, number)) {
            // The selection first, then the text, which is what the box shows.
            combo->setCurrentIndex(saved.position < combo->count() ? saved.position : -1);
            setComboText(*combo, bytesToQString(saved.text));
        }
    }
    for (const auto& [number, text] : state.masked) {
        if (auto* masked = findControl<QLineEdit>(window, kMaskedBoxes, number)) {
            masked->setText(bytesToQString(text));
        }
    }
    for (const auto& [number, lines] : state.memos) {
        if (auto* memo = findControl<QWidget>(window, kTextBoxes, number)) {
            QStringList texts;
            for (const auto& line : lines) {
                texts.append(bytesToQString(line));
            }
            // Joined, n lines give n - 1 breaks; one more keeps a last empty line.
            QString text = texts.join(QLatin1Char('\n'));
            if (!lines.empty() && lines.back().empty()) {
                text.append(QLatin1Char('\n'));
            }
            setMemoText(*memo, text);
        }
    }
}

void saveall(QWidget& window, const QString& path) {
    const std::string bytes =
        writeStateFile(collectSavedState(window), qstringToBytesLossy(TForm1::kCaption));
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

void restoreall(QWidget& window, const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return;
    }
    const QByteArray bytes = file.read(kMaxStateFileBytes);
    applySavedState(window,
                    readStateFile(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())),
                                  qstringToBytesLossy(TForm1::kCaption)));
}

void saveall(TForm1& form) {
    saveall(*form.centralWidget(), form.stateFilePath());
}

void restoreall(TForm1& form) {
    restoreall(*form.centralWidget(), form.stateFilePath());
}
