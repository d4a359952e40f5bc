#include "folder_tree.h"

#include <algorithm>
#include <utility>

#include "operations.h"
#include "platform/folder_guard.h"
#include "platform/paths.h"

namespace engine {

namespace {

using platform::isFolder;
using platform::OpenFolder;

// Descriptors held open down the branch; deeper trees reopen their folders on the way back.
constexpr std::size_t kHeldLevels = 32;

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

// The walk's end at a protected folder, named where the system can tell.
EEngineError stoppedAt(const OpenFolder& folder, const std::string& why) {
    const std::string path = folder.currentPath();
    return EEngineError("The uninstall stopped at " +
                        (path.empty() ? std::string("a folder") : path) + ", which " + why +
                        ". It was not entered, and the folders above it stay.");
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

// One folder of the branch the walk is in.
struct FolderTree::Level {
    std::optional<OpenFolder>
        folder;  // open while among the deepest kHeldLevels; the root's is m_root
    platform::FileIdentity identity;
    std::string name;                     // in the folder above; "" for the root
    std::vector<std::string> subFolders;  // still to be entered, the next one last
};

FolderTree::FolderTree(AfterFolder afterFolder) : m_afterFolder(std::move(afterFolder)) {}

bool FolderTree::DeleteFolderTree(const std::string& root, const std::string& mask, bool descend) {
    m_mask = mask;
    m_descend = descend;
    if (!openRoot(root)) return true;
    return walk(platform::ProtectedIdentities::collect());
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
    // asked; it must lie where the record says, not where a link put in meanwhile leads.
    if (!identity || platform::refusalReason(root, opened->descriptor())) return false;
    const std::string opensAt = opened->currentPath();
    if (!opensAt.empty() && opensAt != platform::lexicallyNormal(folder)) return false;
    m_root = std::move(opened);
    m_rootFolder = folder + '/';
    m_rootIdentity = *identity;
    return true;
}

bool FolderTree::walk(const platform::ProtectedIdentities& protectedFolders) {
    Branch branch;
    bool goOn = enter(branch, std::nullopt, m_rootIdentity, std::string());
    while (!branch.empty()) {
        Level& level = branch.back();
        if (!goOn || !m_descend || level.subFolders.empty()) {
            leave(branch);
            continue;
        }
        std::string name = std::move(level.subFolders.back());
        level.subFolders.pop_back();
        std::optional<OpenFolder> subFolder =
            openSubFolder(folderOf(branch, branch.size() - 1), name);
        const std::optional<platform::FileIdentity> identity =
            subFolder ? subFolder->identity() : std::nullopt;
        if (!identity) continue;
        if (const std::string* why = protectedFolders.find(*identity))
            throw stoppedAt(*subFolder, *why);
        goOn = enter(branch, std::move(subFolder), *identity, std::move(name));
    }
    return goOn;
}

// Deletes the folder's files, puts it at the end of the branch and lets AfterFolder run.
bool FolderTree::enter(Branch& branch, std::optional<OpenFolder> folder,
                       const platform::FileIdentity& identity, std::string name) {
    const bool isRoot = branch.empty();
    std::vector<std::string> subFolders = deleteFiles(isRoot ? *m_root : *folder, isRoot);
    std::reverse(subFolders.begin(), subFolders.end());
    branch.push_back(Level{std::move(folder), identity, std::move(name), std::move(subFolders)});
    // Bounded descriptors at any depth: the folder far enough up is opened again on the way back.
    if (branch.size() > kHeldLevels) branch[branch.size() - 1 - kHeldLevels].folder.reset();
    return !m_afterFolder || m_afterFolder();
}

// Leaves the deepest folder of the branch and removes it from its parent when it is empty.
void FolderTree::leave(Branch& branch) {
    Level left = std::move(branch.back());
    branch.pop_back();
    if (branch.empty()) return;  // the root: removeCollectedFolders
    const OpenFolder& parent = reopenedParent(branch, left);
    const std::optional<platform::FileIdentity> entry = parent.entryIdentity(left.name);
    if (entry && isFolder(*entry) && entry->sameFile(left.identity))
        parent.removeSubFolder(left.name);
}

const OpenFolder& FolderTree::folderOf(const Branch& branch, std::size_t level) const {
    return level == 0 ? *m_root : *branch[level].folder;
}

// The folder above left, open again through ".." when its descriptor was given up; it must be
// the folder the walk left.
const OpenFolder& FolderTree::reopenedParent(Branch& branch, const Level& left) const {
    Level& parent = branch.back();
    if (branch.size() == 1 || parent.folder) return folderOf(branch, branch.size() - 1);
    std::optional<OpenFolder> again = left.folder->openSubFolder("..");
    const std::optional<platform::FileIdentity> identity = again ? again->identity() : std::nullopt;
    if (!identity || !identity->sameFileAndMount(parent.identity)) {
        throw EEngineError("The folders in " + m_rootFolder +
                           " were moved while they were being deleted. The uninstall stopped.");
    }
    parent.folder = std::move(again);
    return *parent.folder;
}

std::vector<std::string> FolderTree::deleteFiles(const OpenFolder& folder, bool isRoot) {
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
    if (matched && isRoot) addRemovedFolder(m_rootFolder);
    return subFolders;
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
    const std::optional<OpenFolder> parent =
        OpenFolder::open(slash == 0 ? "/" : current.substr(0, slash));
    if (!parent) return;
    const std::string name = current.substr(slash + 1);
    const std::optional<platform::FileIdentity> entry = parent->entryIdentity(name);
    if (entry && isFolder(*entry) && entry->sameFile(m_rootIdentity)) parent->removeSubFolder(name);
}

}  // namespace engine
