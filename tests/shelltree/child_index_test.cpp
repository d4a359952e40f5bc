// Matching re-read items with existing children, and the order of siblings.

#include "shelltree/child_index.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "folder_tree_builder.h"
#include "shelltree/file_system_folder.h"
#include "shelltree/item_id.h"
#include "test_environment.h"

namespace shelltree {
namespace {

struct PlainNode {
    TNodeInfo Info;
    std::string name;
};

IDList entry(ItemKind kind, const std::string& name) {
    return std::move(*makeItemList(kind, name));
}

std::unique_ptr<PlainNode> node(ItemKind kind, const std::string& name, bool seen = true) {
    auto result = std::make_unique<PlainNode>();
    result->Info.RelativeIDList = entry(kind, name);
    result->Info.Seen = seen;
    result->name = name;
    return result;
}

TEST(ChildIndex, FirstUnseenChildWithTheSameBytes) {
    std::vector<std::unique_ptr<PlainNode>> owned;
    for (const char* name : {"a", "b", "a", "B"}) owned.push_back(node(ItemKind::Folder, name));
    owned.push_back(node(ItemKind::FolderLink, "c"));
    std::vector<PlainNode*> children;
    children.reserve(owned.size());
    for (auto& child : owned) children.push_back(child.get());
    ChildIndex<PlainNode> index(children);
    for (PlainNode* child : children) EXPECT_FALSE(child->Info.Seen) << "cleared when indexing";

    EXPECT_EQ(index.FindUnseenChild(entry(ItemKind::Folder, "a").get()), children[0]);
    EXPECT_TRUE(children[0]->Info.Seen);
    EXPECT_EQ(index.FindUnseenChild(entry(ItemKind::Folder, "a").get()), children[2]);
    EXPECT_EQ(index.FindUnseenChild(entry(ItemKind::Folder, "a").get()), nullptr);
    EXPECT_EQ(index.FindUnseenChild(entry(ItemKind::Folder, "b").get()), children[1]);
    EXPECT_EQ(index.FindUnseenChild(entry(ItemKind::Folder, "c").get()), nullptr)
        << "a folder where a link to a folder was is another item";
    EXPECT_EQ(index.FindUnseenChild(entry(ItemKind::Folder, "x").get()), nullptr);
    EXPECT_FALSE(children[3]->Info.Seen);
    EXPECT_FALSE(children[4]->Info.Seen);
}

// Enough children that their slots collide and probe past each other.
TEST(ChildIndex, ManyChildrenEachFoundOnceInAnyOrder) {
    std::vector<std::unique_ptr<PlainNode>> owned;
    owned.reserve(3001);
    for (int i = 0; i < 3000; ++i)
        owned.push_back(node(ItemKind::Folder, "f" + std::to_string(i % 2500)));
    owned.push_back(node(ItemKind::File, ""));
    std::vector<PlainNode*> children;
    children.reserve(owned.size());
    for (auto& child : owned) children.push_back(child.get());
    ChildIndex<PlainNode> index(children);
    for (int i = 2999; i >= 0; --i) {
        const std::string name = "f" + std::to_string(i % 2500);
        PlainNode* found = index.FindUnseenChild(entry(ItemKind::Folder, name).get());
        ASSERT_NE(found, nullptr) << name;
        EXPECT_EQ(found->name, name);
        // f0..f499 are there twice; asked from the end, the earlier one is found first.
        const int expected = i >= 2500 ? i - 2500 : (i < 500 ? i + 2500 : i);
        EXPECT_EQ(found, children[static_cast<std::size_t>(expected)]) << name;
    }
    for (PlainNode* child : children) EXPECT_EQ(child->Info.Seen, !child->name.empty());
    EXPECT_EQ(index.FindUnseenChild(entry(ItemKind::Folder, "f7").get()), nullptr);
    EXPECT_EQ(index.FindUnseenChild(entry(ItemKind::File, "").get()), children.back());
}

TEST(SiblingOrder, FilesFollowTheSettingsFoldersAlwaysByNameAscending) {
    const auto root = testing_support::testFolder("sibling_order");
    shelltree_testing::makeTree(root, {"b/", "A/", "c/", "x.txt", "Y.txt", "z.doc"});
    auto folder = std::make_shared<FileSystemFolder>(root.string());
    std::vector<std::unique_ptr<PlainNode>> nodes;
    for (const char* name : {"b", "A", "c"}) nodes.push_back(node(ItemKind::Folder, name));
    for (const char* name : {"x.txt", "z.doc", "Y.txt"})
        nodes.push_back(node(ItemKind::File, name));
    for (auto& n : nodes) {
        n->Info.ParentFolder = folder;
        n->Info.ItemAttributes =
            *folder->GetAttributesOf(n->Info.RelativeIDList.get(), kRequestedAttributes);
        n->Info.sortKey = folder->nameSortKey(n->Info.RelativeIDList.get());
    }
    const auto sorted = [&](TFileSortType type, TFileSortOrder order) {
        std::vector<PlainNode*> list;
        list.reserve(nodes.size());
        for (auto& n : nodes) list.push_back(n.get());
        std::stable_sort(list.begin(), list.end(), [&](PlainNode* a, PlainNode* b) {
            return compareSiblings(a->Info, b->Info, type, order) < 0;
        });
        std::string names;
        for (PlainNode* n : list) names += n->name + " ";
        return names;
    };
    EXPECT_EQ(sorted(so_Name, so_Ascending), "A b c x.txt Y.txt z.doc ");
    EXPECT_EQ(sorted(so_Name, so_Descending), "A b c z.doc Y.txt x.txt ");
    EXPECT_EQ(sorted(so_Type, so_Ascending), "A b c z.doc x.txt Y.txt ");
    EXPECT_EQ(sorted(so_Type, so_Descending), "A b c Y.txt x.txt z.doc ");
}

}  // namespace
}  // namespace shelltree
