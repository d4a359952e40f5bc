#include "masks.h"

#include "name_order.h"

namespace shelltree {

namespace {

bool isWildcard(char c) { return c == '*' || c == '?'; }

std::string_view trimmed(std::string_view text) {
    const std::size_t start = text.find_first_not_of(" \t\r\n");
    if (start == std::string_view::npos) return {};
    const std::size_t end = text.find_last_not_of(" \t\r\n");
    return text.substr(start, end - start + 1);
}

// Walks the mask's tokens over the name; see the header for the rule.
bool matchTokens(std::string_view name, std::string_view mask) {
    std::size_t p = 0;
    bool starPending = false;
    while (!mask.empty()) {
        if (mask.front() == '*') {
            starPending = true;
            mask.remove_prefix(1);
        } else if (mask.front() == '?') {
            if (p >= name.size()) return false;
            p += characterLength(name.substr(p));
            mask.remove_prefix(1);
        } else {
            std::size_t length = 0;
            while (length < mask.size() && !isWildcard(mask[length])) ++length;
            const std::string_view literal = mask.substr(0, length);
            mask.remove_prefix(length);
            if (starPending) {
                const std::size_t found = name.find(literal, p);
                if (found == std::string_view::npos) return false;
                p = found + literal.size();
                starPending = false;
            } else {
                if (name.substr(p, literal.size()) != literal) return false;
                p += literal.size();
            }
        }
    }
    return starPending || p == name.size();
}

}  // namespace

bool MaskMatches(std::string_view name, std::string_view mask) {
    const std::string lowerName = foldCase(name);
    const std::string lowerMask = foldCase(mask);
    if (lowerMask == "*") return true;
    if (lowerMask == "*.*") return lowerName.find('.') != std::string::npos;
    if (lowerMask.find_first_of("*?") == std::string::npos) return lowerName == lowerMask;
    if (lowerMask.empty()) return false;
    return matchTokens(lowerName, lowerMask);
}

bool MatchesAnyMask(std::string_view name, const std::vector<std::string>& masks) {
    if (masks.empty()) return true;
    for (const std::string& mask : masks) {
        if (MaskMatches(name, mask)) return true;
    }
    return false;
}

std::vector<std::string> parseFileMask(std::string_view text) {
    if (trimmed(text).empty()) text = "*.*";
    std::vector<std::string> masks;
    while (true) {
        const std::size_t end = text.find(';');
        const std::string_view part = trimmed(text.substr(0, end));
        if (!part.empty()) masks.emplace_back(part);
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    return masks;
}

std::string joinFileMask(const std::vector<std::string>& masks) {
    std::string text;
    for (const std::string& mask : masks) {
        if (!text.empty()) text += ';';
        text += mask;
    }
    return text;
}

}  // namespace shelltree
