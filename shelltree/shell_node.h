#pragma once
// A node of the folder tree: a tree-view node that stands for one item of the namespace and
// knows its identifier lists, its folders and its attributes.

#include <memory>
#include <string>

#include "framework/tree_nodes.h"
#include "shelltree/disc_monitor_thread.h"
#include "shelltree/node_info.h"

namespace shelltree {

class TShellTree;

class TShellNode : public framework::TTreeNode {
public:
    TShellNode(framework::TTreeNodes* owner, TShellTree* tree);
    ~TShellNode() override;

    bool FolderBound = false;  // Folder was bound (or binding tried) since the identity was set
    bool HasMonitor = false;   // a change monitor was started for this node
    TNodeInfo Info;
    // The node's change monitor (its folder and direct sub-folders); freed with the node.
    std::unique_ptr<TDiscMonitorThread> Monitor;

    TShellTree* tree() const { return m_tree; }
    TShellNode* parentNode() const { return static_cast<TShellNode*>(parent()); }
    TShellNode* child(int index) const { return static_cast<TShellNode*>(item(index)); }

    // Takes the parent folder and, when given, a new relative list (an unchanged list stays;
    // either way the bound folder is forgotten), then computes the absolute list. With
    // recurse the descendants follow, so that their lists start with this node's new one.
    void SetIdentity(std::shared_ptr<ShellFolder> parentFolder, IDList* list, bool recurse);
    // The item bound as a folder (bound on first use); nullptr when it cannot be.
    std::shared_ptr<ShellFolder> GetFolder();
    void UpdateText();
    virtual std::string GetDisplayName();
    // The file-system path of the item; empty for items without one.
    std::string NodePath() const;
    // Image, selected image and overlay after the item and the tree's overlay settings.
    virtual void UpdateIcons();
    // Renames the item; false when the name is the current text or the namespace refused.
    virtual bool Rename(const std::string& name);
    // The node's change handler: its monitor saw names change in its folder.
    void folderChanged();

private:
    void freeMonitor();

    TShellTree* m_tree;
};

}  // namespace shelltree
