#include "tree_nodes.h"

#include <algorithm>
#include <stdexcept>

namespace framework {

TTreeNode::TTreeNode(TTreeNodes* owner) : m_owner(owner) {}

TTreeNode::~TTreeNode() = default;

TTreeNode* TTreeNode::parent() const {
    if (m_parent == nullptr || m_parent == m_owner->root()) return nullptr;
    return m_parent;
}

int TTreeNode::level() const {
    int level = 0;
    for (const TTreeNode* p = parent(); p != nullptr; p = p->parent()) ++level;
    return level;
}

TTreeNode* TTreeNode::item(int index) const {
    if (index < 0 || index >= count()) {
        throw std::out_of_range("Tree node index out of bounds (" + std::to_string(index) + ")");
    }
    return m_children[static_cast<std::size_t>(index)].get();
}

TTreeNode* TTreeNode::getFirstChild() const {
    return m_children.empty() ? nullptr : m_children.front().get();
}

TTreeNode* TTreeNode::getNextSibling() const {
    if (m_parent == nullptr || m_index + 1 >= m_parent->count()) return nullptr;
    return m_parent->item(m_index + 1);
}

TTreeNode* TTreeNode::getPrevSibling() const {
    if (m_parent == nullptr || m_index == 0) return nullptr;
    return m_parent->item(m_index - 1);
}

bool TTreeNode::hasAsAncestor(const TTreeNode* node) const {
    for (const TTreeNode* p = this; p != nullptr; p = p->m_parent) {
        if (p == node) return true;
    }
    return false;
}

void TTreeNode::setText(const std::string& value) {
    if (m_text == value) return;
    m_text = value;
    m_owner->changed(this);
}

void TTreeNode::setImageIndex(int value) {
    if (m_imageIndex == value) return;
    m_imageIndex = value;
    m_owner->changed(this);
}

void TTreeNode::setSelectedIndex(int value) {
    if (m_selectedIndex == value) return;
    m_selectedIndex = value;
    m_owner->changed(this);
}

void TTreeNode::setOverlayIndex(int value) {
    if (m_overlayIndex == value) return;
    m_overlayIndex = value;
    m_owner->changed(this);
}

void TTreeNode::setHasChildren(bool value) {
    if (m_hasChildren == value) return;
    m_hasChildren = value;
    m_owner->changed(this);
}

void TTreeNode::setExpanded(bool value) {
    if (m_expanded != value) m_owner->requestExpansion(this, value);
}

void TTreeNode::expand(bool recursive) {
    setExpanded(true);
    if (!recursive || !m_expanded) return;
    for (int i = 0; i < count(); ++i) item(i)->expand(true);
}

void TTreeNode::collapse(bool recursive) {
    if (recursive) {
        for (int i = 0; i < count(); ++i) item(i)->collapse(true);
    }
    setExpanded(false);
}

void TTreeNode::deleteChildren() {
    if (m_children.empty()) return;
    TreeNodesObserver* observer = m_owner->observer();
    m_owner->dropPendingWithin(this);
    for (int i = 0; i < count(); ++i) m_owner->m_total -= TTreeNodes::subtreeSize(item(i));
    const bool announced = observer != nullptr && m_announced > 0;
    if (announced) {
        for (int i = 0; i < m_announced; ++i) observer->nodeDeleting(item(i));
        observer->beforeRemove(this, 0, m_announced - 1);
    }
    m_children.clear();
    m_announced = 0;
    if (announced) observer->afterRemove();
}

void TTreeNode::customSort(const TreeNodeCompare& compare, bool recursive) {
    m_owner->customSort(this, compare, recursive);
}

TTreeNodes::TTreeNodes() : m_root(std::make_unique<TTreeNode>(this)) { m_root->m_expanded = true; }

TTreeNodes::~TTreeNodes() {
    m_observer = nullptr;
    m_root.reset();
}

TTreeNode* TTreeNodes::addChild(TTreeNode* parent, const std::string& text) {
    TTreeNode* p = parent != nullptr ? parent : m_root.get();
    return insertChild(parent, p->count(), text);
}

TTreeNode* TTreeNodes::insertChild(TTreeNode* parent, int position, const std::string& text) {
    std::unique_ptr<TTreeNode> node =
        m_factory ? m_factory(this) : std::make_unique<TTreeNode>(this);
    node->m_text = text;
    return attach(parent != nullptr ? parent : m_root.get(), position, std::move(node));
}

TTreeNode* TTreeNodes::attach(TTreeNode* parent, int position, std::unique_ptr<TTreeNode> node) {
    position = std::clamp(position, 0, parent->count());
    TTreeNode* raw = node.get();
    raw->m_parent = parent;
    if (position < parent->count()) {
        insertKnown(parent, position, std::move(node));
    } else {
        parent->m_children.push_back(std::move(node));
        raw->m_index = position;
        if (!parent->m_pending) {
            parent->m_pending = true;
            m_pending.push_back(parent);
        }
    }
    ++m_total;
    if (!parent->m_hasChildren) {
        parent->m_hasChildren = true;
        changed(parent);
    }
    if (!updating()) flush(parent);
    return raw;
}

// Only appends wait for their announcement: an insertion among the rows is announced at
// once, after what was pending before it.
void TTreeNodes::insertKnown(TTreeNode* parent, int position, std::unique_ptr<TTreeNode> node) {
    flush(parent);
    if (m_observer != nullptr) m_observer->beforeInsert(parent, position, position);
    parent->m_children.insert(parent->m_children.begin() + position, std::move(node));
    ++parent->m_announced;
    renumber(parent, position);
    if (m_observer != nullptr) m_observer->afterInsert();
}

void TTreeNodes::remove(TTreeNode* node) {
    TTreeNode* parent = node->m_parent;
    if (parent == nullptr) throw std::invalid_argument("The invisible root cannot be removed");
    dropPendingWithin(node);
    const int at = node->m_index;
    const bool announced = m_observer != nullptr && at < parent->m_announced;
    if (announced) {
        m_observer->nodeDeleting(node);
        m_observer->beforeRemove(parent, at, at);
    }
    m_total -= subtreeSize(node);
    parent->m_children.erase(parent->m_children.begin() + at);
    if (at < parent->m_announced) --parent->m_announced;
    renumber(parent, at);
    if (announced) m_observer->afterRemove();
}

void TTreeNodes::clear() { m_root->deleteChildren(); }

void TTreeNodes::endUpdate() {
    if (m_updateCount == 0) return;
    if (--m_updateCount > 0) return;
    flushAll();
    if (m_observer != nullptr) m_observer->updateEnded();
}

void TTreeNodes::announce(TTreeNode* node) {
    TTreeNode* parent = node->m_parent;
    if (parent != nullptr && node->m_index >= parent->m_announced) flush(parent);
}

void TTreeNodes::flush(TTreeNode* parent) {
    if (parent->m_pending) {
        parent->m_pending = false;
        std::erase(m_pending, parent);
    }
    // The observer must know a parent before it hears of the parent's children.
    announce(parent);
    const int first = parent->m_announced;
    const int last = parent->count() - 1;
    if (first > last) return;
    if (m_observer != nullptr) m_observer->beforeInsert(parent, first, last);
    parent->m_announced = parent->count();
    if (m_observer != nullptr) m_observer->afterInsert();
}

void TTreeNodes::flushAll() {
    std::vector<TTreeNode*> pending;
    pending.swap(m_pending);
    for (TTreeNode* parent : pending) {
        parent->m_pending = false;
        flush(parent);
    }
}

void TTreeNodes::customSort(TTreeNode* parent, const TreeNodeCompare& compare, bool recursive) {
    TTreeNode* p = parent != nullptr ? parent : m_root.get();
    sortLevel(p, compare);
    if (!recursive) return;
    for (int i = 0; i < p->count(); ++i) customSort(p->item(i), compare, true);
}

void TTreeNodes::sortLevel(TTreeNode* parent, const TreeNodeCompare& compare) {
    if (parent->count() < 2) return;
    // Children nobody was told of yet are reordered silently; otherwise the observer hears
    // of a reordering of what it knows.
    const bool silent = m_observer == nullptr || parent->m_announced == 0;
    if (!silent) {
        flush(parent);
        m_observer->beforeReorder(parent);
    }
    std::stable_sort(parent->m_children.begin(), parent->m_children.end(),
                     [&](const std::unique_ptr<TTreeNode>& a, const std::unique_ptr<TTreeNode>& b) {
                         return compare(a.get(), b.get()) < 0;
                     });
    renumber(parent, 0);
    if (!silent) m_observer->afterReorder(parent);
}

void TTreeNodes::dropPendingWithin(const TTreeNode* node) {
    std::erase_if(m_pending, [node](TTreeNode* p) {
        if (!p->hasAsAncestor(node)) return false;
        p->m_pending = false;
        return true;
    });
}

void TTreeNodes::changed(TTreeNode* node) {
    if (m_observer == nullptr || updating() || node == m_root.get()) return;
    const TTreeNode* parent = node->m_parent;
    if (parent == nullptr || node->m_index >= parent->m_announced) return;
    m_observer->nodeChanged(node);
}

void TTreeNodes::requestExpansion(TTreeNode* node, bool expand) {
    if (m_expansion) {
        m_expansion(node, expand);
        return;
    }
    node->m_expanded = expand && node->count() > 0;
}

int TTreeNodes::subtreeSize(const TTreeNode* node) {
    int size = 1;
    for (const auto& child : node->m_children) size += subtreeSize(child.get());
    return size;
}

void TTreeNodes::renumber(TTreeNode* parent, int from) {
    for (int i = from; i < parent->count(); ++i)
        parent->m_children[static_cast<std::size_t>(i)]->m_index = i;
}

}  // namespace framework
