#pragma once
// Every test program runs inside its own temporary folder: HOME, the XDG folders and the
// registry folder point there, and Qt draws offscreen.

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "framework/message_boxes.h"

namespace testing_support {

// The temporary folder of this test program (removed when it ends).
const std::filesystem::path& sandboxFolder();

// Message boxes that answer from a script and record what was asked.
class ScriptedMessageBoxes : public framework::MessageBoxes {
public:
    struct Shown {
        std::string kind;  // "message", "question" or "error"
        std::string text;
    };
    void showMessage(const std::string& text) override { shown.push_back({"message", text}); }
    bool askYesNo(const std::string& text) override {
        shown.push_back({"question", text});
        return answerYes;
    }
    void showError(const std::string& text) override { shown.push_back({"error", text}); }

    std::vector<Shown> shown;
    bool answerYes = true;
};

// Runs the action once the next modal page has started its own event loop.
void whenModal(std::function<void()> action);

// Lets queued window-system events (activation, painting) arrive.
void settle();

}  // namespace testing_support
