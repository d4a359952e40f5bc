#pragma once
// The machine this program runs on: the engine's Machine over the platform layer.

#include "machine.h"

namespace engine {

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
    std::unique_ptr<PendingWork> refreshFontFolder(const std::string& folder) override;
    bool writeShortcut(const std::string& file, const platform::DesktopEntry& entry) override;
    std::optional<std::string> environment(const std::string& name) override;
    bool folderExists(const std::string& path) override;
    bool createFolder(const std::string& path) override;
    bool removeFile(const std::string& path) override;
    void removeFileIfPresent(const std::string& path) override;
    std::unique_ptr<FileReader> openForReading(const std::string& path) override;
    std::unique_ptr<FileWriter> createForWriting(const std::string& path) override;
    void writeProfileStrings(const std::string& file, const std::string& section,
                             const std::vector<platform::ProfileEntry>& entries) override;
    platform::UserFolders userFolders() override;
    std::vector<platform::ZipEntry> listArchive(const std::string& archive) override;
    platform::FileDescriptor openArchive(const std::string& archive) override;
    std::vector<platform::StrayFile> findStrayFiles(const std::string& folder,
                                                    bool removeLinks) override;
    std::optional<std::string> readArchiveMember(const std::string& archive,
                                                 std::string_view member,
                                                 std::size_t limit) override;

private:
    platform::Registry m_registry;
};

}  // namespace engine
