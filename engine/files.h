#pragma once
// Files and folders as the engine sees them (platform/files.h has their rules), and the
// settings file.

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "platform/profile_file.h"

namespace engine {

// A file read from the start in pieces.
class FileReader {
public:
    virtual ~FileReader() = default;
    // Fills buffer with up to size bytes; fewer only at the end of the file. Raises
    // platform::ESystemError on a read error.
    virtual std::size_t read(char* buffer, std::size_t size) = 0;
};

// A file being written. Destroyed without a close() that succeeded, it leaves the path as it
// was and removes what it wrote, so no truncated copy is left looking done.
class FileWriter {
public:
    virtual ~FileWriter() = default;
    // All bytes or platform::ESystemError.
    virtual void writeAll(const char* data, std::size_t size) = 0;
    // Flushes and closes; platform::ESystemError when the bytes may not have reached the disc.
    virtual void close() = 0;
};

class Files {
public:
    virtual ~Files() = default;

    virtual bool folderExists(const std::string& path) = 0;
    virtual bool createFolder(const std::string& path) = 0;
    virtual bool removeFile(const std::string& path) = 0;
    // Nothing there is no error; platform::ESystemError when a file is there and stays.
    virtual void removeFileIfPresent(const std::string& path) = 0;
    // Null when the file cannot be opened for reading (missing, a folder, a symbolic link,
    // no permission).
    virtual std::unique_ptr<FileReader> openForReading(const std::string& path) = 0;
    // A new file for the path (platform::OutputFile: written under a temporary name and
    // renamed over the path by close(), so a link there is replaced, never followed, and a
    // replaced file keeps its mode); null when it cannot.
    virtual std::unique_ptr<FileWriter> createForWriting(const std::string& path) = 0;

    // Writes each key=value into [section] of a settings file, all in one replacement;
    // throws base::Exception "Unable to write to <file>" (cause nested) when it cannot, as
    // platform::writeProfileStrings does.
    virtual void writeProfileStrings(const std::string& file, const std::string& section,
                                     const std::vector<platform::ProfileEntry>& entries) = 0;
};

}  // namespace engine
