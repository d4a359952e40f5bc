#pragma once
// The application object: the one user-interface thread's event loop, the main page,
// termination, message boxes, the hourglass cursor, the screen size and help.

#include <exception>
#include <memory>

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
    // Creates the Qt application; exactly one exists at a time.
    Application(int& argc, char** argv);
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    static Application& instance();
    // Whether a graphical display can be reached (always true on the offscreen platform).
    static bool displayAvailable();

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

    MessageBoxes& messages() { return *m_messages; }
    // Tests install scripted message boxes; nullptr restores the real ones.
    void setMessages(MessageBoxes* messages);
    void showException(const std::exception& error);

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
