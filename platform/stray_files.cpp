#include "stray_files.h"

#include <errno.h>
#include <sys/stat.h>

#include "open_folder.h"
#include "system.h"

namespace platform {

namespace {

// A folder being walked: its open descriptor, its entries and the next one to look at.
struct Level {
    OpenFolder folder;
    std::string path;  // below the walked folder; "" for the walked folder itself
    std::vector<std::string> names;
    std::size_t next = 0;
};

const char* strayKind(mode_t mode) {
    if (S_ISLNK(mode)) return "a symbolic link";
    if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
    if (S_ISFIFO(mode)) return "a named pipe";
    if (S_ISSOCK(mode)) return "a socket";
    return nullptr;
}

std::string below(const std::string& path, const std::string& name) {
    return path.empty() ? name : path + "/" + name;
}

class StrayWalk {
public:
    StrayWalk(const std::string& folder, bool removeLinks)
        : m_folder(folder), m_removeLinks(removeLinks) {}

    std::vector<StrayFile> run() {
        std::optional<OpenFolder> root = OpenFolder::open(m_folder);
        if (!root && errno == ENOENT) return {};
        if (!root) throw ESystemError("Cannot check", m_folder, errno);
        m_rootIdentity = root->identity();
        if (!m_rootIdentity) throw ESystemError("Cannot check", m_folder, errno);
        enter(std::move(*root), "");
        while (!m_levels.empty()) step();
        return std::move(m_found);
    }

private:
    void enter(OpenFolder folder, std::string path) {
        std::vector<std::string> names = folder.entryNames();
        m_levels.push_back({std::move(folder), std::move(path), std::move(names), 0});
    }

    void step() {
        Level& level = m_levels.back();
        if (level.next == level.names.size()) {
            m_levels.pop_back();
            return;
        }
        const std::string name = level.names[level.next++];
        const std::string path = below(level.path, name);
        const auto identity = level.folder.entryIdentity(name);
        if (!identity) return;  // gone meanwhile
        if (const char* kind = strayKind(identity->mode)) {
            return found(level.folder, name, path, kind, identity->mode);
        }
        if (!S_ISDIR(identity->mode)) return;
        std::optional<OpenFolder> sub = level.folder.openSubFolder(name);
        if (!sub) throw ESystemError("Cannot check", m_folder + "/" + path, errno);
        const auto opened = sub->identity();
        if (!opened || !onSameMount(*opened, *m_rootIdentity)) {
            m_found.push_back({path, "a mount point", false});
            return;
        }
        enter(std::move(*sub), path);
    }

    void found(const OpenFolder& folder, const std::string& name, const std::string& path,
               const char* kind, mode_t mode) {
        StrayFile stray{path, kind, false};
        if (m_removeLinks && S_ISLNK(mode)) {
            if (!folder.removeEntry(name) && errno != ENOENT) {
                throw ESystemError("Cannot remove", m_folder + "/" + path, errno);
            }
            stray.removed = true;
        }
        m_found.push_back(std::move(stray));
    }

    std::string m_folder;
    bool m_removeLinks;
    std::optional<FileIdentity> m_rootIdentity;
    std::vector<Level> m_levels;
    std::vector<StrayFile> m_found;
};

}  // namespace

std::vector<StrayFile> findStrayFiles(const std::string& folder, bool removeLinks) {
    return StrayWalk(folder, removeLinks).run();
}

}  // namespace platform
