#include "files.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <utility>
#include <vector>

namespace platform {

namespace {

std::string currentFolder() {
    std::vector<char> buffer(256);
    while (::getcwd(buffer.data(), buffer.size()) == nullptr) {
        if (errno != ERANGE) throw SystemError("Cannot read", "the current folder", errno);
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
FileDescriptor openWithoutWaiting(const std::string& path, int flags, mode_t mode = 0) {
    FileDescriptor file = openFile(path, flags | O_NONBLOCK, mode);
    if (file) ::fcntl(file.get(), F_SETFL, ::fcntl(file.get(), F_GETFL) & ~O_NONBLOCK);
    return file;
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

void removeFileIfPresent(const std::string& path) {
    if (::unlink(path.c_str()) != 0 && errno != ENOENT) throw SystemError("Cannot remove", path, errno);
}

// ---- InputFile ----

InputFile::InputFile(FileDescriptor file, std::string path)
    : m_file(std::move(file)), m_path(std::move(path)) {}

std::optional<InputFile> InputFile::open(const std::string& path) {
    FileDescriptor file = openWithoutWaiting(path, O_RDONLY);
    if (!file) return std::nullopt;
    const auto identity = identityOf(file.get());
    if (!identity || S_ISDIR(identity->mode)) {
        if (identity) errno = EISDIR;
        return std::nullopt;
    }
    return InputFile(std::move(file), path);
}

std::size_t InputFile::read(char* buffer, std::size_t size) {
    return readFully(m_file.get(), buffer, size, m_path);
}

// ---- OutputFile ----

OutputFile::OutputFile(FileDescriptor file, std::string path)
    : m_file(std::move(file)), m_path(std::move(path)) {}

std::optional<OutputFile> OutputFile::create(const std::string& path) {
    FileDescriptor file = openWithoutWaiting(path, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (!file) return std::nullopt;
    return OutputFile(std::move(file), path);
}

void OutputFile::writeAll(const char* data, std::size_t size) {
    if (!m_file) throw SystemError("Cannot write", m_path, EBADF);
    platform::writeAll(m_file.get(), std::string_view(data, size), m_path);
}

void OutputFile::close() {
    if (!m_file) return;
    int error = 0;
    if (::fsync(m_file.get()) != 0 && errno != EINVAL) error = errno;
    if (!m_file.close() && error == 0) error = errno;
    if (error != 0) throw SystemError("Cannot write", m_path, error);
}

void OutputFile::discard() {
    if (!m_file) return;
    const auto written = identityOf(m_file.get());
    m_file.reset();
    if (!written || !S_ISREG(written->mode)) return;
    const auto there = identityAt(AT_FDCWD, m_path, false);
    if (there && there->sameFile(*written)) ::unlink(m_path.c_str());
}

}  // namespace platform
