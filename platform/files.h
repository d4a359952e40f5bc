#pragma once
// Files and folders through plain POSIX calls: the few operations the installation engine
// needs, with errors it can act on (a result or a ESystemError, never a silent short count).

#include <cstddef>
#include <optional>
#include <string>

#include <sys/types.h>

#include "system.h"

namespace platform {

// True when the path exists (following links) and is a folder.
bool folderExists(const std::string& path);

// Makes one folder (no parents), mode 0777 less the umask; false when it could not (exists
// already, parent missing, empty path...).
bool createFolder(const std::string& path);

// The path made absolute against the current folder, lexically (no link resolution): "."
// parts and repeated '/' are dropped, ".." removes the part before it (never above "/"),
// and a final '/' is kept. An empty path gives the current folder. Throws ESystemError when
// the current folder cannot be read (it was removed, for instance).
std::string absolutePath(const std::string& path);

// Removes a file (not a folder); false when missing or not removable. A symbolic link is
// removed itself, not what it points to.
bool removeFile(const std::string& path);

// Removes a file (a symbolic link itself, never a folder) when there is one; nothing there is
// no error. Throws ESystemError("Cannot remove", path, errno) when one is there and stays.
void removeFileIfPresent(const std::string& path);

// A file opened for reading (O_RDONLY|O_NOFOLLOW|O_CLOEXEC); RAII, movable, not copyable.
class InputFile {
public:
    // nullopt when the file cannot be opened, is a folder or a symbolic link (ELOOP: a link
    // is never followed) (errno then tells why). A named pipe is opened without waiting for
    // a writer (without one it reads as empty).
    static std::optional<InputFile> open(const std::string& path);

    // Up to size bytes; retries on EINTR and keeps reading after a short read until size
    // bytes came or end of file, so a count below size means the end was reached (0 only at
    // the end). Throws ESystemError on a read error.
    std::size_t read(char* buffer, std::size_t size);

private:
    InputFile(FileDescriptor file, std::string path);

    FileDescriptor m_file;
    std::string m_path;
};

// A file being written at a path; RAII, movable, not copyable. Where the path is free, or
// holds a regular file or a symbolic link, the bytes go to a new file made exclusively
// beside it under a temporary name (O_CREAT|O_EXCL|O_NOFOLLOW, mode 0644 & umask), which
// close() renames over the path: a link there is replaced, never followed, and a replaced
// regular file's mode is kept. Anything else at the path (a device, a named pipe) is opened
// itself, never replaced (O_NOFOLLOW). Destroyed or assigned over without close(), it
// closes without flushing and removes its temporary file: nothing half written is left.
class OutputFile {
public:
    // nullopt when the file cannot be created (errno then tells why): a folder at the path
    // (EISDIR), a missing or unwritable folder; a named pipe without a reader fails at once
    // (ENXIO) rather than waiting for one.
    static std::optional<OutputFile> create(const std::string& path);

    OutputFile(OutputFile&& other) noexcept;
    OutputFile& operator=(OutputFile&& other) noexcept;
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;
    ~OutputFile();

    // All bytes or ESystemError (a short write is retried; ENOSPC etc. raise). Also raises
    // after close().
    void writeAll(const char* data, std::size_t size);

    // fsync, close and (for a new file) the rename over the path; throws ESystemError when
    // any of them fails, and the path then keeps what it held. Files that cannot be synced
    // (devices, pipes: EINVAL) are only closed. The file is closed afterwards in every case;
    // a second call does nothing.
    void close();

    // Closes without flushing and removes the temporary file; what is at the path stays as it
    // is. Errors are ignored; after close() it does nothing.
    void discard();

private:
    OutputFile(FileDescriptor file, std::string path, std::string temporary,
               std::optional<mode_t> keptMode);

    FileDescriptor m_file;
    std::string m_path;
    std::string m_temporary;           // "" when the file at the path is written itself
    std::optional<mode_t> m_keptMode;  // the replaced regular file's mode
};

}  // namespace platform
