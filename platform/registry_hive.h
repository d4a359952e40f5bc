#pragma once
// The text form of a registry hive: the registry editor's export format, version 5, holding
// string values only. Parsing and formatting are pure (no files), so that the format is
// tested apart from the store's file handling.
//
//     Windows Registry Editor Version 5.00
//
//     [HKEY_LOCAL_MACHINE\Software\Quindor\InstallTO]
//     @="/home/ann/Quindor/"
//     "Name"="a \"quoted\" C:\\path"
//
// Names and data are UTF-8 and may hold any byte except NUL, CR and LF, which the line-based
// format cannot carry; backslash and double quote are escaped with a backslash.

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// The largest hive file that is read: 64 MiB. A larger one cannot be parsed.
constexpr std::size_t kLargestHiveFile = std::size_t{64} << 20;

// Key and value names compare without regard to ASCII case; other bytes compare exactly.
bool sameRegistryName(std::string_view a, std::string_view b);

// True when text holds no NUL, CR or LF, so that the format can carry it as a name or data.
bool isStorableRegistryText(std::string_view text);

// True when path is a '\'-separated key path whose every part is a storable, non-empty name
// ("Software\Quindor"; no leading, trailing or doubled '\'). The empty path names the key the
// path starts from.
bool isValidKeyPath(std::string_view path);

struct HiveValue {
    std::string name;  // empty: the key's default value, written "@"
    std::string data;
    bool operator==(const HiveValue&) const = default;
};

// One key: its name as created, its string values and its sub-keys, each in the order made.
struct HiveKey {
    std::string name;
    std::vector<HiveValue> values;
    std::vector<HiveKey> subKeys;

    const HiveKey* findSubKey(std::string_view subKeyName) const;
    HiveKey* findSubKey(std::string_view subKeyName);
    const HiveValue* findValue(std::string_view valueName) const;
    // Replaces the data of the value of that name, which keeps its stored spelling, or adds
    // the value at the end.
    void setValue(std::string_view valueName, std::string_view data);
    bool operator==(const HiveKey&) const = default;
};

// A hive file's keys under a nameless top whose sub-keys are the root keys
// ("HKEY_LOCAL_MACHINE"). Paths here start at a root key: "HKEY_CURRENT_USER\Software".
struct Hive {
    HiveKey top;

    // The key, or nullptr when it is missing or the path is not valid (isValidKeyPath).
    const HiveKey* findKey(std::string_view path) const;
    // The key, made with every missing key on the way (named as spelled in path).
    // Throws std::invalid_argument when the path is not valid.
    HiveKey& createKey(std::string_view path);
    // Removes the key with everything below it; false when it is missing, the path is not
    // valid or empty (the top itself).
    bool deleteKey(std::string_view path);
    bool operator==(const Hive&) const = default;
};

// A hive text that is not in the format; what() reads "line N: what is wrong".
class HiveParseError : public std::runtime_error {
public:
    HiveParseError(int line, const std::string& problem);
    int line() const { return m_line; }

private:
    int m_line;
};

// Reads the text of a hive file. Accepts LF or CRLF lines, a UTF-8 byte-order mark, blank
// lines, ';' comments (which are not kept) and a key's section given more than once (merged;
// a value given twice keeps the later data). Throws HiveParseError for anything else:
// a missing header, values outside a section, a malformed section or value line, deletion
// entries ("[-...]", "=-") and values that are not strings (dword:, hex:).
Hive parseHive(std::string_view text);

// The text of a hive: the header, a blank line, then one section per key that has values or
// has no sub-keys, parents before children in the order made, each followed by a blank line.
// Throws std::invalid_argument when a name cannot be written (empty key name, '\' in a key
// name, a root key name starting with '-', NUL, CR or LF anywhere).
std::string formatHive(const Hive& hive);

}  // namespace platform
