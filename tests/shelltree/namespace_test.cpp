// The namespace as a whole: the desktop and "Computer", canonical places, paths of lists,
// special folders, path normalising and icons.

#include "shelltree/shell_namespace.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "folder_tree_builder.h"
#include "platform/environment.h"
#include "shelltree/desktop_folder.h"
#include "shelltree/item_id.h"
#include "shelltree/normalize_path.h"
#include "shelltree/places.h"
#include "shelltree/shell_flags.h"
#include "test_environment.h"

namespace fs = std::filesystem;

namespace shelltree {
namespace {

std::vector<std::string> itemTexts(PItemIDList list) {
    std::vector<std::string> texts;
    for (int i = 0; i < IDListCount(list); ++i) {
        const auto id = readItem(itemAt(list, i));
        texts.push_back(std::string(1, static_cast<char>(id->kind)) + std::string(id->text));
    }
    return texts;
}

TEST(Places, CanonicalPlaceIsTheLongestMatchingFolder) {
    const fs::path folder = testing_support::testFolder("places");
    fs::create_directories(folder / "home");
    fs::create_directories(folder / "home/vol");
    const std::string home = (folder / "home").string();
    const auto places = placesFrom(home + "/", {"/", home, home + "/vol", "/no/such/volume"});
    ASSERT_EQ(places.size(), 3u) << "root, home, one existing volume; duplicates dropped";
    EXPECT_EQ(places[1].path, home);
    struct Row {
        std::string path;
        const char* place;
    };
    const Row rows[] = {
        {home + "/Quindor", "H"}, {home, "H"},   {home + "/vol/x", "V"},
        {home + "x/y", "R"},      {"/etc", "R"}, {"/", "R"},
    };
    for (const Row& row : rows) {
        const Place* place = canonicalPlace(places, row.path);
        ASSERT_NE(place, nullptr) << row.path;
        EXPECT_EQ(static_cast<char>(place->kind), row.place[0]) << row.path;
    }
    EXPECT_EQ(canonicalPlace(places, "relative"), nullptr);
    EXPECT_EQ(placesFrom("/", {}).size(), 1u) << "a home at the root is the root";
}

TEST(Namespace, HomeFolderPathsOpenUnderTheHomePlace) {
    const std::string home = platform::homeFolder();
    fs::create_directories(home + "/Quindor/sub");
    auto desktop = desktopFolder();
    const IDList list = desktop->ParseDisplayName(nullptr, home + "/Quindor/", nullptr);
    ASSERT_TRUE(list);
    EXPECT_EQ(itemTexts(list.get()), (std::vector<std::string>{"C", "H" + home, "dQuindor"}));
    EXPECT_EQ(PathFromIDList(list.get()), home + "/Quindor");
    const IDList root = desktop->ParseDisplayName(nullptr, "/", nullptr);
    EXPECT_EQ(itemTexts(root.get()), (std::vector<std::string>{"C", "R/"}));
    EXPECT_EQ(PathFromIDList(root.get()), "/");
    const IDList etc = desktop->ParseDisplayName(nullptr, "/usr/./share/../lib", nullptr);
    EXPECT_EQ(itemTexts(etc.get()), (std::vector<std::string>{"C", "R/", "dusr", "dlib"}));
    EXPECT_EQ(PathFromIDList(etc.get()), "/usr/lib");
    EXPECT_FALSE(desktop->ParseDisplayName(nullptr, "/no/such/folder", nullptr));
    EXPECT_FALSE(desktop->ParseDisplayName(nullptr, "", nullptr));
}

TEST(Namespace, DesktopHoldsComputerFirstThenTheDesktopFolder) {
    const std::string home = platform::homeFolder();
    fs::create_directories(home + "/Desktop/On the desktop");
    auto desktop = desktopFolder();
    auto items = desktop->EnumObjects(nullptr, SHCONTF_FOLDERS);
    IDList first = items->Next();
    EXPECT_EQ(DisplayNameOf(*desktop, first.get(), SHGDN_NORMAL), "Computer");
    EXPECT_EQ(*desktop->GetAttributesOf(first.get(), kRequestedAttributes) & SFGAO_FILESYSTEM, 0u);
    IDList second = items->Next();
    EXPECT_EQ(DisplayNameOf(*desktop, second.get(), SHGDN_NORMAL), "On the desktop");
    EXPECT_EQ(PathFromIDList(second.get()), home + "/Desktop/On the desktop");
    EXPECT_LT(desktop->CompareIDs(0, first.get(), second.get()), 0);
    EXPECT_EQ(PathFromIDList(IDList::empty().get()), home + "/Desktop");

    auto computer = desktop->BindToObject(first.get());
    ASSERT_TRUE(computer);
    auto places = computer->EnumObjects(nullptr, SHCONTF_FOLDERS);
    IDList root = places->Next();
    EXPECT_EQ(DisplayNameOf(*computer, root.get(), SHGDN_NORMAL), "File System");
    EXPECT_EQ(DisplayNameOf(*computer, root.get(), SHGDN_FORPARSING), "/");
    IDList homePlace = places->Next();
    EXPECT_EQ(DisplayNameOf(*computer, homePlace.get(), SHGDN_NORMAL), "Home");
    EXPECT_TRUE(*computer->GetAttributesOf(homePlace.get(), kRequestedAttributes) &
                SFGAO_FILESYSTEM);
    EXPECT_FALSE(computer->SetNameOf(nullptr, homePlace.get(), "x")) << "places cannot be renamed";
    EXPECT_FALSE(*computer->GetAttributesOf(homePlace.get(), kRequestedAttributes) &
                 SFGAO_CANRENAME);
}

TEST(Namespace, SpecialFoldersMapToTheUsersFolders) {
    const std::string home = platform::homeFolder();
    fs::create_directories(home + "/.local/share/applications");
    fs::create_directories(home + "/Documents");
    struct Row {
        TPidls root;
        std::string path;  // empty: no file-system path
    };
    const Row rows[] = {
        {PIDL_DESKTOP, home + "/Desktop"},
        {PIDL_DRIVES, ""},
        {PIDL_PROGRAMS, home + "/.local/share/applications"},
        {PIDL_STARTMENU, home + "/.local/share/applications"},
        {PIDL_PERSONAL, home + "/Documents"},
        {PIDL_CONTROLS, "/"},
        {PIDL_NETWORK, "/"},
    };
    for (const Row& row : rows) {
        const IDList list = specialFolderLocation(csidlOf(row.root));
        ASSERT_TRUE(list) << row.root;
        EXPECT_EQ(PathFromIDList(list.get()), row.path) << row.root;
    }
    EXPECT_FALSE(specialFolderLocation(csidlOf(PIDL_TEMPLATES))) << "a folder that does not exist";
    EXPECT_FALSE(specialFolderLocation(99));
}

TEST(Namespace, NormalizePathCutsBackToAnExistingFolder) {
    const fs::path folder = testing_support::testFolder("normalize");
    shelltree_testing::makeTree(folder, {"a/b/", "file"});
    const std::string base = folder.string();
    struct Row {
        std::string path, normalized;
    };
    const Row rows[] = {
        {base + "/a/b", base + "/a/b"},
        {base + "/a/b/", base + "/a/b/"},
        {base + "/a/no/such", base + "/a/"},
        {base + "/a/no/such/", base + "/a/"},
        {base + "/file", base + "/"},
        {"/no/such", "/"},
        {"/", "/"},
        {"", ""},
    };
    for (const Row& row : rows) EXPECT_EQ(NormalizePath(row.path), row.normalized) << row.path;
    // A relative path is read relative to the current folder.
    const fs::path previous = fs::current_path();
    fs::current_path(folder / "a");
    EXPECT_EQ(NormalizePath("b/none"), base + "/a/b/");
    fs::current_path(previous);
}

TEST(Namespace, IconsByKindOfTheLastItem) {
    const std::string home = platform::homeFolder();
    auto desktop = desktopFolder();
    EXPECT_EQ(systemIconIndex(IDList::empty().get(), false), iconDesktop);
    EXPECT_EQ(systemIconIndex(specialFolderLocation(17).get(), false), iconComputer);
    EXPECT_EQ(systemIconIndex(desktop->ParseDisplayName(nullptr, "/", nullptr).get(), false),
              iconFileSystem);
    EXPECT_EQ(systemIconIndex(desktop->ParseDisplayName(nullptr, home, nullptr).get(), false),
              iconHome);
    const IDList usr = desktop->ParseDisplayName(nullptr, "/usr", nullptr);
    EXPECT_EQ(systemIconIndex(usr.get(), false), iconFolder);
    EXPECT_EQ(systemIconIndex(usr.get(), true), iconFolderOpen);
}

}  // namespace
}  // namespace shelltree
