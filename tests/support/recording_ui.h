#pragma once
// A UserInterface that records what the person at the counter would have seen
// and answers file dialogs from a queue, so no test blocks on a modal box.

#include "link/user_interface.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

class RecordingUi : public UserInterface {
public:
    struct Message {
        std::string text;
        std::string title;
        bool operator==(const Message&) const = default;
    };

    std::vector<Message> errors;
    std::vector<Message> informations;
    std::vector<std::string> statusTexts;
    std::vector<bool> systemPageVisibility;
    int beeps = 0;
    int busyDepth = 0;
    int busyShown = 0; // how many times the busy cursor was switched on
    // How deep the busy cursor was each time a box was shown.
    std::vector<int> busyDepthAtError;

    // Answers for the next file dialogs; an empty optional cancels.
    std::deque<std::optional<std::string>> openAnswers;
    std::deque<std::optional<std::string>> saveAnswers;
    std::vector<FileDialogRequest> openRequests;
    std::vector<FileDialogRequest> saveRequests;

    // Questions asked, and the answers (positions) given to the next ones; an
    // empty optional closes the box.
    std::vector<Message> questions;
    std::vector<std::vector<std::string>> questionAnswers;
    std::deque<std::optional<std::size_t>> answers;
    // Answers for the next folder dialogs.
    std::deque<std::optional<std::string>> folderAnswers;

    // Called while a box is "shown", as a nested event loop would run.
    std::function<void()> duringError;
    // Forwarded so a window under test shows the status as the program would.
    std::function<void(const std::string&)> onStatusText;
    std::function<void(bool)> onSystemPage;

    std::string title = "tallivos-utility";

    void showError(const std::string& text, const std::string& boxTitle) override {
        errors.push_back({text, boxTitle});
        busyDepthAtError.push_back(busyDepth);
        if (duringError) {
            duringError();
        }
    }
    std::vector<std::string> errorDetails;
    void showErrorWithDetails(const std::string& text, const std::string& boxTitle,
                              const std::string& details) override {
        errorDetails.push_back(details);
        showError(text, boxTitle);
    }
    void showInformation(const std::string& text, const std::string& boxTitle) override {
        informations.push_back({text, boxTitle});
    }
    std::string applicationTitle() const override { return title; }
    void beep() override { ++beeps; }
    void setBusy(bool busy) override {
        busyDepth += busy ? 1 : -1;
        if (busy) {
            ++busyShown;
        }
    }
    std::optional<std::string> askOpenFileName(const FileDialogRequest& request) override {
        openRequests.push_back(request);
        if (openAnswers.empty()) {
            return std::nullopt;
        }
        auto answer = openAnswers.front();
        openAnswers.pop_front();
        return answer;
    }
    std::optional<std::string> askSaveFileName(const FileDialogRequest& request) override {
        saveRequests.push_back(request);
        if (saveAnswers.empty()) {
            return std::nullopt;
        }
        auto answer = saveAnswers.front();
        saveAnswers.pop_front();
        return answer;
    }
    std::optional<std::size_t> askQuestion(const std::string& text, const std::string& boxTitle,
                                           const std::vector<std::string>& choices) override {
        questions.push_back({text, boxTitle});
        questionAnswers.push_back(choices);
        return next(answers);
    }
    std::optional<std::string> askExistingFolder(const std::string&) override { return next(folderAnswers); }
    void setStatusText(const std::string& text) override {
        statusTexts.push_back(text);
        if (onStatusText) {
            onStatusText(text);
        }
    }
    void setSystemPageVisible(bool visible) override {
        systemPageVisibility.push_back(visible);
        if (onSystemPage) {
            onSystemPage(visible);
        }
    }

    template <class T> static std::optional<T> next(std::deque<std::optional<T>>& queue) {
        if (queue.empty()) {
            return std::nullopt;
        }
        auto answer = queue.front();
        queue.pop_front();
        return answer;
    }

    int errorCount(const std::string& text) const {
        int n = 0;
        for (const auto& e : errors) {
            n += e.text == text ? 1 : 0;
        }
        return n;
    }
};
