#pragma once
// The item model through which a Qt tree view shows a TTreeNodes collection: one column,
// indexes that point at the nodes themselves, rows as far as the collection has announced
// them. Holds no copy of the tree.

#include <QAbstractItemModel>
#include <functional>
#include <string>
#include <vector>

#include "tree_nodes.h"

namespace framework {

class TImageList;

class TreeModel : public QAbstractItemModel, public TreeNodesObserver {
public:
    // Called with the edited text when an editor commits it.
    using EditCommit = std::function<void(TTreeNode*, const std::string&)>;

    TreeModel(TTreeNodes& nodes, QObject* parent);
    ~TreeModel() override;

    static TTreeNode* nodeOf(const QModelIndex& index);
    // The index of a node; announces it first when a bulk update still holds it back.
    QModelIndex indexOf(TTreeNode* node);

    void setImages(const TImageList* images) { m_images = images; }
    void setEditable(bool value) { m_editable = value; }
    void setEditCommit(EditCommit commit) { m_commit = std::move(commit); }
    // Called when the view must lay out its rows again: a node's data or expand button
    // changed, or a bulk update (which changes nodes silently) ended.
    void setRelayout(std::function<void()> handler) { m_relayout = std::move(handler); }
    void setNodeDeleting(std::function<void(TTreeNode*)> handler) {
        m_deleting = std::move(handler);
    }

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    bool hasChildren(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    TTreeNode* nodeOrRoot(const QModelIndex& index) const;
    QModelIndex knownIndex(TTreeNode* node) const;

    void beforeInsert(TTreeNode* parent, int first, int last) override;
    void afterInsert() override;
    void beforeRemove(TTreeNode* parent, int first, int last) override;
    void afterRemove() override;
    void beforeReorder(TTreeNode* parent) override;
    void afterReorder(TTreeNode* parent) override;
    void nodeChanged(TTreeNode* node) override;
    void updateEnded() override;
    void nodeDeleting(TTreeNode* node) override;

    TTreeNodes& m_nodes;
    const TImageList* m_images = nullptr;
    bool m_editable = true;
    EditCommit m_commit;
    std::function<void()> m_relayout;
    std::function<void(TTreeNode*)> m_deleting;
    std::vector<std::pair<QModelIndex, TTreeNode*>> m_reordered;  // during a reordering
};

}  // namespace framework
