#pragma once
// While the Qt application object is made: Qt ends the process with an abort when it cannot
// start its window system (a display that cannot be reached), after several lines of its
// own. Under this guard such an end is one line on standard error, the given lead and the
// reason, and exit status 1. Qt's other messages of that time are held and passed on once
// the guard ends.

#include <string>

namespace framework {

class StartMessageGuard {
public:
    explicit StartMessageGuard(std::string lead);
    ~StartMessageGuard();
    StartMessageGuard(const StartMessageGuard&) = delete;
    StartMessageGuard& operator=(const StartMessageGuard&) = delete;
};

}  // namespace framework
