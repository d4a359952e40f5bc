#pragma once
// Matching the items of a re-read folder with the node's existing children: an item finds
// the first child not yet seen whose relative list holds the same item (the same bytes), so
// that expanded subtrees, the selection and monitors survive a re-read. Indexed by the
// items' bytes in one flat table (no allocation per child), so that re-reading ten thousand
// children costs no more than reading them.

#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

#include "node_info.h"

namespace shelltree {

template <class Node>  // Node has a TNodeInfo named Info
class ChildIndex {
public:
    // Clears Seen on every child and indexes them in their order. The children's lists must
    // stay as they are while the index is used (a found child keeps its bytes).
    explicit ChildIndex(const std::vector<Node*>& children) : m_children(children) {
        std::size_t capacity = 16;
        while (capacity < 2 * children.size()) capacity *= 2;
        m_slots.assign(capacity, Slot{});
        m_next.assign(children.size(), kNone);
        for (std::size_t i = children.size(); i-- > 0;) {
            children[i]->Info.Seen = false;
            const std::string_view bytes = key(children[i]->Info.RelativeIDList.get());
            const std::size_t hash = hashOf(bytes);
            Slot& slot = m_slots[find(bytes, hash)];
            slot.hash = hash;
            m_next[i] = slot.child;  // later duplicates follow the earlier one
            slot.child = static_cast<std::uint32_t>(i);
        }
    }

    // The first unseen child holding the item, marked as seen; nullptr when there is none.
    Node* FindUnseenChild(PItemIDList item) {
        const std::string_view bytes = key(item);
        for (std::uint32_t i = m_slots[find(bytes, hashOf(bytes))].child; i != kNone;
             i = m_next[i]) {
            Node* child = m_children[i];
            if (!child->Info.Seen) {
                child->Info.Seen = true;
                return child;
            }
        }
        return nullptr;
    }

private:
    static constexpr std::uint32_t kNone = UINT32_MAX;

    struct Slot {
        std::size_t hash = 0;
        std::uint32_t child = kNone;  // the first child with these bytes
    };

    // The item's count and bytes: equal keys are exactly SameItemID.
    static std::string_view key(PItemIDList item) {
        if (item == nullptr) return {};
        return {reinterpret_cast<const char*>(item), itemCount(item) < 3 ? 2u : itemCount(item)};
    }
    static std::size_t hashOf(std::string_view bytes) {
        return std::hash<std::string_view>{}(bytes);
    }

    // The slot holding these bytes, or the empty slot where they would go (linear probing;
    // the table is at most half full).
    std::size_t find(std::string_view bytes, std::size_t hash) const {
        const std::size_t mask = m_slots.size() - 1;
        for (std::size_t at = hash & mask;; at = (at + 1) & mask) {
            const Slot& slot = m_slots[at];
            if (slot.child == kNone) return at;
            if (slot.hash == hash &&
                key(m_children[slot.child]->Info.RelativeIDList.get()) == bytes)
                return at;
        }
    }

    std::vector<Node*> m_children;
    std::vector<Slot> m_slots;
    std::vector<std::uint32_t> m_next;
};

}  // namespace shelltree
