#include "name_index.h"

#include <sys/random.h>

#include <bit>
#include <chrono>

namespace platform {

namespace {

constexpr std::size_t kFirstSize = 8;

std::uint64_t lowerAscii(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return (byte >= 'A' && byte <= 'Z') ? byte - 'A' + 'a' : byte;
}

struct SipKey {
    std::uint64_t k0 = 0;
    std::uint64_t k1 = 0;
};

// Drawn once; where the kernel gives no random bytes, the clock and the address of the key
// still keep the key from being known in advance.
SipKey drawKey() {
    SipKey key;
    if (::getrandom(&key, sizeof key, GRND_NONBLOCK) != static_cast<ssize_t>(sizeof key)) {
        key.k0 ^=
            static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
        key.k1 ^= reinterpret_cast<std::uintptr_t>(&key) * 0x9e3779b97f4a7c15ULL;
    }
    return key;
}

const SipKey& processKey() {
    static const SipKey key = drawKey();
    return key;
}

class SipHash13 {
public:
    explicit SipHash13(const SipKey& key)
        : m_v0(key.k0 ^ 0x736f6d6570736575ULL),
          m_v1(key.k1 ^ 0x646f72616e646f6dULL),
          m_v2(key.k0 ^ 0x6c7967656e657261ULL),
          m_v3(key.k1 ^ 0x7465646279746573ULL) {}

    void word(std::uint64_t m) {
        m_v3 ^= m;
        round();
        m_v0 ^= m;
    }

    std::uint64_t finish(std::uint64_t lastWord) {
        word(lastWord);
        m_v2 ^= 0xff;
        round();
        round();
        round();
        return m_v0 ^ m_v1 ^ m_v2 ^ m_v3;
    }

private:
    void round() {
        m_v0 += m_v1;
        m_v1 = std::rotl(m_v1, 13) ^ m_v0;
        m_v0 = std::rotl(m_v0, 32);
        m_v2 += m_v3;
        m_v3 = std::rotl(m_v3, 16) ^ m_v2;
        m_v0 += m_v3;
        m_v3 = std::rotl(m_v3, 21) ^ m_v0;
        m_v2 += m_v1;
        m_v1 = std::rotl(m_v1, 17) ^ m_v2;
        m_v2 = std::rotl(m_v2, 32);
    }

    std::uint64_t m_v0, m_v1, m_v2, m_v3;
};

}  // namespace

std::uint32_t NameIndex::hashOf(std::string_view name) {
    SipHash13 hash(processKey());
    std::uint64_t word = 0;
    std::size_t at = 0;
    for (; at < name.size(); ++at) {
        word |= lowerAscii(name[at]) << (8 * (at % 8));
        if (at % 8 == 7) {
            hash.word(word);
            word = 0;
        }
    }
    return static_cast<std::uint32_t>(
        hash.finish(word | static_cast<std::uint64_t>(name.size()) << 56));
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
