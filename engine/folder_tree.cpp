#include "folder_tree.h"

#include <algorithm>
#include <utility>

#include "platform/folder_guard.h"
#include "platform/paths.h"

namespace engine {

namespace {

using platform::isFolder;
using platform::OpenFolder;

char folded(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Case-blind for ASCII letters, then by bytes. Folding keeps lengths, so a folder still
// sorts before every path below it.
bool folderLess(const std::string& a, const std::string& b) {
    const auto [ia, ib] = std::mismatch(a.begin(), a.end(), b.begin(), b.end(),
                                        [](char x, char y) { return folded(x) == folded(y); });
    if (ia != a.end() && ib != b.end()) {
        return static_cast<unsigned char>(folded(*ia)) < static_cast<unsigned char>(folded(*ib));
    }
    if (a.size() != b.size()) return a.size() < b.size();
    return a < b;
}

}  // namespace

// The folders from the root down to the one last asked for, kept open so that the next
// folder of the list (usually a sibling or a parent) costs no new opens. Holds one
// descriptor per level, never one per collected folder.
class FolderTree::FolderChain {
public:
    explicit FolderChain(const FolderTree& tree) : m_tree(tree) {}

    // The folder reached from the root through names, one component at a time without
    // following links or leaving the root's mount; nullptr when that is not possible.
    const OpenFolder* open(const std::vector<std::string>& names) {
        std::size_t kept = 0;
        while (kept < m_open.size() && kept < names.size() && m_open[kept].first == names[kept]) {
            ++kept;
        }
        m_open.erase(m_open.begin() + static_cast<std::ptrdiff_t>(kept), m_open.end());
        for (std::size_t i = kept; i < names.size(); ++i) {
            std::optional<OpenFolder> folder = m_tree.openSubFolder(top(), names[i]);
            if (!folder) return nullptr;
            m_open.emplace_back(names[i], std::move(*folder));
        }
        return &top();
    }

private:
    const OpenFolder& top() const { return m_open.empty() ? *m_tree.m_root : m_open.back().second; }

