// Links, mounts and folders swapped while the walk runs: the uninstall deletes nothing
// outside the installed tree.

#include <errno.h>
#include <sys/mount.h>
#include <unistd.h>

#include <cstring>
#include <list>
#include <optional>

#include "child_test.h"
#include "engine/folder_tree.h"
#include "engine/operations.h"
#include "folder_tree_fixture.h"
#include "platform/folder_guard.h"
#include "scoped_mount.h"

namespace {

using namespace folder_tree_testing;
using Names = std::vector<std::string>;
using testing_support::ScopedMount;

class FolderTreeSafety : public FolderTreeTest {
protected:
    void SetUp() override {
        FolderTreeTest::SetUp();
        m_home = m_base / "home";
        make(m_home, {"Precious/a.txt", "Precious/deep/b.txt", "Precious/empty/", "precious.txt",
                      ".config/user-dirs.dirs", "Documents/letter.txt"});
        // The XDG folders follow this home, as they do by default.
        for (const char* name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"}) {
            m_variables.emplace_back(name, nullptr);
        }
        m_variables.emplace_back("HOME", m_home.c_str());
    }
    void TearDown() override {
        m_variables.clear();
        FolderTreeTest::TearDown();
    }

    fs::path m_home;
    std::list<ScopedVariable> m_variables;
};

TEST_F(FolderTreeSafety, LinksInsideTheTreeGoAndTheirTargetsStay) {
    make(m_root, {"f", "sub/g", "sub/deeper/"});
    fs::create_directory_symlink(m_home / "Precious", m_root / "linkDir");
    fs::create_directory_symlink(m_home / "Precious", m_root / "sub/deeper/linkDir");
    fs::create_symlink(m_home / "precious.txt", m_root / "sub/linkFile");
    fs::create_directory_symlink("../home", m_root / "relativeHome");
    fs::create_directory_symlink("..", m_root / "up");
    fs::create_directory_symlink(".", m_root / "self");
    fs::create_directory_symlink(m_root, m_root / "sub/rootAgain");
    fs::create_directory_symlink(m_home / "Precious", m_root / ".dotLink");
    const Names homeBefore = listing(m_home);
    uninstall(m_root.string());
    EXPECT_FALSE(fs::exists(fs::symlink_status(m_root))) << testing::PrintToString(listing(m_root));
    EXPECT_EQ(listing(m_home), homeBefore);
    EXPECT_EQ(listing(m_base).size(), homeBefore.size() + 1);  // home/ and what it holds
}

TEST_F(FolderTreeSafety, ARootThatIsALinkDeletesNothing) {
    const fs::path link = m_base / "Quindor";
    fs::create_directory_symlink(m_home / "Precious", link);
    const Names before = listing(m_base);
    for (const std::string& root : {link.string(), link.string() + "/", link.string() + "//",
                                    link.string() + "/.", link.string() + "/./"}) {
        engine::FolderTree tree([] { return true; });
        EXPECT_TRUE(tree.DeleteFolderTree(root, "*.*", true)) << root;
        EXPECT_TRUE(tree.RemovedFolders().empty()) << root;
        tree.addRemovedFolder(root);
        tree.removeCollectedFolders();
    }
    EXPECT_EQ(listing(m_base), before);
}

TEST_F(FolderTreeSafety, ARefusedRootDeletesNothingEvenWhenAskedDirectly) {
    fs::create_directory_symlink(m_base, m_base / "linkToBase");
    const Names before = listing(m_home);
    for (const std::string& root :
         {m_home.string(), m_home.string() + "/", m_home.string() + "/Documents/",
          m_home.string() + "/Precious/..", (m_base / "linkToBase/home").string(),
          (m_base / "linkToBase/home/Documents").string(), m_home.string() + "/.config"}) {
        engine::FolderTree tree([] { return true; });
        tree.DeleteFolderTree(root, "*.*", true);
        EXPECT_TRUE(tree.RemovedFolders().empty()) << root;
        tree.addRemovedFolder(root);
        tree.removeCollectedFolders();
    }
    EXPECT_EQ(listing(m_home), before);
}

struct MountCase {
    const char* name;
    bool bind;  // else a tmpfs
};

// Mounts in a private mount namespace of a child: never seen outside it.
class MountedSubFolder : public FolderTreeSafety, public testing::WithParamInterface<MountCase> {
protected:
    void mountAt(const fs::path& mountPoint) {
        if (GetParam().bind) {
            m_mount.emplace(m_home / "Precious", mountPoint, nullptr, MS_BIND, nullptr);
        } else {
            m_mount.emplace("none", mountPoint, "tmpfs", 0, "size=1m");
        }
        ASSERT_TRUE(m_mount->mounted()) << m_mount->error();
        if (!GetParam().bind) make(mountPoint, {"inside.txt", "deep/x", "empty/"});
    }
    void TearDown() override {
        m_mount.reset();
        FolderTreeSafety::TearDown();
    }

