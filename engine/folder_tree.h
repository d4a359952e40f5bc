#pragma once
// The uninstall's deletion of an installed folder tree.
//
// The walk works on file descriptors, never on path strings: the root is opened once without
// following a link, every entry is looked at and deleted relative to its folder's
// descriptor, and a sub-folder is entered only through an open that refuses links. So a
// folder that is swapped for a link while the walk runs is never followed, and nothing
// outside the tree can be reached through a link inside it. The walk stays on the root's
// file system (and mount): a mounted sub-folder is neither entered nor removed. Walking and
// removing hold one descriptor per folder level (not per folder); a folder that cannot be
// opened, for instance past the descriptor limit, is left as it is.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/open_folder.h"

namespace engine {

class FolderTree {
public:
    // Called after the files of each folder were deleted (the program lets pending window
    // events run there); returning false asks the walk to stop (termination requested).
    using AfterFolder = std::function<bool()>;

    explicit FolderTree(AfterFolder afterFolder);
    FolderTree(const FolderTree&) = delete;
    FolderTree& operator=(const FolderTree&) = delete;

    // Deletes every file below root and collects the folders in RemovedFolders; the
    // uninstall calls it with the installed folder, the mask "*.*" and descend = true.
    //
    // In each folder, first every entry that is not a folder and whose name matches the mask
    // is deleted (hidden files, links, fifos too), except "read-only" ones: those without
    // the owner's write bit stay: they count as read-only files, which are kept. Then
    // AfterFolder runs; then, when descending, each sub-folder whose name does not begin
    // with '.' is entered, depth first, unless AfterFolder asked to stop. Folders are only
    // collected here (each entered sub-folder, and the root when it held a matching file),
    // with a final '/'; removeCollectedFolders removes them.
    //
    // The mask matches names by these rules: '*' any run of characters, '?' one
    // character, letters case-blind, and a final ".*" also matches names without an
    // extension, so "*.*" matches every name. An empty mask matches nothing.
    //
    // The root may be written with or without its final '/' (or "/."); it is always taken as
    // that folder, never as a prefix of its siblings' names. Nothing is deleted when the root
    // is relative, missing, not a folder, a symbolic link (however written), or refused by
    // platform::refusalReason (judged again on the folder actually opened, by identity).
    // Returns the walk's "go on": false only when AfterFolder asked to stop.
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

    bool openRoot(const std::string& root);
    bool walkFolder(const platform::OpenFolder& folder, std::string& path);
    std::vector<std::string> deleteFiles(const platform::OpenFolder& folder, const std::string& path);
    bool enterSubFolders(const platform::OpenFolder& folder, std::string& path,
                         const std::vector<std::string>& names);
    std::optional<platform::OpenFolder> openSubFolder(const platform::OpenFolder& parent,
                                                      const std::string& name) const;
    void removeCollected(const std::string& folder, FolderChain& chain);
    void removeRoot() const;

    AfterFolder m_afterFolder;
    std::string m_mask;
    bool m_descend = true;
    std::optional<platform::OpenFolder> m_root;  // the walked root, kept open until this object goes
    std::string m_rootFolder;                    // the root as given, with one final '/'
    platform::FileIdentity m_rootIdentity;
    std::vector<std::string> m_removedFolders;
};

}  // namespace engine
