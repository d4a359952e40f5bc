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
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "base/errors.h"
#include "name_index.h"

namespace platform {

// The bounds of a hive. A hive file beyond any of them cannot be parsed, and so is never
// overwritten; a write that would go beyond them fails.
// - the file: at most 64 MiB;
constexpr std::size_t kLargestHiveFile = std::size_t{64} << 20;
// - a key path: at most 512 names, the root key's included;
constexpr std::size_t kDeepestKeyPath = 512;
// - keys: at most 1,000,000 in one hive;
constexpr std::size_t kMostHiveKeys = 1'000'000;
// - values: at most 1,000,000 value lines in one hive file.
constexpr std::size_t kMostHiveValues = 1'000'000;

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
// Sub-keys and values are found by name in constant time (hashed by their case-folded
// name). A key owns its sub-keys; freeing a key of any depth takes no recursion.
class HiveKey {
public:
    explicit HiveKey(std::string name);
    ~HiveKey();
    HiveKey(const HiveKey&) = delete;
    HiveKey& operator=(const HiveKey&) = delete;

    const std::string& name() const { return m_name; }
    const std::vector<HiveValue>& values() const { return m_values; }
    std::size_t subKeyCount() const { return m_subKeys.size(); }
    // The sub-key at index, in the order made; index must be below subKeyCount().
    const HiveKey& subKey(std::size_t index) const { return *m_subKeys[index]; }

    const HiveKey* findSubKey(std::string_view subKeyName) const;
    HiveKey* findSubKey(std::string_view subKeyName);
    // A new last sub-key; the name is taken as given and must not be there yet (callers
    // look first).
    HiveKey& addSubKey(std::string subKeyName);
    // Removes the sub-key with everything below it; how many keys went (0: none of that name).
    std::size_t removeSubKey(std::string_view subKeyName);

    const HiveValue* findValue(std::string_view valueName) const;
    // Replaces the data of the value of that name, which keeps its stored spelling, or adds
    // the value at the end.
    void setValue(std::string_view valueName, std::string_view data);

private:
    std::string m_name;
    std::vector<HiveValue> m_values;
    NameIndex m_valueIndex;  // positions in m_values
    std::vector<std::unique_ptr<HiveKey>> m_subKeys;
    NameIndex m_subKeyIndex;  // positions in m_subKeys
};

// A hive file's keys under a nameless top whose sub-keys are the root keys
// ("HKEY_LOCAL_MACHINE"). Paths here start at a root key: "HKEY_CURRENT_USER\Software".
class Hive {
public:
    Hive();
    Hive(Hive&&) noexcept;
    Hive& operator=(Hive&&) noexcept;
    ~Hive();

    HiveKey& top() { return *m_top; }
    const HiveKey& top() const { return *m_top; }
    // How many keys the hive holds (the nameless top not counted).
    std::size_t keyCount() const { return m_keyCount; }

    // The key, or nullptr when it is missing or the path is not valid (isValidKeyPath).
    const HiveKey* findKey(std::string_view path) const;
    // The key, made with every missing key on the way (named as spelled in path). Throws
    // std::invalid_argument when the path is not valid, is deeper than kDeepestKeyPath, or
    // the new keys would make more than kMostHiveKeys.
    HiveKey& createKey(std::string_view path);
    // Removes the key with everything below it; false when it is missing, the path is not
    // valid or empty (the top itself).
    bool deleteKey(std::string_view path);

    // The same keys, names (spelling included), values and order; compared without
    // recursion.
    bool operator==(const Hive& other) const;

private:
    HiveKey& subKeyMadeIfMissing(HiveKey& parent, std::string_view name);

    std::unique_ptr<HiveKey> m_top;
    std::size_t m_keyCount = 0;
    HiveKey* m_lastParent = nullptr;  // the parent of the key made last, and its path
    std::string m_lastParentPath;
};

// A hive text that is not in the format; what() reads "line N: what is wrong".
class EHiveParseError : public base::Exception {
public:
    EHiveParseError(int line, const std::string& problem);
    int line() const { return m_line; }

private:
    int m_line;
};

// Reads the text of a hive file. Accepts LF or CRLF lines, a UTF-8 byte-order mark, blank
// lines, ';' comments (which are not kept) and a key's section given more than once (merged;
// a value given twice keeps the later data). Throws EHiveParseError for anything else:
// a missing header, values outside a section, a malformed section or value line, deletion
// entries ("[-...]", "=-"), values that are not strings (dword:, hex:), and a hive beyond
// the bounds above (deeper key paths, more keys or more value lines). Parsing, formatting
// and freeing take no recursion, so no hive can exhaust the stack.
Hive parseHive(std::string_view text);

// The text of a hive: the header, a blank line, then one section per key that has values or
// has no sub-keys, parents before children in the order made, each followed by a blank line.
// Throws std::invalid_argument when a name cannot be written (empty key name, '\' in a key
// name, a root key name starting with '-', NUL, CR or LF anywhere).
std::string formatHive(const Hive& hive);

}  // namespace platform
