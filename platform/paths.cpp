#include "paths.h"

namespace platform {

namespace {

char folded(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// The length of the UTF-8 character that starts at index i.
std::size_t characterLength(std::string_view text, std::size_t i) {
    std::size_t length = 1;
    while (i + length < text.size() &&
           (static_cast<unsigned char>(text[i + length]) & 0xC0) == 0x80) {
        ++length;
    }
    return length;
}

bool wildcardMatches(std::string_view mask, std::string_view name) {
    std::size_t m = 0;
    std::size_t n = 0;
    std::size_t starMask = std::string_view::npos;
    std::size_t starName = 0;
    while (n < name.size()) {
        if (m < mask.size() && mask[m] == '*') {
            starMask = ++m;
            starName = n;
        } else if (m < mask.size() && mask[m] == '?') {
            ++m;
            n += characterLength(name, n);
        } else if (m < mask.size() && folded(mask[m]) == folded(name[n])) {
            ++m;
            ++n;
        } else if (starMask != std::string_view::npos) {
            m = starMask;
            starName += characterLength(name, starName);
            n = starName;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == '*') ++m;
    return m == mask.size();
}

}  // namespace

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

std::vector<std::string> pathComponents(std::string_view path) {
    std::vector<std::string> parts;
    while (!path.empty()) {
        const std::size_t slash = path.find('/');
        const std::string_view part = path.substr(0, slash);
        path = slash == std::string_view::npos ? std::string_view() : path.substr(slash + 1);
        if (!part.empty() && part != ".") parts.emplace_back(part);
    }
    return parts;
}

std::string lexicallyNormal(std::string_view path) {
    std::vector<std::string> kept;
    for (std::string& part : pathComponents(path)) {
        if (part != "..") {
            kept.push_back(std::move(part));
        } else if (!kept.empty()) {
            kept.pop_back();
        }
    }
    std::string normal;
    for (const std::string& part : kept) normal += '/' + part;
    return normal.empty() ? "/" : normal;
}

std::vector<std::string> ancestorsOf(const std::string& normalPath) {
    std::vector<std::string> ancestors;
    std::string path = normalPath;
    while (path.size() > 1) {
        const std::size_t slash = path.rfind('/');
        path = slash == 0 ? "/" : path.substr(0, slash);
        ancestors.push_back(path);
    }
    return ancestors;
}

bool maskMatches(std::string_view mask, std::string_view name) {
    if (wildcardMatches(mask, name)) return true;
    return mask.ends_with(".*") && wildcardMatches(mask.substr(0, mask.size() - 2), name);
}

}  // namespace platform
