#include "handler_failure.h"

#include <cstdio>
#include <utility>

namespace framework {

namespace {

HandlerFailureReport& installedReport() {
    static HandlerFailureReport report;
    return report;
}

std::string messageOf(const std::exception_ptr& failure) {
    try {
        std::rethrow_exception(failure);
    } catch (const std::exception& error) {
        return error.what();
    } catch (...) {
        return "An unknown error occurred.";
    }
}

}  // namespace

void setHandlerFailureReport(HandlerFailureReport report) { installedReport() = std::move(report); }

void reportHandlerFailure(const std::exception_ptr& failure) {
    const std::string message = messageOf(failure);
    if (installedReport()) {
        installedReport()(message);
    } else {
        std::fprintf(stderr, "%s\n", message.c_str());
    }
}

}  // namespace framework
