// The text form of a hive: reading and writing the registry editor's export format.
#include <algorithm>
#include <string>
#include <vector>

#include "registry_hive.h"

namespace platform {

namespace {

constexpr std::string_view kHeader = "Windows Registry Editor Version 5.00";
constexpr std::string_view kBlanks = " \t";

std::string_view trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

// Reads the line's text and gives the parsing errors their line number.
class LineReader {
public:
    LineReader(std::string_view line, int number) : m_rest(line), m_number(number) {}

    [[noreturn]] void fail(const std::string& problem) const {
        throw EHiveParseError(m_number, problem);
    }
    bool atEnd() const { return m_rest.empty(); }
    bool startsWith(std::string_view prefix) const { return m_rest.starts_with(prefix); }
    void skip(std::size_t count) { m_rest.remove_prefix(std::min(count, m_rest.size())); }
    void skipBlanks() { skip(m_rest.find_first_not_of(kBlanks)); }
    void expect(char c, const std::string& problem) {
        if (m_rest.empty() || m_rest.front() != c) fail(problem);
        m_rest.remove_prefix(1);
    }

    // A double-quoted string whose backslashes escape '\' and '"'; the reader stands on '"'.
    std::string quoted() {
        std::string text;
        for (std::size_t i = 1; i < m_rest.size(); ++i) {
            const char c = m_rest[i];
            if (c == '"') {
                m_rest.remove_prefix(i + 1);
                return text;
            }
            if (c == '\\') {
                if (i + 1 == m_rest.size() || (m_rest[i + 1] != '\\' && m_rest[i + 1] != '"')) {
                    fail("a backslash in a string must be followed by \\ or \"");
                }
                ++i;
            }
            text += m_rest[i];
        }
        fail("a string is not closed by \"");
    }

private:
    std::string_view m_rest;
    int m_number;
};

void parseValue(LineReader& reader, HiveKey& key) {
    std::string name;
    if (reader.startsWith("@")) {
        reader.skip(1);
    } else {
        name = reader.quoted();
    }
    reader.skipBlanks();
    reader.expect('=', "a value name must be followed by =");
    reader.skipBlanks();
    if (reader.startsWith("-")) reader.fail("deletion entries are not supported");
    if (!reader.startsWith("\"")) reader.fail("only string values (\"...\") are supported");
    const std::string data = reader.quoted();
    reader.skipBlanks();
    if (!reader.atEnd()) reader.fail("unexpected text after the value");
    if (!isStorableRegistryText(name) || !isStorableRegistryText(data)) {
        reader.fail("a name or value cannot hold NUL or CR characters");
    }
    key.setValue(name, data);
}

HiveKey& parseSection(std::string_view line, int number, Hive& hive) {
    if (line.size() < 2 || line.back() != ']') {
        throw EHiveParseError(number, "a section line must end with ]");
    }
    const std::string_view path = line.substr(1, line.size() - 2);
    if (path.starts_with("-")) throw EHiveParseError(number, "deletion entries are not supported");
    if (static_cast<std::size_t>(std::ranges::count(path, '\\')) >= kDeepestKeyPath) {
        throw EHiveParseError(
            number, "the key path is deeper than " + std::to_string(kDeepestKeyPath) + " levels");
    }
    if (path.empty()) throw EHiveParseError(number, "malformed key path \"\"");
    try {
        return hive.createKey(path);
    } catch (const std::invalid_argument& beyondBounds) {
        throw EHiveParseError(number, beyondBounds.what());
    }
}

std::string_view withoutByteOrderMark(std::string_view text) {
    if (text.starts_with("\xFF\xFE") || text.starts_with("\xFE\xFF")) {
        throw EHiveParseError(1, "UTF-16 text is not supported; the file must be UTF-8");
    }
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
    return text;
}

void appendQuoted(std::string& out, std::string_view text) {
    out += '"';
    for (const char c : text) {
        if (c == '\\' || c == '"') out += '\\';
        out += c;
    }
    out += '"';
}

void requireWritable(std::string_view text, bool isKeyName) {
    if (!isStorableRegistryText(text) ||
        (isKeyName && (text.empty() || text.find('\\') != std::string_view::npos))) {
        throw std::invalid_argument("a registry name or value cannot be written: \"" +
                                    std::string(text) + "\"");
    }
}

void formatValue(const HiveValue& value, std::string& out) {
    requireWritable(value.name, false);
    requireWritable(value.data, false);
    if (value.name.empty()) {
        out += '@';
    } else {
        appendQuoted(out, value.name);
    }
    out += '=';
    appendQuoted(out, value.data);
    out += '\n';
}

// The section of one key: written when it has values or no sub-keys.
void formatSection(const HiveKey& key, const std::string& path, std::string& out) {
    if (key.values().empty() && key.subKeyCount() > 0) return;
    out += '[';
    out += path;
    out += "]\n";
    for (const HiveValue& value : key.values()) formatValue(value, out);
    out += '\n';
}

}  // namespace

EHiveParseError::EHiveParseError(int line, const std::string& problem)
    : base::Exception("line " + std::to_string(line) + ": " + problem), m_line(line) {}

Hive parseHive(std::string_view text) {
    int number = 1;
    text = withoutByteOrderMark(text);
    Hive hive;
    HiveKey* current = nullptr;
    std::size_t valueLines = 0;
    for (std::size_t start = 0; start <= text.size(); ++number) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        if (line.ends_with('\r')) line.remove_suffix(1);
        line = trimmed(line);
        if (number == 1) {
            if (line != kHeader) {
                throw EHiveParseError(1, "the first line must be \"" + std::string(kHeader) + "\"");
            }
        } else if (line.empty() || line.front() == ';') {
            continue;
        } else if (line.front() == '[') {
            current = &parseSection(line, number, hive);
        } else if (line.front() == '@' || line.front() == '"') {
            if (current == nullptr) {
                throw EHiveParseError(number, "a value must follow a [key] line");
            }
            if (++valueLines > kMostHiveValues) {
                throw EHiveParseError(number, "a hive cannot hold more than " +
                                                  std::to_string(kMostHiveValues) + " values");
            }
            LineReader reader(line, number);
            parseValue(reader, *current);
        } else {
            throw EHiveParseError(number,
                                  "expected a [key] line, a value, a comment or a blank line");
        }
    }
    return hive;
}

std::string formatHive(const Hive& hive) {
    std::string out(kHeader);
    out += "\n\n";
    // Depth first, parents before children, with the path of the key on top kept in one
    // string; an explicit stack instead of recursion.
    struct Level {
        const HiveKey* key;
        std::size_t next;        // the sub-key to visit next
        std::size_t pathLength;  // the path's length before this key's name was added
    };
    std::vector<Level> stack{{&hive.top(), 0, 0}};
    std::string path;
    while (!stack.empty()) {
        Level& level = stack.back();
        if (level.next == level.key->subKeyCount()) {
            path.resize(level.pathLength);
            stack.pop_back();
            continue;
        }
        const HiveKey& key = level.key->subKey(level.next++);
        const bool isRoot = stack.size() == 1;
        requireWritable(key.name(), true);
        if (isRoot && key.name().starts_with('-')) {
            throw std::invalid_argument("a root key name cannot start with '-': " + key.name());
        }
        const std::size_t before = path.size();
        if (!isRoot) path += '\\';
        path += key.name();
        formatSection(key, path, out);
        stack.push_back({&key, 0, before});
    }
    return out;
}
}  // namespace platform
