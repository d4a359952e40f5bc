#include "registry_hive.h"

#include <algorithm>
#include <optional>
#include <utility>

namespace platform {

namespace {

constexpr std::string_view kHeader = "Windows Registry Editor Version 5.00";
constexpr std::string_view kBlanks = " \t";

char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// The parts of a valid key path; nothing when the path is not valid.
std::optional<std::vector<std::string_view>> keyPathParts(std::string_view path) {
    std::vector<std::string_view> parts;
    if (path.empty()) return parts;
    for (;;) {
        const std::size_t separator = path.find('\\');
        const std::string_view part = path.substr(0, separator);
        if (part.empty() || !isStorableRegistryText(part)) return std::nullopt;
        parts.push_back(part);
        if (separator == std::string_view::npos) return parts;
        path.remove_prefix(separator + 1);
    }
}

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
        throw HiveParseError(m_number, problem);
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
        throw HiveParseError(number, "a section line must end with ]");
    }
    const std::string_view path = line.substr(1, line.size() - 2);
    if (path.starts_with("-")) throw HiveParseError(number, "deletion entries are not supported");
    if (path.empty() || !isValidKeyPath(path)) {
        throw HiveParseError(number, "malformed key path \"" + std::string(path) + "\"");
    }
    return hive.createKey(path);
}

std::string_view withoutByteOrderMark(std::string_view text) {
    if (text.starts_with("\xFF\xFE") || text.starts_with("\xFE\xFF")) {
        throw HiveParseError(1, "UTF-16 text is not supported; the file must be UTF-8");
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

void formatKey(const HiveKey& key, const std::string& path, std::string& out) {
    requireWritable(key.name, true);
    if (!key.values.empty() || key.subKeys.empty()) {
        out += '[' + path + "]\n";
        for (const HiveValue& value : key.values) {
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
        out += '\n';
    }
    for (const HiveKey& subKey : key.subKeys) formatKey(subKey, path + '\\' + subKey.name, out);
}

}  // namespace

bool sameRegistryName(std::string_view a, std::string_view b) {
    return std::ranges::equal(a, b, [](char x, char y) { return lowerAscii(x) == lowerAscii(y); });
}

bool isStorableRegistryText(std::string_view text) {
    return text.find_first_of(std::string_view("\0\r\n", 3)) == std::string_view::npos;
}

bool isValidKeyPath(std::string_view path) { return keyPathParts(path).has_value(); }

const HiveKey* HiveKey::findSubKey(std::string_view subKeyName) const {
    const auto found = std::ranges::find_if(
        subKeys, [&](const HiveKey& key) { return sameRegistryName(key.name, subKeyName); });
    return found == subKeys.end() ? nullptr : &*found;
}

HiveKey* HiveKey::findSubKey(std::string_view subKeyName) {
    return const_cast<HiveKey*>(std::as_const(*this).findSubKey(subKeyName));
}

const HiveValue* HiveKey::findValue(std::string_view valueName) const {
    const auto found = std::ranges::find_if(
        values, [&](const HiveValue& value) { return sameRegistryName(value.name, valueName); });
    return found == values.end() ? nullptr : &*found;
}

void HiveKey::setValue(std::string_view valueName, std::string_view data) {
    if (auto* value = const_cast<HiveValue*>(findValue(valueName))) {
        value->data = data;
    } else {
        values.push_back({std::string(valueName), std::string(data)});
    }
}

const HiveKey* Hive::findKey(std::string_view path) const {
    const auto parts = keyPathParts(path);
    if (!parts) return nullptr;
    const HiveKey* key = &top;
    for (const std::string_view part : *parts) {
        key = key->findSubKey(part);
        if (key == nullptr) return nullptr;
    }
    return key;
}

HiveKey& Hive::createKey(std::string_view path) {
    const auto parts = keyPathParts(path);
    if (!parts) {
        throw std::invalid_argument("malformed registry key path \"" + std::string(path) + "\"");
    }
    HiveKey* key = &top;
    for (const std::string_view part : *parts) {
        HiveKey* next = key->findSubKey(part);
        if (next == nullptr) {
            key->subKeys.push_back({std::string(part), {}, {}});
            next = &key->subKeys.back();
        }
        key = next;
    }
    return *key;
}

bool Hive::deleteKey(std::string_view path) {
    const std::size_t separator = path.rfind('\\');
    const std::string_view parentPath =
        separator == std::string_view::npos ? "" : path.substr(0, separator);
    const std::string_view name =
        separator == std::string_view::npos ? path : path.substr(separator + 1);
    if (path.empty() || !isValidKeyPath(path)) return false;
    auto* parent = const_cast<HiveKey*>(findKey(parentPath));
    if (parent == nullptr) return false;
    return std::erase_if(parent->subKeys,
                         [&](const HiveKey& key) { return sameRegistryName(key.name, name); }) > 0;
}

HiveParseError::HiveParseError(int line, const std::string& problem)
    : std::runtime_error("line " + std::to_string(line) + ": " + problem), m_line(line) {}

Hive parseHive(std::string_view text) {
    int number = 1;
    text = withoutByteOrderMark(text);
    Hive hive;
    HiveKey* current = nullptr;
    for (std::size_t start = 0; start <= text.size(); ++number) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        if (line.ends_with('\r')) line.remove_suffix(1);
        line = trimmed(line);
        if (number == 1) {
            if (line != kHeader) {
                throw HiveParseError(1, "the first line must be \"" + std::string(kHeader) + "\"");
            }
        } else if (line.empty() || line.front() == ';') {
            continue;
        } else if (line.front() == '[') {
            current = &parseSection(line, number, hive);
        } else if (line.front() == '@' || line.front() == '"') {
            if (current == nullptr) {
                throw HiveParseError(number, "a value must follow a [key] line");
            }
            LineReader reader(line, number);
            parseValue(reader, *current);
        } else {
            throw HiveParseError(number,
                                 "expected a [key] line, a value, a comment or a blank line");
        }
    }
    return hive;
}

std::string formatHive(const Hive& hive) {
    std::string out(kHeader);
    out += "\n\n";
    for (const HiveKey& root : hive.top.subKeys) {
        if (root.name.starts_with('-')) {
            throw std::invalid_argument("a root key name cannot start with '-': " + root.name);
        }
        formatKey(root, root.name, out);
    }
    return out;
}

}  // namespace platform
