// The namespace's file-system folders on generated folder trees: listing flags, attributes,
// binding, order, display names, renames and parsing.

#include "shelltree/file_system_folder.h"

#include <gtest/gtest.h>

#include <set>

#include "folder_tree_builder.h"
#include "shelltree/shell_flags.h"
#include "test_environment.h"

namespace fs = std::filesystem;

namespace shelltree {
namespace {

IDList entry(ItemKind kind, const std::string& name) {
    return std::move(*makeItemList(kind, name));
}

std::set<std::string> listNames(ShellFolder& folder, std::uint32_t flags) {
    std::set<std::string> names;
    auto items = folder.EnumObjects(nullptr, flags);
    EXPECT_TRUE(items);
    while (IDList item = items->Next())
        names.insert(*folder.GetDisplayNameOf(item.get(), SHGDN_NORMAL));
    return names;
}

class RecordedMessages : public ShellMessages {
public:
    void showShellMessage(const std::string& text) override { shown.push_back(text); }
    std::vector<std::string> shown;
};

class FileSystemFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        root = testing_support::testFolder("fs_folder");
        shelltree_testing::makeTree(
            root, {"docs/", "docs/old/", "Beta/", "alpha/", ".cache/x/", "notes.txt", "zeta.TXT",
                   ".profile", "link->docs", "filelink->notes.txt", "broken->nowhere",
                   "dotonly/.git/", "filesonly/a.txt"});
        folder = std::make_shared<FileSystemFolder>(root.string());
    }
    fs::path root;
    std::shared_ptr<FileSystemFolder> folder;
};

TEST_F(FileSystemFolderTest, ListingFlags) {
    struct Row {
        std::uint32_t flags;
        std::set<std::string> names;
    };
    const std::set<std::string> folders{"docs", "Beta", "alpha", "link", "dotonly", "filesonly"};
    const std::set<std::string> files{"notes.txt", "zeta.TXT", "filelink", "broken"};
    std::set<std::string> both = folders;
    both.insert(files.begin(), files.end());
    std::set<std::string> all = both;
    all.insert({".cache", ".profile"});
    const Row rows[] = {
        {SHCONTF_FOLDERS, folders},
        {SHCONTF_NONFOLDERS, files},
        {SHCONTF_FOLDERS | SHCONTF_NONFOLDERS, both},
        {SHCONTF_FOLDERS | SHCONTF_NONFOLDERS | SHCONTF_INCLUDEHIDDEN, all},
        {0, {}},
    };
    for (const Row& row : rows) EXPECT_EQ(listNames(*folder, row.flags), row.names) << row.flags;
}

