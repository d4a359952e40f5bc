// Item identifier lists: the framing routines and the reader of stored list bytes.

#include "shelltree/id_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shelltree/item_id.h"

namespace shelltree {
namespace {

IDList item(ItemKind kind, const std::string& name) { return std::move(*makeItemList(kind, name)); }

IDList path(const std::vector<std::string>& names) {
    IDList list = IDList::empty();
    for (const std::string& name : names)
        list = ChildIDList(list.get(), item(ItemKind::Folder, name).get());
    return list;
}

std::vector<std::uint8_t> bytesOf(const IDList& list) {
    return {list.get(), list.get() + list.byteSize()};
}

TEST(IDList, SizeAndCountFollowTheFraming) {
    const IDList list = path({"a", "bc"});
    // "a": 2 count bytes + kind + 1 = 4; "bc": 5; terminator 2.
    EXPECT_EQ(IDListSize(list.get()), 9u);
    EXPECT_EQ(list.byteSize(), 11u);
    EXPECT_EQ(IDListCount(list.get()), 2);
    EXPECT_EQ(IDListSize(IDList::empty().get()), 0u);
    EXPECT_EQ(IDListCount(IDList::empty().get()), 0);
    EXPECT_EQ(IDListSize(nullptr), 0u);
    EXPECT_EQ(IDListCount(nullptr), 0);
}

// A folder 250 levels deep: only the count stops at 200; its list is copied, walked, cut
// and joined whole.
TEST(IDList, OnlyTheCountStopsAtTwoHundredItems) {
    std::vector<std::string> names;
    names.reserve(250);
    for (int i = 0; i < 250; ++i) names.push_back(std::to_string(i));
    const IDList deep = path(names);
    const std::vector<std::uint8_t> bytes = bytesOf(deep);
    EXPECT_EQ(IDListCount(deep.get()), kMaxIDListCount);
    EXPECT_EQ(IDListSize(deep.get()), bytes.size() - 2);
    IDList copy;
    CopyIDList(copy, deep.get());
    EXPECT_EQ(bytesOf(copy), bytes);
    EXPECT_EQ(bytesOf(*IDList::fromBytes(bytes)), bytes)
        << "a stored list as deep as a folder lies";
    EXPECT_EQ(readItem(itemAt(deep.get(), 249))->text, "249");
    EXPECT_EQ(readItem(lastItem(deep.get()))->text, "249");
    names.pop_back();
    EXPECT_EQ(bytesOf(parentIDList(deep.get())), bytesOf(path(names)));
    const IDList joined = concatIDLists(path({"top"}).get(), deep.get());
    EXPECT_EQ(readItem(lastItem(joined.get()))->text, "249");
    EXPECT_EQ(IDListSize(joined.get()), IDListSize(deep.get()) + 6);
}

TEST(IDList, CopyAndChildLists) {
    const IDList parent = path({"usr", "share"});
    IDList copy = item(ItemKind::File, "old");
    CopyIDList(copy, parent.get());
    EXPECT_EQ(bytesOf(copy), bytesOf(parent));
    CopyIDList(copy, nullptr);
    EXPECT_EQ(bytesOf(copy), bytesOf(parent)) << "an absent source leaves the destination";

    const IDList child = ChildIDList(parent.get(), item(ItemKind::Folder, "doc").get());
    EXPECT_EQ(bytesOf(child), bytesOf(path({"usr", "share", "doc"})));
    EXPECT_EQ(bytesOf(ChildIDList(parent.get(), IDList::empty().get())), bytesOf(parent));
    // Only the child's first item is taken.
    EXPECT_EQ(bytesOf(ChildIDList(parent.get(), path({"x", "y"}).get())),
              bytesOf(path({"usr", "share", "x"})));
}

TEST(IDList, FreeLeavesTheListAbsent) {
    IDList list = path({"a"});
    FreeIDList(list);
    EXPECT_FALSE(list.present());
    EXPECT_EQ(IDListCount(list.get()), 0);
}

TEST(IDList, SameItemIdComparesTheFirstItemOnly) {
    struct Row {
        IDList first, second;
        bool same;
    };
    Row rows[] = {
        {item(ItemKind::Folder, "a"), item(ItemKind::Folder, "a"), true},
        {item(ItemKind::Folder, "a"), item(ItemKind::Folder, "A"), false},
        {item(ItemKind::Folder, "a"), item(ItemKind::FolderLink, "a"), false},
        {item(ItemKind::Folder, "ab"), item(ItemKind::Folder, "a"), false},
        {path({"a", "x"}), path({"a", "y"}), true},
        {IDList::empty(), IDList::empty(), true},
        {IDList::empty(), item(ItemKind::Folder, "a"), false},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(SameItemID(row.first.get(), row.second.get()), row.same)
            << IDListSize(row.first.get()) << " " << IDListSize(row.second.get());
    }
    EXPECT_TRUE(SameItemID(nullptr, nullptr));
    EXPECT_FALSE(SameItemID(nullptr, IDList::empty().get()));
}

TEST(IDList, StoredBytesNeedSoundFraming) {
    const std::vector<std::vector<std::uint8_t>> bad = {
        {},                      // no terminator
        {0},                     // half a terminator
        {1, 0, 0, 0},            // a count too small to hold itself
        {5, 0, 'd', 'x', 0, 0},  // runs past the end
        {3, 0, 'd', 0, 0, 9},    // bytes after the terminator
        {3, 0, 'd'},             // no terminator after the item
    };
    for (const auto& bytes : bad) EXPECT_FALSE(IDList::fromBytes(bytes)) << bytes.size();
    const auto good = IDList::fromBytes(std::vector<std::uint8_t>{3, 0, 'd', 4, 0, 'd', 'y', 0, 0});
    ASSERT_TRUE(good);
    EXPECT_EQ(IDListCount(good->get()), 2);
}

TEST(IDList, ParentAndConcatenation) {
    const IDList list = path({"a", "b", "c"});
    EXPECT_EQ(bytesOf(parentIDList(list.get())), bytesOf(path({"a", "b"})));
    EXPECT_EQ(bytesOf(concatIDLists(path({"a"}).get(), path({"b", "c"}).get())), bytesOf(list));
    EXPECT_EQ(itemAt(list.get(), 3), nullptr);
    EXPECT_EQ(readItem(itemAt(list.get(), 1))->text, "b");
}

TEST(ItemId, KindAndTextRoundTrip) {
    const IDList place = item(ItemKind::HomePlace, "/home/u");
    const auto id = readItem(place.get());
    ASSERT_TRUE(id);
    EXPECT_EQ(id->kind, ItemKind::HomePlace);
    EXPECT_EQ(id->text, "/home/u");
    EXPECT_FALSE(makeItemList(ItemKind::Folder, std::string(70000, 'x'))) << "too long for an item";
    const std::uint8_t unknownKind[] = {4, 0, 'Z', 'q', 0, 0};
    EXPECT_FALSE(readItem(unknownKind));
}

}  // namespace
}  // namespace shelltree
