#pragma once
// The programs the engine starts (the extractor, the installed program) and the environment
// it runs in.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/process.h"

namespace engine {

class Programs {
public:
    virtual ~Programs() = default;

    // Starts the program (the extractor) by its full path and waits; whileWaiting keeps the
    // pages painting. It gets only PATH, HOME and the locale of this process's environment.
    virtual platform::ProcessOutcome runAndWait(const std::vector<std::string>& arguments,
                                                const std::function<void()>& whileWaiting,
                                                const std::vector<int>& inheritDescriptors) = 0;
    virtual bool startDetached(const std::vector<std::string>& arguments,
                               const std::string& workingFolder) = 0;

    virtual std::optional<std::string> environment(const std::string& name) = 0;
};

}  // namespace engine
