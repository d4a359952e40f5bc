#pragma once
// Item identifier lists: how the folder tree names an item of its namespace. A list is a
// sequence of items, each led by a 16-bit little-endian byte count that includes the two
// count bytes, ended by a zero count; the empty list (just the terminator) is the desktop.
// A relative list names an item inside one folder, an absolute list names it from the
// desktop (the items on the way down, concatenated). What an item's bytes hold belongs to
// the namespace (see item_id.h); these routines only follow the framing.
//
// A list is owned by one IDList; code that only reads a list takes a PItemIDList (a
// pointer to its first count byte, nullptr for an absent list). Only owned lists are ever
// freed, so a borrowed list can never be freed by mistake.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string_view>

namespace shelltree {

using PItemIDList = const std::uint8_t*;

// Where IDListCount stops counting. Nothing else is bounded: a folder may lie deeper, and
// its list is copied, walked and named whole.
constexpr int kMaxIDListCount = 200;

class IDList {
public:
    IDList() = default;  // absent
    IDList(const IDList&) = delete;
    IDList& operator=(const IDList&) = delete;
    IDList(IDList&&) noexcept = default;
    IDList& operator=(IDList&&) noexcept = default;

    // The empty list (the desktop).
    static IDList empty();
    // A list of one item holding these bytes; nullopt when they do not fit a 16-bit count.
    static std::optional<IDList> fromItem(std::span<const std::uint8_t> itemBytes);
    // A list from its stored bytes, terminator included; nullopt unless the framing is
    // sound: every count at least 2, within the bytes, a terminator at the very end.
    static std::optional<IDList> fromBytes(std::span<const std::uint8_t> bytes);

    PItemIDList get() const { return m_bytes.get(); }
    bool present() const { return m_bytes != nullptr; }
    explicit operator bool() const { return present(); }
    // Bytes including the terminator; 0 when absent.
    std::size_t byteSize() const { return m_size; }

private:
    friend void CopyIDList(IDList& destination, PItemIDList source);
    friend IDList ChildIDList(PItemIDList parent, PItemIDList child);
    friend void FreeIDList(IDList& list);
    friend IDList parentIDList(PItemIDList list);
    friend IDList concatIDLists(PItemIDList first, PItemIDList second);
    static IDList fromPrefix(PItemIDList list, std::size_t size);
    IDList(std::unique_ptr<std::uint8_t[]> bytes, std::size_t size)
        : m_bytes(std::move(bytes)), m_size(size) {}

    std::unique_ptr<std::uint8_t[]> m_bytes;
    std::size_t m_size = 0;
};

// The count bytes of one item (0 at the terminator).
std::uint16_t itemCount(PItemIDList item);
// The item after this one.
PItemIDList nextItem(PItemIDList item);
// The bytes of one item after its count.
std::span<const std::uint8_t> itemData(PItemIDList item);

// Sum of the item counts, terminator excluded; 0 for an absent list.
std::size_t IDListSize(PItemIDList list);
// Number of items, counting at most kMaxIDListCount; 0 for an absent list.
int IDListCount(PItemIDList list);
// destination := a copy of source (terminator included); an absent source leaves the
// destination unchanged.
void CopyIDList(IDList& destination, PItemIDList source);
// The absolute list of a child: the parent's list followed by the child's first item; an
// empty child gives a copy of the parent. An absent parent counts as the desktop.
IDList ChildIDList(PItemIDList parent, PItemIDList child);
// Frees an owned list and leaves it absent.
void FreeIDList(IDList& list);
// Whether two relative lists hold the same first item: equal counts and, for counts of 3 or
// more, equal bytes after the count. Absent lists are the same only as each other.
bool SameItemID(PItemIDList first, PItemIDList second);
// The list's first item as a list of its own (a relative list); absent for an absent or
// empty list.
IDList firstItemList(PItemIDList list);
// The item at index (0 = first); nullptr past the end.
PItemIDList itemAt(PItemIDList list, int index);
// The last item; nullptr for an absent or empty list.
PItemIDList lastItem(PItemIDList list);
// The list without its last item (the parent's absolute list); absent for an absent list.
IDList parentIDList(PItemIDList list);
// Joins two lists (absolute + relative of any length).
IDList concatIDLists(PItemIDList first, PItemIDList second);

}  // namespace shelltree
