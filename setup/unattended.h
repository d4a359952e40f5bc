#pragma once
// The unattended mode: the setup program started with arguments installs or removes the
// product without pages and without a display (no window, no Qt application), by the same
// procedures as the wizard's buttons; see command_options.h for the command line and
// terminal_ui.h for what goes to standard output and standard error.

#include <string>
#include <vector>

namespace setup {

// The exit statuses.
enum ExitStatus : int {
    kDone = 0,
    kUsageError = 1,  // the command line cannot be followed; nothing was done
    kRefused = 2,  // a folder refused, nothing installed, a question not answered; nothing changed
    kFailedPartWay = 3,  // a step failed; the output tells what was done
};

// Runs what the arguments after the program's name ask; returns the exit status.
int runUnattended(const std::vector<std::string>& arguments);

// What --help prints.
std::string helpText();

}  // namespace setup
