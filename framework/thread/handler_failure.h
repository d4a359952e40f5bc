#pragma once
// Where a failure escaping an event handler goes: the application object shows it in the
// error box and the program goes on. Free of Qt, so that the framework's events and the
// reports that threads hand to the user-interface thread take the same path.
//
// Threads: the user-interface thread alone, where handlers run.

#include <exception>
#include <functional>
#include <string>

namespace framework {

// Shows a failure's message. While none is set (no window to show it in), the message goes
// to standard error.
using HandlerFailureReport = std::function<void(const std::string& message)>;
void setHandlerFailureReport(HandlerFailureReport report);

// Reports a failure: a standard exception by its message, anything else by a plain one.
void reportHandlerFailure(const std::exception_ptr& failure);

// Calls a handler; whatever it throws is reported. False when it failed.
template <class Call>
bool callHandler(const Call& call) {
    try {
        call();
        return true;
    } catch (...) {
        reportHandlerFailure(std::current_exception());
        return false;
    }
}

}  // namespace framework
