#pragma once
// Matching the items of a re-read folder with the node's existing children: an item finds
// the first child not yet seen whose relative list holds the same item (the same bytes), so
// that expanded subtrees, the selection and monitors survive a re-read. Indexed by the
// items' bytes, so that re-reading ten thousand children costs no more than reading them.

#include <string_view>
#include <unordered_map>
#include <vector>

#include "node_info.h"

namespace shelltree {

template <class Node>  // Node has a TNodeInfo named Info
class ChildIndex {
public:
    // Clears Seen on every child and indexes them in their order. The children's lists must
    // stay as they are while the index is used (a found child keeps its bytes).
    explicit ChildIndex(const std::vector<Node*>& children) : m_children(children) {
        m_first.reserve(children.size());
        m_next.assign(children.size(), kNone);
        for (std::size_t i = children.size(); i-- > 0;) {
            children[i]->Info.Seen = false;
            auto [at, added] = m_first.try_emplace(key(children[i]->Info.RelativeIDList.get()), i);
            if (!added) {
                m_next[i] = at->second;  // later duplicates follow the earlier one
                at->second = i;
            }
        }
    }

    // The first unseen child holding the item, marked as seen; nullptr when there is none.
    Node* FindUnseenChild(PItemIDList item) {
        const auto found = m_first.find(key(item));
        if (found == m_first.end()) return nullptr;
        for (std::size_t i = found->second; i != kNone; i = m_next[i]) {
            Node* child = m_children[i];
            if (!child->Info.Seen) {
                child->Info.Seen = true;
                return child;
            }
        }
        return nullptr;
    }

private:
    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

    // The item's count and bytes: equal keys are exactly SameItemID.
    static std::string_view key(PItemIDList item) {
        if (item == nullptr) return {};
        return {reinterpret_cast<const char*>(item), itemCount(item) < 3 ? 2u : itemCount(item)};
    }

    std::vector<Node*> m_children;
    std::unordered_map<std::string_view, std::size_t> m_first;
    std::vector<std::size_t> m_next;
};

}  // namespace shelltree