    const FolderTree& m_tree;
    std::vector<std::pair<std::string, OpenFolder>> m_open;
};

FolderTree::FolderTree(AfterFolder afterFolder) : m_afterFolder(std::move(afterFolder)) {}

bool FolderTree::DeleteFolderTree(const std::string& root, const std::string& mask, bool descend) {
    m_mask = mask;
    m_descend = descend;
    if (!openRoot(root)) return true;
    std::string path = m_rootFolder;
    return walkFolder(*m_root, path);
}

void FolderTree::addRemovedFolder(const std::string& folder) {
    const auto place =
        std::lower_bound(m_removedFolders.begin(), m_removedFolders.end(), folder, folderLess);
    if (place != m_removedFolders.end() && *place == folder) return;
    m_removedFolders.insert(place, folder);
}

void FolderTree::removeCollectedFolders() {
    if (m_root) {
        FolderChain chain(*this);
        for (auto folder = m_removedFolders.rbegin(); folder != m_removedFolders.rend(); ++folder) {
            removeCollected(*folder, chain);
        }
    }
    m_removedFolders.clear();
}

const std::vector<std::string>& FolderTree::RemovedFolders() const { return m_removedFolders; }

bool FolderTree::openRoot(const std::string& root) {
    m_root.reset();
    m_rootFolder.clear();
    // Without its final '/' (or "/."): either would make the open follow a link.
    std::string folder = root;
    while (!folder.empty() && (folder.back() == '/' || folder.ends_with("/."))) {
        folder.pop_back();
    }
    if (folder.empty() || folder.front() != '/' || platform::refusalReason(root)) return false;
    std::optional<OpenFolder> opened = OpenFolder::open(folder);
    if (!opened) return false;
    const std::optional<platform::FileIdentity> identity = opened->identity();
    // Judged again on the folder actually opened, in case the path changed since the caller
    // asked.
    if (!identity || platform::refusalReason(root, opened->descriptor())) return false;
    m_root = std::move(opened);
    m_rootFolder = folder + '/';
    m_rootIdentity = *identity;
    return true;
}

bool FolderTree::walkFolder(const OpenFolder& folder, std::string& path) {
    const std::vector<std::string> subFolders = deleteFiles(folder, path);
    const bool goOn = !m_afterFolder || m_afterFolder();
    if (!goOn || !m_descend) return goOn;
    return enterSubFolders(folder, path, subFolders);
}

std::vector<std::string> FolderTree::deleteFiles(const OpenFolder& folder, const std::string& path) {
    std::vector<std::string> subFolders;
    bool matched = false;
    for (const std::string& name : folder.entryNames()) {
        const std::optional<platform::FileIdentity> entry = folder.entryIdentity(name);
        if (!entry) continue;
        if (isFolder(*entry)) {
            if (name.front() != '.') subFolders.push_back(name);
            continue;
        }
        if (!platform::maskMatches(m_mask, name)) continue;
        matched = true;
        // Run as root, unlink would take a read-only file too; the mode bit decides instead.
        if (!platform::isReadOnly(*entry)) folder.removeEntry(name);
    }
    if (matched) addRemovedFolder(path);
    return subFolders;
}

bool FolderTree::enterSubFolders(const OpenFolder& folder, std::string& path,
                                 const std::vector<std::string>& names) {
    const std::size_t length = path.size();
    for (const std::string& name : names) {
        const std::optional<OpenFolder> subFolder = openSubFolder(folder, name);
        if (!subFolder) continue;
        path += name;
        path += '/';
        addRemovedFolder(path);
        const bool goOn = walkFolder(*subFolder, path);
        path.resize(length);
        if (!goOn) return false;
    }
    return true;
}

std::optional<OpenFolder> FolderTree::openSubFolder(const OpenFolder& parent,
                                                    const std::string& name) const {
    // Fails when the name is (or has become) a link.
    std::optional<OpenFolder> folder = parent.openSubFolder(name);
    if (!folder) return std::nullopt;
    // The walk stays on the root's file system and mount.
    const std::optional<platform::FileIdentity> identity = folder->identity();
    if (!identity || !platform::onSameMount(*identity, m_rootIdentity)) return std::nullopt;
    return folder;
}

void FolderTree::removeCollected(const std::string& folder, FolderChain& chain) {
    std::vector<std::string> parts = platform::pathComponents(folder);
    const std::vector<std::string> rootParts = platform::pathComponents(m_rootFolder);
    if (folder.empty() || folder.front() != '/' || parts.size() < rootParts.size() ||
        !std::equal(rootParts.begin(), rootParts.end(), parts.begin())) {
        return;  // not inside the walked tree
    }
    parts.erase(parts.begin(), parts.begin() + static_cast<std::ptrdiff_t>(rootParts.size()));
    if (parts.empty()) {
        removeRoot();
        return;
    }
    if (std::find(parts.begin(), parts.end(), "..") != parts.end()) return;
    const std::string name = parts.back();
    parts.pop_back();
    if (const OpenFolder* parent = chain.open(parts)) parent->removeSubFolder(name);
}

void FolderTree::removeRoot() const {
    // Where the walked folder is now; it goes only if that name still holds the very folder.
    std::string current = m_root->currentPath();
    if (current.empty()) current = m_rootFolder.substr(0, m_rootFolder.size() - 1);
    const std::size_t slash = current.rfind('/');
    if (current.size() < 2 || slash == std::string::npos) return;
    const std::optional<OpenFolder> parent = OpenFolder::open(slash == 0 ? "/" : current.substr(0, slash));
    if (!parent) return;
    const std::string name = current.substr(slash + 1);
    const std::optional<platform::FileIdentity> entry = parent->entryIdentity(name);
    if (entry && isFolder(*entry) && entry->sameFile(m_rootIdentity)) parent->removeSubFolder(name);
}

}  // namespace engine
