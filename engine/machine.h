#pragma once
// What the installation engine needs of the machine: the registry store, external
// programs, fonts and shortcuts. The engine's logic is tested against a fake; the real
// machine is LinuxMachine. Files and folders are used directly (tests use temporary ones).

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/desktop_entry.h"
#include "platform/process.h"
#include "platform/registry.h"

namespace engine {

using platform::RootKey;

class Machine {
public:
    virtual ~Machine() = default;

    virtual bool keyExists(RootKey root, std::string_view key, bool fullAccess) = 0;
    virtual std::optional<std::string> readString(RootKey root, std::string_view key,
                                                  std::string_view name) = 0;
    // Raises platform::RegistryError when the value cannot be written.
    virtual void writeString(RootKey root, std::string_view key, std::string_view name,
                             std::string_view data) = 0;
    virtual bool deleteKeyTree(RootKey root, std::string_view key) = 0;

    // Starts the program by its full path and waits; whileWaiting keeps the pages painting.
    virtual platform::ProcessOutcome runAndWait(const std::vector<std::string>& arguments,
                                                const std::function<void()>& whileWaiting,
                                                const std::vector<int>& inheritDescriptors) = 0;
    virtual bool startDetached(const std::vector<std::string>& arguments,
                               const std::string& workingFolder) = 0;

    virtual std::vector<std::string> fontFamilies() = 0;
    virtual bool registerFont(const std::string& file) = 0;

    virtual bool writeShortcut(const std::string& file, const platform::DesktopEntry& entry) = 0;

    virtual std::optional<std::string> environment(const std::string& name) = 0;
};

// The machine this program runs on.
class LinuxMachine : public Machine {
public:
    bool keyExists(RootKey root, std::string_view key, bool fullAccess) override;
    std::optional<std::string> readString(RootKey root, std::string_view key,
                                          std::string_view name) override;
    void writeString(RootKey root, std::string_view key, std::string_view name,
                     std::string_view data) override;
    bool deleteKeyTree(RootKey root, std::string_view key) override;
    platform::ProcessOutcome runAndWait(const std::vector<std::string>& arguments,
                                        const std::function<void()>& whileWaiting,
                                        const std::vector<int>& inheritDescriptors) override;
    bool startDetached(const std::vector<std::string>& arguments,
                       const std::string& workingFolder) override;
    std::vector<std::string> fontFamilies() override;
    bool registerFont(const std::string& file) override;
    bool writeShortcut(const std::string& file, const platform::DesktopEntry& entry) override;
    std::optional<std::string> environment(const std::string& name) override;

private:
    platform::Registry m_registry;
};

}  // namespace engine
