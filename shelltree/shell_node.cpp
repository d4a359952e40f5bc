#include "shell_node.h"

#include <cstring>

#include "shell_namespace.h"
#include "shell_tree.h"

namespace shelltree {

namespace {

bool sameBytes(const IDList& first, const IDList& second) {
    return first.byteSize() == second.byteSize() &&
           (first.byteSize() == 0 || std::memcmp(first.get(), second.get(), first.byteSize()) == 0);
}

// Whether a list already holds what ChildIDList(parent, child) would make, so that a re-read
// of an unchanged item builds no new list.
bool isChildIDList(const IDList& list, PItemIDList parent, PItemIDList child) {
    const std::size_t parentSize = IDListSize(parent);
    const std::size_t childSize = child != nullptr ? itemCount(child) : 0;
    return list.byteSize() == parentSize + childSize + 2 &&
           (parentSize == 0 || std::memcmp(list.get(), parent, parentSize) == 0) &&
           (childSize == 0 || std::memcmp(list.get() + parentSize, child, childSize) == 0);
}

}  // namespace

TShellNode::TShellNode(framework::TTreeNodes* owner, TShellTree* tree)
    : framework::TTreeNode(owner), m_tree(tree) {}

TShellNode::~TShellNode() { freeMonitor(); }

void TShellNode::SetIdentity(std::shared_ptr<ShellFolder> parentFolder, IDList* list,
                             bool recurse) {
    Info.ParentFolder = std::move(parentFolder);
    if (list != nullptr) {
        Info.Folder.reset();
        FolderBound = false;
        if (list != &Info.RelativeIDList && !sameBytes(*list, Info.RelativeIDList)) {
            Info.RelativeIDList = std::move(*list);
            // Only a child's one-item list has siblings to sort among.
            const bool child = IDListCount(Info.RelativeIDList.get()) == 1 && Info.ParentFolder;
            Info.sortKey =
                child ? Info.ParentFolder->nameSortKey(Info.RelativeIDList.get()) : std::string();
        }
    }
    TShellNode* parent = parentNode();
    if (parent != nullptr) {
        const PItemIDList parentList = parent->Info.AbsoluteIDList.get();
        if (!isChildIDList(Info.AbsoluteIDList, parentList, Info.RelativeIDList.get())) {
            Info.AbsoluteIDList = ChildIDList(parentList, Info.RelativeIDList.get());
        }
    } else {
        CopyIDList(Info.AbsoluteIDList, Info.RelativeIDList.get());
    }
    if (Monitor) Monitor->setDirectory(NodePath());  // the monitor follows a rename
    if (!recurse) return;
    for (int i = 0; i < count(); ++i) {
        TShellNode* node = child(i);
        node->SetIdentity(GetFolder(), &node->Info.RelativeIDList, true);
    }
}

std::shared_ptr<ShellFolder> TShellNode::GetFolder() {
    if (FolderBound && !Info.Folder) FolderBound = false;
    if (!FolderBound) {
        FolderBound = true;
        if (IDListCount(Info.RelativeIDList.get()) > 0) {
            Info.Folder = bindPath(Info.ParentFolder, Info.RelativeIDList.get());
        } else {
            Info.Folder = Info.ParentFolder;
        }
    }
    return Info.Folder;
}

void TShellNode::UpdateText() { setText(GetDisplayName()); }

std::string TShellNode::GetDisplayName() {
    if (!Info.ParentFolder) return {};
    if (IDListCount(Info.RelativeIDList.get()) > 1) {
        // The root's relative list is its whole list from the desktop: name its last item.
        const IDList parent = parentIDList(Info.RelativeIDList.get());
        const auto folder = bindPath(Info.ParentFolder, parent.get());
        const IDList item = firstItemList(lastItem(Info.RelativeIDList.get()));
        return folder ? DisplayNameOf(*folder, item.get(), SHGDN_NORMAL) : std::string();
    }
    if (IDListCount(Info.RelativeIDList.get()) == 0) return "Desktop";
    return DisplayNameOf(*Info.ParentFolder, Info.RelativeIDList.get(), SHGDN_NORMAL);
}

std::string TShellNode::NodePath() const { return PathFromIDList(Info.AbsoluteIDList.get()); }

void TShellNode::UpdateIcons() {
    setImageIndex(systemIconIndex(Info.AbsoluteIDList.get(), false));
    const bool folder = (Info.ItemAttributes & SFGAO_FOLDER) != 0;
    setSelectedIndex(systemIconIndex(Info.AbsoluteIDList.get(), folder));
    int overlay = -1;
    if (m_tree->ShowSharedOverlay() && (Info.ItemAttributes & SFGAO_SHARE) != 0) {
        overlay = 0;
    } else if (m_tree->ShowLinkOverlay() && (Info.ItemAttributes & SFGAO_LINK) != 0) {
        overlay = 1;
    }
    setOverlayIndex(overlay);
}

bool TShellNode::Rename(const std::string& name) {
    if (name == text() || !Info.ParentFolder) return false;
    IDList renamed =
        Info.ParentFolder->SetNameOf(m_tree->ShellOwner(), Info.RelativeIDList.get(), name);
    if (!renamed) return false;
    SetIdentity(Info.ParentFolder, &renamed, true);
    if (parentNode() != nullptr) m_tree->SortChildren(parentNode(), false);
    m_tree->nodeRenamed(this);
    return true;
}

}  // namespace shelltree
