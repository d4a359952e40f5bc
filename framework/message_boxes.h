#pragma once
// Every message box the program shows goes through this interface, so that tests can
// answer them and record what was asked.

#include <string>

namespace framework {

class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    // A plain notice with an OK button, titled with the program's title.
    virtual void showMessage(const std::string& text) = 0;
    // An information box titled "Information" with Yes and No; true for Yes.
    virtual bool askYesNo(const std::string& text) = 0;
    // The error box for an exception that escaped an event handler.
    virtual void showError(const std::string& text) = 0;
};

// Real message boxes, modal over the active page.
class WindowMessageBoxes : public MessageBoxes {
public:
    void showMessage(const std::string& text) override;
    bool askYesNo(const std::string& text) override;
    void showError(const std::string& text) override;
};

}  // namespace framework
