#pragma once
// The machine this program runs on: each of the engine's concerns over the platform layer.

#include "machine.h"

namespace engine {

class LinuxRegistryStore : public RegistryStore {
public:
    bool keyExists(RootKey root, std::string_view key, bool fullAccess) override;
    std::optional<std::string> readString(RootKey root, std::string_view key,
                                          std::string_view name) override;
    void writeString(RootKey root, std::string_view key, std::string_view name,
                     std::string_view data) override;
    bool deleteKeyTree(RootKey root, std::string_view key) override;

private:
    platform::Registry m_registry;
};

class LinuxPrograms : public Programs {
public:
    platform::ProcessOutcome runAndWait(const std::vector<std::string>& arguments,
                                        const std::function<void()>& whileWaiting,
                                        const std::vector<int>& inheritDescriptors) override;
    bool startDetached(const std::vector<std::string>& arguments,
                       const std::string& workingFolder) override;
    std::optional<std::string> environment(const std::string& name) override;
};

class LinuxFiles : public Files {
public:
    bool folderExists(const std::string& path) override;
    bool createFolder(const std::string& path) override;
    bool removeFile(const std::string& path) override;
    void removeFileIfPresent(const std::string& path) override;
    std::unique_ptr<FileReader> openForReading(const std::string& path) override;
    std::unique_ptr<FileWriter> createForWriting(const std::string& path) override;
    void writeProfileStrings(const std::string& file, const std::string& section,
                             const std::vector<platform::ProfileEntry>& entries) override;
};

class LinuxArchives : public Archives {
public:
    std::vector<platform::ZipEntry> listArchive(const std::string& archive) override;
    platform::FileDescriptor openArchive(const std::string& archive) override;
    std::vector<platform::StrayFile> findStrayFiles(const std::string& folder,
                                                    bool removeLinks) override;
    std::optional<std::string> readArchiveMember(const std::string& archive,
                                                 std::string_view member,
                                                 std::size_t limit) override;
};

class LinuxDesktop : public Desktop {
public:
    std::vector<std::string> fontFamilies() override;
    bool registerFont(const std::string& file) override;
    std::unique_ptr<PendingWork> refreshFontFolder(const std::string& folder) override;
    bool writeShortcut(const std::string& file, const platform::DesktopEntry& entry) override;
    platform::UserFolders userFolders() override;
};

class LinuxMachine : public Machine {
public:
    RegistryStore& registry() override { return m_registry; }
    Programs& programs() override { return m_programs; }
    Files& files() override { return m_files; }
    Archives& archives() override { return m_archives; }
    Desktop& desktop() override { return m_desktop; }

private:
    LinuxRegistryStore m_registry;
    LinuxPrograms m_programs;
    LinuxFiles m_files;
    LinuxArchives m_archives;
    LinuxDesktop m_desktop;
};

}  // namespace engine
