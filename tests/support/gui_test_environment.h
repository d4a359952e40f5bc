#pragma once
// What tests of pages add to the sandbox: scripted message boxes and waiting for the
// event loop.

#include <functional>
#include <string>
#include <vector>

#include "framework/message_boxes.h"
#include "test_environment.h"

namespace testing_support {

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
