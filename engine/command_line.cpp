#include "command_line.h"

namespace engine {

CommandLine extractorCommand(const std::string& distributionFolder, const std::string& targetFolder,
                             const std::string& archive) {
    const std::string program = distributionFolder + "unzip";
    const std::string archivePath = distributionFolder + archive;
    return {program + " -d \"" + targetFolder + "\" -o " + archivePath,
            {program, "-d", targetFolder, "-o", archivePath}};
}

std::vector<std::string> splitCommandLine(std::string_view line) {
    std::vector<std::string> arguments;
    std::string current;
    bool inQuotes = false;
    bool pending = false;
    for (char c : line) {
        if (c == '"') {
            inQuotes = !inQuotes;
            pending = true;
        } else if (c == ' ' && !inQuotes) {
            if (pending) arguments.push_back(current);
            current.clear();
            pending = false;
        } else {
            current += c;
            pending = true;
        }
    }
    if (pending) arguments.push_back(current);
    return arguments;
}

}  // namespace engine
