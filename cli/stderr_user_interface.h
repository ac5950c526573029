#pragma once
// The companion's side of the user-interface seam: every message a window
// would show in a box goes to standard error as one line, with the command and
// the thing being done when it came ("PLU 17"):
//
//   tallivos-cli: plu-load: PLU 17: Comunication Error!
//
// Nothing is asked: file dialogs answer nothing. The status text of the last
// reply is kept for `identify`.

#include "link/user_interface.h"

#include <cstdio>
#include <string>

class ProgressBar;

class StderrUserInterface final : public UserInterface {
  public:
    explicit StderrUserInterface(std::FILE* out = stderr) : out_(out) {}

    void setCommand(std::string command) { command_ = std::move(command); }
    // What is being done, named in the messages that follow; empty for nothing.
    void setWhere(std::string where) { where_ = std::move(where); }
    // A bar to take off the terminal before a message.
    void setProgressBar(ProgressBar* bar) { bar_ = bar; }

    // A message of the companion's own, in the same form.
    void tell(const std::string& text);

    void showError(const std::string& text, const std::string& title) override;
    void showErrorWithDetails(const std::string& text, const std::string& title, const std::string& details) override;
    std::string applicationTitle() const override { return "tallivos-cli"; }
    void beep() override {}
    void setBusy(bool) override {}
    std::optional<std::string> askOpenFileName(const FileDialogRequest&) override { return std::nullopt; }
    std::optional<std::string> askSaveFileName(const FileDialogRequest&) override { return std::nullopt; }
    void setStatusText(const std::string& text) override { statusText_ = text; }
    void setSystemPageVisible(bool) override {}

    const std::string& statusText() const { return statusText_; }
    int messagesShown() const { return messages_; }

  private:
    std::FILE* out_;
    std::string command_;
    std::string where_;
    std::string statusText_;
    ProgressBar* bar_ = nullptr;
    int messages_ = 0;
};
