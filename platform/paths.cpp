#include "paths.h"

namespace platform {

std::string withoutFinalSeparator(std::string_view path) {
    if (!path.empty() && path.back() == '/') path.remove_suffix(1);
    return std::string(path);
}

std::string withFinalSeparator(std::string_view path) {
    while (!path.empty() && path.back() == '/') path.remove_suffix(1);
    return std::string(path) + '/';
}

std::string folderPart(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash + 1));
}

std::string fileNamePart(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

}  // namespace platform
