#include "registry.h"

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <functional>

#include "atomic_file.h"
#include "registry_hive.h"
#include "system.h"
#include "xdg_folders.h"

namespace platform {

namespace {

std::string_view rootName(RootKey root) {
    return root == RootKey::LocalMachine ? "HKEY_LOCAL_MACHINE" : "HKEY_CURRENT_USER";
}

// The path in the hive's own terms, from its root key on; keyPath must be valid.
std::string fullPath(RootKey root, std::string_view keyPath) {
    std::string path(rootName(root));
    if (!keyPath.empty()) path.append("\\").append(keyPath);
    return path;
}

Hive newSystemHive(RootKey root) {
    Hive hive;
    if (root == RootKey::LocalMachine) {
        hive.createKey("HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Fonts");
        return hive;
    }
    const UserFolders folders = userFolders();
    HiveKey& shellFolders = hive.createKey(
        "HKEY_CURRENT_USER\\Software\\MicroSoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders");
    shellFolders.setValue("Desktop", folders.desktop);
    shellFolders.setValue("Personal", folders.documents);
    shellFolders.setValue("Programs", folders.dataHome + "/applications");
    shellFolders.setValue("Start Menu", folders.dataHome + "/applications");
    shellFolders.setValue("Startup", folders.configHome + "/autostart");
    shellFolders.setValue("Templates", folders.templates);
    shellFolders.setValue("Fonts", folders.dataHome + "/fonts");
    return hive;
}

// The hive as its file holds it, or a new system's hive when the file is missing. Throws
// ESystemError when the file cannot be read, EHiveParseError when it cannot be parsed.
Hive loadHive(const std::string& file, RootKey root) {
    const std::optional<std::string> text = readRegularFile(file, kLargestHiveFile);
    return text ? parseHive(*text) : newSystemHive(root);
}

bool fileExists(const std::string& path) {
    struct stat status {};
    return ::lstat(path.c_str(), &status) == 0;
}

std::string nearestExistingFolder(const std::string& folder) {
    std::filesystem::path path(folder);
    while (!path.empty() && !fileExists(path.string())) {
        if (path == path.parent_path()) break;
        path = path.parent_path();
    }
    return path.empty() ? std::string(".") : path.string();
}

bool hiveWritable(const std::string& folder, const std::string& file) {
    if (fileExists(file)) return mayWrite(file) && mayWrite(folder);
    return mayWrite(nearestExistingFolder(folder));
}

// Runs edit on the hive read afresh under the hive's lock and saves the result when edit
// says it changed something. Throws ERegistryError, leaving the file as it was, on failure.
bool modifyHive(const std::string& folder, const std::string& file, RootKey root,
                const std::function<bool(Hive&)>& edit) {
    if (!hiveWritable(folder, file)) {
        throw ERegistryError("The registry hive " + file + " is read-only");
    }
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) {
        throw ERegistryError("Unable to create the registry folder " + folder + ": " +
                             error.message());
    }
    try {
        const FileLock lock(file + ".lock");
        removeStaleTemporaries(file);
        Hive hive = loadHive(file, root);
        if (!edit(hive)) return false;
        replaceFileAtomically(file, formatHive(hive));
        return true;
    } catch (const EHiveParseError& parseError) {
        throw ERegistryError("The registry hive " + file + " cannot be parsed (" +
                             parseError.what() + "); it is left as it is");
    } catch (const std::exception& failure) {
        throw ERegistryError("Unable to write the registry hive " + file + ": " + failure.what());
    }
}

std::string withoutFinalSlashes(std::string path) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

}  // namespace

std::string Registry::defaultFolder() {
    if (const char* folder = std::getenv("MARLO_REGISTRY_DIR");
        folder != nullptr && *folder != '\0') {
        return withoutFinalSlashes(folder);
    }
    return configHomeFolder() + "/marlo/registry";
}

Registry::Registry(std::string folder) : m_folder(withoutFinalSlashes(std::move(folder))) {
    if (m_folder.empty()) throw ERegistryError("The registry folder is not named");
}

std::string Registry::hivePath(RootKey root) const {
    const std::string_view name = root == RootKey::LocalMachine ? "system.reg" : "user.reg";
    return (m_folder == "/" ? m_folder : m_folder + "/") + std::string(name);
}

bool Registry::keyExists(RootKey root, std::string_view keyPath, bool fullAccess) const {
    if (!isValidKeyPath(keyPath)) return false;
    try {
        const Hive hive = loadHive(hivePath(root), root);
        // The root key itself always exists, also in a hive that holds none of its keys.
        if (!keyPath.empty() && hive.findKey(fullPath(root, keyPath)) == nullptr) return false;
    } catch (const std::exception&) {
        return false;
    }
    return !fullAccess || hiveWritable(m_folder, hivePath(root));
}

std::optional<std::string> Registry::readString(RootKey root, std::string_view keyPath,
                                                std::string_view valueName) const {
    if (!isValidKeyPath(keyPath)) return std::nullopt;
    try {
        const Hive hive = loadHive(hivePath(root), root);
        const HiveKey* key = hive.findKey(fullPath(root, keyPath));
        const HiveValue* value = key == nullptr ? nullptr : key->findValue(valueName);
        if (value == nullptr) return std::nullopt;
        return value->data;
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

void Registry::writeString(RootKey root, std::string_view keyPath, std::string_view valueName,
                           std::string_view data) {
    if (!isValidKeyPath(keyPath)) {
        throw ERegistryError("Malformed registry key path \"" + std::string(keyPath) + "\"");
    }
    if (!isStorableRegistryText(valueName) || !isStorableRegistryText(data)) {
        throw ERegistryError("A registry value's name and data cannot hold NUL, CR or LF (key " +
                             std::string(keyPath) + ")");
    }
    modifyHive(m_folder, hivePath(root), root, [&](Hive& hive) {
        hive.createKey(fullPath(root, keyPath)).setValue(valueName, data);
        return true;
    });
}

bool Registry::deleteKeyTree(RootKey root, std::string_view keyPath) {
    // Checked without the lock first, so that deleting a missing key creates nothing.
    if (keyPath.empty() || !keyExists(root, keyPath, false)) return false;
    try {
        return modifyHive(m_folder, hivePath(root), root,
                          [&](Hive& hive) { return hive.deleteKey(fullPath(root, keyPath)); });
    } catch (const ERegistryError&) {
        return false;
    }
}

}  // namespace platform
