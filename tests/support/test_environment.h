#pragma once
// Every test program runs inside its own temporary folder: HOME, the XDG folders and the
// registry folder point there, and Qt draws offscreen.

#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <functional>
#include <string>
#include <vector>

#include "framework/message_boxes.h"

namespace testing_support {

// The temporary folder of this test program (removed when it ends).
const std::filesystem::path& sandboxFolder();

// A new, empty folder for the running test: <sandbox>/<group>/<suite>.<test>.
std::filesystem::path testFolder(const std::string& group);

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

// Sets an environment variable (nullptr: unsets it) for one scope and restores it afterwards.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const char* value) : m_name(name) {
        if (const char* old = std::getenv(name)) m_old = old;
        if (value != nullptr) {
            setenv(name, value, 1);
        } else {
            unsetenv(name);
        }
    }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;
    ~ScopedVariable() {
        if (m_old) {
            setenv(m_name, m_old->c_str(), 1);
        } else {
            unsetenv(m_name);
        }
    }

private:
    const char* m_name;
    std::optional<std::string> m_old;
};

// Runs the action once the next modal page has started its own event loop.
void whenModal(std::function<void()> action);

// Lets queued window-system events (activation, painting) arrive.
void settle();

}  // namespace testing_support
