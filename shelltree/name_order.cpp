#include "name_order.h"

#include <algorithm>
#include <climits>
#include <clocale>
#include <cstdint>
#include <cstring>
#include <cwchar>
#include <cwctype>
#include <vector>

namespace shelltree {

namespace {

bool isAscii(std::string_view text) {
    for (const char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    }
    return true;
}

char asciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

// Whether the collation is code-point order, so that folded UTF-8 bytes sort as they are.
bool collatesByCodePoint() {
    const char* name = std::setlocale(LC_COLLATE, nullptr);
    if (name == nullptr) return true;
    return std::strcmp(name, "C") == 0 || std::strcmp(name, "POSIX") == 0 ||
           std::strncmp(name, "C.", 2) == 0;
}

std::wstring toWide(std::string_view text) {
    std::wstring wide;
    std::mbstate_t state{};
    while (!text.empty()) {
        wchar_t c = 0;
        const std::size_t used = std::mbrtowc(&c, text.data(), text.size(), &state);
        if (used == 0 || used > text.size()) {
            wide += static_cast<wchar_t>(static_cast<unsigned char>(text.front()));
            text.remove_prefix(1);
            state = {};
            continue;
        }
        wide += c;
        text.remove_prefix(used);
    }
    return wide;
}

std::string collationKey(const std::string& folded) {
    const std::wstring wide = toWide(folded);
    std::vector<wchar_t> buffer(wide.size() * 4 + 16);
    std::size_t length = std::wcsxfrm(buffer.data(), wide.c_str(), buffer.size());
    if (length >= buffer.size()) {
        buffer.resize(length + 1);
        length = std::wcsxfrm(buffer.data(), wide.c_str(), buffer.size());
    }
    std::string key;
    for (std::size_t i = 0; i < length; ++i) {
        // NOLINTNEXTLINE(bugprone-signed-char-misuse): a collation weight, never negative
        const auto c = static_cast<std::uint32_t>(buffer[i]);  // big-endian keeps the order
        key += static_cast<char>(c >> 24);
        key += static_cast<char>(c >> 16);
        key += static_cast<char>(c >> 8);
        key += static_cast<char>(c);
    }
    return key;
}

}  // namespace

std::string foldCase(std::string_view name) {
    std::string folded;
    folded.reserve(name.size());
    std::mbstate_t state{};
    while (!name.empty()) {
        if (static_cast<unsigned char>(name.front()) < 0x80) {
            folded += asciiLower(name.front());
            name.remove_prefix(1);
            continue;
        }
        wchar_t c = 0;
        const std::size_t used = std::mbrtowc(&c, name.data(), name.size(), &state);
        char out[MB_LEN_MAX];
        std::mbstate_t outState{};
        const std::size_t written =
            (used == 0 || used > name.size())
                ? std::size_t(-1)
                : std::wcrtomb(out, static_cast<wchar_t>(std::towlower(c)), &outState);
        if (written == std::size_t(-1)) {
            folded += name.front();
            name.remove_prefix(1);
            state = {};
            continue;
        }
        folded.append(out, written);
        name.remove_prefix(used);
    }
    return folded;
}

std::string nameSortKey(std::string_view name) {
    std::string folded = foldCase(name);
    return collatesByCodePoint() ? folded : collationKey(folded);
}

int compareKeyed(std::string_view firstKey, std::string_view firstName, std::string_view secondKey,
                 std::string_view secondName) {
    const int byKey = firstKey.compare(secondKey);
    if (byKey != 0) return byKey;
    return firstName.compare(secondName);
}

int compareNames(std::string_view first, std::string_view second) {
    if (first == second) return 0;
    if (collatesByCodePoint() && isAscii(first) && isAscii(second)) {
        const std::size_t common = std::min(first.size(), second.size());
        for (std::size_t i = 0; i < common; ++i) {
            const char a = asciiLower(first[i]), b = asciiLower(second[i]);
            if (a != b)
                return static_cast<unsigned char>(a) < static_cast<unsigned char>(b) ? -1 : 1;
        }
        if (first.size() != second.size()) return first.size() < second.size() ? -1 : 1;
        return first.compare(second);
    }
    return compareKeyed(nameSortKey(first), first, nameSortKey(second), second);
}

std::size_t characterLength(std::string_view text) {
    if (text.empty()) return 0;
    std::mbstate_t state{};
    const std::size_t used = std::mbrlen(text.data(), text.size(), &state);
    return (used == 0 || used > text.size()) ? 1 : used;
}

}  // namespace shelltree
