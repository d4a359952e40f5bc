#pragma once
// Files and folders through plain POSIX calls: the few operations the installation engine
// needs, with errors it can act on (a result or a SystemError, never a silent short count).

#include <cstddef>
#include <optional>
#include <string>

#include "system.h"

namespace platform {

// True when the path exists (following links) and is a folder.
bool folderExists(const std::string& path);

// Makes one folder (no parents), mode 0777 less the umask; false when it could not (exists
// already, parent missing, empty path...).
bool createFolder(const std::string& path);

// The path made absolute against the current folder, lexically (no link resolution): "."
// parts and repeated '/' are dropped, ".." removes the part before it (never above "/"),
// and a final '/' is kept. An empty path gives the current folder. Throws SystemError when
// the current folder cannot be read (it was removed, for instance).
std::string absolutePath(const std::string& path);

// Removes a file (not a folder); false when missing or not removable. A symbolic link is
// removed itself, not what it points to.
bool removeFile(const std::string& path);

// Removes a file (a symbolic link itself, never a folder) when there is one; nothing there is
// no error. Throws SystemError("Cannot remove", path, errno) when one is there and stays.
void removeFileIfPresent(const std::string& path);

// A file opened for reading (O_RDONLY|O_CLOEXEC); RAII, movable, not copyable.
class InputFile {
public:
    // nullopt when the file cannot be opened or is a folder (errno then tells why). A named
    // pipe is opened without waiting for a writer (without one it reads as empty).
    static std::optional<InputFile> open(const std::string& path);


    // Up to size bytes; retries on EINTR and keeps reading after a short read until size
    // bytes came or end of file, so a count below size means the end was reached (0 only at
    // the end). Throws SystemError on a read error.
    std::size_t read(char* buffer, std::size_t size);

private:
    InputFile(FileDescriptor file, std::string path);

    FileDescriptor m_file;
    std::string m_path;
};

// A file created for writing (O_WRONLY|O_CREAT|O_TRUNC|O_CLOEXEC, mode 0644 & umask),
// replacing the contents of an existing one; RAII, movable, not copyable. Destroying it
// without close() closes it without flushing to disc and without reporting errors.
class OutputFile {
public:
    // nullopt when the file cannot be created (errno then tells why); a named pipe without
    // a reader fails at once (ENXIO) rather than waiting for one.
    static std::optional<OutputFile> create(const std::string& path);


    // All bytes or SystemError (a short write is retried; ENOSPC etc. raise). Also raises
    // after close().
    void writeAll(const char* data, std::size_t size);

    // fsync + close; throws SystemError when either fails. Files that cannot be synced
    // (devices, pipes: EINVAL) are only closed. The file is closed afterwards in every case;
    // a second call does nothing.
    void close();

    // Closes without flushing and removes the file at the path when it is still the regular
    // file this opened (a device, a pipe or a file put there since stays as it is), so that
    // no truncated copy is left looking done. Errors are ignored; after close() it does
    // nothing.
    void discard();

private:
    OutputFile(FileDescriptor file, std::string path);

    FileDescriptor m_file;
    std::string m_path;
};

}  // namespace platform
