#pragma once
// The install and uninstall procedures on a terminal, for the unattended mode: every line
// the progress log would show goes to standard output as it comes; every message a box would
// show goes to standard error as one line (its line breaks become blanks); the finish page's
// text ends standard output. Nothing here needs a display.

#include <optional>
#include <string>

#include "engine/setup_ui.h"

namespace setup {

class TerminalUi : public engine::SetupUi {
public:
    // Who answers the uninstall's question: --yes, the user on the terminal, or no one.
    enum class Answering { Yes, OnTerminal, Nobody };

    // The finish page's text where the procedure leaves it unchanged.
    TerminalUi(Answering answering, std::string finishText);

    void showMessage(const std::string& text) override;
    bool askYesNo(const std::string& text) override;
    bool questionCanBeAnswered(const std::string& question) override;
    void showProgressPage() override {}
    void appendLogLine(const std::string& line) override;
    void repaintLog() override {}
    void keepPainting() override {}
    void showFinishPage(const std::string& outcome) override;
    bool processPendingEvents() override { return true; }
    void setHourglass(bool) override {}
    void endProgram() override { m_programEnded = true; }

    // What the procedure came to.
    bool finished() const { return m_finished; }
    bool programEnded() const { return m_programEnded; }
    // Whether a message was shown before the finish page: a step that failed and was shown.
    bool messagesBeforeFinish() const { return m_messagesBeforeFinish; }

private:
    std::optional<bool> answerOnTerminal();

    Answering m_answering;
    std::string m_finishText;
    std::optional<bool> m_answer;  // once the question was answered
    bool m_messageShown = false;
    bool m_messagesBeforeFinish = false;
    bool m_finished = false;
    bool m_programEnded = false;
};

}  // namespace setup
