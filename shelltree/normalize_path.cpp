#include "normalize_path.h"

#include "platform/files.h"

namespace shelltree {

namespace {

// One final '/' dropped, then everything after the last '/' (which stays).
void cutLastPart(std::string& path) {
    if (path.size() > 1 && path.back() == '/') path.pop_back();
    path.erase(path.rfind('/') + 1);
}

}  // namespace

std::string NormalizePath(const std::string& path) {
    if (path.empty()) return {};
    std::string result;
    try {
        result = path.front() == '/' ? path : platform::absolutePath(path);
    } catch (const platform::ESystemError&) {
        return {};
    }
    while (!platform::folderExists(result) && result.size() > 1) cutLastPart(result);
    return platform::folderExists(result) ? result : std::string();
}

}  // namespace shelltree
