#pragma once
// A hash index from names to positions in a list, for finding registry keys and values by
// name in constant time. Names compare without regard to ASCII case. Open addressing over
// one flat array (8 bytes a slot, at most half full), so a lookup touches one cache line
// or two and adding an entry costs no allocation of its own.
//
// The names come from hive files that anybody who may write them can fill: the hash is
// SipHash-1-3 under a key drawn at random once per process, so that no file can be made
// whose names share a hash (and turn every lookup into a walk of the whole index).

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace platform {

class NameIndex {
public:
    // The hash of a name, the same for names that differ only in ASCII case; it differs
    // from one process to the next.
    static std::uint32_t hashOf(std::string_view name);

    // The position whose name (nameAt(position)) equals name without regard to case; -1
    // when there is none.
    template <typename NameAt>
    std::ptrdiff_t find(std::string_view name, NameAt nameAt) const;

    // Records a name that is not there yet at position.
    void add(std::string_view name, std::size_t position);

    // Forgets everything; used before re-adding the entries after a removal.
    void clear();

private:
    struct Slot {
        std::uint32_t hash = 0;
        std::uint32_t positionPlusOne = 0;  // 0: empty
    };

    void grow();
    std::size_t mask() const { return m_slots.size() - 1; }

    std::vector<Slot> m_slots;  // a power of two in size, or empty
    std::size_t m_used = 0;
};

// Key and value names compare without regard to ASCII case; other bytes compare exactly.
bool sameRegistryName(std::string_view a, std::string_view b);

template <typename NameAt>
std::ptrdiff_t NameIndex::find(std::string_view name, NameAt nameAt) const {
    if (m_slots.empty()) return -1;
    const std::uint32_t hash = hashOf(name);
    for (std::size_t at = hash & mask();; at = (at + 1) & mask()) {
        const Slot& slot = m_slots[at];
        if (slot.positionPlusOne == 0) return -1;
        const std::size_t position = slot.positionPlusOne - 1;
        if (slot.hash == hash && sameRegistryName(nameAt(position), name)) {
            return static_cast<std::ptrdiff_t>(position);
        }
    }
}

}  // namespace platform
