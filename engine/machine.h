#pragma once
// What the installation engine needs of the machine: the registry store, external
// programs, fonts, shortcuts, files and folders, settings files, the user's XDG folders, the
// archive checks and archive members. The engine's logic is tested against a fake; the real machine is
// LinuxMachine (linux_machine.h).

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/desktop_entry.h"
#include "platform/process.h"
#include "platform/profile_file.h"
#include "platform/registry.h"
#include "platform/stray_files.h"
#include "platform/system.h"
#include "platform/xdg_folders.h"
#include "platform/zip_listing.h"

namespace engine {

using platform::RootKey;

// A file read from the start in pieces.
class FileReader {
public:
    virtual ~FileReader() = default;
    // Fills buffer with up to size bytes; fewer only at the end of the file. Raises
    // platform::SystemError on a read error.
    virtual std::size_t read(char* buffer, std::size_t size) = 0;
};

// A file being written. Destroyed without a close() that succeeded, it leaves the path as it
// was and removes what it wrote, so no truncated copy is left looking done.
class FileWriter {
public:
    virtual ~FileWriter() = default;
    // All bytes or platform::SystemError.
    virtual void writeAll(const char* data, std::size_t size) = 0;
    // Flushes and closes; platform::SystemError when the bytes may not have reached the disc.
    virtual void close() = 0;
};

// Work the machine goes on with while the install takes its next steps. Destroyed before
// finish(), it is waited for then.
class PendingWork {
public:
    virtual ~PendingWork() = default;
    // Waits until the work is done; whileWaiting keeps the pages painting.
    virtual void finish(const std::function<void()>& whileWaiting) = 0;
};

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

    // Starts the program (the extractor) by its full path and waits; whileWaiting keeps the
    // pages painting. It gets only PATH, HOME and the locale of this process's environment.
    virtual platform::ProcessOutcome runAndWait(const std::vector<std::string>& arguments,
                                                const std::function<void()>& whileWaiting,
                                                const std::vector<int>& inheritDescriptors) = 0;
    virtual bool startDetached(const std::vector<std::string>& arguments,
                               const std::string& workingFolder) = 0;

    virtual std::vector<std::string> fontFamilies() = 0;
    virtual bool registerFont(const std::string& file) = 0;
    // Starts telling the other programs about the fonts newly put in the folder (fontconfig's
    // cache); null when that cannot be started (they still find the fonts, more slowly).
    virtual std::unique_ptr<PendingWork> refreshFontFolder(const std::string& folder) = 0;

    virtual bool writeShortcut(const std::string& file, const platform::DesktopEntry& entry) = 0;

    virtual std::optional<std::string> environment(const std::string& name) = 0;

    // Files and folders, as platform/files.h has them.
    virtual bool folderExists(const std::string& path) = 0;
    virtual bool createFolder(const std::string& path) = 0;
    virtual bool removeFile(const std::string& path) = 0;
    // Nothing there is no error; platform::SystemError when a file is there and stays.
    virtual void removeFileIfPresent(const std::string& path) = 0;
    // Null when the file cannot be opened for reading (missing, a folder, a symbolic link,
    // no permission).
    virtual std::unique_ptr<FileReader> openForReading(const std::string& path) = 0;
    // A new file for the path (platform::OutputFile: written under a temporary name and
    // renamed over the path by close(), so a link there is replaced, never followed, and a
    // replaced file keeps its mode); null when it cannot.
    virtual std::unique_ptr<FileWriter> createForWriting(const std::string& path) = 0;

    // Writes each key=value into [section] of a settings file, all in one replacement;
    // throws std::runtime_error "Unable to write to <file>" (cause nested) when it cannot, as
    // platform::writeProfileStrings does.
    virtual void writeProfileStrings(const std::string& file, const std::string& section,
                                     const std::vector<platform::ProfileEntry>& entries) = 0;

    virtual platform::UserFolders userFolders() = 0;

    // An archive's entries (platform::listZipEntries; throws platform::ZipListingError).
    virtual std::vector<platform::ZipEntry> listArchive(const std::string& archive) = 0;
    // The archive opened for reading without waiting (a named pipe in its place does not
    // block); an invalid descriptor when it cannot be opened.
    virtual platform::FileDescriptor openArchive(const std::string& archive) = 0;
    // What stands in the folder or below it that is no regular file or folder, found without
    // following a link; with removeLinks the links are removed (platform::findStrayFiles;
    // throws platform::SystemError when a folder cannot be walked).
    virtual std::vector<platform::StrayFile> findStrayFiles(const std::string& folder,
                                                            bool removeLinks) = 0;

    // One member of an archive, when the archive is a regular file whose listing can be read
    // and the member is there, intact and at most limit bytes (platform::readZipMember).
    virtual std::optional<std::string> readArchiveMember(const std::string& archive,
                                                         std::string_view member,
                                                         std::size_t limit) = 0;
};

}  // namespace engine
