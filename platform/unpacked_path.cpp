// Where the extractor puts an entry.

#include <vector>

#include "zip_listing.h"

namespace platform {

namespace {

std::vector<std::string> parts(std::string_view path) {
    std::vector<std::string> names;
    while (!path.empty()) {
        const std::size_t slash = path.find('/');
        const std::string_view name = path.substr(0, slash);
        if (!name.empty() && name != "." && name != "..") names.emplace_back(name);
        path = slash == std::string_view::npos ? std::string_view() : path.substr(slash + 1);
    }
    return names;
}

std::string joined(const std::vector<std::string>& names, std::size_t count) {
    std::string path;
    for (std::size_t i = 0; i < count; ++i) path += (i == 0 ? "" : "/") + names[i];
    return path;
}

}  // namespace

std::string unpackedPath(std::string_view entryName) {
    const std::vector<std::string> names = parts(entryName);
    return joined(names, names.size());
}

}  // namespace platform
