#include "atomic_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <stdexcept>

namespace platform {

namespace {

[[noreturn]] void throwFailure(const std::string& what, const std::string& path, int error) {
    throw std::runtime_error(what + " " + path + ": " + std::strerror(error));
}

// Retries a system call that was interrupted by a signal.
template <typename Call>
auto retried(Call call) {
    decltype(call()) result;
    do {
        result = call();
    } while (result == -1 && errno == EINTR);
    return result;
}

int openLockFile(const std::string& path) {
    int fd = retried([&] { return ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666); });
    // A lock file that exists but may not be written can still be locked through a read handle.
    if (fd == -1 && errno == EACCES) {
        fd = retried([&] { return ::open(path.c_str(), O_RDONLY | O_CLOEXEC); });
    }
    if (fd == -1) throwFailure("Cannot open the lock file", path, errno);
    return fd;
}

bool isSameFile(int fd, const std::string& path) {
    struct stat held {};
    struct stat linked {};
    return ::fstat(fd, &held) == 0 && ::stat(path.c_str(), &linked) == 0 &&
           held.st_dev == linked.st_dev && held.st_ino == linked.st_ino;
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

void writeFully(int fd, std::string_view contents, const std::string& path) {
    while (!contents.empty()) {
        const ssize_t written =
            retried([&] { return ::write(fd, contents.data(), contents.size()); });
        if (written == -1) throwFailure("Cannot write", path, errno);
        contents.remove_prefix(static_cast<std::size_t>(written));
    }
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
        for (int attempt = 0; attempt < 100 && m_fd == -1; ++attempt) {
            m_path = stem + std::to_string(counter++);
            // 0666 lets the umask decide the mode of a new file, as for any other new file.
            m_fd = retried([&] {
                return ::open(m_path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            });
            if (m_fd == -1 && errno != EEXIST) throwFailure("Cannot replace", target, errno);
        }
        if (m_fd == -1) throwFailure("Cannot replace", target, EEXIST);
    }
    ~TemporaryFile() {
        if (m_fd != -1) ::close(m_fd);
        if (!m_renamed) ::unlink(m_path.c_str());
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    int descriptor() const { return m_fd; }
    // Closes the file, reporting a failed close (a late write error on some file systems).
    bool close() {
        const int result = ::close(m_fd);
        m_fd = -1;
        return result == 0;
    }
    bool renameTo(const std::string& target) {
        m_renamed = ::rename(m_path.c_str(), target.c_str()) == 0;
        return m_renamed;
    }

private:
    std::string m_path;
    int m_fd = -1;
    bool m_renamed = false;
};

void keepOwnerAndMode(int fd, const struct stat& old, const std::string& path) {
    // Ownership first: changing the owner clears set-id bits that the mode then restores. A
    // process that may not give the file away keeps the new file as its own.
    if (::fchown(fd, old.st_uid, old.st_gid) != 0) {
        // Not permitted; nothing is lost but the old owner.
    }
    if (::fchmod(fd, old.st_mode & 07777) != 0) {
        throwFailure("Cannot keep the mode of", path, errno);
    }
}

void syncFolder(const std::string& folder, const std::string& path) {
    const int fd =
        retried([&] { return ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); });
    if (fd == -1) throwFailure("Cannot flush the folder of", path, errno);
    const int result = ::fsync(fd);
    const int error = errno;
    ::close(fd);
    // Some file systems cannot flush folders at all; the rename is then as durable as it gets.
    if (result != 0 && error != EINVAL) throwFailure("Cannot flush the folder of", path, error);
}

}  // namespace

FileLock::FileLock(const std::string& lockPath) : m_path(lockPath) {
    for (;;) {
        const int fd = openLockFile(m_path);
        if (retried([&] { return ::flock(fd, LOCK_EX); }) != 0) {
            const int error = errno;
            ::close(fd);
            throwFailure("Cannot lock", m_path, error);
        }
        if (isSameFile(fd, m_path)) {
            m_descriptor = fd;
            return;
        }
        ::close(fd);  // the holder before us removed that file: lock the current one
    }
}

FileLock::~FileLock() {
    // Removed while still held, so that a waiter on this file notices and starts over.
    ::unlink(m_path.c_str());
    ::close(m_descriptor);
}

std::optional<std::string> readWholeFile(const std::string& path) {
    const int fd = retried([&] { return ::open(path.c_str(), O_RDONLY | O_CLOEXEC); });
    if (fd == -1) {
        if (errno == ENOENT) return std::nullopt;
        throwFailure("Cannot open", path, errno);
    }
    std::string contents;
    char buffer[65536];
    for (;;) {
        const ssize_t got = retried([&] { return ::read(fd, buffer, sizeof buffer); });
        if (got == 0) break;
        if (got == -1) {
            const int error = errno;
            ::close(fd);
            throwFailure("Cannot read", path, error);
        }
        contents.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(fd);
    return contents;
}

void replaceFileAtomically(const std::string& path, std::string_view contents) {
    struct stat old {};
    const bool hadFile = ::stat(path.c_str(), &old) == 0 && S_ISREG(old.st_mode);
    TemporaryFile temporary(path);
    writeFully(temporary.descriptor(), contents, path);
    if (hadFile) keepOwnerAndMode(temporary.descriptor(), old, path);
    if (::fsync(temporary.descriptor()) != 0) throwFailure("Cannot flush", path, errno);
    if (!temporary.close()) throwFailure("Cannot write", path, errno);
    if (!temporary.renameTo(path)) throwFailure("Cannot replace", path, errno);
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
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) return false;
    if ((status.st_mode & 0222) == 0) return false;
    return ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) == 0;
}

}  // namespace platform
