#include "system.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cstring>
#include <utility>

namespace platform {

namespace {

std::string errorText(const std::string& operation, const std::string& path, int error,
                      const std::string& reason) {
    return operation + " " + path + ": " + (reason.empty() ? std::strerror(error) : reason);
}

std::optional<FileIdentity> identityFrom(int folder, const char* name, int flags) {
    struct statx status {};
    if (::statx(folder, name, flags, STATX_BASIC_STATS | STATX_MNT_ID, &status) != 0) {
        return std::nullopt;
    }
    FileIdentity identity;
    identity.device = makedev(status.stx_dev_major, status.stx_dev_minor);
    identity.inode = status.stx_ino;
    identity.hasMountId = (status.stx_mask & STATX_MNT_ID) != 0;
    identity.mountId = identity.hasMountId ? status.stx_mnt_id : 0;
    identity.mode = status.stx_mode;
    identity.size = status.stx_size;
    identity.owner = status.stx_uid;
    identity.group = status.stx_gid;
    return identity;
}

}  // namespace

ESystemError::ESystemError(std::string operation, std::string path, int error,
                           const std::string& reason)
    : base::Exception(errorText(operation, path, error, reason)),
      m_operation(std::move(operation)),
      m_path(std::move(path)),
      m_error(error) {}

FileDescriptor::FileDescriptor(FileDescriptor&& other) noexcept
    : m_descriptor(std::exchange(other.m_descriptor, -1)) {}

FileDescriptor& FileDescriptor::operator=(FileDescriptor&& other) noexcept {
    if (this != &other) reset(std::exchange(other.m_descriptor, -1));
    return *this;
}

int FileDescriptor::release() { return std::exchange(m_descriptor, -1); }

void FileDescriptor::reset(int descriptor) {
    if (m_descriptor >= 0) ::close(m_descriptor);
    m_descriptor = descriptor;
}

bool FileDescriptor::close() {
    if (m_descriptor < 0) return true;
    // Never retried: Linux has released the descriptor even when close() fails.
    const int result = ::close(std::exchange(m_descriptor, -1));
    return result == 0 || errno == EINTR;
}

FileDescriptor openFile(const std::string& path, int flags, mode_t mode) {
    return openFileAt(AT_FDCWD, path, flags, mode);
}

FileDescriptor openFileAt(int folder, const std::string& name, int flags, mode_t mode) {
    return FileDescriptor(
        retried([&] { return ::openat(folder, name.c_str(), flags | O_CLOEXEC, mode); }));
}

FileDescriptor openFolderNoFollow(int folder, const std::string& name) {
    return openFileAt(folder, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW);
}

std::optional<FileIdentity> identityOf(int descriptor) {
    return identityFrom(descriptor, "", AT_EMPTY_PATH | AT_SYMLINK_NOFOLLOW);
}

std::optional<FileIdentity> identityAt(int folder, const std::string& name, bool followLinks) {
    return identityFrom(folder, name.c_str(), followLinks ? 0 : AT_SYMLINK_NOFOLLOW);
}

void writeAll(int descriptor, std::string_view data, const std::string& path) {
    while (!data.empty()) {
        const ssize_t written =
            retried([&] { return ::write(descriptor, data.data(), data.size()); });
        if (written < 0) throw ESystemError("Cannot write", path, errno);
        data.remove_prefix(static_cast<std::size_t>(written));
    }
}

std::size_t readFully(int descriptor, char* buffer, std::size_t size, const std::string& path) {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t count =
            retried([&] { return ::read(descriptor, buffer + done, size - done); });
        if (count == 0) break;
        if (count < 0) throw ESystemError("Cannot read", path, errno);
        done += static_cast<std::size_t>(count);
    }
    return done;
}

std::string readAll(int descriptor, const std::string& path, std::size_t limit) {
    std::string contents;
    constexpr std::size_t kChunk = 65536;
    for (;;) {
        const std::size_t start = contents.size();
        // One byte beyond the limit tells a file that is too large from one that fits.
        const std::size_t room = limit - start;
        const std::size_t want = room >= kChunk ? kChunk : room + 1;
        contents.resize(start + want);
        const std::size_t got = readFully(descriptor, contents.data() + start, want, path);
        contents.resize(start + got);
        if (contents.size() > limit) {
            throw ESystemError("Cannot read", path, EFBIG,
                               "larger than the " + std::to_string(limit) + " bytes allowed");
        }
        if (got < want) return contents;
    }
}

std::optional<std::string> readRegularFile(const std::string& path, std::size_t limit,
                                           bool followLink) {
    const FileDescriptor file =
        openFile(path, O_RDONLY | O_NONBLOCK | (followLink ? 0 : O_NOFOLLOW));
    if (!file) {
        if (errno == ENOENT) return std::nullopt;
        if (errno == ELOOP) throw ESystemError("Cannot open", path, ELOOP, "it is a symbolic link");
        throw ESystemError("Cannot open", path, errno);
    }
    const auto identity = identityOf(file.get());
    if (!identity) throw ESystemError("Cannot read", path, errno);
    if (!S_ISREG(identity->mode)) {
        throw ESystemError("Cannot read", path, EINVAL, "not a regular file");
    }
    if (identity->size > limit) {
        throw ESystemError("Cannot read", path, EFBIG,
                           "larger than the " + std::to_string(limit) + " bytes allowed");
    }
    return readAll(file.get(), path, limit);
}

}  // namespace platform
