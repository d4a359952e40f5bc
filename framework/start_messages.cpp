#include "start_messages.h"

#include <QString>
#include <QtGlobal>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <vector>

namespace framework {

namespace {

struct HeldMessage {
    QtMsgType type;
    const char* file;
    int line;
    const char* function;
    const char* category;  // static strings of the logging categories
    QString text;
};

std::mutex g_mutex;
std::string g_lead;
std::vector<HeldMessage> g_held;
QtMessageHandler g_previous = nullptr;

// The platform plugin says what failed (the display it could not reach); its closing
// message only says that no plugin started.
std::string reasonFor(const QString& fatal) {
    for (const HeldMessage& held : g_held) {
        if (held.category != nullptr && std::strncmp(held.category, "qt.qpa", 6) == 0) {
            return held.text.toStdString();
        }
    }
    return fatal.section('\n', 0, 0).toStdString();
}

void holdOrEnd(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    const std::lock_guard lock(g_mutex);
    if (type == QtFatalMsg) {
        const std::string line = g_lead + ": " + reasonFor(text) + "\n";
        std::fputs(line.c_str(), stderr);
        std::_Exit(1);
    }
    g_held.push_back({type, context.file, context.line, context.function, context.category, text});
}

}  // namespace

StartMessageGuard::StartMessageGuard(std::string lead) {
    g_lead = std::move(lead);
    g_previous = qInstallMessageHandler(holdOrEnd);
}

StartMessageGuard::~StartMessageGuard() {
    qInstallMessageHandler(g_previous);
    std::vector<HeldMessage> held;
    {
        const std::lock_guard lock(g_mutex);
        held.swap(g_held);
    }
    for (const HeldMessage& message : held) {
        const QMessageLogContext context(message.file, message.line, message.function,
                                         message.category);
        qt_message_output(message.type, context, message.text);
    }
}

}  // namespace framework
