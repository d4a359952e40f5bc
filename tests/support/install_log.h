#pragma once
// The progress log an install writes when every step succeeds: the main archive, the chosen
// dictionaries in the order given, the help files when they are wanted, the settings file,
// the font and the shortcuts, each heading underlined with '=' as long as it.

#include <string>
#include <vector>

namespace testing_support {

inline std::vector<std::string> logFor(const std::vector<std::string>& codes, bool help) {
    std::vector<std::string> log = {"Extracting Quindor file...", std::string(25, '='), ""};
    for (const std::string& code : codes) {
        log.insert(log.end(), {"", "Extracting language " + code, std::string(22, '='), ""});
    }
    if (help) {
        log.insert(log.end(),
                   {"", "Extracting HTML Quindor help files...", std::string(36, '='), ""});
    }
    log.insert(log.end(), {"", "Creating MARLO.INI file", std::string(22, '='), "",
                           "Testing/installing Tahoma font", std::string(30, '='), "",
                           "Creating shortcuts", std::string(18, '=')});
    return log;
}

}  // namespace testing_support
