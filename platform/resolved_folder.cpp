#include "resolved_folder.h"

#include <stdlib.h>
#include <unistd.h>

#include <optional>
#include <vector>

#include "paths.h"

namespace platform {

namespace {

std::string currentFolder() {
    char* current = getcwd(nullptr, 0);
    if (current == nullptr) return "/";
    std::string folder = current;
    std::free(current);
    return folder;
}

std::optional<std::string> realPath(const std::string& path) {
    char* resolved = realpath(path.c_str(), nullptr);
    if (resolved == nullptr) return std::nullopt;
    std::string text = resolved;
    std::free(resolved);
    return text;
}

std::string parentOf(const std::string& normalPath) {
    const std::vector<std::string> above = ancestorsOf(normalPath);
    return above.empty() ? "/" : above.front();
}

std::string absolute(const std::string& folder) {
    return !folder.empty() && folder.front() == '/' ? folder : currentFolder() + "/" + folder;
}

}  // namespace

std::string absoluteFolder(const std::string& folder) { return lexicallyNormal(absolute(folder)); }

std::string resolvedFolder(const std::string& folder) {
    const std::string path = absolute(folder);
    if (auto resolved = realPath(path)) return *resolved;
    std::string resolved = "/";
    for (const std::string& part : pathComponents(path)) {
        if (part == "..") {
            resolved = parentOf(resolved);
            continue;
        }
        std::string next = resolved == "/" ? std::string() : resolved;
        next.append("/").append(part);
        resolved = realPath(next).value_or(next);
    }
    return resolved;
}

}  // namespace platform
