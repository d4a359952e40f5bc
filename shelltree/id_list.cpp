#include "id_list.h"

#include <algorithm>
#include <cstring>

namespace shelltree {

namespace {

constexpr std::size_t kCountBytes = 2;

std::unique_ptr<std::uint8_t[]> allocate(std::size_t size) {
    return std::unique_ptr<std::uint8_t[]>(new std::uint8_t[size]);
}

void putCount(std::uint8_t* at, std::uint16_t count) {
    at[0] = static_cast<std::uint8_t>(count & 0xFF);
    at[1] = static_cast<std::uint8_t>(count >> 8);
}

}  // namespace

// The first size bytes of a list (whole items) with a terminator after them.
IDList IDList::fromPrefix(PItemIDList list, std::size_t size) {
    auto bytes = allocate(size + kCountBytes);
    if (size > 0) std::memcpy(bytes.get(), list, size);
    putCount(bytes.get() + size, 0);
    return IDList(std::move(bytes), size + kCountBytes);
}

IDList IDList::empty() {
    auto bytes = allocate(kCountBytes);
    putCount(bytes.get(), 0);
    return IDList(std::move(bytes), kCountBytes);
}

std::optional<IDList> IDList::fromItem(std::span<const std::uint8_t> itemBytes) {
    const std::size_t count = itemBytes.size() + kCountBytes;
    if (count > 0xFFFF) return std::nullopt;
    auto bytes = allocate(count + kCountBytes);
    putCount(bytes.get(), static_cast<std::uint16_t>(count));
    std::copy(itemBytes.begin(), itemBytes.end(), bytes.get() + kCountBytes);
    putCount(bytes.get() + count, 0);
    return IDList(std::move(bytes), count + kCountBytes);
}

std::optional<IDList> IDList::fromBytes(std::span<const std::uint8_t> bytes) {
    std::size_t at = 0;
    for (;;) {
        if (at + kCountBytes > bytes.size()) return std::nullopt;
        const std::uint16_t count = itemCount(bytes.data() + at);
        if (count == 0) break;
        if (count < kCountBytes || count > bytes.size() - at) return std::nullopt;
        at += count;
    }
    if (at + kCountBytes != bytes.size()) return std::nullopt;
    auto copy = allocate(bytes.size());
    std::copy(bytes.begin(), bytes.end(), copy.get());
    return IDList(std::move(copy), bytes.size());
}

std::uint16_t itemCount(PItemIDList item) {
    return static_cast<std::uint16_t>(item[0] | (item[1] << 8));
}

PItemIDList nextItem(PItemIDList item) { return item + itemCount(item); }

std::span<const std::uint8_t> itemData(PItemIDList item) {
    const std::uint16_t count = itemCount(item);
    if (count <= kCountBytes) return {};
    return {item + kCountBytes, count - kCountBytes};
}

std::size_t IDListSize(PItemIDList list) {
    std::size_t size = 0;
    for (; list != nullptr && itemCount(list) != 0; list = nextItem(list)) size += itemCount(list);
    return size;
}

int IDListCount(PItemIDList list) {
    int count = 0;
    while (list != nullptr && itemCount(list) != 0 && count < kMaxIDListCount) {
        ++count;
        list = nextItem(list);
    }
    return count;
}

void CopyIDList(IDList& destination, PItemIDList source) {
    if (source == nullptr) return;
    destination = IDList::fromPrefix(source, IDListSize(source));
}

IDList ChildIDList(PItemIDList parent, PItemIDList child) {
    const std::size_t parentSize = IDListSize(parent);
    const std::size_t childSize = (child != nullptr) ? itemCount(child) : 0;
    const std::size_t size = parentSize + childSize + kCountBytes;
    auto bytes = allocate(size);
    if (parentSize > 0) std::memcpy(bytes.get(), parent, parentSize);
    if (childSize > 0) std::memcpy(bytes.get() + parentSize, child, childSize);
    putCount(bytes.get() + size - kCountBytes, 0);
    return IDList(std::move(bytes), size);
}

void FreeIDList(IDList& list) {
    list.m_bytes.reset();
    list.m_size = 0;
}

bool SameItemID(PItemIDList first, PItemIDList second) {
    if (first == nullptr || second == nullptr) return first == second;
    const std::uint16_t count = itemCount(first);
    if (count != itemCount(second)) return false;
    return count < 3 ||
           std::memcmp(first + kCountBytes, second + kCountBytes, count - kCountBytes) == 0;
}

IDList firstItemList(PItemIDList list) {
    if (list == nullptr || itemCount(list) == 0) return {};
    return ChildIDList(nullptr, list);
}

PItemIDList itemAt(PItemIDList list, int index) {
    for (int i = 0; list != nullptr && itemCount(list) != 0; ++i, list = nextItem(list)) {
        if (i == index) return list;
    }
    return nullptr;
}

PItemIDList lastItem(PItemIDList list) {
    PItemIDList last = nullptr;
    for (; list != nullptr && itemCount(list) != 0; list = nextItem(list)) last = list;
    return last;
}

IDList parentIDList(PItemIDList list) {
    if (list == nullptr) return {};
    const PItemIDList last = lastItem(list);
    return IDList::fromPrefix(list, last == nullptr ? 0 : static_cast<std::size_t>(last - list));
}

IDList concatIDLists(PItemIDList first, PItemIDList second) {
    const std::size_t firstSize = IDListSize(first);
    const std::size_t secondSize = IDListSize(second);
    auto bytes = allocate(firstSize + secondSize + kCountBytes);
    if (firstSize > 0) std::memcpy(bytes.get(), first, firstSize);
    if (secondSize > 0) std::memcpy(bytes.get() + firstSize, second, secondSize);
    putCount(bytes.get() + firstSize + secondSize, 0);
    return IDList(std::move(bytes), firstSize + secondSize + kCountBytes);
}

}  // namespace shelltree
