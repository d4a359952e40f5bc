#include "linux_machine.h"

#include <cstdlib>

#include "platform/files.h"
#include "platform/fonts.h"
#include "platform/profile_file.h"

namespace engine {

bool LinuxMachine::keyExists(RootKey root, std::string_view key, bool fullAccess) {
    return m_registry.keyExists(root, key, fullAccess);
}

std::optional<std::string> LinuxMachine::readString(RootKey root, std::string_view key,
                                                    std::string_view name) {
    return m_registry.readString(root, key, name);
}

void LinuxMachine::writeString(RootKey root, std::string_view key, std::string_view name,
                               std::string_view data) {
    m_registry.writeString(root, key, name, data);
}

bool LinuxMachine::deleteKeyTree(RootKey root, std::string_view key) {
    return m_registry.deleteKeyTree(root, key);
}

platform::ProcessOutcome LinuxMachine::runAndWait(const std::vector<std::string>& arguments,
                                                  const std::function<void()>& whileWaiting,
                                                  const std::vector<int>& inheritDescriptors) {
    return platform::runAndWait(arguments, whileWaiting, inheritDescriptors);
}

bool LinuxMachine::startDetached(const std::vector<std::string>& arguments,
                                 const std::string& workingFolder) {
    return platform::startDetached(arguments, workingFolder);
}

std::vector<std::string> LinuxMachine::fontFamilies() { return platform::installedFontFamilies(); }

bool LinuxMachine::registerFont(const std::string& file) { return platform::registerFontFile(file); }

bool LinuxMachine::writeShortcut(const std::string& file, const platform::DesktopEntry& entry) {
    return platform::writeDesktopEntry(file, entry);
}

std::optional<std::string> LinuxMachine::environment(const std::string& name) {
    const char* value = std::getenv(name.c_str());
    if (value == nullptr) return std::nullopt;
    return std::string(value);
}

bool LinuxMachine::folderExists(const std::string& path) { return platform::folderExists(path); }

bool LinuxMachine::createFolder(const std::string& path) { return platform::createFolder(path); }

bool LinuxMachine::removeFile(const std::string& path) { return platform::removeFile(path); }

void LinuxMachine::writeProfileString(const std::string& file, const std::string& section,
                                      const std::string& key, const std::string& value) {
    platform::writeProfileString(file, section, key, value);
}

platform::UserFolders LinuxMachine::userFolders() { return platform::userFolders(); }

std::vector<platform::ZipEntry> LinuxMachine::listArchive(const std::string& archive) {
    return platform::listZipEntries(archive);
}

std::vector<std::string> LinuxMachine::removeUnpackedLinks(
    const std::string& folder, const std::vector<platform::ZipEntry>& entries) {
    return platform::removeUnpackedLinks(folder, entries);
}

}  // namespace engine
