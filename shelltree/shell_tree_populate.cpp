// Reading the children of one node and merging them with the nodes already there.

#include <QCoreApplication>

#include "child_index.h"
#include "framework/application.h"
#include "shell_tree.h"

namespace shelltree {

struct TShellTree::AddContext {
    std::shared_ptr<ShellFolder> folder;  // the parent's folder
    ChildIndex<TShellNode>* index;
    std::vector<TShellNode*>* added;
};

namespace {

std::vector<TShellNode*> childrenOf(TShellNode* node) {
    std::vector<TShellNode*> children;
    children.reserve(static_cast<std::size_t>(node->count()));
    for (int i = 0; i < node->count(); ++i) children.push_back(node->child(i));
    return children;
}

// The file-name part of a path.
std::string_view fileNameOf(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

}  // namespace

TShellTree::Operation::Operation(TShellTree& tree, bool processEvents)
    : m_tree(tree), m_processEvents(processEvents) {
    ++m_tree.m_depth;
}

TShellTree::Operation::~Operation() {
    if (--m_tree.m_depth != 0) return;
    m_tree.postChangedNodes();
    if (m_processEvents) QCoreApplication::sendPostedEvents(m_tree.widget(), 0);
}

void TShellTree::PopulateNode(TShellNode* node) {
    if (node == nullptr) return;
    const Operation operation(*this, true);
    {
        const framework::TreeUpdateScope update(items());
        const framework::HourglassCursor hourglass;
        const auto folder = node->GetFolder();
        ChildIndex<TShellNode> index(childrenOf(node));
        auto listing =
            folder ? folder->EnumObjects(ShellOwner(), listingFlags(m_options)) : nullptr;
        int listed = 0;
        if (listing) {
            AddContext context{folder, &index, nullptr};
            listing->Reset();
            while (IDList item = listing->Next()) {
                ++listed;
                AddChildItem(node, std::move(item), context);
            }
        }
        node->setHasChildren(listed > 0);
        SortChildren(node, false);
        for (int i = node->count() - 1; i >= 0; --i) {
            if (!node->child(i)->Info.Seen) items().remove(node->child(i));
        }
        // An expanded node whose children all went closes, so that it expands (and reads)
        // again when a path leads through it.
        if (node->count() == 0 && node->expanded()) node->collapse(false);
        if (!node->NodePath().empty() && !node->HasMonitor && node->count() > 0) startMonitor(node);
    }
}

void TShellTree::AddChildItem(TShellNode* parent, IDList list, AddContext& context) {
    TShellNode* existing = context.index->FindUnseenChild(list.get());
    const std::uint32_t attributes =
        context.folder->GetAttributesOf(list.get(), kRequestedAttributes).value_or(0);
    if (!keepItem(parent, list.get(), attributes)) {
        if (existing != nullptr) existing->Info.Seen = false;
        return;
    }
    TShellNode* node = existing;
    if (node != nullptr) {
        node->SetIdentity(context.folder, &list, false);
    } else {
        node = static_cast<TShellNode*>(items().addChild(parent, std::string()));
        node->SetIdentity(context.folder, &list, false);
        node->Info.Populated = false;
    }
    node->UpdateText();
    node->Info.Seen = true;
    node->Info.ItemAttributes = attributes;
    bool hasKids = (attributes & SFGAO_HASSUBFOLDER) != 0;
    if ((m_options & TF_NONFOLDERS) != 0 && !hasKids && (attributes & SFGAO_FOLDER) != 0) {
        hasKids = probeHasChildren(node);
    }
    if (!hasKids) {
        node->Info.Populated = false;
        if (node->expanded()) node->collapse(false);
        node->deleteChildren();
    }
    node->setHasChildren(hasKids);
    node->UpdateIcons();
}

// Virtual items are dropped unless shown; files must match the masks and may be refused by
// OnFileAdd.
bool TShellTree::keepItem(TShellNode* parent, PItemIDList list, std::uint32_t attributes) {
    const bool fileSystem = (attributes & (SFGAO_FILESYSTEM | SFGAO_FILESYSANCESTOR)) != 0;
    if (!m_showVirtualFolders && !fileSystem) return false;
    const bool file =
        (m_options & TF_NONFOLDERS) != 0 && fileSystem && (attributes & SFGAO_FOLDER) == 0;
    if (!file) return true;
    const std::string name = DisplayNameOf(*parent->GetFolder(), list, SHGDN_FORPARSING);
    if (m_fileMaskUse && !MatchesAnyMask(fileNameOf(name), m_maskList)) return false;
    bool allow = true;
    if (hasState(framework::csDesigning)) return true;
    return framework::raiseEvent(OnFileAdd, name, attributes, allow) && allow;
}

// Whether a folder lists anything with the tree's options (its sub-folder flag does not
// tell about files). Asked silently: a folder that cannot be read simply has none.
bool TShellTree::probeHasChildren(TShellNode* node) {
    const auto folder = node->GetFolder();
    if (!folder) return false;
    auto listing = folder->EnumObjects(nullptr, listingFlags(m_options));
    if (!listing) return false;
    listing->Reset();
    return static_cast<bool>(listing->Next());
}

void TShellTree::SortChildren(TShellNode* node, bool recursive) {
    if (node == nullptr) return;
    if (recursive || !inOrder(node)) customSort(node, {}, recursive);
}

// Children in order need no sort: a re-read of an unchanged folder then costs the view no
// reordering of its rows.
bool TShellTree::inOrder(const TShellNode* node) const {
    for (int i = 1; i < node->count(); ++i) {
        if (CompareNodes(node->child(i - 1), node->child(i)) > 0) return false;
    }
    return true;
}

int TShellTree::CompareNodes(const framework::TTreeNode* first,
                             const framework::TTreeNode* second) const {
    return compareSiblings(static_cast<const TShellNode*>(first)->Info,
                           static_cast<const TShellNode*>(second)->Info, m_fileSortType,
                           m_fileSortOrder);
}

}  // namespace shelltree
