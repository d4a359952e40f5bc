#include "application.h"

#include <fontconfig/fontconfig.h>
#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QScreen>

#include <algorithm>
#include <cstdlib>
#include <stdexcept>
#include <thread>

#include "form.h"
#include "page_reader_interface.h"
#include "start_messages.h"
#include "thread/handler_failure.h"
#include "ui_thread.h"

namespace framework {

namespace {

Application* g_instance = nullptr;

std::string& startFailureLead() {
    static std::string lead = "Cannot start the window system";
    return lead;
}

// Where the page faces are missing, prefer faces of about the same widths over the
// desktop's general fallback, so that designed texts keep fitting their controls. A face
// the program loaded itself is not missing: stand-ins named for it would only make the
// toolkit work out the desktop's fallbacks for it at the first text of the start.
void insertStandIns(const std::vector<std::string>& loaded) {
    const std::pair<const char*, QStringList> standIns[] = {
        {"Tahoma", {QStringLiteral("Liberation Sans"), QStringLiteral("Arimo")}},
        {"Arial", {QStringLiteral("Liberation Sans"), QStringLiteral("Arimo")}},
        {"Courier New", {QStringLiteral("Liberation Mono"), QStringLiteral("Cousine")}}};
    for (const auto& [family, faces] : standIns) {
        if (std::find(loaded.begin(), loaded.end(), family) == loaded.end())
            QFont::insertSubstitutions(QString::fromLatin1(family), faces);
    }
}

}  // namespace

Application::Application(int& argc, char** argv, StartupFaces startupFaces, ReadAhead readAhead) {
    if (g_instance != nullptr) throw std::logic_error("An application object exists already");
    // Pages are designed in pixels and the elastic component does all scaling.
    if (qEnvironmentVariableIsEmpty("QT_ENABLE_HIGHDPI_SCALING")) {
        qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
    }
    // Loading fontconfig's configuration takes as long as connecting to the display: do
    // both at once (fontconfig's initialisation is thread-safe and done only once).
    // The page faces are read then too, and whatever else the caller reads ahead.
    std::vector<std::string> faces;
    std::thread loadFontConfiguration([&faces, &startupFaces, &readAhead] {
        FcInit();
        try {
            if (startupFaces) faces = startupFaces();
        } catch (const std::exception&) {
            // The faces are a nicety: without them the pages take their stand-in faces.
        }
        try {
            if (readAhead) readAhead();
        } catch (...) {
            // Work read ahead is done again, and fails there, where it is needed.
        }
    });
    {
        const StartMessageGuard guard(startFailureLead());
        m_qt = std::make_unique<QApplication>(argc, argv);
    }
    loadFontConfiguration.join();
    addFaces(faces);
    m_qt->setQuitOnLastWindowClosed(false);
    m_title = QCoreApplication::applicationName().toStdString();
    insertStandIns(m_startupFamilies);
    attachUiThreadQueue();
    setHandlerFailureReport([this](const std::string& message) { m_messages->showError(message); });
    installPageReaderInterfaces();
    g_instance = this;
}

void Application::addFaces(const std::vector<std::string>& faces) {
    for (const std::string& face : faces) {
        const int id = QFontDatabase::addApplicationFontFromData(
            QByteArray(face.data(), static_cast<qsizetype>(face.size())));
        for (const QString& family : QFontDatabase::applicationFontFamilies(id)) {
            m_startupFamilies.push_back(family.toStdString());
        }
    }
}

Application::~Application() {
    setHandlerFailureReport({});
    detachUiThreadQueue();
    g_instance = nullptr;
}

Application& Application::instance() {
    if (g_instance == nullptr) throw std::logic_error("No application object");
    return *g_instance;
}

void Application::setStartFailureLead(std::string lead) { startFailureLead() = std::move(lead); }

bool Application::displayAvailable() {
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (!platform.isEmpty() && !platform.startsWith("xcb") && !platform.startsWith("wayland")) {
        return true;
    }
    return std::getenv("DISPLAY") != nullptr || std::getenv("WAYLAND_DISPLAY") != nullptr;
}

void Application::formCreated(TForm* form) {
    if (m_mainForm == nullptr) m_mainForm = form;
}

void Application::formDestroyed(TForm* form) {
    if (m_mainForm == form) m_mainForm = nullptr;
}

int Application::run() {
    if (m_terminated) return 0;
    if (m_mainForm != nullptr) m_mainForm->Show();
    if (m_terminated) return 0;
    m_running = true;
    const int code = QApplication::exec();
    m_running = false;
    return code;
}

void Application::terminate() {
    m_terminated = true;
    // Outside the event loop (while pages are driven directly) there is no loop to end, and
    // asking Qt to quit then would make every later loop return at once.
    if (m_running) QCoreApplication::exit(0);
}

void Application::processMessages() { QCoreApplication::processEvents(); }

void Application::setMessages(MessageBoxes* messages) {
    m_messages = messages != nullptr ? messages : &m_windowMessages;
}

ScreenSize Application::screenSize() const {
    if (m_screenOverride.width > 0) return m_screenOverride;
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) return {800, 600};
    return {screen->geometry().width(), screen->geometry().height()};
}

int Application::pixelsPerInch() const {
    if (m_pixelsPerInchOverride > 0) return m_pixelsPerInchOverride;
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) return 96;
    const int dpi = qRound(screen->logicalDotsPerInchY());
    return dpi > 0 ? dpi : 96;
}

bool Application::helpContext(int /*topic*/) { return false; }

HourglassCursor::HourglassCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }

HourglassCursor::~HourglassCursor() { QApplication::restoreOverrideCursor(); }

}  // namespace framework
