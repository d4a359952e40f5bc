#pragma once
// The nodes of a tree view as plain objects: text, images, the has-children flag, the
// expanded state and a data pointer, kept apart from any widget so that a tree of many
// thousand nodes costs one small object per node. A TTreeNodes collection owns them and
// tells one observer (the view's item model) about every change of structure, holding
// back the announcements of appended children during a bulk update.

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace framework {

class TTreeNode;
class TTreeNodes;

// Negative when the first node sorts before the second, 0 when equal, positive after.
using TreeNodeCompare = std::function<int(const TTreeNode* first, const TTreeNode* second)>;

// What the collection reports; the item model turns it into its own signals. Between a
// "before" and its "after" call the collection's announced counts still read as before.
class TreeNodesObserver {
public:
    virtual ~TreeNodesObserver() = default;
    virtual void beforeInsert(TTreeNode* parent, int first, int last) = 0;
    virtual void afterInsert() = 0;
    virtual void beforeRemove(TTreeNode* parent, int first, int last) = 0;
    virtual void afterRemove() = 0;
    virtual void beforeReorder(TTreeNode* parent) = 0;
    virtual void afterReorder(TTreeNode* parent) = 0;
    virtual void nodeChanged(TTreeNode* node) = 0;
    virtual void updateEnded() = 0;
    // Asked before a node whose subtree goes away is deleted (selection, editing).
    virtual void nodeDeleting(TTreeNode* /*node*/) {}
};

class TTreeNode {
public:
    explicit TTreeNode(TTreeNodes* owner);
    virtual ~TTreeNode();
    TTreeNode(const TTreeNode&) = delete;
    TTreeNode& operator=(const TTreeNode&) = delete;

    TTreeNodes* owner() const { return m_owner; }
    // The parent node, or nullptr for a top-level node.
    TTreeNode* parent() const;
    // Position among its siblings.
    int index() const { return m_index; }
    int level() const;
    int count() const { return static_cast<int>(m_children.size()); }
    // The child at that position; throws std::out_of_range outside 0..count()-1.
    TTreeNode* item(int index) const;
    TTreeNode* getFirstChild() const;
    TTreeNode* getNextSibling() const;
    TTreeNode* getPrevSibling() const;
    // True when this node lies below (or is) the given one.
    bool hasAsAncestor(const TTreeNode* node) const;

    const std::string& text() const { return m_text; }
    void setText(const std::string& value);
    int imageIndex() const { return m_imageIndex; }
    void setImageIndex(int value);
    int selectedIndex() const { return m_selectedIndex; }
    void setSelectedIndex(int value);
    // Index into the image list's overlays, -1 for none.
    int overlayIndex() const { return m_overlayIndex; }
    void setOverlayIndex(int value);
    void* data() const { return m_data; }
    void setData(void* value) { m_data = value; }

    // Whether the node shows an expand button; adding a child sets it. Children may be
    // added later, when the node expands.
    bool hasChildren() const { return m_hasChildren; }
    void setHasChildren(bool value);
    bool expanded() const { return m_expanded; }
    // Expands (asking the view, which may refuse) or collapses one level.
    void setExpanded(bool value);
    void expand(bool recursive);
    void collapse(bool recursive);

    void deleteChildren();
    // Orders the children by the callback (stable); with recursive, every level below too.
    void customSort(const TreeNodeCompare& compare, bool recursive);

private:
    friend class TTreeNodes;
    friend class TTreeView;

    TTreeNodes* m_owner;
    TTreeNode* m_parent = nullptr;
    int m_index = 0;
    int m_announced = 0;     // children the observer has been told of: the first ones
    bool m_pending = false;  // in the collection's list of nodes with unannounced children
    std::vector<std::unique_ptr<TTreeNode>> m_children;
    std::string m_text;
    int m_imageIndex = -1;
    int m_selectedIndex = -1;
    int m_overlayIndex = -1;
    void* m_data = nullptr;
    bool m_hasChildren = false;
    bool m_expanded = false;
};

// Owns every node of one tree. Top-level nodes are the children of an invisible root.
class TTreeNodes {
public:
    using NodeFactory = std::function<std::unique_ptr<TTreeNode>(TTreeNodes*)>;
    // Decides whether a node may expand (true) or collapse (false), and applies it.
    using ExpansionHandler = std::function<void(TTreeNode*, bool expand)>;

    TTreeNodes();
    ~TTreeNodes();
    TTreeNodes(const TTreeNodes&) = delete;
    TTreeNodes& operator=(const TTreeNodes&) = delete;

    void setObserver(TreeNodesObserver* observer) { m_observer = observer; }
    TreeNodesObserver* observer() const { return m_observer; }
    // Makes the nodes that add() and addChild() create (a derived node class).
    void setNodeFactory(NodeFactory factory) { m_factory = std::move(factory); }
    void setExpansionHandler(ExpansionHandler handler) { m_expansion = std::move(handler); }

    // The invisible parent of the top-level nodes.
    TTreeNode* root() const { return m_root.get(); }
    // Every node of the tree.
    int count() const { return m_total; }

    // Appends a node to the top level / to parent's children (parent nullptr: top level).
    TTreeNode* add(const std::string& text) { return addChild(nullptr, text); }
    TTreeNode* addChild(TTreeNode* parent, const std::string& text);
    // Inserts a child at a position (clamped to 0..count).
    TTreeNode* insertChild(TTreeNode* parent, int position, const std::string& text);
    // Deletes the node with its subtree.
    void remove(TTreeNode* node);
    void clear();

    // Bulk update: nested; appended children are announced in one step when the outermost
    // update ends (or earlier, when something needs them).
    void beginUpdate() { ++m_updateCount; }
    void endUpdate();
    bool updating() const { return m_updateCount > 0; }
    // Announces what is pending among the node's ancestors, so that the observer knows
    // the node itself.
    void announce(TTreeNode* node);
    // Announces the node and every child of it that is still held back.
    void announceChildren(TTreeNode* parent) { flush(parent); }
    // The children of node that the observer knows.
    static int announcedCount(const TTreeNode* node) { return node->m_announced; }

    void customSort(TTreeNode* parent, const TreeNodeCompare& compare, bool recursive);

private:
    friend class TTreeNode;
    TTreeNode* attach(TTreeNode* parent, int position, std::unique_ptr<TTreeNode> node);
    void insertKnown(TTreeNode* parent, int position, std::unique_ptr<TTreeNode> node);
    void flush(TTreeNode* parent);
    void flushAll();
    void sortLevel(TTreeNode* parent, const TreeNodeCompare& compare);
    void dropPendingWithin(const TTreeNode* node);
    void changed(TTreeNode* node);
    void requestExpansion(TTreeNode* node, bool expand);
    static int subtreeSize(const TTreeNode* node);
    static void renumber(TTreeNode* parent, int from);

    std::unique_ptr<TTreeNode> m_root;
    TreeNodesObserver* m_observer = nullptr;
    NodeFactory m_factory;
    ExpansionHandler m_expansion;
    std::vector<TTreeNode*> m_pending;  // nodes with unannounced children
    int m_updateCount = 0;
    int m_total = 0;
};

// Begins a bulk update for its lifetime.
class TreeUpdateScope {
public:
    explicit TreeUpdateScope(TTreeNodes& nodes) : m_nodes(nodes) { m_nodes.beginUpdate(); }
    ~TreeUpdateScope() { m_nodes.endUpdate(); }
    TreeUpdateScope(const TreeUpdateScope&) = delete;
    TreeUpdateScope& operator=(const TreeUpdateScope&) = delete;

private:
    TTreeNodes& m_nodes;
};

}  // namespace framework
