#pragma once
// Matching the items of a re-read folder with the node's existing children: an item finds
// the first child not yet seen whose relative list holds the same item (the same bytes), so
// that expanded subtrees, the selection and monitors survive a re-read. Indexed by the
// items' bytes, so that re-reading ten thousand children costs no more than reading them.

#include <deque>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "node_info.h"

namespace shelltree {

template <class Node>  // Node has a TNodeInfo named Info
class ChildIndex {
public:
    // Clears Seen on every child and indexes them in their order.
    explicit ChildIndex(const std::vector<Node*>& children) {
        for (Node* child : children) {
            child->Info.Seen = false;
            m_children[key(child->Info.RelativeIDList.get())].push_back(child);
        }
    }

    // The first unseen child holding the item, marked as seen; nullptr when there is none.
    Node* FindUnseenChild(PItemIDList item) {
        const auto found = m_children.find(key(item));
        if (found == m_children.end()) return nullptr;
        auto& candidates = found->second;
        while (!candidates.empty()) {
            Node* child = candidates.front();
            candidates.pop_front();
            if (!child->Info.Seen) {
                child->Info.Seen = true;
                return child;
            }
        }
        return nullptr;
    }

private:
    // The item's count and bytes: equal keys are exactly SameItemID.
    static std::string key(PItemIDList item) {
        if (item == nullptr) return {};
        return std::string(reinterpret_cast<const char*>(item), itemCount(item) < 3 ? 2 : itemCount(item));
    }

    std::unordered_map<std::string, std::deque<Node*>> m_children;
};

}  // namespace shelltree
