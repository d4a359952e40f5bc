#include "profile_file.h"

#include <algorithm>
#include <exception>
#include <optional>
#include <stdexcept>
#include <vector>

#include "atomic_file.h"
#include "base/errors.h"
#include "system.h"

namespace platform {

namespace {

constexpr std::string_view kBlanks = " \t";

struct Line {
    std::string text;
    std::string ending;  // "\r\n", "\n", or empty on a last line without a line break
};

std::string_view trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

bool sameName(std::string_view a, std::string_view b) {
    const auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
    return std::ranges::equal(a, b, [&](char x, char y) { return lower(x) == lower(y); });
}

std::vector<Line> splitLines(std::string_view contents) {
    std::vector<Line> lines;
    while (!contents.empty()) {
        const std::size_t end = contents.find('\n');
        if (end == std::string_view::npos) {
            lines.push_back({std::string(contents), ""});
            break;
        }
        const std::size_t textEnd = (end > 0 && contents[end - 1] == '\r') ? end - 1 : end;
        lines.push_back({std::string(contents.substr(0, textEnd)),
                         std::string(contents.substr(textEnd, end + 1 - textEnd))});
        contents.remove_prefix(end + 1);
    }
    return lines;
}

std::string lineEnding(std::string_view contents) {
    const std::size_t end = contents.find('\n');
    if (end == std::string_view::npos) return "\r\n";
    return (end > 0 && contents[end - 1] == '\r') ? "\r\n" : "\n";
}

// The line's text with a leading UTF-8 byte-order mark (first line only) and blanks removed.
std::string_view content(const std::vector<Line>& lines, std::size_t index) {
    std::string_view text = lines[index].text;
    if (index == 0 && text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
    return trimmed(text);
}

std::optional<std::string_view> sectionName(std::string_view text) {
    if (!text.starts_with('[')) return std::nullopt;
    const std::size_t close = text.find(']');
    if (close == std::string_view::npos) return std::nullopt;
    return trimmed(text.substr(1, close - 1));
}

std::optional<std::string_view> keyName(std::string_view text) {
    if (text.empty() || text.front() == ';' || text.front() == '#' || text.front() == '[') {
        return std::nullopt;
    }
    const std::size_t equals = text.find('=');
    if (equals == std::string_view::npos) return std::nullopt;
    return trimmed(text.substr(0, equals));
}

std::size_t findSection(const std::vector<Line>& lines, std::string_view section) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const auto name = sectionName(content(lines, i));
        if (name && sameName(*name, section)) return i;
    }
    return lines.size();
}

std::string joined(const std::vector<Line>& lines) {
    std::string text;
    for (const Line& line : lines) text += line.text + line.ending;
    return text;
}

void appendSection(std::vector<Line>& lines, std::string_view section, std::string entry,
                   const std::string& ending) {
    if (!lines.empty()) {
        if (lines.back().ending.empty()) lines.back().ending = ending;
        if (!content(lines, lines.size() - 1).empty()) lines.push_back({"", ending});
    }
    lines.push_back({"[" + std::string(section) + "]", ending});
    lines.push_back({std::move(entry), ending});
}

// Replaces the key in the section that starts at line sectionLine, or adds it at the end of
// the section's non-blank lines.
void putKey(std::vector<Line>& lines, std::size_t sectionLine, std::string_view key,
            std::string_view value, const std::string& ending) {
    std::size_t lastContent = sectionLine;
    for (std::size_t i = sectionLine + 1; i < lines.size(); ++i) {
        const std::string_view text = content(lines, i);
        if (sectionName(text)) break;
        if (const auto name = keyName(text); name && sameName(*name, key)) {
            lines[i].text = std::string(*name) + "=" + std::string(value);
            return;
        }
        if (!text.empty()) lastContent = i;
    }
    if (lines[lastContent].ending.empty()) lines[lastContent].ending = ending;
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(lastContent) + 1,
                 {std::string(key) + "=" + std::string(value), ending});
}

}  // namespace

std::string withProfileString(std::string_view contents, std::string_view section,
                              std::string_view key, std::string_view value) {
    const std::string ending = lineEnding(contents);
    std::vector<Line> lines = splitLines(contents);
    const std::size_t sectionLine = findSection(lines, section);
    if (sectionLine == lines.size()) {
        appendSection(lines, section, std::string(key) + "=" + std::string(value), ending);
    } else {
        putKey(lines, sectionLine, key, value, ending);
    }
    return joined(lines);
}

namespace {

bool holdsLineBreakOrNul(std::string_view text) {
    return text.find_first_of(std::string_view("\0\r\n", 3)) != std::string_view::npos;
}

bool isNameThatReadsBack(std::string_view name, char forbidden) {
    return !name.empty() && trimmed(name).size() == name.size() &&
           name.find(forbidden) == std::string_view::npos && !holdsLineBreakOrNul(name);
}

void checkArguments(std::string_view section, std::string_view key, std::string_view value) {
    if (holdsLineBreakOrNul(value)) {
        throw std::invalid_argument("A settings value cannot hold a line break or NUL character");
    }
    if (!isNameThatReadsBack(section, ']')) {
        throw std::invalid_argument("Invalid settings section name \"" + std::string(section) +
                                    "\"");
    }
    if (!isNameThatReadsBack(key, '=')) {
        throw std::invalid_argument("Invalid settings key name \"" + std::string(key) + "\"");
    }
}

std::string folderOf(const std::string& file) {
    const std::size_t slash = file.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : file.substr(0, slash);
}

void writeEntries(const std::string& file, std::string_view section,
                  std::span<const ProfileEntry> entries) {
    if (!mayWrite(folderOf(file))) throw base::Exception("the folder may not be written");
    const FileLock lock(file + ".lock");
    removeStaleTemporaries(file);
    const std::optional<std::string> contents = readRegularFile(file, kLargestSettingsFile, false);
    if (contents && !mayWrite(file)) throw base::Exception("the file is write-protected");
    std::string edited = contents.value_or("");
    for (const ProfileEntry& entry : entries) {
        edited = withProfileString(edited, section, entry.key, entry.value);
    }
    replaceFileAtomically(file, edited);
}

}  // namespace

void writeProfileStrings(const std::string& file, std::string_view section,
                         std::span<const ProfileEntry> entries) {
    for (const ProfileEntry& entry : entries) checkArguments(section, entry.key, entry.value);
    try {
        writeEntries(file, section, entries);
    } catch (const std::exception&) {
        std::throw_with_nested(base::Exception("Unable to write to " + file));
    }
}

void writeProfileString(const std::string& file, std::string_view section, std::string_view key,
                        std::string_view value) {
    const ProfileEntry entry{std::string(key), std::string(value)};
    writeProfileStrings(file, section, std::span(&entry, 1));
}

}  // namespace platform
