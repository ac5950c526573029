#pragma once
// The user interface of a benchmark: nobody is there to see a box, so it only
// counts the errors a run would have shown (a run that shows one is void).

#include "link/user_interface.h"

class QuietUi final : public UserInterface {
  public:
    void showError(const std::string&, const std::string&) override { ++errors; }
    void showInformation(const std::string&, const std::string&) override {}
    std::string applicationTitle() const override { return "benchmark"; }
    void beep() override {}
    void setBusy(bool) override {}
    std::optional<std::string> askOpenFileName(const FileDialogRequest&) override { return std::nullopt; }
    std::optional<std::string> askSaveFileName(const FileDialogRequest&) override { return std::nullopt; }
    void setStatusText(const std::string&) override {}
    void setSystemPageVisible(bool) override {}
    int errors = 0;
};
