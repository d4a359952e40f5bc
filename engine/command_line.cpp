#include "command_line.h"

namespace engine {

CommandLine extractorCommand(const std::string& distributionFolder, const std::string& targetFolder,
                             const std::string& archive) {
    const std::string program = distributionFolder + "unzip";
    const std::string archivePath = distributionFolder + archive;
    return {program + " -d \"" + targetFolder + "\" -o " + archivePath,
            {program, "-d", targetFolder, "-o", archivePath}};
}

}  // namespace engine
