#pragma once
// The user interface of a benchmark: nobody is there to see a box, so it only
// counts the errors a run would have shown (a run that shows one is void).
// A benchmark of the main window hands the status text and the SYSTEM tab on
// to it, as the program's own user interface does.

#include "link/user_interface.h"

#include <functional>

class QuietUi final : public UserInterface {
  public:
    void showError(const std::string&, const std::string&) override { ++errors; }
    void showInformation(const std::string&, const std::string&) override {}
    std::string applicationTitle() const override { return "benchmark"; }
    void beep() override {}
    void setBusy(bool) override {}
    std::optional<std::string> askOpenFileName(const FileDialogRequest&) override { return std::nullopt; }
    std::optional<std::string> askSaveFileName(const FileDialogRequest&) override { return std::nullopt; }
    void setStatusText(const std::string& text) override {
        if (onStatusText) {
            onStatusText(text);
        }
    }
    void setSystemPageVisible(bool visible) override {
        if (onSystemPage) {
            onSystemPage(visible);
        }
    }
    int errors = 0;
    std::function<void(const std::string&)> onStatusText;
    std::function<void(bool)> onSystemPage;
};
