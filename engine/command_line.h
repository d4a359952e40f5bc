#pragma once
// The extractor's command lines. The text is built exactly as the install procedure
// shows it; the arguments are built from the same pieces, never by splitting the text,
// so that nothing in a folder name (a double quote, a blank) can add an argument.

#include <string>
#include <string_view>
#include <vector>

namespace engine {

struct CommandLine {
    std::string text;                    // as shown in messages
    std::vector<std::string> arguments;  // as started: the program's full path first
};

// distribution folder (with its final '/') + "unzip -d " + '"' + target + '"' + " -o " +
// distribution folder + archive.
CommandLine extractorCommand(const std::string& distributionFolder, const std::string& targetFolder,
                             const std::string& archive);

}  // namespace engine
