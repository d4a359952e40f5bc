// The folder tree control on generated folder trees, offscreen: paths, expansion and
// re-reads, sorting, renaming, filtering, the item menu and volumes.

#include "shelltree/shell_tree.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QLineEdit>
#include <QMenu>
#include <QTimer>
#include <fstream>
#include <optional>

#include "folder_tree_builder.h"
#include "framework/application.h"
#include "gui_test_environment.h"
#include "platform/environment.h"

namespace fs = std::filesystem;

namespace shelltree {
namespace {

std::vector<std::string> childTexts(const framework::TTreeNode* node) {
    std::vector<std::string> texts;
    texts.reserve(node->count());
    for (int i = 0; i < node->count(); ++i) texts.push_back(node->item(i)->text());
    return texts;
}

// A tree rooted at a folder of its own (or at "Computer"), loaded as a stored page would be.
class ShellTreeTest : public ::testing::Test {
protected:
    void SetUp() override {
        root = testing_support::testFolder("shell_tree");
        base = root.string();
        framework::Application::instance().setMessages(&boxes);
    }
    void TearDown() override { framework::Application::instance().setMessages(nullptr); }

    std::unique_ptr<TShellTree> treeAt(const std::string& folder,
                                       TVisOptions options = TF_FOLDERS) {
        auto tree = std::make_unique<TShellTree>(nullptr);
        tree->setRootUsePIDL(false);
        tree->SetRootDir(folder);
        tree->setOptions(options);
        tree->Loaded();
        return tree;
    }

    std::unique_ptr<TShellTree> computerTree() {
        auto tree = std::make_unique<TShellTree>(nullptr);
        tree->setRootPIDL(PIDL_DRIVES);
        tree->setShowVirtualFolders(false);
        tree->Loaded();
        return tree;
    }

