#pragma once
// The uninstall's deletion of an installed folder tree.
//
// The walk works on file descriptors, never on path strings: the root is opened once without
// following a link, every entry is looked at and deleted relative to its folder's
// descriptor, and a sub-folder is entered only through an open that refuses links. So a
// folder that is swapped for a link while the walk runs is never followed, and nothing
// outside the tree can be reached through a link inside it. The walk stays on the root's
// file system (and mount): a mounted sub-folder is neither entered nor removed. It judges
// every folder before entering it against the protected folders, by device and inode, so a
// home or a system folder that is met below the root (moved there, or reached through the
// file system the root lies on) is never entered.
//
// The walk is a loop, not a recursion, and keeps no path: one entry per level of the branch
// it is in (the folder's name and identity, and the names of its sub-folders still to be
// entered), and at most a few dozen descriptors whatever the depth; a folder further up is
// opened again through ".." of the one below it when the walk comes back to it, and must
// still be the folder it left.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/open_folder.h"
#include "platform/protected_identities.h"

namespace engine {

class FolderTree {
public:
    // Called after the files of each folder were deleted (the program lets pending window
    // events run there); returning false asks the walk to stop (termination requested).
    using AfterFolder = std::function<bool()>;

    explicit FolderTree(AfterFolder afterFolder);
    FolderTree(const FolderTree&) = delete;
    FolderTree& operator=(const FolderTree&) = delete;

    // Deletes every file below root; the uninstall calls it with the installed folder, the
    // mask "*.*" and descend = true.
    //
    // In each folder, first every entry that is not a folder and whose name matches the mask
    // is deleted (hidden files, links, fifos too), except "read-only" ones: those without
    // the owner's write bit stay: they count as read-only files, which are kept. Then
    // AfterFolder runs; then, when descending, each sub-folder whose name does not begin
    // with '.' is entered, depth first, in the order the system lists them, unless
    // AfterFolder asked to stop. An entered sub-folder is removed once the walk has left it,
    // when it is empty by then, so that every folder goes after the folders below it. The
    // root is only collected (with a final '/', when it held a matching file);
    // removeCollectedFolders removes it.
    //
    // A sub-folder that is a protected folder or holds one (platform::ProtectedIdentities,
    // collected when the walk starts) is neither entered nor removed: the walk ends there
    // with EEngineError naming it and the reason ("The uninstall stopped at /d/home/ann, which
    // is your home folder. It was not entered, and the folders above it stay."). So it does
    // when a folder it comes back to is no longer the one it left (the tree was moved).
    //
    // The mask matches names by these rules: '*' any run of characters, '?' one
    // character, letters case-blind, and a final ".*" also matches names without an
    // extension, so "*.*" matches every name. An empty mask matches nothing.
    //
    // The root may be written with or without its final '/' (or "/."); it is always taken as
    // that folder, never as a prefix of its siblings' names. Nothing is deleted when the root
    // is relative, missing, not a folder, reached through a symbolic link (however written),
    // or refused by platform::refusalReason (judged again on the folder actually opened, by
    // identity). Returns the walk's "go on": false only when AfterFolder asked to stop.
    bool DeleteFolderTree(const std::string& root, const std::string& mask, bool descend);

    // Adds a folder (ignored when the very same path is there). Paths that differ only in
    // case are different folders on Linux and are both kept.
    void addRemovedFolder(const std::string& folder);

    // Removes the collected folders from the last to the first, each on its own (only empty
    // folders go; failures are ignored), then empties the list. Each folder is reached from
    // the root opened by the last DeleteFolderTree, one component at a time, without
    // following links and without leaving the root's file system; collected paths outside
    // that root (or with ".." below it) are not touched. The root itself goes when it is
    // in the list (with or without its final '/') and is still the folder that was walked.
    void removeCollectedFolders();

    // Sorted ascending, case-blind (then by bytes for ties), without duplicates. A folder
    // sorts before everything below it, so last to first gives children before parents.
    const std::vector<std::string>& RemovedFolders() const;

private:
    class FolderChain;
    struct Level;
    using Branch = std::vector<Level>;

    bool openRoot(const std::string& root);
    bool walk(const platform::ProtectedIdentities& protectedFolders);
    bool enter(Branch& branch, std::optional<platform::OpenFolder> folder,
               const platform::FileIdentity& identity, std::string name);
    void leave(Branch& branch);
    const platform::OpenFolder& folderOf(const Branch& branch, std::size_t level) const;
    const platform::OpenFolder& reopenedParent(Branch& branch, const Level& left) const;
    std::vector<std::string> deleteFiles(const platform::OpenFolder& folder, bool isRoot);
    std::optional<platform::OpenFolder> openSubFolder(const platform::OpenFolder& parent,
                                                      const std::string& name) const;
    void removeCollected(const std::string& folder, FolderChain& chain);
    void removeRoot() const;

    AfterFolder m_afterFolder;
    std::string m_mask;
    bool m_descend = true;
    std::optional<platform::OpenFolder>
        m_root;                // the walked root, kept open until this object goes
    std::string m_rootFolder;  // the root as given, with one final '/'
    platform::FileIdentity m_rootIdentity;
    std::vector<std::string> m_removedFolders;
};

}  // namespace engine
