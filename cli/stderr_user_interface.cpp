#include "stderr_user_interface.h"

#include "progress_bar.h"

void StderrUserInterface::tell(const std::string& text) {
    if (bar_) {
        bar_->clear();
    }
    std::string line = applicationTitle() + ": ";
    if (!command_.empty()) {
        line += command_ + ": ";
    }
    if (!where_.empty()) {
        line += where_ + ": ";
    }
    line += text;
    line += '\n';
    std::fputs(line.c_str(), out_);
    std::fflush(out_);
    ++messages_;
}

void StderrUserInterface::showError(const std::string& text, const std::string&) {
    tell(text);
}

void StderrUserInterface::showErrorWithDetails(const std::string& text, const std::string&,
                                               const std::string& details) {
    tell(details.empty() ? text : text + " (" + details + ")");
}