    fs::path root;
    std::string base;
    testing_support::ScriptedMessageBoxes boxes;
};

TEST_F(ShellTreeTest, RootIsReadAndExpandedAtLoad) {
    shelltree_testing::makeTree(root, {"b/", "a/x/", "C/", ".hidden/", "file"});
    auto tree = treeAt(base);
    TShellNode* rootNode = tree->RootNode();
    ASSERT_NE(rootNode, nullptr);
    EXPECT_EQ(tree->Selected(), rootNode);
    EXPECT_TRUE(rootNode->expanded());
    EXPECT_EQ(childTexts(rootNode), (std::vector<std::string>{"a", "b", "C"}));
    EXPECT_TRUE(rootNode->child(0)->hasChildren());
    EXPECT_FALSE(rootNode->child(1)->hasChildren());
    EXPECT_EQ(tree->GetPath(), base);
    EXPECT_EQ(tree->RootDir(), base);
}

TEST_F(ShellTreeTest, PathSelectsFoldersAndTheirNearestAncestor) {
    shelltree_testing::makeTree(root, {"a/b/c/", "a/d/"});
    auto tree = computerTree();
    struct Row {
        std::string path, selected;
    };
    const Row rows[] = {
        {base + "/a/b/c", base + "/a/b/c"},
        {base + "/a/b/", base + "/a/b"},
        {base + "/a/no/such/folder", base + "/a"},
        {"/", "/"},
        {base + "/a/d", base + "/a/d"},
    };
    for (const Row& row : rows) {
        tree->SetPath(row.path);
        EXPECT_EQ(tree->GetPath(), row.selected) << row.path;
        EXPECT_EQ(tree->Selected()->text(),
                  row.selected == "/" ? "File System" : fs::path(row.selected).filename().string());
    }
    tree->SetPath("");
    EXPECT_EQ(tree->Selected(), tree->RootNode()) << "an empty path selects the root";
    EXPECT_EQ(tree->GetPath(), "") << "Computer has no path";
}

TEST_F(ShellTreeTest, PathSetBeforeLoadingIsAppliedAfterwards) {
    shelltree_testing::makeTree(root, {"a/b/"});
    TShellTree tree(nullptr);
    tree.setRootPIDL(PIDL_DRIVES);
    tree.SetPath(base + "/a/b");
    EXPECT_EQ(tree.RootNode(), nullptr) << "nothing is read before the control is loaded";
    tree.Loaded();
    EXPECT_EQ(tree.GetPath(), base + "/a/b");
}

TEST_F(ShellTreeTest, SamePathChangesNothingAnotherCaseIsAnotherFolder) {
    shelltree_testing::makeTree(root, {"abc/", "ABC/"});
    auto tree = computerTree();
    tree->SetPath(base + "/abc");
    int changes = 0;
    tree->OnChange = [&](framework::Component*, framework::TTreeNode*) { ++changes; };
    tree->SetPath(base + "/abc");
    EXPECT_EQ(changes, 0);
    tree->SetPath(base + "/ABC");
    EXPECT_GE(changes, 1);
    EXPECT_EQ(tree->GetPath(), base + "/ABC");
}

TEST_F(ShellTreeTest, HomeFolderOpensUnderTheHomeNode) {
    const std::string home = platform::homeFolder();
    fs::create_directories(home + "/Quindor");
    auto tree = computerTree();
    tree->SetPath(home + "/Quindor/");
    TShellNode* selected = tree->Selected();
    ASSERT_NE(selected, nullptr);
    EXPECT_EQ(tree->GetPath(), home + "/Quindor");
    ASSERT_NE(selected->parentNode(), nullptr);
    EXPECT_EQ(selected->parentNode()->text(), "Home");
    EXPECT_EQ(selected->parentNode()->parentNode(), tree->RootNode());
}

TEST_F(ShellTreeTest, ReReadKeepsNodesExpansionAndSelection) {
    shelltree_testing::makeTree(root, {"a/x/y/", "b/", "c/"});
    auto tree = treeAt(base);
    tree->SetPath(base + "/a/x");
    TShellNode* a = tree->RootNode()->child(0);
    TShellNode* x = tree->Selected();
    ASSERT_TRUE(a->expanded());
    fs::create_directories(root / "aa");
    fs::remove(root / "c");
    tree->RefreshAll();
    EXPECT_EQ(childTexts(tree->RootNode()), (std::vector<std::string>{"a", "aa", "b"}));
    EXPECT_EQ(tree->RootNode()->child(0), a) << "the same node, not a new one";
    EXPECT_TRUE(a->expanded());
    EXPECT_EQ(tree->Selected(), x);
    EXPECT_EQ(tree->GetPath(), base + "/a/x");
}

TEST_F(ShellTreeTest, AFolderReplacedByALinkIsAnotherItem) {
    shelltree_testing::makeTree(root, {"a/", "target/"});
    auto tree = treeAt(base);
    EXPECT_EQ(tree->RootNode()->child(0)->overlayIndex(), -1);
    fs::remove(root / "a");
    fs::create_directory_symlink("target", root / "a");
    tree->RefreshAll();
    TShellNode* link = tree->RootNode()->child(0);
    EXPECT_EQ(link->text(), "a");
    EXPECT_EQ(link->overlayIndex(), 1) << "a link shows the link overlay";
    EXPECT_TRUE(link->Info.ItemAttributes & SFGAO_LINK);
    tree->setShowLinkOverlay(false);
    EXPECT_EQ(tree->RootNode()->child(0)->overlayIndex(), -1);
}

TEST_F(ShellTreeTest, HiddenAndVirtualChildrenAndExpandButtons) {
    shelltree_testing::makeTree(root, {"dotonly/.git/", "plain/sub/"});
    auto tree = treeAt(base);
    EXPECT_EQ(childTexts(tree->RootNode()), (std::vector<std::string>{"dotonly", "plain"}));
    EXPECT_FALSE(tree->RootNode()->child(0)->hasChildren()) << "only hidden folders: no button";
    EXPECT_TRUE(tree->RootNode()->child(1)->hasChildren());
    tree->setOptions(TF_FOLDERS | TF_HIDDEN);
    EXPECT_TRUE(tree->RootNode()->child(0)->hasChildren()) << "shown once hidden items are";
}

TEST_F(ShellTreeTest, FilesSortByTheSettingsFoldersStayAscending) {
    shelltree_testing::makeTree(root, {"b/", "a/", "x.txt", "y.txt", "z.doc", "skip.bak"});
    auto tree = treeAt(base, TF_FOLDERS | TF_NONFOLDERS);
    tree->setFileMask("*.txt; *.doc");
    tree->setFileMaskUse(true);
    EXPECT_EQ(childTexts(tree->RootNode()),
              (std::vector<std::string>{"a", "b", "x.txt", "y.txt", "z.doc"}));
    tree->setFileSortOrder(so_Descending);
    EXPECT_EQ(childTexts(tree->RootNode()),
              (std::vector<std::string>{"a", "b", "z.doc", "y.txt", "x.txt"}));
    std::vector<std::string> offered;
    tree->OnFileAdd = [&](const std::string& name, std::uint32_t, bool& allow) {
        offered.push_back(name);
        allow = name.find("y.txt") == std::string::npos;
    };
    tree->RefreshAll();
    EXPECT_EQ(childTexts(tree->RootNode()), (std::vector<std::string>{"a", "b", "z.doc", "x.txt"}));
    EXPECT_EQ(offered.size(), 3u) << "masked-out files are not offered";
    EXPECT_EQ(tree->FileMask(), "*.txt;*.doc");
}

TEST_F(ShellTreeTest, RenameResortsAndDescendantsFollow) {
    shelltree_testing::makeTree(root, {"a/inner/deep/", "m/"});
    auto tree = treeAt(base);
    tree->SetPath(base + "/a/inner/deep");
    TShellNode* a = tree->RootNode()->child(0);
    EXPECT_FALSE(a->Rename("a")) << "the same text";
    int changes = 0;
    tree->OnChange = [&](framework::Component*, framework::TTreeNode*) { ++changes; };
    ASSERT_TRUE(a->Rename("z"));
    EXPECT_GE(changes, 1);
    EXPECT_TRUE(fs::is_directory(root / "z/inner/deep"));
    EXPECT_EQ(tree->RootNode()->child(1), a) << "moved to its sorted place";
    EXPECT_EQ(tree->GetPath(), base + "/z/inner/deep")
        << "descendants' lists start with the new name";
    EXPECT_FALSE(a->Rename("m")) << "an existing name is refused";
    EXPECT_EQ(boxes.shown.size(), 1u);
    EXPECT_TRUE(fs::is_directory(root / "m"));
}

TEST_F(ShellTreeTest, LabelEditingRenamesOrKeepsTheOldLabel) {
    shelltree_testing::makeTree(root, {"a/", "b/"});
    auto tree = treeAt(base);
    TShellNode* a = tree->RootNode()->child(0);
    const auto edit = [&](const char* text) {
        ASSERT_TRUE(tree->startEditing(a));
        auto* editor = tree->widget()->findChild<QLineEdit*>();
        ASSERT_NE(editor, nullptr);
        editor->setText(text);
        tree->endEditing(false);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    };
    edit("b");
    EXPECT_EQ(a->text(), "a") << "a refused rename keeps the old label";
    ASSERT_EQ(boxes.shown.size(), 1u) << "the file system's refusal is told";
    tree->OnEdited = [](framework::Component*, framework::TTreeNode*, std::string& text) {
        text += "1";
    };
    edit("c");
    EXPECT_EQ(a->text(), "c1");
    EXPECT_TRUE(fs::is_directory(root / "c1"));
    tree->ShowMessages = false;
    edit("b");
    EXPECT_EQ(boxes.shown.size(), 1u) << "silent without ShowMessages";
    tree->setReadOnly(true);
    EXPECT_FALSE(tree->startEditing(a));
}

// A name that is not UTF-8 is edited as shown (U+FFFD): left as it is, the folder keeps
// its name; with a letter added, the new name keeps the old bytes.
TEST_F(ShellTreeTest, LabelEditingKeepsTheBytesOfANameThatIsNotUtf8) {
    shelltree_testing::makeTree(root, {"caf\xe9/"});
    auto tree = treeAt(base);
    TShellNode* node = tree->RootNode()->child(0);
    const auto edit = [&](const QString& text) {
        ASSERT_TRUE(tree->startEditing(node));
        auto* editor = tree->widget()->findChild<QLineEdit*>();
        ASSERT_NE(editor, nullptr);
        EXPECT_EQ(editor->text(), QString::fromUtf16(u"caf\uFFFD"));
        editor->setText(text);
        tree->endEditing(false);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    };
    edit(QString::fromUtf16(u"caf\uFFFD"));
    EXPECT_TRUE(fs::is_directory(root / "caf\xe9"));
    edit(QString::fromUtf16(u"caf\uFFFDs"));
    EXPECT_TRUE(fs::is_directory(root / "caf\xe9s"));
    EXPECT_EQ(node->text(), "caf\xe9s");
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(ShellTreeTest, ComputerNodeReadsAgainWhenTheMountTableChanges) {
    auto tree = computerTree();
    const auto before = childTexts(tree->RootNode());
    EXPECT_GE(before.size(), 2u);
    EXPECT_EQ(before[0], "File System");
    EXPECT_EQ(before[1], "Home");
    TShellNode* first = tree->RootNode()->child(0);
    tree->DrivesChanged();
    EXPECT_EQ(childTexts(tree->RootNode()), before);
    EXPECT_EQ(tree->RootNode()->child(0), first);
}

TEST_F(ShellTreeTest, PendingEventsDuringAReadMayRefreshAndDeleteSafely) {
    shelltree_testing::makeTree(root, {"a/b/", "c/"});
    auto tree = treeAt(base);
    int ran = 0;
    // A handler that re-reads the tree, deleting the selected node, runs while the tree
    // is busy selecting: it waits for the event loop and finds the tree whole.
    QTimer::singleShot(0, [&] {
        ++ran;
        fs::remove(root / "a/b");
        tree->RefreshAll();
    });
    tree->SetPath(base + "/a/b");
    testing_support::settle();
    EXPECT_EQ(ran, 1);
    EXPECT_EQ(tree->RootNode()->child(0)->count(), 0);
    EXPECT_FALSE(tree->RootNode()->child(0)->expanded()) << "a folder left without children closes";
    fs::create_directory(root / "a/b");
    tree->SetPath(base + "/a/b");
    EXPECT_EQ(tree->GetPath(), base + "/a/b") << "found again at the next expansion";
}

}  // namespace
// The menu key on a folder: "Open in file manager" is offered only where the desktop's
// opener is on PATH.
TEST_F(ShellTreeTest, OpenInFileManagerIsOffWhereNoOpenerExists) {
    shelltree_testing::makeTree(root, {"docs/", "bin/", "empty/"});
    std::ofstream(root / "bin/xdg-open") << "#!/bin/sh\n";
    fs::permissions(root / "bin/xdg-open", fs::perms::owner_all);
    for (const auto& [folders, offered] :
         {std::pair{root / "bin", true}, std::pair{root / "empty", false}}) {
        SCOPED_TRACE(folders.string());
        const testing_support::ScopedVariable path("PATH", folders.c_str());
        auto tree = treeAt(base);
        tree->SetPath(base + "/docs");
        tree->widget()->show();
        std::optional<bool> enabled;
        testing_support::whenModal([&] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (menu == nullptr) return;
            for (QAction* action : menu->actions()) {
                if (action->text() == "Open in file manager") enabled = action->isEnabled();
            }
            menu->close();
        });
        QContextMenuEvent menuKey(QContextMenuEvent::Keyboard, QPoint(), QPoint());
        QCoreApplication::sendEvent(tree->widget(), &menuKey);
        ASSERT_TRUE(enabled.has_value()) << "the item's menu showed";
        EXPECT_EQ(*enabled, offered);
    }
}

}  // namespace shelltree
