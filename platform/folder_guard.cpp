#include "folder_guard.h"

#include <limits.h>
#include <stdlib.h>

#include <cstdlib>
#include <string_view>
#include <vector>

#include "environment.h"
#include "xdg_folders.h"

namespace platform {

namespace {

const char* const kNothingDeleted = " Nothing was deleted.";

constexpr std::string_view kSystemFolders[] = {
    "/usr",  "/etc",  "/bin",  "/sbin",  "/lib", "/lib32", "/lib64", "/libx32",
    "/boot", "/dev",  "/proc", "/sys",   "/run", "/var",   "/opt",   "/srv",
    "/home", "/root", "/mnt",  "/media", "/tmp", "/snap",
};

// A folder that must survive, with what to tell the user when the recorded folder is that
// folder or lies above it.
struct ProtectedFolder {
    std::string folder;
    std::string isText;        // "your home folder"
    std::string containsText;  // "your home folder" (after "contains")
};

// "." and ".." worked out on the text alone; the result is absolute without a final '/'
// (the root is "/"). The input must start with '/'.
std::string lexicallyNormal(std::string_view path) {
    std::vector<std::string_view> parts;
    while (!path.empty()) {
        const std::size_t slash = path.find('/');
        const std::string_view part = path.substr(0, slash);
        path = slash == std::string_view::npos ? std::string_view() : path.substr(slash + 1);
        if (part.empty() || part == ".") continue;
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
            continue;
        }
        parts.push_back(part);
    }
    std::string normal;
    for (const std::string_view part : parts) {
        normal += '/';
        normal += part;
    }
    return normal.empty() ? "/" : normal;
}

// The forms in which a folder can be met: as written and as the system resolves it (when it
// exists). Both are absolute, without a final '/'.
std::vector<std::string> formsOf(const std::string& folder) {
    std::vector<std::string> forms{lexicallyNormal(folder)};
    if (char* resolved = realpath(folder.c_str(), nullptr)) {
        if (forms.front() != resolved) forms.emplace_back(resolved);
        std::free(resolved);
    }
    return forms;
}

// True when ancestor lies strictly above folder (component boundaries respected).
bool isAncestor(const std::string& ancestor, const std::string& folder) {
    if (ancestor == "/") return folder != "/";
    return folder.size() > ancestor.size() && folder.starts_with(ancestor) &&
           folder[ancestor.size()] == '/';
}

std::string cacheHomeFolder() {
    if (const char* cache = std::getenv("XDG_CACHE_HOME"); cache != nullptr && cache[0] == '/') {
        return cache;
    }
    const std::string home = homeFolder();
    return home == "/" ? "/.cache" : home + "/.cache";
}

void addUserFolders(std::vector<ProtectedFolder>& list) {
    const UserFolders user = userFolders();
    const std::pair<const std::string*, const char*> named[] = {
        {&user.desktop, "your desktop folder"},
        {&user.documents, "your documents folder"},
        {&user.download, "your downloads folder"},
        {&user.music, "your music folder"},
        {&user.pictures, "your pictures folder"},
        {&user.videos, "your videos folder"},
        {&user.templates, "your templates folder"},
        {&user.publicShare, "your public folder"},
        {&user.dataHome, "your application data folder"},
        {&user.configHome, "your settings folder"},
    };
    for (const auto& [folder, text] : named) list.push_back({*folder, text, text});
    list.push_back({cacheHomeFolder(), "your cache folder", "your cache folder"});
}

// Every folder that the uninstall must leave alone, the user's own first so that the most
// telling reason is given (/home is a system folder, but above all it holds the user's home).
std::vector<ProtectedFolder> protectedFolders() {
    std::vector<ProtectedFolder> list;
    list.push_back({homeFolder(), "your home folder", "your home folder"});
    addUserFolders(list);
    for (const std::string_view system : kSystemFolders) {
        list.push_back(
            {std::string(system), "a system folder", "the system folder " + std::string(system)});
    }
    return list;
}

// "The recorded folder X is" or, when X only leads there, "The recorded folder X leads to
// Y, which is".
std::string subject(const std::string& folder, const std::string& form, const char* verb) {
    std::string written = folder;
    while (written.size() > 1 && written.back() == '/') written.pop_back();
    const std::string text = "The recorded folder " + folder;
    if (form == written) return text + " " + verb;
    return text + " leads to " + form + ", which " + verb;
}

std::optional<std::string> protectedReason(const std::string& folder,
                                           const std::vector<std::string>& forms) {
    for (const ProtectedFolder& guarded : protectedFolders()) {
        if (guarded.folder.empty() || guarded.folder.front() != '/') continue;
        for (const std::string& protectedForm : formsOf(guarded.folder)) {
            for (const std::string& form : forms) {
                if (form == protectedForm) {
                    return subject(folder, form, "is") + " " + guarded.isText + "." +
                           kNothingDeleted;
                }
                if (isAncestor(form, protectedForm)) {
                    return subject(folder, form, "contains") + " " + guarded.containsText + "." +
                           kNothingDeleted;
                }
            }
        }
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::string> refusalReason(const std::string& folder) {
    if (folder.empty())
        return std::string("No installation folder was recorded.") + kNothingDeleted;
    if (folder.find('\0') != std::string::npos) {
        return "The recorded folder is not a valid folder name." + std::string(kNothingDeleted);
    }
    if (folder.front() != '/') {
        return "The recorded folder " + folder + " is not a full path (it does not start with /)." +
               kNothingDeleted;
    }
    const std::vector<std::string> forms = formsOf(folder);
    for (const std::string& form : forms) {
        if (form == "/") {
            return subject(folder, form, "is") + " the root of the file system." + kNothingDeleted;
        }
    }
    return protectedReason(folder, forms);
}

}  // namespace platform
