#include "folder_trust.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <vector>

#include "system.h"

namespace platform {

namespace {

std::vector<std::string> namesOf(const std::string& folder) {
    std::vector<std::string> names;
    std::size_t start = 0;
    while (start < folder.size()) {
        const std::size_t slash = folder.find('/', start);
        const std::size_t end = slash == std::string::npos ? folder.size() : slash;
        if (end > start) names.push_back(folder.substr(start, end - start));
        start = end + 1;
    }
    return names;
}

std::string sentence(const std::string& path, const std::string& problem) {
    return "The folder " + path + " " + problem + ". Please choose another folder.";
}

// What is wrong with one folder on the way (or the folder itself, when last), or "".
std::string problemOf(const FileIdentity& identity, bool last) {
    if (identity.owner != ::geteuid() && identity.owner != 0) {
        return "belongs to another user, who could change what the setup writes there";
    }
    const bool othersWrite = (identity.mode & S_IWOTH) != 0;
    if (othersWrite && (last || (identity.mode & S_ISVTX) == 0)) {
        return "may be written by every user, who could change what the setup writes there";
    }
    return {};
}

}  // namespace

std::optional<std::string> untrustedFolderReason(const std::string& folder) {
    FileDescriptor current = openFile("/", O_PATH | O_DIRECTORY);
    if (!current)
        return sentence("/", std::string("cannot be checked (") + std::strerror(errno) + ")");
    const std::vector<std::string> names = namesOf(folder);
    std::string path;
    for (std::size_t i = 0; i <= names.size(); ++i) {
        const auto identity = identityOf(current.get());
        if (!identity) return sentence(path.empty() ? "/" : path, "cannot be checked");
        const std::string problem = problemOf(*identity, i == names.size());
        if (!problem.empty()) return sentence(path.empty() ? "/" : path, problem);
        if (i == names.size()) break;
        path += "/" + names[i];
        FileDescriptor next =
            openFileAt(current.get(), names[i], O_PATH | O_DIRECTORY | O_NOFOLLOW);
        if (!next && errno == ENOENT) break;  // made by the install
        if (!next)
            return sentence(path, std::string("cannot be checked (") + std::strerror(errno) + ")");
        current = std::move(next);
    }
    return std::nullopt;
}

}  // namespace platform
