#include "tree_model.h"

#include "image_list.h"
#include "shown_text.h"

namespace framework {

TreeModel::TreeModel(TTreeNodes& nodes, QObject* parent)
    : QAbstractItemModel(parent), m_nodes(nodes) {
    m_nodes.setObserver(this);
}

TreeModel::~TreeModel() {
    if (m_nodes.observer() == this) m_nodes.setObserver(nullptr);
}

TTreeNode* TreeModel::nodeOf(const QModelIndex& index) {
    return index.isValid() ? static_cast<TTreeNode*>(index.internalPointer()) : nullptr;
}

TTreeNode* TreeModel::nodeOrRoot(const QModelIndex& index) const {
    return index.isValid() ? nodeOf(index) : m_nodes.root();
}

QModelIndex TreeModel::indexOf(TTreeNode* node) {
    if (node == nullptr || node == m_nodes.root()) return {};
    m_nodes.announce(node);
    return knownIndex(node);
}

QModelIndex TreeModel::knownIndex(TTreeNode* node) const {
    if (node == nullptr || node == m_nodes.root()) return {};
    return createIndex(node->index(), 0, node);
}

QModelIndex TreeModel::index(int row, int column, const QModelIndex& parent) const {
    const TTreeNode* p = nodeOrRoot(parent);
    if (column != 0 || row < 0 || row >= TTreeNodes::announcedCount(p)) return {};
    return createIndex(row, 0, p->item(row));
}

QModelIndex TreeModel::parent(const QModelIndex& child) const {
    const TTreeNode* node = nodeOf(child);
    return node == nullptr ? QModelIndex() : knownIndex(node->parent());
}

int TreeModel::rowCount(const QModelIndex& parent) const {
    if (parent.column() > 0) return 0;
    return TTreeNodes::announcedCount(nodeOrRoot(parent));
}

int TreeModel::columnCount(const QModelIndex& /*parent*/) const { return 1; }

bool TreeModel::hasChildren(const QModelIndex& parent) const {
    if (!parent.isValid()) return TTreeNodes::announcedCount(m_nodes.root()) > 0;
    return parent.column() == 0 && nodeOf(parent)->hasChildren();
}

QVariant TreeModel::data(const QModelIndex& index, int role) const {
    const TTreeNode* node = nodeOf(index);
    if (node == nullptr) return {};
    switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole: return QString::fromStdU16String(shownText(node->text()));
        case Qt::DecorationRole:
            if (m_images == nullptr) return {};
            return m_images->icon(node->imageIndex(), node->overlayIndex());
        default: return {};
    }
}

bool TreeModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    TTreeNode* node = nodeOf(index);
    if (node == nullptr || role != Qt::EditRole || !m_commit) return false;
    // An edit that leaves (parts of) a name as shown keeps their bytes.
    m_commit(node, keptBytes(node->text(), value.toString().toStdU16String()));
    return true;
}

Qt::ItemFlags TreeModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (m_editable) flags |= Qt::ItemIsEditable;
    return flags;
}

void TreeModel::beforeInsert(TTreeNode* parent, int first, int last) {
    beginInsertRows(knownIndex(parent), first, last);
}

void TreeModel::afterInsert() { endInsertRows(); }

void TreeModel::beforeRemove(TTreeNode* parent, int first, int last) {
    beginRemoveRows(knownIndex(parent), first, last);
}

void TreeModel::afterRemove() { endRemoveRows(); }

void TreeModel::beforeReorder(TTreeNode* parent) {
    const QModelIndex parentIndex = knownIndex(parent);
    QList<QPersistentModelIndex> parents;
    if (parentIndex.isValid()) parents.append(parentIndex);
    emit layoutAboutToBeChanged(parents, QAbstractItemModel::VerticalSortHint);
    // Only the parent's own rows move; deeper indexes keep their row and node.
    m_reordered.clear();
    for (const QModelIndex& index : persistentIndexList()) {
        TTreeNode* node = nodeOf(index);
        if (node != nullptr && node->parent() == (parent == m_nodes.root() ? nullptr : parent)) {
            m_reordered.emplace_back(index, node);
        }
    }
}

void TreeModel::afterReorder(TTreeNode* parent) {
    for (const auto& [old, node] : m_reordered) changePersistentIndex(old, knownIndex(node));
    m_reordered.clear();
    const QModelIndex parentIndex = knownIndex(parent);
    QList<QPersistentModelIndex> parents;
    if (parentIndex.isValid()) parents.append(parentIndex);
    emit layoutChanged(parents, QAbstractItemModel::VerticalSortHint);
}

void TreeModel::nodeChanged(TTreeNode* node) {
    const QModelIndex index = knownIndex(node);
    emit dataChanged(index, index);
    // The view keeps each row's expand button from its last layout.
    if (m_relayout) m_relayout();
}

void TreeModel::updateEnded() {
    if (m_relayout) m_relayout();
}

void TreeModel::nodeDeleting(TTreeNode* node) {
    if (m_deleting) m_deleting(node);
}

}  // namespace framework
