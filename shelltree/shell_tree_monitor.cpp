// The tree's change monitors: one per populated node with a path and children, re-reading
// the node one level when names change in its folder while it is expanded.
//
// A node's re-read reads its children and whether each of them has sub-folders, and deeper
// expanded nodes have monitors of their own; so a monitor watches its folder and the
// folders directly in it, never more than 1024 of them (a home with more still reports
// every change of its own names).
//
// A report re-reads at once, while the monitor waits, unless the tree is in the middle of
// an operation or of freeing monitors (a wait for a monitor serves the other monitors'
// reports): a re-read there could free nodes that the code further up holds. Such a node is
// re-read from the event loop once that ended; a node freed meanwhile is forgotten.

#include <QCoreApplication>
#include <QObject>
#include <algorithm>

#include "shell_tree.h"

namespace shelltree {

namespace {

constexpr platform::FolderWatchLimits kNodeWatchLimits{1, 1024};

}  // namespace

void TShellTree::startMonitor(TShellNode* node) {
    try {
        auto monitor = std::make_unique<TDiscMonitorThread>();
        monitor->setSubTree(true);
        monitor->setSubTreeLimits(kNodeWatchLimits);
        monitor->setFilters(NotifyFilter);
        monitor->OnFolderChange = [node](TDiscMonitorThread&) { node->folderChanged(); };
        monitor->setDirectory(node->NodePath());
        monitor->Resume();
        node->Monitor = std::move(monitor);
        node->HasMonitor = true;
    } catch (const std::system_error&) {
        // No descriptors or threads left: the node goes without one and tries at its next read.
    }
}

void TShellNode::folderChanged() {
    if (m_tree != nullptr && expanded() && m_tree->UpdAutoThread) m_tree->nodeFolderChanged(this);
}

void TShellNode::freeMonitor() {
    if (!Monitor) return;
    if (m_tree == nullptr) {
        Monitor.reset();
        return;
    }
    m_tree->monitorFreeing(true);
    Monitor.reset();
    m_tree->monitorFreeing(false);
    m_tree->nodeGone(this);
}

void TShellTree::nodeFolderChanged(TShellNode* node) {
    if (m_depth == 0 && m_freeingMonitors == 0) {
        RefreshNode(node, false);
        return;
    }
    if (std::find(m_changedNodes.begin(), m_changedNodes.end(), node) == m_changedNodes.end()) {
        m_changedNodes.push_back(node);
    }
    if (m_depth == 0) postChangedNodes();  // else the operation's end posts them
}

void TShellTree::monitorFreeing(bool starts) {
    m_freeingMonitors += starts ? 1 : -1;
    if (m_freeingMonitors == 0 && m_depth == 0) postChangedNodes();
}

void TShellTree::nodeGone(TShellNode* node) { std::erase(m_changedNodes, node); }

void TShellTree::postChangedNodes() {
    if (m_changedNodes.empty() || m_changesPosted) return;
    if (!m_changeReceiver) m_changeReceiver = std::make_unique<QObject>();
    m_changesPosted = true;
    QMetaObject::invokeMethod(
        m_changeReceiver.get(), [this] { refreshChangedNodes(); }, Qt::QueuedConnection);
}

void TShellTree::refreshChangedNodes() {
    m_changesPosted = false;
    if (m_depth > 0 || m_freeingMonitors > 0) return;  // posted again when that ends
    while (!m_changedNodes.empty()) {
        TShellNode* node = m_changedNodes.front();
        m_changedNodes.erase(m_changedNodes.begin());
        if (node->expanded() && UpdAutoThread) RefreshNode(node, false);
    }
}

}  // namespace shelltree
