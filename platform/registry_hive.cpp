#include "registry_hive.h"

#include <algorithm>
#include <optional>
#include <utility>

namespace platform {

namespace {

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

// How many keys the branch holds, the key itself included; without recursion.
std::size_t branchSize(const HiveKey& key) {
    std::size_t count = 0;
    std::vector<const HiveKey*> pending{&key};
    while (!pending.empty()) {
        const HiveKey* next = pending.back();
        pending.pop_back();
        ++count;
        for (std::size_t i = 0; i < next->subKeyCount(); ++i) pending.push_back(&next->subKey(i));
    }
    return count;
}

// The path as a message shows it: long ones are cut.
std::string shownPath(std::string_view path) {
    constexpr std::size_t kLongestShown = 100;
    if (path.size() <= kLongestShown) return std::string(path);
    return std::string(path.substr(0, kLongestShown)) + "...";
}

bool sameKeyAlone(const HiveKey& a, const HiveKey& b) {
    return a.name() == b.name() && a.values() == b.values() && a.subKeyCount() == b.subKeyCount();
}

}  // namespace

bool sameRegistryName(std::string_view a, std::string_view b) {
    return std::ranges::equal(a, b, [](char x, char y) { return lowerAscii(x) == lowerAscii(y); });
}

bool isStorableRegistryText(std::string_view text) {
    return std::ranges::none_of(text, [](char c) { return c == '\0' || c == '\r' || c == '\n'; });
}

bool isValidKeyPath(std::string_view path) { return keyPathParts(path).has_value(); }

// ---- HiveKey ----

HiveKey::HiveKey(std::string name) : m_name(std::move(name)) {}

HiveKey::~HiveKey() {
    // Each key is freed only once its sub-keys were taken away, so freeing a branch of any
    // depth never recurses.
    std::vector<std::unique_ptr<HiveKey>> pending = std::move(m_subKeys);
    while (!pending.empty()) {
        std::unique_ptr<HiveKey> key = std::move(pending.back());
        pending.pop_back();
        for (auto& subKey : key->m_subKeys) pending.push_back(std::move(subKey));
        key->m_subKeys.clear();
    }
}

const HiveKey* HiveKey::findSubKey(std::string_view subKeyName) const {
    const std::ptrdiff_t at = m_subKeyIndex.find(
        subKeyName, [this](std::size_t i) -> std::string_view { return m_subKeys[i]->m_name; });
    return at < 0 ? nullptr : m_subKeys[static_cast<std::size_t>(at)].get();
}

HiveKey* HiveKey::findSubKey(std::string_view subKeyName) {
    return const_cast<HiveKey*>(std::as_const(*this).findSubKey(subKeyName));
}

HiveKey& HiveKey::addSubKey(std::string subKeyName) {
    m_subKeyIndex.add(subKeyName, m_subKeys.size());
    m_subKeys.push_back(std::make_unique<HiveKey>(std::move(subKeyName)));
    return *m_subKeys.back();
}

std::size_t HiveKey::removeSubKey(std::string_view subKeyName) {
    const HiveKey* key = findSubKey(subKeyName);
    if (key == nullptr) return 0;
    const std::size_t removed = branchSize(*key);
    std::erase_if(m_subKeys,
                  [key](const std::unique_ptr<HiveKey>& subKey) { return subKey.get() == key; });
    // The positions after it moved: the index is made afresh (removals are rare).
    m_subKeyIndex.clear();
    for (std::size_t i = 0; i < m_subKeys.size(); ++i) m_subKeyIndex.add(m_subKeys[i]->m_name, i);
    return removed;
}

const HiveValue* HiveKey::findValue(std::string_view valueName) const {
    const std::ptrdiff_t at = m_valueIndex.find(
        valueName, [this](std::size_t i) -> std::string_view { return m_values[i].name; });
    return at < 0 ? nullptr : &m_values[static_cast<std::size_t>(at)];
}

void HiveKey::setValue(std::string_view valueName, std::string_view data) {
    if (const HiveValue* value = findValue(valueName)) {
        const_cast<HiveValue*>(value)->data = data;
        return;
    }
    m_valueIndex.add(valueName, m_values.size());
    m_values.push_back({std::string(valueName), std::string(data)});
}

// ---- Hive ----

Hive::Hive() : m_top(std::make_unique<HiveKey>(std::string())) {}
Hive::Hive(Hive&&) noexcept = default;
Hive& Hive::operator=(Hive&&) noexcept = default;
Hive::~Hive() = default;

const HiveKey* Hive::findKey(std::string_view path) const {
    const auto parts = keyPathParts(path);
    if (!parts) return nullptr;
    const HiveKey* key = m_top.get();
    for (const std::string_view part : *parts) {
        key = key->findSubKey(part);
        if (key == nullptr) return nullptr;
    }
    return key;
}

HiveKey& Hive::createKey(std::string_view path) {
    // Keys are mostly made in runs below one parent (a hive file lists siblings one after
    // another): the parent of the last key made is found again without walking the path.
    // A path starting with the separator is malformed and must not reach the top key here.
    const std::size_t separator = path.rfind('\\');
    if (separator != std::string_view::npos && separator > 0 && m_lastParent != nullptr &&
        path.substr(0, separator) == m_lastParentPath) {
        const std::string_view name = path.substr(separator + 1);
        if (!name.empty() && isStorableRegistryText(name)) {
            return subKeyMadeIfMissing(*m_lastParent, name);
        }
    }
    const auto parts = keyPathParts(path);
    if (!parts) {
        throw std::invalid_argument("malformed registry key path \"" + shownPath(path) + "\"");
    }
    if (parts->size() > kDeepestKeyPath) {
        throw std::invalid_argument("a registry key path is deeper than " +
                                    std::to_string(kDeepestKeyPath) + " levels");
    }
    HiveKey* parent = m_top.get();
    for (std::size_t i = 0; i + 1 < parts->size(); ++i) {
        parent = &subKeyMadeIfMissing(*parent, (*parts)[i]);
    }
    if (parts->empty()) return *m_top;
    HiveKey& key = subKeyMadeIfMissing(*parent, parts->back());
    m_lastParent = parent;
    m_lastParentPath.assign(path.substr(0, separator == std::string_view::npos ? 0 : separator));
    return key;
}

HiveKey& Hive::subKeyMadeIfMissing(HiveKey& parent, std::string_view name) {
    if (HiveKey* key = parent.findSubKey(name)) return *key;
    if (m_keyCount >= kMostHiveKeys) {
        throw std::invalid_argument("a registry hive cannot hold more than " +
                                    std::to_string(kMostHiveKeys) + " keys");
    }
    ++m_keyCount;
    return parent.addSubKey(std::string(name));
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
    const std::size_t removed = parent->removeSubKey(name);
    m_keyCount -= removed;
    m_lastParent = nullptr;  // it may have gone with the branch
    return removed > 0;
}

bool Hive::operator==(const Hive& other) const {
    std::vector<std::pair<const HiveKey*, const HiveKey*>> pending{
        {m_top.get(), other.m_top.get()}};
    while (!pending.empty()) {
        const auto [a, b] = pending.back();
        pending.pop_back();
        if (!sameKeyAlone(*a, *b)) return false;
        for (std::size_t i = 0; i < a->subKeyCount(); ++i) {
            pending.emplace_back(&a->subKey(i), &b->subKey(i));
        }
    }
    return true;
}

}  // namespace platform