TEST_F(FileSystemFolderTest, AttributesFromTheListingAndAfresh) {
    struct Row {
        ItemKind kind;
        const char* name;
        std::uint32_t set, clear;
    };
    const Row rows[] = {
        {ItemKind::Folder, "docs",
         SFGAO_FOLDER | SFGAO_FILESYSTEM | SFGAO_HASSUBFOLDER | SFGAO_CANRENAME, SFGAO_LINK},
        {ItemKind::Folder, "alpha", SFGAO_FOLDER | SFGAO_FILESYSTEM, SFGAO_HASSUBFOLDER},
        {ItemKind::Folder, "dotonly", SFGAO_FOLDER, SFGAO_HASSUBFOLDER},
        {ItemKind::Folder, "filesonly", SFGAO_FOLDER, SFGAO_HASSUBFOLDER},
        {ItemKind::FolderLink, "link", SFGAO_FOLDER | SFGAO_LINK | SFGAO_HASSUBFOLDER, 0},
        {ItemKind::File, "notes.txt", SFGAO_FILESYSTEM | SFGAO_CANRENAME, SFGAO_FOLDER},
        {ItemKind::FileLink, "broken", SFGAO_FILESYSTEM | SFGAO_LINK, SFGAO_FOLDER},
    };
    // From the listing (each item asked right after it was listed) ...
    auto items = folder->EnumObjects(nullptr, SHCONTF_FOLDERS | SHCONTF_NONFOLDERS);
    int listed = 0;
    while (IDList item = items->Next()) {
        const auto id = readItem(item.get());
        for (const Row& row : rows) {
            if (id->text != row.name) continue;
            ++listed;
            const auto attributes = folder->GetAttributesOf(item.get(), kRequestedAttributes);
            ASSERT_TRUE(attributes) << row.name;
            EXPECT_EQ(*attributes & row.set, row.set) << row.name;
            EXPECT_EQ(*attributes & row.clear, 0u) << row.name;
            EXPECT_TRUE(isFileItem(*attributes) == !isFolderKind(row.kind)) << row.name;
        }
        if (id->text == "docs") {
            EXPECT_FALSE(folder->GetAttributesOf(entry(ItemKind::FolderLink, "docs").get(),
                                                 kRequestedAttributes))
                << "the entry just listed answers only for its own kind";
        }
    }
    EXPECT_EQ(listed, 7);
    // ... and afresh, by item.
    for (const Row& row : rows) {
        const auto attributes =
            folder->GetAttributesOf(entry(row.kind, row.name).get(), kRequestedAttributes);
        ASSERT_TRUE(attributes) << row.name;
        EXPECT_EQ(*attributes & row.set, row.set) << row.name;
        EXPECT_EQ(*attributes & row.clear, 0u) << row.name;
    }
    EXPECT_FALSE(
        folder->GetAttributesOf(entry(ItemKind::Folder, "none").get(), kRequestedAttributes));
    EXPECT_FALSE(folder->GetAttributesOf(entry(ItemKind::File, "docs").get(), kRequestedAttributes))
        << "an item whose kind changed is gone";
}

TEST_F(FileSystemFolderTest, HiddenSubFoldersCountOnlyWhenListedWithHidden) {
    const IDList dotonly = entry(ItemKind::Folder, "dotonly");
    folder->EnumObjects(nullptr, SHCONTF_FOLDERS | SHCONTF_INCLUDEHIDDEN);
    EXPECT_TRUE(*folder->GetAttributesOf(dotonly.get(), SFGAO_HASSUBFOLDER) & SFGAO_HASSUBFOLDER);
    folder->EnumObjects(nullptr, SHCONTF_FOLDERS);
    EXPECT_FALSE(*folder->GetAttributesOf(dotonly.get(), SFGAO_HASSUBFOLDER) & SFGAO_HASSUBFOLDER);
}

TEST_F(FileSystemFolderTest, BindingFoldersOnly) {
    auto docs = folder->BindToObject(entry(ItemKind::Folder, "docs").get());
    ASSERT_TRUE(docs);
    EXPECT_EQ(listNames(*docs, SHCONTF_FOLDERS), std::set<std::string>{"old"});
    EXPECT_TRUE(folder->BindToObject(entry(ItemKind::FolderLink, "link").get()));
    EXPECT_FALSE(folder->BindToObject(entry(ItemKind::File, "notes.txt").get()));
}

TEST_F(FileSystemFolderTest, UnreadableFolderFailsAndTellsTheOwner) {
    auto missing = std::make_shared<FileSystemFolder>((root / "gone").string());
    RecordedMessages messages;
    EXPECT_FALSE(missing->EnumObjects(nullptr, SHCONTF_FOLDERS));
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_FALSE(missing->EnumObjects(&messages, SHCONTF_FOLDERS));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_NE(messages.shown[0].find("gone"), std::string::npos);
}

