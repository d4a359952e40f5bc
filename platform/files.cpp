#include "files.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <utility>
#include <vector>

namespace platform {

namespace {

std::string errorText(const std::string& what, const std::string& path, int error) {
    return what + " " + path + ": " + std::strerror(error);
}

std::string currentFolder() {
    std::vector<char> buffer(256);
    while (::getcwd(buffer.data(), buffer.size()) == nullptr) {
        if (errno != ERANGE) throw FileError(errorText("Cannot read", "the current folder", errno));
        buffer.resize(buffer.size() * 2);
    }
    return buffer.data();
}

// Appends the '/'-separated parts of path to parts, resolving "." and ".." lexically.
void appendParts(std::vector<std::string>& parts, const std::string& path) {
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find('/', start);
        if (end == std::string::npos) end = path.size();
        const std::string part = path.substr(start, end - start);
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
}

// Opens without waiting for the other end of a named pipe (a reader then sees an empty
// file, a writer fails with ENXIO), then makes the descriptor blocking again.
int openWithoutWaiting(const std::string& path, int flags, mode_t mode = 0) {
    const int descriptor = ::open(path.c_str(), flags | O_NONBLOCK, mode);
    if (descriptor >= 0) ::fcntl(descriptor, F_SETFL, ::fcntl(descriptor, F_GETFL) & ~O_NONBLOCK);
    return descriptor;
}

void closeDescriptor(int& descriptor) {
    if (descriptor >= 0) ::close(descriptor);
    descriptor = -1;
}

}  // namespace

bool folderExists(const std::string& path) {
    struct stat status {};
    return !path.empty() && ::stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

bool createFolder(const std::string& path) {
    return !path.empty() && ::mkdir(path.c_str(), 0777) == 0;
}

std::string absolutePath(const std::string& path) {
    std::vector<std::string> parts;
    if (path.empty() || path.front() != '/') appendParts(parts, currentFolder());
    appendParts(parts, path);
    std::string result;
    for (const std::string& part : parts) result += "/" + part;
    if (result.empty()) return "/";
    if (!path.empty() && path.back() == '/') result += '/';
    return result;
}

bool removeFile(const std::string& path) { return !path.empty() && ::unlink(path.c_str()) == 0; }

// ---- InputFile ----

InputFile::InputFile(int descriptor, std::string path)
    : m_descriptor(descriptor), m_path(std::move(path)) {}

std::optional<InputFile> InputFile::open(const std::string& path) {
    const int descriptor = openWithoutWaiting(path, O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) return std::nullopt;
    struct stat status {};
    if (::fstat(descriptor, &status) != 0 || S_ISDIR(status.st_mode)) {
        const int error = S_ISDIR(status.st_mode) ? EISDIR : errno;
        ::close(descriptor);
        errno = error;
        return std::nullopt;
    }
    return InputFile(descriptor, path);
}

InputFile::InputFile(InputFile&& other) noexcept
    : m_descriptor(std::exchange(other.m_descriptor, -1)), m_path(std::move(other.m_path)) {}

InputFile& InputFile::operator=(InputFile&& other) noexcept {
    if (this != &other) {
        closeDescriptor(m_descriptor);
        m_descriptor = std::exchange(other.m_descriptor, -1);
        m_path = std::move(other.m_path);
    }
    return *this;
}

InputFile::~InputFile() { closeDescriptor(m_descriptor); }

std::size_t InputFile::read(char* buffer, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t count = ::read(m_descriptor, buffer + done, size - done);
        if (count == 0) break;
        if (count < 0) {
            if (errno == EINTR) continue;
            throw FileError(errorText("Cannot read", m_path, errno));
        }
        done += static_cast<std::size_t>(count);
    }
    return done;
}

// ---- OutputFile ----

OutputFile::OutputFile(int descriptor, std::string path)
    : m_descriptor(descriptor), m_path(std::move(path)) {}

std::optional<OutputFile> OutputFile::create(const std::string& path) {
    const int descriptor = openWithoutWaiting(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (descriptor < 0) return std::nullopt;
    return OutputFile(descriptor, path);
}

OutputFile::OutputFile(OutputFile&& other) noexcept
    : m_descriptor(std::exchange(other.m_descriptor, -1)), m_path(std::move(other.m_path)) {}

OutputFile& OutputFile::operator=(OutputFile&& other) noexcept {
    if (this != &other) {
        closeDescriptor(m_descriptor);
        m_descriptor = std::exchange(other.m_descriptor, -1);
        m_path = std::move(other.m_path);
    }
    return *this;
}

OutputFile::~OutputFile() { closeDescriptor(m_descriptor); }

void OutputFile::writeAll(const char* data, std::size_t size) {
    if (m_descriptor < 0) throw FileError(errorText("Cannot write to", m_path, EBADF));
    std::size_t done = 0;
    while (done < size) {
        const ssize_t count = ::write(m_descriptor, data + done, size - done);
        if (count < 0) {
            if (errno == EINTR) continue;
            throw FileError(errorText("Cannot write to", m_path, errno));
        }
        done += static_cast<std::size_t>(count);
    }
}

void OutputFile::close() {
    if (m_descriptor < 0) return;
    const int descriptor = std::exchange(m_descriptor, -1);
    int error = 0;
    if (::fsync(descriptor) != 0 && errno != EINVAL) error = errno;
    // Linux releases the descriptor even when close() fails, so it is never retried.
    if (::close(descriptor) != 0 && error == 0 && errno != EINTR) error = errno;
    if (error != 0) throw FileError(errorText("Cannot write to", m_path, error));
}

}  // namespace platform