    std::optional<ScopedMount> m_mount;
};

TEST_P(MountedSubFolder, MakesTheWholeTreeRefused) {
    QUINDOR_RERUN_THROUGH(testing_support::kPrivateMounts);
    make(m_root, {"f", "a/g", "a/mnt/", "b/h"});
    mountAt(m_root / "a/mnt");
    const Names before = listing(m_root);
    uninstall(m_root.string());
    EXPECT_EQ(listing(m_root), before);
}

TEST_P(MountedSubFolder, MountedDuringTheWalkIsNeitherEnteredNorRemoved) {
    QUINDOR_RERUN_THROUGH(testing_support::kPrivateMounts);
    make(m_root, {"f", "a/g", "a/mnt/", "b/h"});
    const fs::path mountPoint = m_root / "a/mnt";
    Names inside;
    engine::FolderTree tree([&] {
        if (inside.empty() && !HasFatalFailure()) {
            mountAt(mountPoint);  // after the root was judged, before "a" is entered
            inside = listing(mountPoint);
        }
        return true;
    });
    tree.DeleteFolderTree(m_root.string(), "*.*", true);
    for (const std::string& folder : tree.RemovedFolders()) {
        EXPECT_EQ(folder.find("/mnt/"), std::string::npos) << folder;
    }
    tree.addRemovedFolder(m_root.string());
    // Collected by hand too: removal must not reach into the mount either.
    tree.addRemovedFolder(mountPoint.string() + "/empty/");
    tree.addRemovedFolder(mountPoint.string() + "/");
    tree.removeCollectedFolders();
    EXPECT_EQ(listing(mountPoint), inside);
    Names expected = {"a/", "a/mnt/"};
    for (const std::string& name : inside) expected.push_back("a/mnt/" + name);
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(listing(m_root), expected);
}

INSTANTIATE_TEST_SUITE_P(FolderTree, MountedSubFolder,
                         testing::Values(MountCase{"Tmpfs", false}, MountCase{"BindMount", true}),
                         [](const auto& info) { return std::string(info.param.name); });

// The home folders bind-mounted from elsewhere (/data/home onto /home, here data/home onto
// homes) and the installation recorded under the other name.
TEST_F(FolderTreeSafety, AHomeReachedThroughAnotherMountIsNeverWalked) {
    QUINDOR_RERUN_THROUGH(testing_support::kPrivateMounts);
    const fs::path data = m_base / "data/home";
    make(data / "ann",
         {"letter.txt", "Photos/p.jpg", ".ssh/id", "Quindor/QUINDOR.EXE", "Quindor/sub/x"});
    fs::create_directories(m_base / "homes");
    const ScopedMount homes(data, m_base / "homes", nullptr, MS_BIND, nullptr);
    ASSERT_TRUE(homes.mounted()) << homes.error();
    ScopedVariable home("HOME", (m_base / "homes/ann").c_str());
    const Names before = listing(data);
    for (const fs::path& recorded :
         {data / "ann", data / "ann/.ssh", data, data / "ann/Photos/.."}) {
        SCOPED_TRACE(recorded.string());
        uninstall(recorded.string());
        EXPECT_EQ(listing(data), before);
    }
    uninstall((data / "ann/Quindor/").string());  // the product's own folder still goes
    EXPECT_FALSE(fs::exists(data / "ann/Quindor"));
    EXPECT_TRUE(fs::exists(m_base / "homes/ann/letter.txt"));
}

// Moves the folder at relative (the root when empty) aside and puts a link to target in its
// place, as someone racing the uninstall would.
void swapForLink(const fs::path& root, const std::string& relative, const fs::path& parked,
                 const fs::path& target) {
    const fs::path folder = relative.empty() ? root : root / relative;
    std::error_code error;
    if (!fs::is_directory(fs::symlink_status(folder))) return;
    fs::create_directories(parked.parent_path());
    fs::rename(folder, parked, error);
    if (!error) fs::create_directory_symlink(target, folder);
}

TEST_F(FolderTreeSafety, AFolderSwappedForALinkDuringTheWalkIsNeverFollowed) {
    const Names targets = {"s1", "s0", "s2", "s1/n", "s1/n/m", "s3", "s3/deep", ""};
    int swapsBeforeEntering = 0;
    for (std::size_t round = 0; round < 200; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        const fs::path base = m_base / ("round" + std::to_string(round));
        const fs::path root = base / "Quindor";
        const fs::path outside = m_home / ("outside" + std::to_string(round));
        make(root, {"f", "s0/f", "s1/f", "s1/n/f", "s1/n/m/f", "s2/f", "s3/f", "s3/deep/f"});
        // Shaped like the tree, so that a followed link would find names to delete.
        make(outside, {"f", "keep.txt", "n/f", "n/m/", "m/", "deep/f", "s1/n/m/"});
        const Names outsideBefore = listing(outside);
        const std::string& target = targets[round % targets.size()];
        const std::size_t swapAt = 1 + round / targets.size() % 4;  // which folder's end
        std::size_t calls = 0;
        engine::FolderTree tree([&] {
            if (++calls == swapAt) {
                if (fs::exists(root / target / "f")) ++swapsBeforeEntering;
                swapForLink(root, target, base / "parked/walk", outside);
            }
            return true;
        });
        tree.DeleteFolderTree(root.string(), "*.*", true);
        if (round % 2 == 1) {
            // Between the walk and the removal of the collected folders.
            swapForLink(root, targets[(round + 3) % targets.size()], base / "parked/removal",
                        outside);
        }
        tree.addRemovedFolder(root.string());
        tree.removeCollectedFolders();
        ASSERT_EQ(listing(outside), outsideBefore);
        fs::remove_all(base);
        fs::remove_all(outside);
    }
    EXPECT_GT(swapsBeforeEntering, 0);  // some swaps came before the walk reached the folder
}

}  // namespace

