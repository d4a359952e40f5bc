#pragma once
// What the install and uninstall procedures need of the wizard's pages.

#include <string>

namespace engine {

class SetupUi {
public:
    virtual ~SetupUi() = default;

    // A plain notice with an OK button.
    virtual void showMessage(const std::string& text) = 0;
    // The information box with Yes and No; true for Yes.
    virtual bool askYesNo(const std::string& text) = 0;
    // Called with the question askYesNo will be asked, before the procedure touches
    // anything; false ends the procedure there, with nothing changed. The pages ask when the
    // time comes; a front end without them may take the answer here, or refuse when no one
    // can give it.
    virtual bool questionCanBeAnswered(const std::string& /*question*/) { return true; }

    // Hides the shortcut page and shows the progress log.
    virtual void showProgressPage() = 0;
    virtual void appendLogLine(const std::string& line) = 0;
    // Draws the log now, before the procedure blocks in its next step.
    virtual void repaintLog() = 0;
    // While an external program runs: the pages paint and answer the window manager, but
    // no user input reaches them.
    virtual void keepPainting() = 0;

    // Hides the shortcut page and shows the finish page; an empty outcome keeps its text.
    virtual void showFinishPage(const std::string& outcome) = 0;

    // Lets pending window events run; false when the program was asked to end.
    virtual bool processPendingEvents() = 0;
    virtual void setHourglass(bool on) = 0;
    // Ends the program at once (the message loop ends).
    virtual void endProgram() = 0;
};

}  // namespace engine
