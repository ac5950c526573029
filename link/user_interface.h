#pragma once
// The one seam between the program's logic and the person at the counter.
//
// Message boxes, file dialogs, the beep, the busy cursor and the two signs of
// the scale's state in the main window (the status text and the "SYSTEM" tab)
// all go through this interface. The program implements it with Qt; tests
// replace it with a recorder, so no test ever blocks on a modal box.
//
// Texts crossing this seam are bytes: message texts are ASCII, file names are
// the platform's local 8-bit encoding (UTF-8 on Linux).

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

struct FileDialogFilter {
    std::string description; // "PNG"
    std::string pattern;     // "*.PNG", or several: "*.JPG *.JPEG"
};

struct FileDialogRequest {
    std::string filterDescription; // "TAB separated Text Files"
    std::string pattern;           // "*.TXT"
    std::string defaultSuffix;     // "TXT": added to a name typed without one
    std::string startFolder;       // "" lets the platform choose
    // Offered after the first filter, which stays the one the dialog opens with.
    std::vector<FileDialogFilter> moreFilters = {};
};

class UserInterface {
public:
    virtual ~UserInterface() = default;

    // A modal box with an error icon and an OK button; returns once dismissed.
    virtual void showError(const std::string& text, const std::string& title) = 0;
    // The same box with the system's reason under a "details" disclosure.
    virtual void showErrorWithDetails(const std::string& text, const std::string& title,
                                      const std::string& details) {
        (void)details;
        showError(text, title);
    }

    // A box with an information icon: what an action on many things did.
    // Shown as an error box where a front end has no other kind.
    virtual void showInformation(const std::string& text, const std::string& title) {
        showError(text, title);
    }

    // The executable's name without its extension: the title of the boxes that
    // report a text that does not convert to a number.
    virtual std::string applicationTitle() const = 0;

    virtual void beep() = 0;

    // Busy cursor over the whole program. Calls nest; use BusyCursor below.
    virtual void setBusy(bool busy) = 0;

    virtual std::optional<std::string> askOpenFileName(const FileDialogRequest& request) = 0;
    virtual std::optional<std::string> askSaveFileName(const FileDialogRequest& request) = 0;

    // A modal question with one button per answer, the first the default: the
    // position of the answer chosen, nothing when the box was closed. Where
    // nobody can answer, nothing is chosen.
    virtual std::optional<std::size_t> askQuestion(const std::string& text, const std::string& title,
                                                   const std::vector<std::string>& answers) {
        (void)text;
        (void)title;
        (void)answers;
        return std::nullopt;
    }
    // A folder that exists, chosen in a folder dialog.
    virtual std::optional<std::string> askExistingFolder(const std::string& startFolder) {
        (void)startFolder;
        return std::nullopt;
    }

    // The main window's status text ("STATUS:04") and the "SYSTEM" tab.
    virtual void setStatusText(const std::string& text) = 0;
    virtual void setSystemPageVisible(bool visible) = 0;
};

// Shows the busy cursor for one scope and ends it on every path out of it.
class BusyCursor {
public:
    explicit BusyCursor(UserInterface& ui) : ui_(ui) { ui_.setBusy(true); }
    ~BusyCursor() { ui_.setBusy(false); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

private:
    UserInterface& ui_;
};
