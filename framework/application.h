#pragma once
// The application object: the one user-interface thread's event loop, the main page,
// termination, message boxes, the hourglass cursor, the screen size and help.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "message_boxes.h"

class QApplication;

namespace framework {

class TForm;

struct ScreenSize {
    int width = 0;
    int height = 0;
};

class Application {
public:
    // Font files (their bytes) to make available to this program alone. Called on another
    // thread while the display is being connected, so it must not use Qt.
    using StartupFaces = std::function<std::vector<std::string>()>;
    // Other work of the start that needs no Qt, done on that thread after the faces. It
    // keeps its own results: what it throws is dropped.
    using ReadAhead = std::function<void()>;

    // Creates the Qt application; exactly one exists at a time. The faces that startupFaces
    // returns are registered for this run, from memory.
    Application(int& argc, char** argv, StartupFaces startupFaces = {}, ReadAhead readAhead = {});
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    static Application& instance();
    // Whether a graphical display is named (always true on the offscreen platform).
    static bool displayAvailable();
    // Where the window system cannot be started (a display that cannot be reached), the
    // constructor writes this lead and the reason on one line of standard error and ends the
    // process with status 1.
    static void setStartFailureLead(std::string lead);

    // The first page created becomes the main page; closing it ends the program.
    TForm* mainForm() const { return m_mainForm; }
    void formCreated(TForm* form);
    void formDestroyed(TForm* form);

    // Shows the main page and runs the event loop until it closes or termination is
    // requested; returns the exit code.
    int run();
    // Ends the event loop once the current event has been handled.
    void terminate();
    bool terminated() const { return m_terminated; }
    // Allows another run after a termination (tests run several wizards in one process).
    void resetTermination() { m_terminated = false; }
    void processMessages();

    // The program's title, which message boxes carry. Page titles are their captions
    // alone: the title is not appended to them.
    const std::string& title() const { return m_title; }
    void setTitle(std::string value) { m_title = std::move(value); }

    MessageBoxes& messages() { return *m_messages; }
    // Tests install scripted message boxes; nullptr restores the real ones.
    void setMessages(MessageBoxes* messages);

    // Registers font files (their bytes) for this program alone; files that are no font
    // are skipped. The families registered so far, in order.
    void addFaces(const std::vector<std::string>& faces);
    const std::vector<std::string>& startupFamilies() const { return m_startupFamilies; }

    ScreenSize screenSize() const;
    // Tests pretend other screens; a zero size goes back to the real screen.
    void setScreenSizeOverride(ScreenSize size) { m_screenOverride = size; }
    // The screen's resolution, by which font sizes in points become pixels (96 where
    // the screen does not tell).
    int pixelsPerInch() const;
    // Tests pretend other resolutions; 0 goes back to the real screen.
    void setPixelsPerInchOverride(int value) { m_pixelsPerInchOverride = value; }

    // No help file is configured: asking for a topic shows nothing.
    bool helpContext(int topic);

private:
    std::unique_ptr<QApplication> m_qt;
    TForm* m_mainForm = nullptr;
    bool m_terminated = false;
    bool m_running = false;
    WindowMessageBoxes m_windowMessages;
    MessageBoxes* m_messages = &m_windowMessages;
    ScreenSize m_screenOverride;
    std::string m_title;
    std::vector<std::string> m_startupFamilies;
    int m_pixelsPerInchOverride = 0;
};

// Shows the hourglass for its lifetime.
class HourglassCursor {
public:
    HourglassCursor();
    ~HourglassCursor();
    HourglassCursor(const HourglassCursor&) = delete;
    HourglassCursor& operator=(const HourglassCursor&) = delete;
};

}  // namespace framework
