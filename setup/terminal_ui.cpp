#include "terminal_ui.h"

#include <cstdio>
#include <iostream>
#include <utility>

namespace setup {

namespace {

// One line, let out at once, so that a reader sees each step as it happens. A reader that
// went away loses the line; the procedure goes on.
void writeLine(std::FILE* stream, const std::string& text) {
    std::fputs(text.c_str(), stream);
    std::fputc('\n', stream);
    std::fflush(stream);
}

// A box breaks its text at '\r'; on a terminal that would overwrite the line.
std::string oneLine(std::string text) {
    for (char& c : text) {
        if (c == '\r' || c == '\n') c = ' ';
    }
    return text;
}

std::optional<bool> answerIn(std::string line) {
    for (char& c : line) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    if (line == "y" || line == "yes") return true;
    if (line == "n" || line == "no") return false;
    return std::nullopt;
}

}  // namespace

TerminalUi::TerminalUi(Answering answering, std::string finishText)
    : m_answering(answering), m_finishText(std::move(finishText)) {}

void TerminalUi::showMessage(const std::string& text) {
    writeLine(stderr, oneLine(text));
    m_messageShown = true;
}

bool TerminalUi::questionCanBeAnswered(const std::string& question) {
    writeLine(stderr, oneLine(question));
    if (m_answering == Answering::Yes) m_answer = true;
    if (m_answering == Answering::OnTerminal) m_answer = answerOnTerminal();
    if (!m_answer) {
        writeLine(stderr, m_answering == Answering::Nobody
                              ? "Not answered: standard input is not a terminal (--yes answers the "
                                "question). Nothing was changed."
                              : "Not answered. Nothing was changed.");
    }
    return m_answer.has_value();
}

// The procedure asks what it announced; an unannounced question is put now.
bool TerminalUi::askYesNo(const std::string& text) {
    if (!m_answer) questionCanBeAnswered(text);
    return m_answer.value_or(false);
}

std::optional<bool> TerminalUi::answerOnTerminal() {
    std::string line;
    for (;;) {
        std::fputs("Yes or no? ", stderr);
        std::fflush(stderr);
        if (!std::getline(std::cin, line)) {
            std::fputc('\n', stderr);  // the end of input ends the prompt's line
            return std::nullopt;
        }
        if (const std::optional<bool> answer = answerIn(line)) return answer;
    }
}

void TerminalUi::appendLogLine(const std::string& line) { writeLine(stdout, line); }

void TerminalUi::showFinishPage(const std::string& outcome) {
    m_finished = true;
    m_messagesBeforeFinish = m_messageShown;
    writeLine(stdout, outcome.empty() ? m_finishText : outcome);
}

}  // namespace setup