namespace {

// Where the home's files live, and the records that hold them on their file system.
enum class HeldHome { BoundFromData, BoundFromADisc, OverlayLower, OverlayUpper };

struct HeldHomeCase {
    const char* name;
    HeldHome arrangement;
};

// Each arranged in a private mount namespace of a child; the recorded folder reaches the
// home's files only through the file system, never through the mount the home is used by.
class HomeOnTheRecordsFileSystem : public FolderTreeSafety,
                                   public testing::WithParamInterface<HeldHomeCase> {
protected:
    void mountHere(const fs::path& source, const fs::path& target, const char* type,
                   const char* options) {
        fs::create_directories(target);
        m_mounts.emplace_back(source, target, type, type == nullptr ? MS_BIND : 0, options);
        ASSERT_TRUE(m_mounts.back().mounted()) << m_mounts.back().error();
    }
    void TearDown() override {
        while (!m_mounts.empty()) m_mounts.pop_back();
        FolderTreeSafety::TearDown();
    }

    // Makes the home's source at source/ann and returns the recorded folder.
    fs::path arrange(const fs::path& source) {
        make(source / "ann", {"letter.txt", "Photos/p.jpg", "Quindor/QUINDOR.EXE"});
        const fs::path homes = m_base / "homes";
        switch (GetParam().arrangement) {
            case HeldHome::BoundFromData:
            case HeldHome::BoundFromADisc:
                mountHere(source, homes, nullptr, nullptr);
                return source.parent_path();
            case HeldHome::OverlayLower:
            case HeldHome::OverlayUpper: break;
        }
        const fs::path other = m_base / "layer";
        fs::create_directories(other);
        fs::create_directories(m_base / "work");
        const bool lower = GetParam().arrangement == HeldHome::OverlayLower;
        const std::string options = "lowerdir=" + (lower ? source : other).string() +
                                    ",upperdir=" + (lower ? other : source).string() +
                                    ",workdir=" + (m_base / "work").string();
        mountHere("overlay", homes, "overlay", options.c_str());
        return source;
    }

    std::list<ScopedMount> m_mounts;
};

TEST_P(HomeOnTheRecordsFileSystem, DeletesNothing) {
    QUINDOR_RERUN_THROUGH(testing_support::kPrivateMounts);
    fs::path source = m_base / "data/home";
    if (GetParam().arrangement == HeldHome::BoundFromADisc) {
        mountHere("none", m_base / "disk", "tmpfs", "size=4m");
        source = m_base / "disk/users";
    }
    const fs::path recorded = arrange(source);
    ScopedVariable home("HOME", (m_base / "homes/ann").c_str());
    const Names before = listing(source / "ann");
    EXPECT_NE(platform::refusalReason(recorded.string() + "/"), std::nullopt) << recorded;
    uninstall(recorded.string() + "/");
    EXPECT_EQ(listing(source / "ann"), before);
    EXPECT_TRUE(fs::exists(m_base / "homes/ann/letter.txt"));
}

INSTANTIATE_TEST_SUITE_P(FolderTree, HomeOnTheRecordsFileSystem,
                         testing::Values(HeldHomeCase{"BoundFromData", HeldHome::BoundFromData},
                                         HeldHomeCase{"BoundFromADisc", HeldHome::BoundFromADisc},
                                         HeldHomeCase{"OverlayLower", HeldHome::OverlayLower},
                                         HeldHomeCase{"OverlayUpper", HeldHome::OverlayUpper}),
                         [](const auto& info) { return std::string(info.param.name); });

struct MovedInCase {
    const char* name;
    const char* home;   // below the base
    const char* moved;  // below the base, moved into the tree once the walk has begun
    const char* says;
};

class ProtectedFolderMovedIn : public FolderTreeSafety,
                               public testing::WithParamInterface<MovedInCase> {};

TEST_P(ProtectedFolderMovedIn, IsNeitherEnteredNorRemovedAndEndsTheWalk) {
    make(m_base / GetParam().home, {"letter.txt", "Photos/p.jpg", "empty/", "Desktop/d.txt"});
    ScopedVariable home("HOME", (m_base / GetParam().home).c_str());
    make(m_root, {"f", "z/"});
    const fs::path moved = m_root / "z" / fs::path(GetParam().moved).filename();
    const Names before = listing(m_base / GetParam().moved);
    bool movedIn = false;
    engine::FolderTree tree([&] {
        // After the root was judged and its files deleted, before "z" is entered.
        if (!movedIn) fs::rename(m_base / GetParam().moved, moved);
        return movedIn = true;
    });
    try {
        tree.DeleteFolderTree(m_root.string(), "*.*", true);
        ADD_FAILURE() << "the walk went on";
    } catch (const engine::EEngineError& error) {
        EXPECT_EQ(std::string(error.what()),
                  "The uninstall stopped at " + moved.string() + ", which " + GetParam().says +
                      ". It was not entered, and the folders above it stay.");
    }
    EXPECT_EQ(listing(moved), before);
}

INSTANTIATE_TEST_SUITE_P(
    FolderTree, ProtectedFolderMovedIn,
    testing::Values(MovedInCase{"TheHome", "ann", "ann", "is your home folder"},
                    MovedInCase{"TheFolderHoldingTheHome", "people/ann", "people",
                                "contains your home folder"},
                    MovedInCase{"TheDesktop", "ann", "ann/Desktop", "is your desktop folder"}),
    [](const auto& info) { return std::string(info.param.name); });

// Deeper than the walk keeps descriptors for: it comes back up through "..", which after the
// move leads out of the tree.
TEST_F(FolderTreeSafety, AFolderMovedOutDuringADeepWalkIsNotFollowedBack) {
    fs::path deep = m_root;
    for (int level = 0; level < 100; ++level) deep /= "d" + std::to_string(level);
    fs::path tenth = m_root;
    for (int level = 0; level < 10; ++level) tenth /= "d" + std::to_string(level);
    fs::create_directories(deep);
    make(m_base / "outside", {"keep.txt", "d9/"});
    const Names outsideBefore = listing(m_base / "outside");
    int calls = 0;
    engine::FolderTree tree([&] {
        if (++calls == 80) fs::rename(tenth, m_base / "outside/moved");
        return true;
    });
    EXPECT_THROW(tree.DeleteFolderTree(m_root.string(), "*.*", true), engine::EEngineError);
    EXPECT_TRUE(fs::exists(m_base / "outside/keep.txt"));
    EXPECT_TRUE(fs::exists(m_base / "outside/d9"));
    EXPECT_TRUE(fs::exists(m_base / "outside/moved"));
}

// A record that reaches its folder through a link, however written, is refused and deletes
// nothing behind the link.
TEST_F(FolderTreeSafety, ARecordThroughALinkDeletesNothing) {
    make(m_base / "real", {"Quindor/QUINDOR.EXE", "Quindor/sub/x", "keep.txt"});
    fs::create_directory_symlink(m_home / "Precious", m_base / "linkdir");
    fs::create_directory_symlink(m_base / "real", m_base / "parent-link");
    const Names homeBefore = listing(m_home);
    const Names realBefore = listing(m_base / "real");
    const std::string base = m_base.string();
    for (const std::string& record :
         {base + "/linkdir", base + "/linkdir/", base + "/linkdir/.", base + "/linkdir/deep/..",
          base + "/linkdir/deep/../", base + "//linkdir//deep/./..//",
          base + "/parent-link/Quindor/", base + "/parent-link/Quindor/sub/..",
          base + "/real/../parent-link/Quindor"}) {
        SCOPED_TRACE(record);
        const std::optional<std::string> reason = platform::refusalReason(record);
        ASSERT_TRUE(reason.has_value());
        EXPECT_NE(reason->find(" leads through a link to "), std::string::npos) << *reason;
        uninstall(record);
        EXPECT_EQ(listing(m_home), homeBefore);
        EXPECT_EQ(listing(m_base / "real"), realBefore);
    }
}

}  // namespace
