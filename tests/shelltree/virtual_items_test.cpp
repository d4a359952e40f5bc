// The tree over a namespace of its own: items that belong to no file system.

#include <gtest/gtest.h>

#include <map>

#include "shelltree/item_id.h"
#include "shelltree/shell_tree.h"

namespace shelltree {
namespace {

// A folder of named items with fixed attributes; folders hold further FakeFolders.
class FakeFolder : public ShellFolder {
public:
    struct Entry {
        std::uint32_t attributes;
        std::shared_ptr<FakeFolder> folder;
    };
    std::map<std::string, Entry> entries;

    class Listing : public ItemEnumerator {
    public:
        explicit Listing(std::vector<std::string> names) : m_names(std::move(names)) {}
        void Reset() override { m_next = 0; }
        IDList Next() override {
            if (m_next >= m_names.size()) return {};
            return std::move(*makeItemList(ItemKind::Folder, m_names[m_next++]));
        }

    private:
        std::vector<std::string> m_names;
        std::size_t m_next = 0;
    };

    std::unique_ptr<ItemEnumerator> EnumObjects(ShellMessages*, std::uint32_t) override {
        std::vector<std::string> names;
        for (const auto& [name, entry] : entries) names.push_back(name);
        return std::make_unique<Listing>(names);
    }
    std::optional<std::uint32_t> GetAttributesOf(PItemIDList item,
                                                 std::uint32_t requested) override {
        const Entry* entry = find(item);
        if (entry == nullptr) return std::nullopt;
        return entry->attributes & requested;
    }
    std::shared_ptr<ShellFolder> BindToObject(PItemIDList item) override {
        const Entry* entry = find(item);
        return entry != nullptr ? entry->folder : nullptr;
    }
    int CompareIDs(int, PItemIDList first, PItemIDList second) override {
        return SameItemID(first, second) ? 0 : (nameOf(first) < nameOf(second) ? -1 : 1);
    }
    std::optional<std::string> GetDisplayNameOf(PItemIDList item, std::uint32_t) override {
        return std::string(nameOf(item));
    }
    IDList SetNameOf(ShellMessages*, PItemIDList, const std::string&) override { return {}; }
    IDList ParseDisplayName(ShellMessages*, const std::string&, std::uint32_t*) override {
        return {};
    }

private:
    static std::string_view nameOf(PItemIDList item) {
        const auto id = readItem(item);
        return id ? id->text : std::string_view();
    }
    const Entry* find(PItemIDList item) const {
        const auto found = entries.find(std::string(nameOf(item)));
        return found == entries.end() ? nullptr : &found->second;
    }
};

constexpr std::uint32_t kFileSystemFolder = SFGAO_FOLDER | SFGAO_FILESYSTEM | SFGAO_HASSUBFOLDER;
constexpr std::uint32_t kVirtualFolder = SFGAO_FOLDER;

TEST(VirtualItems, AFolderWhoseOnlyChildrenAreHiddenVirtualItemsKeepsItsButton) {
    auto desktop = std::make_shared<FakeFolder>();
    auto holder = std::make_shared<FakeFolder>();
    holder->entries["control panel"] = {kVirtualFolder, std::make_shared<FakeFolder>()};
    desktop->entries["holder"] = {kFileSystemFolder, holder};
    desktop->entries["printers"] = {kVirtualFolder, std::make_shared<FakeFolder>()};

    TShellTree tree(nullptr);
    tree.setDesktopFolder(desktop);
    tree.setShowVirtualFolders(false);
    tree.Loaded();
    TShellNode* root = tree.RootNode();
    ASSERT_NE(root, nullptr);
    ASSERT_EQ(root->count(), 1) << "the virtual item of the desktop is dropped";
    TShellNode* node = root->child(0);
    EXPECT_EQ(node->text(), "holder");
    node->expand(false);
    EXPECT_EQ(node->count(), 0);
    EXPECT_TRUE(node->hasChildren()) << "the folder listed an item, so its button stays";

    tree.setShowVirtualFolders(true);
    EXPECT_EQ(root->count(), 2);
    node->expand(false);
    EXPECT_EQ(node->count(), 1);
}

}  // namespace
}  // namespace shelltree
