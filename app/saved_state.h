#pragma once
// The saved state file of the main window: which control each component
// number names, where the file lives, and moving texts between the file and
// the controls. Neither operation ever shows a message.

#include "app/state_file.h"

#include <QString>

#include <span>
#include <string>

class QWidget;

// A control the file keeps: its component number in the file and its
// objectName in the window.
struct SavedControl {
    int number;
    const char* name;
};

// Every control a window's state file keeps, by section, each section in
// ascending component number, and the caption that signs the file.
struct SavedControls {
    std::span<const SavedControl> edits;
    std::span<const SavedControl> combos;
    std::span<const SavedControl> masked;
    std::span<const SavedControl> memos;
    std::string signature;
};

// Beside the executable (its name with ".CFG"), or in the user's configuration
// folder when the executable is installed (see below). Reading and writing use
// the same place.
QString defaultStateFilePath();

// Whether the state file lives beside the executable in `executableFolder`.
// It does for a program run from its build folder or a copied folder; not when
// that folder cannot be written, nor for an installed program (a folder under
// /usr, /opt, /bin, /sbin or /snap, or under a "Program Files" folder), where
// a file beside it would belong to no package and be shared by every user.
bool stateFileBesideExecutable(const QString& executableFolder, bool folderWritable);

// Writes the window's state to its file; a failed write leaves the old file.
void saveall(const SavedControls& controls, const QWidget& window, const QString& path);
// Sets the window's controls from its file, as far as the file can be trusted.
void restoreall(const SavedControls& controls, QWidget& window, const QString& path);

// The texts of the saved controls found under `window`; a control that is not
// there is left out.
SavedState collectSavedState(const SavedControls& controls, const QWidget& window);
void applySavedState(const SavedControls& controls, QWidget& window, const SavedState& state);
