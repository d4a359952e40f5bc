// The folder tree follows the disc, offscreen on real folders: folders made, deleted and
// renamed by another process show in expanded folders at once and in collapsed ones at
// their next expansion; contents and times change nothing; which nodes get a monitor, and
// that monitors keep working while nodes around them are collapsed, freed or destroyed in
// the middle of a report.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <chrono>

#include "folder_tree_builder.h"
#include "framework/application.h"
#include "gui_test_environment.h"
#include "shelltree/shell_tree.h"
#include "temp_tree.h"
#include "watchdog.h"

namespace fs = std::filesystem;
using testing_support::runProgram;
using namespace std::chrono_literals;

namespace shelltree {
namespace {

TShellNode* childNamed(const TShellNode* node, const std::string& name) {
    for (int i = 0; i < node->count(); ++i) {
        if (node->child(i)->text() == name) return node->child(i);
    }
    return nullptr;
}

bool processUntil(const std::function<bool()>& done) {
    return testing_support::waitUntil(done, [] { QCoreApplication::processEvents(); });
}

// Counts the reports of a node's monitor, which still reach the node.
int* countReports(TShellNode* node) {
    auto count = std::make_shared<int>(0);
    auto handler = node->Monitor->OnFolderChange;
    node->Monitor->OnFolderChange = [count, handler](TDiscMonitorThread& sender) {
        ++*count;
        handler(sender);
    };
    return count.get();  // lives with the handler, that is with the monitor
}

class ShellTreeMonitorTest : public ::testing::Test {
protected:
    void SetUp() override {
        root = testing_support::testFolder("shell_tree_monitor");
        framework::Application::instance().setMessages(&boxes);
    }
    void TearDown() override { framework::Application::instance().setMessages(nullptr); }

    std::unique_ptr<TShellTree> treeAt(const fs::path& folder) {
        auto tree = std::make_unique<TShellTree>(nullptr);
        tree->setRootUsePIDL(false);
        tree->SetRootDir(folder.string());
        tree->Loaded();
        return tree;
    }
    // Another program changes the folders.
    static void run(const std::vector<std::string>& command) { ASSERT_EQ(runProgram(command), 0); }
    static bool appears(const TShellNode* node, const std::string& name) {
        return processUntil([&] { return childNamed(node, name) != nullptr; });
    }
    static bool disappears(const TShellNode* node, const std::string& name) {
        return processUntil([&] { return childNamed(node, name) == nullptr; });
    }

