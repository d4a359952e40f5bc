#include "files.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <utility>
#include <vector>

namespace platform {

namespace {

std::string currentFolder() {
    std::vector<char> buffer(256);
    while (::getcwd(buffer.data(), buffer.size()) == nullptr) {
        if (errno != ERANGE) throw ESystemError("Cannot read", "the current folder", errno);
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

// A name beside path for a new file of ours: hidden, and told apart by process and count.
std::string temporaryNameBeside(const std::string& path) {
    static std::atomic<unsigned> counter{0};
    const std::size_t slash = path.rfind('/');
    const std::string folder =
        slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    const std::string name = path.substr(folder.size()).substr(0, 200);
    return folder + "." + name + ".tmp-" + std::to_string(::getpid()) + "-" +
           std::to_string(counter++);
}

// Makes a rename in the folder durable where the file system can; a failure there loses
// nothing that is not lost anyway after a crash, so it is not reported.
void syncFolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "."
                               : slash == 0               ? "/"
                                                          : path.substr(0, slash);
    const FileDescriptor descriptor = openFile(folder, O_RDONLY | O_DIRECTORY);
    if (descriptor) ::fsync(descriptor.get());
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
    if (::unlink(path.c_str()) != 0 && errno != ENOENT)
        throw ESystemError("Cannot remove", path, errno);
}

// ---- InputFile ----

InputFile::InputFile(FileDescriptor file, std::string path)
    : m_file(std::move(file)), m_path(std::move(path)) {}

std::optional<InputFile> InputFile::open(const std::string& path) {
    FileDescriptor file = openWithoutWaiting(path, O_RDONLY | O_NOFOLLOW);
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

OutputFile::OutputFile(FileDescriptor file, std::string path, std::string temporary,
                       std::optional<mode_t> keptMode)
    : m_file(std::move(file)),
      m_path(std::move(path)),
      m_temporary(std::move(temporary)),
      m_keptMode(keptMode) {}

OutputFile::OutputFile(OutputFile&& other) noexcept
    : m_file(std::move(other.m_file)),
      m_path(std::move(other.m_path)),
      m_temporary(std::exchange(other.m_temporary, std::string())),
      m_keptMode(other.m_keptMode) {}

OutputFile& OutputFile::operator=(OutputFile&& other) noexcept {
    if (this == &other) return *this;
    discard();
    m_file = std::move(other.m_file);
    m_path = std::move(other.m_path);
    m_temporary = std::exchange(other.m_temporary, std::string());
    m_keptMode = other.m_keptMode;
    return *this;
}

OutputFile::~OutputFile() { discard(); }

std::optional<OutputFile> OutputFile::create(const std::string& path) {
    const auto there = identityAt(AT_FDCWD, path, false);
    if (there && S_ISDIR(there->mode)) {
        errno = EISDIR;
        return std::nullopt;
    }
    if (there && !S_ISREG(there->mode) && !S_ISLNK(there->mode)) {
        FileDescriptor file = openWithoutWaiting(path, O_WRONLY | O_NOFOLLOW);
        if (!file) return std::nullopt;
        return OutputFile(std::move(file), path, std::string(), std::nullopt);
    }
    std::optional<mode_t> keptMode;
    if (there && S_ISREG(there->mode)) keptMode = there->mode & 0777;
    for (unsigned attempt = 0; attempt < 100; ++attempt) {
        std::string temporary = temporaryNameBeside(path);
        FileDescriptor file = openFile(temporary, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW, 0644);
        if (file) return OutputFile(std::move(file), path, std::move(temporary), keptMode);
        if (errno != EEXIST) return std::nullopt;
    }
    return std::nullopt;
}

void OutputFile::writeAll(const char* data, std::size_t size) {
    if (!m_file) throw ESystemError("Cannot write", m_path, EBADF);
    platform::writeAll(m_file.get(), std::string_view(data, size), m_path);
}

void OutputFile::close() {
    if (!m_file) return;
    int error = 0;
    if (::fsync(m_file.get()) != 0 && errno != EINVAL) error = errno;
    if (error == 0 && m_keptMode && ::fchmod(m_file.get(), *m_keptMode) != 0) error = errno;
    if (!m_file.close() && error == 0) error = errno;
    if (!m_temporary.empty()) {
        if (error == 0 && ::rename(m_temporary.c_str(), m_path.c_str()) != 0) error = errno;
        if (error != 0) ::unlink(m_temporary.c_str());
        if (error == 0) syncFolderOf(m_path);
        m_temporary.clear();
    }
    if (error != 0) throw ESystemError("Cannot write", m_path, error);
}

void OutputFile::discard() {
    if (!m_file) return;
    m_file.reset();
    if (!m_temporary.empty()) ::unlink(m_temporary.c_str());
    m_temporary.clear();
}

}  // namespace platform
