#include "program_folders.h"

#include "platform/environment.h"

namespace engine {

std::string homeFolder() { return platform::homeFolder(); }

std::string programFolder() { return platform::executableFolder(); }

void ensureStandardDescriptors() { platform::ensureStandardDescriptors(); }

void raiseDescriptorLimit() { platform::raiseDescriptorLimit(); }

}  // namespace engine
