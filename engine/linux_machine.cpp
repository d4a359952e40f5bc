#include "linux_machine.h"

#include <fcntl.h>

#include <cstdlib>
#include <utility>

#include "platform/environment.h"
#include "platform/files.h"
#include "platform/fonts.h"
#include "platform/profile_file.h"
#include "platform/zip_listing.h"

namespace engine {

namespace {

class PlatformReader : public FileReader {
public:
    explicit PlatformReader(platform::InputFile file) : m_file(std::move(file)) {}
    std::size_t read(char* buffer, std::size_t size) override { return m_file.read(buffer, size); }

private:
    platform::InputFile m_file;
};

class PlatformWriter : public FileWriter {
public:
    explicit PlatformWriter(platform::OutputFile file) : m_file(std::move(file)) {}
    ~PlatformWriter() override {
        if (!m_closed) m_file.discard();
    }
    PlatformWriter(const PlatformWriter&) = delete;
    PlatformWriter& operator=(const PlatformWriter&) = delete;
    void writeAll(const char* data, std::size_t size) override { m_file.writeAll(data, size); }
    void close() override {
        m_file.close();
        m_closed = true;
    }

private:
    platform::OutputFile m_file;
    bool m_closed = false;
};

class RunningProgram : public PendingWork {
public:
    explicit RunningProgram(std::unique_ptr<platform::StartedProgram> program)
        : m_program(std::move(program)) {}
    void finish(const std::function<void()>& whileWaiting) override {
        m_program->wait(whileWaiting);
    }

private:
    std::unique_ptr<platform::StartedProgram> m_program;
};

}  // namespace

bool LinuxRegistryStore::keyExists(RootKey root, std::string_view key, bool fullAccess) {
    return m_registry.keyExists(root, key, fullAccess);
}

std::optional<std::string> LinuxRegistryStore::readString(RootKey root, std::string_view key,
                                                          std::string_view name) {
    return m_registry.readString(root, key, name);
}

void LinuxRegistryStore::writeString(RootKey root, std::string_view key, std::string_view name,
                                     std::string_view data) {
    m_registry.writeString(root, key, name, data);
}

bool LinuxRegistryStore::deleteKeyTree(RootKey root, std::string_view key) {
    return m_registry.deleteKeyTree(root, key);
}

platform::ProcessOutcome LinuxPrograms::runAndWait(const std::vector<std::string>& arguments,
                                                   const std::function<void()>& whileWaiting,
                                                   const std::vector<int>& inheritDescriptors) {
    // The user's variables must not change what the extractor does (UNZIP holds its options).
    return platform::runAndWait(arguments, whileWaiting, inheritDescriptors,
                                platform::essentialEnvironment());
}

bool LinuxPrograms::startDetached(const std::vector<std::string>& arguments,
                                  const std::string& workingFolder) {
    return platform::startDetached(arguments, workingFolder);
}

std::vector<std::string> LinuxDesktop::fontFamilies() { return platform::installedFontFamilies(); }

bool LinuxDesktop::registerFont(const std::string& file) {
    return platform::registerFontFile(file);
}

std::unique_ptr<PendingWork> LinuxDesktop::refreshFontFolder(const std::string& folder) {
    std::unique_ptr<platform::StartedProgram> refresh = platform::startFontCacheRefresh(folder);
    if (!refresh) return nullptr;
    return std::make_unique<RunningProgram>(std::move(refresh));
}

bool LinuxDesktop::writeShortcut(const std::string& file, const platform::DesktopEntry& entry) {
    return platform::writeDesktopEntry(file, entry);
}

std::optional<std::string> LinuxPrograms::environment(const std::string& name) {
    const char* value = std::getenv(name.c_str());
    if (value == nullptr) return std::nullopt;
    return std::string(value);
}

bool LinuxFiles::folderExists(const std::string& path) { return platform::folderExists(path); }

bool LinuxFiles::createFolder(const std::string& path) { return platform::createFolder(path); }

bool LinuxFiles::removeFile(const std::string& path) { return platform::removeFile(path); }

void LinuxFiles::removeFileIfPresent(const std::string& path) {
    platform::removeFileIfPresent(path);
}

std::unique_ptr<FileReader> LinuxFiles::openForReading(const std::string& path) {
    auto file = platform::InputFile::open(path);
    if (!file) return nullptr;
    return std::make_unique<PlatformReader>(std::move(*file));
}

std::unique_ptr<FileWriter> LinuxFiles::createForWriting(const std::string& path) {
    auto file = platform::OutputFile::create(path);
    if (!file) return nullptr;
    return std::make_unique<PlatformWriter>(std::move(*file));
}

void LinuxFiles::writeProfileStrings(const std::string& file, const std::string& section,
                                     const std::vector<platform::ProfileEntry>& entries) {
    platform::writeProfileStrings(file, section, entries);
}

platform::UserFolders LinuxDesktop::userFolders() { return platform::userFolders(); }

std::vector<platform::ZipEntry> LinuxArchives::listArchive(const std::string& archive) {
    return platform::listZipEntries(archive);
}

platform::FileDescriptor LinuxArchives::openArchive(const std::string& archive) {
    return platform::openFile(archive, O_RDONLY | O_NONBLOCK);
}

std::vector<platform::StrayFile> LinuxArchives::findStrayFiles(const std::string& folder,
                                                               bool removeLinks) {
    return platform::findStrayFiles(folder, removeLinks);
}

std::optional<std::string> LinuxArchives::readArchiveMember(const std::string& archive,
                                                            std::string_view member,
                                                            std::size_t limit) {
    return platform::readZipMember(archive, member, limit);
}

}  // namespace engine