TEST_F(FileSystemFolderTest, OrderFoldersFirstThenNamesCaseBlind) {
    const IDList alpha = entry(ItemKind::Folder, "alpha"), beta = entry(ItemKind::Folder, "Beta");
    const IDList notes = entry(ItemKind::File, "notes.txt"),
                 zeta = entry(ItemKind::File, "zeta.TXT");
    EXPECT_LT(folder->CompareIDs(0, alpha.get(), beta.get()), 0);
    EXPECT_GT(folder->CompareIDs(0, beta.get(), alpha.get()), 0);
    EXPECT_GT(folder->CompareIDs(0, zeta.get(), notes.get()), 0);
    EXPECT_LT(folder->CompareIDs(0, beta.get(), notes.get()), 0) << "folders before files";
    EXPECT_EQ(folder->CompareIDs(0, alpha.get(), entry(ItemKind::Folder, "alpha").get()), 0);
    EXPECT_NE(folder->CompareIDs(0, alpha.get(), entry(ItemKind::Folder, "Alpha").get()), 0)
        << "another letter case is another folder";
    EXPECT_LT(folder->CompareIDs(2, notes.get(), zeta.get()), 0) << "by type: txt = TXT, then name";
    EXPECT_LT(folder->nameSortKey(beta.get()), folder->nameSortKey(notes.get()));
}

TEST_F(FileSystemFolderTest, DisplayNames) {
    const IDList notes = entry(ItemKind::File, "notes.txt");
    EXPECT_EQ(*folder->GetDisplayNameOf(notes.get(), SHGDN_NORMAL), "notes.txt");
    EXPECT_EQ(*folder->GetDisplayNameOf(notes.get(), SHGDN_FORPARSING),
              (root / "notes.txt").string());
    EXPECT_EQ(*folder->GetDisplayNameOf(notes.get(), SHGDN_FORPARSING | SHGDN_INFOLDER),
              "notes.txt");
    EXPECT_EQ(FileSystemFolder("/").entryPath("etc"), "/etc");
}

TEST_F(FileSystemFolderTest, RenameKeepsTheKindAndNeverReplaces) {
    RecordedMessages messages;
    const IDList renamed =
        folder->SetNameOf(&messages, entry(ItemKind::Folder, "alpha").get(), "gamma");
    ASSERT_TRUE(renamed);
    EXPECT_EQ(readItem(renamed.get())->kind, ItemKind::Folder);
    EXPECT_EQ(readItem(renamed.get())->text, "gamma");
    EXPECT_TRUE(fs::is_directory(root / "gamma"));
    for (const char* refused : {"docs", "", ".", "..", "a/b"}) {
        EXPECT_FALSE(folder->SetNameOf(&messages, entry(ItemKind::Folder, "gamma").get(), refused))
            << refused;
    }
    EXPECT_EQ(messages.shown.size(), 5u);
    EXPECT_TRUE(fs::is_directory(root / "docs/old")) << "an existing folder is never replaced";
    EXPECT_FALSE(folder->SetNameOf(nullptr, entry(ItemKind::Folder, "none").get(), "x"));
}

TEST_F(FileSystemFolderTest, ParsingPathsBelowTheFolder) {
    std::uint32_t attributes = SFGAO_FOLDER | SFGAO_LINK;
    const IDList list = folder->ParseDisplayName(nullptr, "link/old", &attributes);
    ASSERT_TRUE(list);
    EXPECT_EQ(IDListCount(list.get()), 2);
    EXPECT_EQ(readItem(itemAt(list.get(), 0))->kind, ItemKind::FolderLink);
    EXPECT_EQ(attributes, SFGAO_FOLDER);
    EXPECT_TRUE(folder->ParseDisplayName(nullptr, (root / "docs/").string(), nullptr));
    EXPECT_FALSE(folder->ParseDisplayName(nullptr, "docs/none", nullptr));
    EXPECT_FALSE(folder->ParseDisplayName(nullptr, "docs/../alpha", nullptr));
    EXPECT_FALSE(folder->ParseDisplayName(nullptr, "/elsewhere/docs", nullptr));
    EXPECT_FALSE(folder->ParseDisplayName(nullptr, "notes.txt/x", nullptr));
}

}  // namespace
}  // namespace shelltree