    testing_support::Watchdog dog{180s};
    fs::path root;
    testing_support::ScriptedMessageBoxes boxes;
};

TEST_F(ShellTreeMonitorTest, FoldersMadeDeletedAndRenamedElsewhereFollowInExpandedFolders) {
    shelltree_testing::makeTree(root, {"a/x/", "b/"});
    auto tree = treeAt(root);
    TShellNode* top = tree->RootNode();
    ASSERT_TRUE(top->Monitor);
    run({"mkdir", (root / "made").string()});
    EXPECT_TRUE(appears(top, "made"));
    run({"rm", "-r", (root / "b").string()});
    EXPECT_TRUE(disappears(top, "b"));
    run({"mv", (root / "a").string(), (root / "renamed").string()});
    EXPECT_TRUE(appears(top, "renamed"));
    EXPECT_EQ(childNamed(top, "a"), nullptr);
    EXPECT_TRUE(childNamed(top, "renamed")->hasChildren());
    // A folder that gains its first sub-folder shows an expand button: the direct
    // sub-folders are watched too.
    EXPECT_FALSE(childNamed(top, "made")->hasChildren());
    run({"mkdir", (root / "made/inner").string()});
    EXPECT_TRUE(processUntil([&] { return childNamed(top, "made")->hasChildren(); }));
}

TEST_F(ShellTreeMonitorTest, ACollapsedFolderShowsTheChangeAtItsNextExpansion) {
    shelltree_testing::makeTree(root, {"a/x/", "b/c/"});
    auto tree = treeAt(root);
    TShellNode* a = childNamed(tree->RootNode(), "a");
    TShellNode* b = childNamed(tree->RootNode(), "b");
    a->expand(false);
    ASSERT_TRUE(a->Monitor);
    a->collapse(false);
    b->expand(false);
    TShellNode* c = childNamed(b, "c");  // empty: no monitor; "b" reports what happens in it
    int* reportsOfA = countReports(a);
    run({"mkdir", (root / "a/new").string()});
    run({"mkdir",
         (root / "b/c/marker").string()});  // reported after a/new: events keep their order
    ASSERT_TRUE(processUntil([&] { return c->hasChildren(); }));
    ASSERT_TRUE(processUntil([&] { return *reportsOfA >= 1; }));
    EXPECT_EQ(childNamed(a, "new"), nullptr) << "a collapsed folder is not read";
    a->expand(false);
    EXPECT_NE(childNamed(a, "new"), nullptr);
}

TEST_F(ShellTreeMonitorTest, ContentsAndTimesOfFilesChangeNothing) {
    shelltree_testing::makeTree(root, {"file", "b/c/"});
    // Folders changed just before a monitor starts are reported once then: not these.
    for (const fs::path& folder : {root, root / "b", root / "b/c"}) {
        fs::last_write_time(folder, fs::last_write_time(folder) - std::chrono::hours(1));
    }
    auto tree = treeAt(root);
    TShellNode* b = childNamed(tree->RootNode(), "b");
    b->expand(false);
    int* reportsOfRoot = countReports(tree->RootNode());
    run({"sh", "-c", "echo more >> '" + (root / "file").string() + "'"});
    run({"touch", "-d", "2001-01-01", (root / "file").string()});
    run({"chmod", "600", (root / "file").string()});
    run({"mkdir", (root / "b/c/marker").string()});  // beyond the root's reach, seen by b
    ASSERT_TRUE(processUntil([&] { return childNamed(b, "c")->hasChildren(); }));
    EXPECT_EQ(*reportsOfRoot, 0);
}

TEST_F(ShellTreeMonitorTest, WithoutUpdAutoThreadNothingChangesUntilTheNextExpansion) {
    shelltree_testing::makeTree(root, {"a/x/"});
    auto tree = treeAt(root);
    tree->UpdAutoThread = false;
    TShellNode* top = tree->RootNode();
    int* reports = countReports(top);
    run({"mkdir", (root / "made").string()});
    ASSERT_TRUE(processUntil([&] { return *reports >= 1; }));
    EXPECT_EQ(childNamed(top, "made"), nullptr);
    top->collapse(false);
    top->expand(false);
    EXPECT_NE(childNamed(top, "made"), nullptr);
}

TEST_F(ShellTreeMonitorTest, OnlyReadNodesWithAPathAndChildrenGetAMonitorOnce) {
    shelltree_testing::makeTree(root, {"empty/", "full/x/"});
    auto computer = std::make_unique<TShellTree>(nullptr);
    computer->setRootPIDL(PIDL_DRIVES);
    computer->setShowVirtualFolders(false);
    computer->Loaded();
    EXPECT_FALSE(computer->RootNode()->HasMonitor) << "\"Computer\" has no path";
    EXPECT_FALSE(computer->RootNode()->Monitor);

    auto tree = treeAt(root);
    TShellNode* empty = childNamed(tree->RootNode(), "empty");
    TShellNode* full = childNamed(tree->RootNode(), "full");
    EXPECT_FALSE(full->HasMonitor) << "not read yet";
    tree->RefreshNode(empty, false);
    EXPECT_FALSE(empty->HasMonitor) << "read, but without children";
    fs::create_directory(root / "empty/now");
    tree->RefreshNode(empty, false);
    EXPECT_TRUE(empty->HasMonitor) << "children found at the next read";
    const TDiscMonitorThread* first = empty->Monitor.get();
    tree->RefreshNode(empty, false);
    EXPECT_EQ(empty->Monitor.get(), first) << "never restarted";
    EXPECT_EQ(first->Directory(), (root / "empty").string());
    EXPECT_EQ(first->Filters(), tree->NotifyFilter);
}

TEST_F(ShellTreeMonitorTest, NestedNodesKeepReportingWhenOneIsCollapsedOrFreed) {
    shelltree_testing::makeTree(root, {"a/b/c/", "a/keep/"});  // "a" stays open without "b"
    auto tree = treeAt(root);
    tree->SetPath((root / "a/b/c").string());
    TShellNode* top = tree->RootNode();
    TShellNode* a = childNamed(top, "a");
    TShellNode* b = childNamed(a, "b");
    ASSERT_TRUE(a->expanded() && b->expanded());
    run({"mkdir", (root / "a/b/one").string()});
    EXPECT_TRUE(appears(b, "one"));
    run({"rm", "-r", (root / "a/b").string()});  // b and its monitor are freed
    EXPECT_TRUE(disappears(a, "b"));
    run({"mkdir", (root / "a/two").string()});
    EXPECT_TRUE(appears(a, "two"));
    a->collapse(false);
    run({"mkdir", (root / "three").string()});
    EXPECT_TRUE(appears(top, "three"));
    a->expand(false);
    run({"mkdir", (root / "a/four").string()});
    EXPECT_TRUE(appears(a, "four"));
}

TEST_F(ShellTreeMonitorTest, ANodeFreedDuringItsOwnReportNeitherBlocksNorReceivesMore) {
    shelltree_testing::makeTree(root, {"a/b/x/", "a/keep/"});
    auto tree = treeAt(root);
    tree->SetPath((root / "a/b").string());
    TShellNode* a = childNamed(tree->RootNode(), "a");
    TShellNode* b = childNamed(a, "b");
    ASSERT_TRUE(b->Monitor);
    int freed = 0;
    b->Monitor->OnFolderChange = [&](TDiscMonitorThread&) {
        // The parent's re-read frees the node whose monitor is reporting right now.
        fs::remove_all(root / "a/b");
        tree->RefreshNode(a, false);
        ++freed;
    };
    run({"mkdir", (root / "a/b/y").string()});
    ASSERT_TRUE(processUntil([&] { return freed == 1; }));
    EXPECT_EQ(childNamed(a, "b"), nullptr);
    run({"mkdir", (root / "a/after").string()});
    EXPECT_TRUE(appears(a, "after"));
    EXPECT_EQ(freed, 1);
}

TEST_F(ShellTreeMonitorTest, ATreeDestroyedWhileItsMonitorsReportDoesNotWait) {
    shelltree_testing::makeTree(root, {"a/x/", "b/x/", "c/x/"});
    auto tree = treeAt(root);
    for (const char* name : {"a", "b", "c"}) childNamed(tree->RootNode(), name)->expand(false);
    for (const char* name : {"a", "b", "c"}) fs::create_directory(root / name / "more");
    const auto start = std::chrono::steady_clock::now();
    tree.reset();  // reports are queued or on their way: served, finding no handler
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
    testing_support::settle();
}

TEST_F(ShellTreeMonitorTest, MoreThan128ExpandedNodesKeepReporting) {
    constexpr int kNodes = 150;
    for (int i = 0; i < kNodes; ++i) fs::create_directories(root / ("n" + std::to_string(i)) / "x");
    auto tree = treeAt(root);
    std::vector<TShellNode*> nodes;
    for (int i = 0; i < kNodes; ++i) {
        TShellNode* node = childNamed(tree->RootNode(), "n" + std::to_string(i));
        node->expand(false);
        ASSERT_TRUE(node->Monitor);
        nodes.push_back(node);
    }
    for (int i = 0; i < kNodes; i += 30)
        run({"mkdir", (root / ("n" + std::to_string(i)) / "made").string()});
    for (int i = 0; i < kNodes; i += 30)
        EXPECT_TRUE(appears(nodes[static_cast<std::size_t>(i)], "made")) << i;
}

TEST_F(ShellTreeMonitorTest, ARenamedNodesMonitorFollowsItsFolder) {
    shelltree_testing::makeTree(root, {"a/x/"});
    auto tree = treeAt(root);
    TShellNode* a = childNamed(tree->RootNode(), "a");
    a->expand(false);
    ASSERT_TRUE(a->Rename("renamed"));
    EXPECT_EQ(a->Monitor->Directory(), (root / "renamed").string());
    run({"mkdir", (root / "renamed/made").string()});
    EXPECT_TRUE(appears(a, "made"));
}

}  // namespace
}  // namespace shelltree
