// What the uninstall deletes of an installed folder, what it leaves, and in which order.

#include "engine/folder_tree.h"

#include <fcntl.h>
#include <pthread.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <random>
#include <set>

#include "folder_tree_fixture.h"

namespace {

using namespace folder_tree_testing;
using Names = std::vector<std::string>;

const Names kNestedTree = {"QUINDOR.EXE",    "MARLO.INI",         "help/index.htm",
                           "help/img/a.png", "dict/US/words.dic", "dict/FR/",
                           "empty/",         "a/b/c/d/e/deep.txt"};

class RootSpelling : public FolderTreeTest, public testing::WithParamInterface<const char*> {};

TEST_P(RootSpelling, RemovesTheWholeTreeAndTheRootItself) {
    make(m_root, kNestedTree);
    make(m_base, {"beside.txt"});
    uninstall(m_root.string() + GetParam());
    EXPECT_EQ(listing(m_base), Names{"beside.txt"});
}

INSTANTIATE_TEST_SUITE_P(FolderTree, RootSpelling, testing::Values("", "/", "//", "/.", "/./"),
                         [](const auto& info) { return "Suffix" + std::to_string(info.index); });

TEST_P(RootSpelling, NeverTouchesSiblingsThatStartWithTheRootsName) {
    make(m_root, {"a.txt", "sub/b.txt"});
    make(m_base, {"Quindor2/keep.txt", "Quindor2/sub/", "Quindor.txt", "Quindorx", "Quindo",
                  "Quindor-old/a.txt"});
    const Names siblings = listing(m_base / "Quindor2");
    uninstall(m_root.string() + GetParam());
    EXPECT_EQ(listing(m_base),
              (Names{"Quindo", "Quindor-old/", "Quindor-old/a.txt", "Quindor.txt", "Quindor2/",
                     "Quindor2/keep.txt", "Quindor2/sub/", "Quindorx"}));
}

struct ModeCase {
    mode_t mode;
    bool deleted;
};

class FileMode : public FolderTreeTest, public testing::WithParamInterface<ModeCase> {};

TEST_P(FileMode, ReadOnlyFilesStayWithAllTheirFolders) {
    make(m_root, {"top.txt", "a/b/file", "a/b/other.txt", "a/c/x", "z/y"});
    fs::permissions(m_root / "a/b/file", static_cast<fs::perms>(GetParam().mode));
    uninstall(m_root.string());
    if (GetParam().deleted) {
        EXPECT_FALSE(fs::exists(m_root));
    } else {
        EXPECT_EQ(listing(m_root), (Names{"a/", "a/b/", "a/b/file"}));
    }
}

INSTANTIATE_TEST_SUITE_P(FolderTree, FileMode,
                         testing::Values(ModeCase{0444, false}, ModeCase{0400, false},
                                         ModeCase{0555, false}, ModeCase{0000, false},
                                         ModeCase{0044, false}, ModeCase{0200, true},
                                         ModeCase{0644, true}, ModeCase{0600, true}),
                         [](const auto& info) {
                             char name[16];
                             std::snprintf(name, sizeof name, "Mode%04o",
                                           static_cast<unsigned>(info.param.mode));
                             return std::string(name);
                         });

TEST_F(FolderTreeTest, DotFoldersStayWithTheirContentsAndKeepTheRoot) {
    make(m_root, {".keep/inner.txt", ".keep/deeper/x", ".hidden", "sub/.dotfile", "sub/..dots",
                  "sub/.config/kept"});
    uninstall(m_root.string());
    EXPECT_EQ(listing(m_root),
              (Names{".keep/", ".keep/deeper/", ".keep/deeper/x", ".keep/inner.txt", "sub/",
                     "sub/.config/", "sub/.config/kept"}));
}

TEST_F(FolderTreeTest, DeletesEveryKindOfEntryThatIsNotAFolder) {
    make(m_root, {"plain", "sub/"});
    ASSERT_EQ(mkfifo((m_root / "fifo").c_str(), 0644), 0);
    fs::create_symlink("nowhere", m_root / "dangling");
    fs::create_symlink("plain", m_root / "sub/relative");
    fs::create_hard_link(m_root / "plain", m_root / "sub/hard");
    const int server = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string socketPath = (m_root / "sock").string();
    ASSERT_LT(socketPath.size(), sizeof address.sun_path);
    socketPath.copy(address.sun_path, socketPath.size());
    ASSERT_EQ(bind(server, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    uninstall(m_root.string());
    close(server);
    EXPECT_FALSE(fs::exists(fs::symlink_status(m_root)));
}

TEST_F(FolderTreeTest, FoldersDifferingOnlyInCaseAreBothRemoved) {
    make(m_root, {"Dict/x", "dict/y", "DICT/z/w"});
    uninstall(m_root.string());
    EXPECT_FALSE(fs::exists(m_root));
}

class AwkwardName : public FolderTreeTest, public testing::WithParamInterface<std::string> {};

TEST_P(AwkwardName, IsDeletedAsAFileAndAsAFolder) {
    const std::string name = GetParam();
    make(m_root, {name, "folder/" + name, name + "-dir/" + name});
    uninstall(m_root.string());
    EXPECT_FALSE(fs::exists(m_root)) << testing::PrintToString(listing(m_root));
}

TEST_P(AwkwardName, InTheRootsOwnNameChangesNothing) {
    m_root = m_base / GetParam();
    make(m_root, {"a", "b/c"});
    make(m_base, {"sibling/" + GetParam()});
    uninstall(m_root.string());
    EXPECT_FALSE(fs::exists(m_root));
    EXPECT_EQ(listing(m_base), (Names{"sibling/", "sibling/" + GetParam()}));
}

INSTANTIATE_TEST_SUITE_P(FolderTree, AwkwardName,
                         testing::Values("with space", "quote\"d", "it's", "$HOME", "`id`", "100%",
                                         "-rf", "-", "--", "[1]", "*", "?", "*.*", "line\nbreak",
                                         "Müller", "日本語", "back\\slash", " leading", "trailing ",
                                         "tab\there", "a;b&c|d", "\x01\x7f", "\xff\xfe not utf-8"),
                         [](const auto& info) { return "Name" + std::to_string(info.index); });

TEST_F(FolderTreeTest, WithoutDescendingOnlyTheRootsFilesGo) {
    make(m_root, {"a.txt", ".b", "sub/c.txt"});
    int calls = 0;
    engine::FolderTree tree([&calls] { return ++calls, true; });
    EXPECT_TRUE(tree.DeleteFolderTree(m_root.string(), "*.*", false));
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(listing(m_root), (Names{"sub/", "sub/c.txt"}));
    EXPECT_EQ(tree.RemovedFolders(), Names{m_root.string() + "/"});
}

TEST_F(FolderTreeTest, RemovesEnteredFoldersAsItLeavesThem) {
    make(m_root, {"a/b/", "a/f", "c/", ".dot/"});
    engine::FolderTree tree([] { return true; });
    EXPECT_TRUE(tree.DeleteFolderTree(m_root.string(), "*.*", true));
    // The root holds no file, so it is not collected; the caller adds it. The entered
    // folders are gone, the one not entered stays.
    EXPECT_TRUE(tree.RemovedFolders().empty());
    EXPECT_EQ(listing(m_root), Names{".dot/"});
}

TEST_F(FolderTreeTest, DeletesEachFoldersFilesBeforeEnteringItsSubFoldersDepthFirst) {
    make(m_root, {"f", "a/f", "a/x/f", "a/x/y/f", "b/f", "b/z/f"});
    const std::vector<std::string> folders = {"", "a/", "a/x/", "a/x/y/", "b/", "b/z/"};
    std::set<std::string> remaining(folders.begin(), folders.end());
    std::vector<std::string> order;
    engine::FolderTree tree([&] {
        std::vector<std::string> gone;
        for (const std::string& folder : remaining) {
            if (!fs::exists(m_root / folder / "f")) gone.push_back(folder);
        }
        EXPECT_EQ(gone.size(), 1u) << "files of exactly one more folder are gone";
        for (const std::string& folder : gone) {
            remaining.erase(folder);
            order.push_back(folder);
        }
        return true;
    });
    EXPECT_TRUE(tree.DeleteFolderTree(m_root.string(), "*.*", true));
    ASSERT_EQ(order.size(), folders.size());
    EXPECT_EQ(order.front(), "");
    const auto position = [&order](const std::string& folder) {
        return std::find(order.begin(), order.end(), folder) - order.begin();
    };
    EXPECT_EQ(position("a/x/"), position("a/") + 1);
    EXPECT_EQ(position("a/x/y/"), position("a/x/") + 1);
    EXPECT_EQ(position("b/z/"), position("b/") + 1);
}

TEST_F(FolderTreeTest, StopsEnteringFoldersOnceAskedTo) {
    for (int stopAt = 1; stopAt <= 3; ++stopAt) {
        SCOPED_TRACE(stopAt);
        make(m_root, {"f", "a/f", "a/x/f", "b/f", "c/f"});
        int calls = 0;
        engine::FolderTree tree([&] { return ++calls < stopAt; });
        EXPECT_FALSE(tree.DeleteFolderTree(m_root.string(), "*.*", true));
        EXPECT_EQ(calls, stopAt);
        const auto left = listing(m_root);
        const auto files = std::count_if(
            left.begin(), left.end(), [](const std::string& name) { return !name.ends_with('/'); });
        EXPECT_EQ(files, 5 - stopAt);  // one folder's files per call
        tree.addRemovedFolder(m_root.string());
        tree.removeCollectedFolders();
        EXPECT_TRUE(fs::exists(m_root));  // what is left keeps it
    }
}

struct MaskCase {
    const char* mask;
    Names deleted;
};

class Mask : public FolderTreeTest, public testing::WithParamInterface<MaskCase> {};

TEST_P(Mask, SelectsTheFilesToDelete) {
    const Names files = {"a.txt",   "B.TXT", "ab.txt", "ü.txt", "readme", "README.md",
                         "readme2", "[1]x",  "1x",     "noext", ".hidden"};
    make(m_root, files);
    engine::FolderTree tree([] { return true; });
    tree.DeleteFolderTree(m_root.string(), GetParam().mask, true);
    Names deleted;
    for (const std::string& file : files) {
        if (!fs::exists(m_root / file)) deleted.push_back(file);
    }
    EXPECT_EQ(deleted, GetParam().deleted);
}

INSTANTIATE_TEST_SUITE_P(
    FolderTree, Mask,
    testing::Values(MaskCase{"*.*",
                             {"a.txt", "B.TXT", "ab.txt", "ü.txt", "readme", "README.md", "readme2",
                              "[1]x", "1x", "noext", ".hidden"}},
                    MaskCase{"*",
                             {"a.txt", "B.TXT", "ab.txt", "ü.txt", "readme", "README.md", "readme2",
                              "[1]x", "1x", "noext", ".hidden"}},
                    MaskCase{"*.txt", {"a.txt", "B.TXT", "ab.txt", "ü.txt"}},
                    MaskCase{"?.txt", {"a.txt", "B.TXT", "ü.txt"}},
                    MaskCase{"readme.*", {"readme", "README.md"}}, MaskCase{"[1]*", {"[1]x"}},
                    MaskCase{"*x", {"[1]x", "1x"}}, MaskCase{"", {}}),
    [](const auto& info) { return "Mask" + std::to_string(info.index); });

TEST_F(FolderTreeTest, RemovesNothingOutsideTheWalkedTree) {
    make(m_root, {"a/f"});
    make(m_base, {"outsideEmpty/", "outsideEmpty2/", "Quindor2/"});
    engine::FolderTree tree([] { return true; });
    tree.DeleteFolderTree(m_root.string(), "*.*", true);
    for (const std::string& extra :
         {(m_base / "outsideEmpty/").string(), m_root.string() + "/../outsideEmpty2/",
          m_root.string() + "2/", m_root.string() + "/a/../../outsideEmpty/",
          std::string("relative/"), std::string()}) {
        tree.addRemovedFolder(extra);
    }
    tree.addRemovedFolder(m_root.string());
    tree.removeCollectedFolders();
    EXPECT_TRUE(tree.RemovedFolders().empty());
    EXPECT_EQ(listing(m_base), (Names{"Quindor2/", "outsideEmpty/", "outsideEmpty2/"}));
}

TEST_F(FolderTreeTest, RemovesNothingWithoutAWalk) {
    make(m_base, {"empty/"});
    engine::FolderTree tree([] { return true; });
    tree.addRemovedFolder((m_base / "empty/").string());
    tree.removeCollectedFolders();
    EXPECT_TRUE(fs::exists(m_base / "empty"));
}

TEST_F(FolderTreeTest, AMissingRelativeOrFileRootDeletesNothing) {
    make(m_base, {"rel/file", "plain.txt"});
    const fs::path previous = fs::current_path();
    fs::current_path(m_base);
    for (const std::string& root :
         {std::string("rel"), std::string("rel/"), std::string("./rel"),
          (m_base / "missing").string(), (m_base / "plain.txt").string(), std::string()}) {
        engine::FolderTree tree([] { return true; });
        EXPECT_TRUE(tree.DeleteFolderTree(root, "*.*", true)) << root;
        EXPECT_TRUE(tree.RemovedFolders().empty()) << root;
        tree.addRemovedFolder(root);
        tree.removeCollectedFolders();
    }
    fs::current_path(previous);
    EXPECT_EQ(listing(m_base), (Names{"plain.txt", "rel/", "rel/file"}));
}

TEST_F(FolderTreeTest, KeepsNoDescriptorOpenAndWorksBelowThePathLimit) {
    // Deeper than PATH_MAX allows to name, so only descriptor-relative work can reach it.
    fs::create_directories(m_root);
    int folder = open(m_root.c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_GE(folder, 0);
    for (int level = 0; level < 500; ++level) {
        const std::string name = "level-" + std::to_string(level);
        ASSERT_EQ(mkdirat(folder, name.c_str(), 0755), 0);
        const int file = openat(folder, "f", O_CREAT | O_WRONLY, 0644);
        ASSERT_GE(file, 0);
        close(file);
        const int next = openat(folder, name.c_str(), O_RDONLY | O_DIRECTORY);
        close(folder);
        ASSERT_GE(next, 0);
        folder = next;
    }
    close(folder);
    const auto openDescriptors = [] {
        return std::distance(fs::directory_iterator("/proc/self/fd"), fs::directory_iterator());
    };
    const auto before = openDescriptors();
    {
        engine::FolderTree tree([] { return true; });
        tree.DeleteFolderTree(m_root.string(), "*.*", true);
        // No path is kept per folder: only the root, which held a file, is collected.
        EXPECT_EQ(tree.RemovedFolders(), Names{m_root.string() + "/"});
        tree.addRemovedFolder(m_root.string());
        tree.removeCollectedFolders();
    }
    EXPECT_EQ(openDescriptors(), before);
    EXPECT_FALSE(fs::exists(m_root));
}

// Makes levels nested folders below root through descriptors (deeper than a path can name),
// each holding a file.
void makeChain(const fs::path& root, int levels) {
    fs::create_directories(root);
    int folder = open(root.c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_GE(folder, 0);
    for (int level = 0; level < levels; ++level) {
        ASSERT_EQ(mkdirat(folder, "d", 0755), 0);
        const int file = openat(folder, "f", O_CREAT | O_WRONLY, 0644);
        ASSERT_GE(file, 0);
        close(file);
        const int next = openat(folder, "d", O_RDONLY | O_DIRECTORY);
        close(folder);
        ASSERT_GE(next, 0);
        folder = next;
    }
    close(folder);
}

// 2,000 levels on a thread with a stack that a walk recursing once per level would
// overflow, and with far fewer descriptors allowed than levels.
TEST_F(FolderTreeTest, ADeepTreeGoesOnASmallStackWithFewDescriptors) {
    makeChain(m_root, 2000);
    rlimit before{};
    ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &before), 0);
    rlimit few = before;
    few.rlim_cur = 64;
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &few), 0);
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setstacksize(&attributes, 256 * 1024);
    pthread_t thread;
    const auto run = [](void* root) -> void* {
        uninstall(*static_cast<std::string*>(root));
        return nullptr;
    };
    std::string root = m_root.string();
    ASSERT_EQ(pthread_create(&thread, &attributes, run, &root), 0);
    pthread_join(thread, nullptr);
    pthread_attr_destroy(&attributes);
    setrlimit(RLIMIT_NOFILE, &before);
    EXPECT_FALSE(fs::exists(m_root));
}

// The folder list of the uninstall: insertions and the list they give.
struct OrderCase {
    const char* name;
    Names added;
    Names expected;
};

class RemovedFoldersOrder : public testing::TestWithParam<OrderCase> {};

TEST_P(RemovedFoldersOrder, IsSortedCaseBlindWithoutDuplicates) {
    engine::FolderTree tree([] { return true; });
    for (const std::string& folder : GetParam().added) tree.addRemovedFolder(folder);
    EXPECT_EQ(tree.RemovedFolders(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    FolderTree, RemovedFoldersOrder,
    testing::Values(
        OrderCase{"ParentsFirst", {"/a/b/", "/a/", "/a/b/c/"}, {"/a/", "/a/b/", "/a/b/c/"}},
        OrderCase{"SamePathOnce", {"/a/b/", "/a/b/", "/a/", "/a/b/"}, {"/a/", "/a/b/"}},
        // Two folders on Linux: both stay, the tie broken by the bytes.
        OrderCase{"CaseVariantsBothKept", {"/a/b/", "/a/B/", "/a/b/"}, {"/a/B/", "/a/b/"}},
        OrderCase{"CaseBlind",
                  {"/x/Zeta/", "/x/alpha/", "/x/Beta/"},
                  {"/x/alpha/", "/x/Beta/", "/x/Zeta/"}},
        OrderCase{
            "UnderscoreAfterLetters", {"/x/a_/", "/x/B/", "/x/A/"}, {"/x/A/", "/x/a_/", "/x/B/"}},
        OrderCase{"PunctuationBeforeTheSeparator",
                  {"/r/a/z/", "/r/a/", "/r/a-b/"},
                  {"/r/a-b/", "/r/a/", "/r/a/z/"}},
        OrderCase{"RootWithAndWithoutSeparator",
                  {"/x/Q/s/", "/x/Q/", "/x/Q"},
                  {"/x/Q", "/x/Q/", "/x/Q/s/"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RemovedFoldersOrder, PutsEveryFolderBeforeEverythingBelowIt) {
    std::mt19937 random(20240611);
    const std::string letters = "aAbB_-. zZ\xc3\xa9";
    engine::FolderTree tree([] { return true; });
    std::set<std::string> added;
    for (int i = 0; i < 1000; ++i) {
        std::string folder = "/";
        const int depth = 1 + static_cast<int>(random() % 4);
        for (int level = 0; level < depth; ++level) {
            for (int length = 1 + static_cast<int>(random() % 2); length > 0; --length) {
                folder += letters[random() % letters.size()];
            }
            folder += '/';
            tree.addRemovedFolder(folder);
            added.insert(folder);
        }
    }
    const Names& list = tree.RemovedFolders();
    EXPECT_EQ(list.size(), added.size());
    for (std::size_t i = 0; i < list.size(); ++i) {
        for (std::size_t j = 0; j < i; ++j) {
            ASSERT_FALSE(list[j].starts_with(list[i])) << list[i] << " after " << list[j];
        }
    }
}

}  // namespace
