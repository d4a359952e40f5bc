#pragma once
// The one thin layer over the system calls that the rest of the platform code uses: an owned
// descriptor, reading and writing everything, opening a folder without following a link,
// the identity of an open file, and one error type that says what failed, where and why.

#include <errno.h>
#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include "base/errors.h"

namespace platform {

// A failed system operation: what was being done ("Cannot open"), the path it was done on,
// and the errno value. what() reads "<operation> <path>: <reason>", the reason being the
// system's text for the errno value unless one is given.
class ESystemError : public base::Exception {
public:
    ESystemError(std::string operation, std::string path, int error,
                 const std::string& reason = {});

    const std::string& operation() const { return m_operation; }
    const std::string& path() const { return m_path; }
    int error() const { return m_error; }

private:
    std::string m_operation;
    std::string m_path;
    int m_error;
};

// Calls a system call again while it fails with EINTR.
template <typename Call>
auto retried(Call call) {
    decltype(call()) result;
    do {
        result = call();
    } while (result == -1 && errno == EINTR);
    return result;
}

// Owns one descriptor and closes it when it goes; movable, not copyable. -1 is "none".
class FileDescriptor {
public:
    FileDescriptor() = default;
    explicit FileDescriptor(int descriptor) : m_descriptor(descriptor) {}
    FileDescriptor(FileDescriptor&& other) noexcept;
    FileDescriptor& operator=(FileDescriptor&& other) noexcept;
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() { reset(); }

    int get() const { return m_descriptor; }
    bool valid() const { return m_descriptor >= 0; }
    explicit operator bool() const { return valid(); }
    // Gives up ownership without closing.
    int release();
    // Closes the one held (errors ignored) and takes descriptor.
    void reset(int descriptor = -1);
    // Closes it now; false when close() reported an error (a late write error on some file
    // systems), errno then tells which. Linux releases the descriptor either way.
    bool close();

private:
    int m_descriptor = -1;
};

// open(2), always close-on-exec and retried on EINTR; an invalid descriptor with errno set
// when it fails.
FileDescriptor openFile(const std::string& path, int flags, mode_t mode = 0);

// openat(2) likewise, relative to folder (AT_FDCWD: the current folder).
FileDescriptor openFileAt(int folder, const std::string& name, int flags, mode_t mode = 0);

// Opens a folder for reading its entries; a symbolic link in its place (the last component)
// makes it fail (ELOOP or ENOTDIR), so a folder swapped for a link is never followed.
FileDescriptor openFolderNoFollow(int folder, const std::string& name);

// What identifies a file: its device and inode, and the mount it was reached through where
// the kernel tells (statx STATX_MNT_ID); with its type and size.
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::uint64_t mountId = 0;
    bool hasMountId = false;
    mode_t mode = 0;  // type and permission bits
    std::uint64_t size = 0;
    uid_t owner = 0;
    gid_t group = 0;

    // The same file: same device and inode (the mount is not compared).
    bool sameFile(const FileIdentity& other) const {
        return device == other.device && inode == other.inode;
    }
    // The same file reached through the same mount, where both mounts are known.
    bool sameFileAndMount(const FileIdentity& other) const {
        return sameFile(other) && (!hasMountId || !other.hasMountId || mountId == other.mountId);
    }
};

// The identity of the open file; nullopt with errno set when statx fails.
std::optional<FileIdentity> identityOf(int descriptor);

// The identity of name in folder (AT_FDCWD: relative to the current folder); a link is
// looked at itself, not followed, unless followLinks.
std::optional<FileIdentity> identityAt(int folder, const std::string& name, bool followLinks);

// Writes every byte, retrying short writes and EINTR; throws ESystemError("Cannot write",
// path, errno) when the system refuses (no room, a broken pipe, a closed descriptor).
void writeAll(int descriptor, std::string_view data, const std::string& path);

// Reads up to size bytes into buffer, going on after short reads until size bytes came or
// the end was reached (a smaller count means the end). Throws ESystemError("Cannot read",
// path, errno) on a read error; EAGAIN (nothing to read now on a non-blocking descriptor)
// counts as an error too, so that a reader never spins or waits on a pipe.
std::size_t readFully(int descriptor, char* buffer, std::size_t size, const std::string& path);

// Everything from the current position to the end, at most limit bytes: more than that
// throws ESystemError("Cannot read", path, EFBIG) naming the limit. Read errors as readFully.
std::string readAll(int descriptor, const std::string& path, std::size_t limit);

// The whole file at path when it is a regular file of at most limit bytes (a link to one is
// followed only with followLink); nullopt when it does not exist. Opened without waiting
// (O_NONBLOCK), so a named pipe never blocks the caller. Throws ESystemError naming the path
// otherwise: not a regular file (a pipe, a device such as /dev/zero, a folder), a link
// without followLink (ELOOP), larger than limit, no permission, a read error.
std::optional<std::string> readRegularFile(const std::string& path, std::size_t limit,
                                           bool followLink = true);

}  // namespace platform
