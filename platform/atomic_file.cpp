#include "atomic_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <filesystem>

namespace platform {

namespace {

// Lock files are ours: a link, a file of another user or one with other names (hard links)
// in its place is never used, so nothing planted at the lock's name can be reached.
constexpr int kLockFlags = O_NOFOLLOW | O_NONBLOCK;

FileDescriptor openLockFile(const std::string& path) {
    FileDescriptor fd = openFile(path, O_RDWR | O_CREAT | kLockFlags, 0666);
    // A lock file that exists but may not be written can still be locked through a read handle.
    if (!fd && errno == EACCES) fd = openFile(path, O_RDONLY | kLockFlags);
    if (!fd && errno == ELOOP) {
        throw ESystemError("Cannot open the lock file", path, ELOOP, "it is a symbolic link");
    }
    if (!fd) throw ESystemError("Cannot open the lock file", path, errno);
    const auto identity = identityOf(fd.get());
    if (!identity) throw ESystemError("Cannot open the lock file", path, errno);
    if (!S_ISREG(identity->mode)) {
        throw ESystemError("Cannot use the lock file", path, EINVAL, "it is not a regular file");
    }
    if (identity->owner != ::geteuid()) {
        throw ESystemError("Cannot use the lock file", path, EPERM, "it belongs to another user");
    }
    return fd;
}

bool isSameFile(int fd, const std::string& path) {
    const auto held = identityOf(fd);
    const auto linked = identityAt(AT_FDCWD, path, false);
    return held && linked && held->sameFile(*linked);
}

// A lock file that has other names is somebody's file linked here, not ours.
void requireSingleName(int fd, const std::string& path) {
    struct stat status {};
    if (::fstat(fd, &status) == 0 && status.st_nlink > 1) {
        throw ESystemError("Cannot use the lock file", path, EPERM,
                           "it has other names (hard links)");
    }
}

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

std::string nameOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Long names are cut so that the temporary names stay within the name limit.
constexpr std::size_t kLongestNameKept = 200;

// The start of the names of the target's temporary files.
std::string temporaryPrefix(const std::string& target) {
    return "." + nameOf(target).substr(0, kLongestNameKept) + ".tmp-";
}

// A new file beside the target, removed again unless it was renamed into place.
class TemporaryFile {
public:
    explicit TemporaryFile(const std::string& target) {
        static std::atomic<unsigned> counter{0};
        const std::string stem =
            folderOf(target) + "/" + temporaryPrefix(target) + std::to_string(::getpid()) + "-";
        for (int attempt = 0; attempt < 100 && !m_file; ++attempt) {
            m_path = stem + std::to_string(counter++);
            // 0666 lets the umask decide the mode of a new file, as for any other new file.
            m_file = openFile(m_path, O_WRONLY | O_CREAT | O_EXCL, 0666);
            if (!m_file && errno != EEXIST) throw ESystemError("Cannot replace", target, errno);
        }
        if (!m_file) throw ESystemError("Cannot replace", target, EEXIST);
    }
    ~TemporaryFile() {
        m_file.reset();
        if (!m_renamed) ::unlink(m_path.c_str());
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    int descriptor() const { return m_file.get(); }
    // Closes the file, reporting a failed close (a late write error on some file systems).
    bool close() { return m_file.close(); }
    bool renameTo(const std::string& target) {
        m_renamed = ::rename(m_path.c_str(), target.c_str()) == 0;
        return m_renamed;
    }

private:
    std::string m_path;
    FileDescriptor m_file;
    bool m_renamed = false;
};

void keepOwnerAndMode(int fd, const FileIdentity& old, const std::string& path) {
    // Ownership first: changing the owner clears set-id bits that the mode then restores. A
    // process that may not give the file away keeps the new file as its own.
    if (::fchown(fd, old.owner, old.group) != 0) {
        // Not permitted; nothing is lost but the old owner.
    }
    if (::fchmod(fd, old.mode & 07777) != 0)
        throw ESystemError("Cannot keep the mode of", path, errno);
}

void syncFolder(const std::string& folder, const std::string& path) {
    FileDescriptor fd = openFile(folder, O_RDONLY | O_DIRECTORY);
    if (!fd) throw ESystemError("Cannot flush the folder of", path, errno);
    // Some file systems cannot flush folders at all; the rename is then as durable as it gets.
    if (::fsync(fd.get()) != 0 && errno != EINVAL) {
        throw ESystemError("Cannot flush the folder of", path, errno);
    }
}

}  // namespace

FileLock::FileLock(const std::string& lockPath) : m_path(lockPath) {
    for (;;) {
        FileDescriptor fd = openLockFile(m_path);
        if (retried([&] { return ::flock(fd.get(), LOCK_EX); }) != 0) {
            throw ESystemError("Cannot lock", m_path, errno);
        }
        if (isSameFile(fd.get(), m_path)) {
            requireSingleName(fd.get(), m_path);
            m_file = std::move(fd);
            return;
        }
        // The holder before us removed that file: lock the current one.
    }
}

FileLock::~FileLock() {
    // Removed while still held, so that a waiter on this file notices and starts over.
    ::unlink(m_path.c_str());
}

void replaceFileAtomically(const std::string& path, std::string_view contents,
                           std::optional<mode_t> mode) {
    const auto old = identityAt(AT_FDCWD, path, false);
    const bool hadFile = old && S_ISREG(old->mode);
    TemporaryFile temporary(path);
    writeAll(temporary.descriptor(), contents, path);
    if (mode) {
        if (::fchmod(temporary.descriptor(), *mode) != 0)
            throw ESystemError("Cannot set the mode of", path, errno);
    } else if (hadFile) {
        keepOwnerAndMode(temporary.descriptor(), *old, path);
    }
    if (::fsync(temporary.descriptor()) != 0) throw ESystemError("Cannot flush", path, errno);
    if (!temporary.close()) throw ESystemError("Cannot write", path, errno);
    if (!temporary.renameTo(path)) throw ESystemError("Cannot replace", path, errno);
    syncFolder(folderOf(path), path);
}

void removeStaleTemporaries(const std::string& path) {
    // A cut name could be shared with another file, whose writers do not hold our lock.
    if (nameOf(path).size() >= kLongestNameKept) return;
    const std::string prefix = temporaryPrefix(path);
    std::error_code error;
    for (std::filesystem::directory_iterator it(folderOf(path), error), end; !error && it != end;
         it.increment(error)) {
        if (it->path().filename().string().starts_with(prefix)) {
            std::filesystem::remove(it->path(), error);
            error.clear();
        }
    }
}

bool mayWrite(const std::string& path) {
    const auto identity = identityAt(AT_FDCWD, path, true);
    if (!identity || (identity->mode & 0222) == 0) return false;
    return ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) == 0;
}

}  // namespace platform
