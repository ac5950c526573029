#pragma once
// The program's side of the user-interface seam: Qt message boxes, file
// dialogs, the beep and the busy cursor. The main window's status text and
// "SYSTEM" tab are reached through hooks that the main window installs.

#include "link/user_interface.h"

#include <QString>
#include <functional>

class QWidget;

class QtUserInterface : public UserInterface {
  public:
    void showError(const std::string& text, const std::string& title) override;
    void showErrorWithDetails(const std::string& text, const std::string& title,
                              const std::string& details) override;
    void showInformation(const std::string& text, const std::string& title) override;
    std::string applicationTitle() const override;
    void beep() override;
    void setBusy(bool busy) override;
    std::optional<std::string> askOpenFileName(const FileDialogRequest& request) override;
    std::optional<std::string> askSaveFileName(const FileDialogRequest& request) override;
    std::optional<std::size_t> askQuestion(const std::string& text, const std::string& title,
                                           const std::vector<std::string>& answers) override;
    std::optional<std::string> askExistingFolder(const std::string& startFolder) override;
    void setStatusText(const std::string& text) override;
    void setSystemPageVisible(bool visible) override;

    std::function<void(const std::string&)> onStatusText;
    std::function<void(bool)> onSystemPage;

  private:
    // A box or dialog is modal: the busy cursor must not hide the pointer the
    // user needs to answer it. Lifts the cursor for one scope, then puts it back.
    class CursorLifted;

    std::optional<std::string> askFileName(const FileDialogRequest& request, bool forSaving);

    int busyDepth_ = 0;
};

// The dialog's filter line for a request, e.g. "TAB separated Text Files (*.TXT *.txt)";
// further filters follow it, separated by ";;", the first staying the default.
// Where file names are case-sensitive the lower-case pattern is added, so
// files named either way are listed.
QString fileDialogFilter(const FileDialogRequest& request);
