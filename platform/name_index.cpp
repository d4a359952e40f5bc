#include "name_index.h"

namespace platform {

namespace {

constexpr std::size_t kFirstSize = 8;

char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

std::uint32_t NameIndex::hashOf(std::string_view name) {
    std::uint32_t hash = 2166136261U;  // FNV-1a
    for (const char c : name) {
        hash ^= static_cast<unsigned char>(lowerAscii(c));
        hash *= 16777619U;
    }
    // Spreads the low bits, which pick the slot, over the whole hash.
    hash ^= hash >> 15;
    hash *= 0x2c1b3c6dU;
    hash ^= hash >> 12;
    return hash;
}

void NameIndex::add(std::string_view name, std::size_t position) {
    if ((m_used + 1) * 2 > m_slots.size()) grow();
    const std::uint32_t hash = hashOf(name);
    std::size_t at = hash & mask();
    while (m_slots[at].positionPlusOne != 0) at = (at + 1) & mask();
    m_slots[at] = {hash, static_cast<std::uint32_t>(position + 1)};
    ++m_used;
}

void NameIndex::clear() {
    m_slots.clear();
    m_used = 0;
}

void NameIndex::grow() {
    std::vector<Slot> old(m_slots.empty() ? kFirstSize : m_slots.size() * 2);
    old.swap(m_slots);
    for (const Slot& slot : old) {
        if (slot.positionPlusOne == 0) continue;
        std::size_t at = slot.hash & mask();
        while (m_slots[at].positionPlusOne != 0) at = (at + 1) & mask();
        m_slots[at] = slot;
    }
}

}  // namespace platform
