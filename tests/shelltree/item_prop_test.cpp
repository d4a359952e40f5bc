// The item menu: which commands an item offers, the three modes, cancelling, and items
// given by path (the root through the desktop's first folder).

#include "shelltree/item_prop.h"

#include <gtest/gtest.h>

#include "folder_tree_builder.h"
#include "shelltree/file_system_folder.h"
#include "shelltree/shell_flags.h"
#include "test_environment.h"

namespace shelltree {
namespace {

// Chooses a scripted entry and records what was run.
class RecordingHost : public ItemMenuHost {
public:
    int chooseMenuEntry(const ItemMenu& menu, int, int) override {
        shownMenus.push_back(menu);
        for (std::size_t i = 0; i < menu.entries.size(); ++i) {
            if (choice && menu.entries[i].command == *choice) return static_cast<int>(i);
        }
        return -1;
    }
    bool openInFileManager(const std::string& path) override { return record("open " + path); }
    bool copyPath(const std::string& path) override { return record("copy " + path); }
    bool showProperties(const std::string& path, std::uint32_t) override {
        return record("properties " + path);
    }
    bool renameItem(PItemIDList) override { return record("rename"); }
    bool canRename() const override { return renaming; }
    bool canOpenInFileManager() const override { return opening; }

    bool record(const std::string& what) {
        ran.push_back(what);
        return true;
    }
    std::optional<ItemCommandKind> choice;
    bool renaming = true;
    bool opening = true;
    std::vector<ItemMenu> shownMenus;
    std::vector<std::string> ran;
};

class ItemPropTest : public ::testing::Test {
protected:
    void SetUp() override {
        root = testing_support::testFolder("item_prop");
        shelltree_testing::makeTree(root, {"docs/", "notes.txt"});
        folder = std::make_shared<FileSystemFolder>(root.string());
        docs = std::move(*makeItemList(ItemKind::Folder, "docs"));
    }
    std::filesystem::path root;
    std::shared_ptr<FileSystemFolder> folder;
    IDList docs;
    RecordingHost host;
};

TEST_F(ItemPropTest, MenuOfAFolder) {
    const ItemMenu menu =
        itemMenuFor("/x/docs", SFGAO_FOLDER | SFGAO_CANRENAME | SFGAO_HASPROPSHEET, true, true);
    ASSERT_EQ(menu.entries.size(), 4u);
    EXPECT_EQ(menu.entries[0].caption, "Open in file manager");
    EXPECT_TRUE(menu.entries[0].isDefault);
    for (const ItemMenuEntry& entry : menu.entries) EXPECT_TRUE(entry.enabled) << entry.caption;
    const ItemMenu readOnly = itemMenuFor("/x/docs", SFGAO_FOLDER | SFGAO_HASPROPSHEET, true, true);
    EXPECT_FALSE(readOnly.entries[1].enabled) << "no rename without the attribute";
    const ItemMenu noPath = itemMenuFor("", SFGAO_FOLDER, true, true);
    for (const ItemMenuEntry& entry : noPath.entries) EXPECT_FALSE(entry.enabled) << entry.caption;
    EXPECT_FALSE(itemMenuFor("/x/docs", SFGAO_FOLDER, true, false).entries[0].enabled)
        << "no opener";
}

TEST_F(ItemPropTest, CancellingReturnsTrueAndRunsNothing) {
    EXPECT_TRUE(ShowItemMenu(folder, docs.get(), 0, host, 10, 20));
    EXPECT_EQ(host.shownMenus.size(), 1u);
    EXPECT_TRUE(host.ran.empty());
}

TEST_F(ItemPropTest, ChosenCommandRunsOnTheItem) {
    struct Row {
        ItemCommandKind choice;
        std::string ran;
    };
    const std::string path = (root / "docs").string();
    const Row rows[] = {
        {ItemCommandKind::Open, "open " + path},
        {ItemCommandKind::CopyPath, "copy " + path},
        {ItemCommandKind::Properties, "properties " + path},
        {ItemCommandKind::Rename, "rename"},
    };
    for (const Row& row : rows) {
        host.ran.clear();
        host.choice = row.choice;
        EXPECT_TRUE(ShowItemMenu(folder, docs.get(), 0, host, 0, 0));
        EXPECT_EQ(host.ran, std::vector<std::string>{row.ran});
    }
    host.renaming = false;
    host.ran.clear();
    host.choice = ItemCommandKind::Rename;
    EXPECT_FALSE(ShowItemMenu(folder, docs.get(), 0, host, 0, 0))
        << "a disabled entry runs nothing";
    EXPECT_TRUE(host.ran.empty());
}

TEST_F(ItemPropTest, PropertiesAndDefaultWithoutAMenu) {
    EXPECT_FALSE(ItemCommand({}, folder, docs.get(), 0, 1, host, 0, 0)) << "no property sheet";
    EXPECT_TRUE(host.ran.empty());
    EXPECT_TRUE(ItemCommand({}, folder, docs.get(), SFGAO_HASPROPSHEET, 1, host, 0, 0));
    EXPECT_TRUE(ItemCommand({}, folder, docs.get(), 0, 2, host, 0, 0));
    const std::string path = (root / "docs").string();
    EXPECT_EQ(host.ran, (std::vector<std::string>{"properties " + path, "open " + path}));
    EXPECT_TRUE(host.shownMenus.empty());
    const IDList notes = std::move(*makeItemList(ItemKind::File, "notes.txt"));
    EXPECT_FALSE(ItemCommand({}, folder, notes.get(), 0, 2, host, 0, 0))
        << "a file has no folder to open";
}

TEST_F(ItemPropTest, ItemsByPathIncludingTheRoot) {
    EXPECT_TRUE(
        ItemCommand((root / "docs").string(), nullptr, nullptr, SFGAO_HASPROPSHEET, 1, host, 0, 0));
    EXPECT_TRUE(ItemCommand("/", nullptr, nullptr, SFGAO_HASPROPSHEET, 1, host, 0, 0));
    EXPECT_EQ(host.ran,
              (std::vector<std::string>{"properties " + (root / "docs").string(), "properties /"}));
    EXPECT_FALSE(
        ItemCommand((root / "none").string(), nullptr, nullptr, SFGAO_HASPROPSHEET, 1, host, 0, 0));
}

}  // namespace
}  // namespace shelltree
