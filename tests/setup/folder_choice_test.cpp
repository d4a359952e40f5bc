// Choosing the installation folder: the folder button and the folder box open the chooser,
// "Accept" and "Abort", the new-folder dialog, and the last-name rule of the folder box.

#include <QPixmap>
#include <QTest>
#include <QTreeView>
#include <cstdlib>

#include "setup/language_folder_page.h"
#include "wizard_fixture.h"

namespace fs = std::filesystem;

namespace {

class FolderChoiceTest : public WizardTest {
protected:
    void SetUp() override {
        WizardTest::SetUp();
        folder = testing_support::testFolder("folder_choice");
        fs::create_directories(folder / "Tools");
        fs::create_directories(folder / "QUINDOR");
        base = folder.string();
        wizard.isForm1->Button3->Click();  // to the language-and-folder page
    }

    setup::TiForm10& chooser() { return *wizard.iForm10; }
    setup::TiForm11& newFolder() { return *wizard.iForm11; }
    shelltree::TShellTree& tree() { return *wizard.iForm10->ShellTree1; }

    // Opens the chooser from the folder button (activated as the window system would, after
    // the shown page took its translated texts), runs action inside it.
    void chooseWith(const std::function<void()>& action) {
        testing_support::whenModal([&] {
            chooser().FormActivate(&chooser());
            action();
        });
        wizard.isForm3->BitBtn1->Click();
        EXPECT_FALSE(chooser().isShowing());
    }

    // Opens the new-folder dialog from the chooser (activated as the window system would),
    // runs action inside it.
    void newFolderWith(const std::function<void()>& action) {
        testing_support::whenModal([&] {
            newFolder().FormActivate(&newFolder());
            action();
        });
        chooser().BitBtn1->Click();
    }

    // Clicks a shown node's row with the mouse: on its label, or on its expand sign. The row
    // is scrolled into view first, as a user would: a folder the chooser's monitors re-read
    // (here the temporary folder, where other tests come and go) may push it out.
    void click(framework::TTreeNode* node, bool onSign = false) {
        auto* view = static_cast<QTreeView*>(tree().widget());
        view->scrollTo(indexOf(node));
        const QRect row = view->visualRect(indexOf(node));
        const QPoint at = onSign
                              ? QPoint(row.left() - view->indentation() / 2, row.center().y())
                              : QPoint(row.left() + view->iconSize().width() + 8, row.center().y());
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
        testing_support::settle();
    }
    QModelIndex indexOf(const framework::TTreeNode* node) {
        if (node == nullptr) return {};
        const auto* view = static_cast<QTreeView*>(tree().widget());
        return view->model()->index(node->index(), 0, indexOf(node->parent()));
    }

    fs::path folder;
    std::string base;
};

TEST(TargetFolder, QuindorIsAddedUnlessTheLastNameIsQuindor) {
    struct Row {
        const char* chosen;
        const char* box;
    };
    const Row rows[] = {
        {"/tmp/x/", "/tmp/x/Quindor/"},
        {"/tmp/x/QUINDOR/", "/tmp/x/QUINDOR/"},
        {"/tmp/quindor/", "/tmp/quindor/"},
        {"/tmp/QuInDoR/", "/tmp/QuInDoR/"},
        {"/", "/Quindor/"},
        {"/tmp/Quindors/", "/tmp/Quindors/Quindor/"},
        {"/quindor/x/", "/quindor/x/Quindor/"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(setup::targetFolderFor(row.chosen), row.box) << row.chosen;
}

TEST_F(FolderChoiceTest, ChooserOpensAtTheTypedFolderAndAcceptAddsQuindor) {
    wizard.isForm3->Edit1->setText(base + "/Tools");
    chooseWith([&] {
        EXPECT_EQ(tree().GetPath(), base + "/Tools");
        EXPECT_EQ(chooser().caption(), base + "/Tools");
        tree().SetPath(base);
        EXPECT_EQ(chooser().caption(), base) << "the caption follows the selection";
        tree().SetPath(base + "/Tools");
        chooser().Button2->Click();
    });
    EXPECT_EQ(chooser().ChosenFolder, base + "/Tools/");
    EXPECT_EQ(wizard.isForm3->Edit1->text(), base + "/Tools/Quindor/");
}

// The caption follows the selection however it moves: a mouse click on a row, and a click
// on the expand sign of a selected folder's ancestor, which selects that ancestor.
TEST_F(FolderChoiceTest, TheCaptionFollowsMouseClicksAndCollapsingTakesTheSelection) {
    fs::create_directories(folder / "Tools/Deep/Er");
    wizard.isForm3->Edit1->setText(base + "/Tools/Deep/Er");
    chooseWith([&] {
        testing_support::settle();
        framework::TTreeNode* er = tree().Selected();
        ASSERT_EQ(tree().GetPath(), base + "/Tools/Deep/Er");
        framework::TTreeNode* tools = er->parent()->parent();
        click(tools);
        EXPECT_EQ(tree().GetPath(), base + "/Tools");
        EXPECT_EQ(chooser().caption(), base + "/Tools") << "a click sets the caption";
        click(er);
        EXPECT_EQ(chooser().caption(), base + "/Tools/Deep/Er");
        click(tools, true);
        EXPECT_FALSE(tools->expanded());
        EXPECT_EQ(tree().GetPath(), base + "/Tools") << "the collapsed folder is selected";
        EXPECT_EQ(chooser().caption(), base + "/Tools");
        chooser().Button2->Click();
    });
    EXPECT_EQ(chooser().ChosenFolder, base + "/Tools/");
}

// A folder deeper than the 200 items an identifier list is counted to.
TEST_F(FolderChoiceTest, AFolderTwoHundredFiftyLevelsDownOpensAndIsAccepted) {
    std::string deep = base + "/deep";
    for (int i = 0; i < 250; ++i) deep += "/d";
    fs::create_directories(deep);
    wizard.isForm3->Edit1->setText(deep);
    chooseWith([&] {
        EXPECT_EQ(tree().GetPath(), deep);
        EXPECT_EQ(chooser().caption(), deep);
        const auto* view = static_cast<QTreeView*>(tree().widget());
        const QRect row = view->visualRect(view->currentIndex());
        EXPECT_TRUE(view->viewport()->rect().contains(row.center())) << "the folder is in view";
        chooser().Button2->Click();
    });
    EXPECT_EQ(chooser().ChosenFolder, deep + "/");
    EXPECT_EQ(wizard.isForm3->Edit1->text(), deep + "/Quindor/");
}

// The chooser's texts are applied when it shows: its translated caption first, then its
// activation by the window system puts the path there.
TEST_F(FolderChoiceTest, ShowingTheChooserAppliesItsCaptionBeforeActivationSetsThePath) {
    wizard.isForm3->Edit1->setText(base + "/Tools");
    std::vector<std::string> seen;
    chooser().OnShow = [&](framework::Component*) {
        seen.push_back("shown: " + chooser().caption());
    };
    const auto hook = chooser().addMessageHook([&](const framework::FormMessage& message) {
        if (message.kind == framework::FormMessageKind::Activate)
            seen.push_back("activating: " + chooser().caption());
    });
    testing_support::whenModal([&] {
        chooser().widget()->activateWindow();
        testing_support::settle();
        seen.push_back("active: " + chooser().caption());
        chooser().Button3->Click();
    });
    wizard.isForm3->BitBtn1->Click();
    const std::vector<std::string> expected{"shown: Select/create directory",
                                            "activating: Select/create directory",
                                            "active: " + base + "/Tools"};
    EXPECT_EQ(seen, expected);
}

TEST_F(FolderChoiceTest, AFolderNamedQuindorIsTakenAsItIs) {
    wizard.isForm3->Edit1->setText(base + "/QUINDOR/");
    chooseWith([&] { chooser().Button2->Click(); });
    EXPECT_EQ(wizard.isForm3->Edit1->text(), base + "/QUINDOR/");
}

TEST_F(FolderChoiceTest, AFolderThatDoesNotExistOpensAtTheSetupProgramsFolder) {
    wizard.isForm3->Edit1->setText(base + "/no/such/folder/");
    chooseWith([&] {
        EXPECT_EQ(tree().GetPath() + "/", wizard.distributionFolder());
        chooser().Button3->Click();
    });
}

TEST_F(FolderChoiceTest, AbortKeepsAHandEditedBox) {
    wizard.isForm3->Edit1->setText("typed by hand");
    chooseWith([&] {
        tree().SetPath(base + "/Tools");
        chooser().Button3->Click();
    });
    EXPECT_EQ(chooser().ChosenFolder, "");
    EXPECT_EQ(wizard.isForm3->Edit1->text(), "typed by hand");
}

TEST_F(FolderChoiceTest, AcceptAddsOneSlashNeverOnTheRootAndNeedsAFolder) {
    wizard.isForm3->Edit1->setText("/");
    chooseWith([&] {
        EXPECT_EQ(tree().GetPath(), "/");
        chooser().Button2->Click();
    });
    EXPECT_EQ(chooser().ChosenFolder, "/");
    EXPECT_EQ(wizard.isForm3->Edit1->text(), "/Quindor/");
    chooseWith([&] {
        tree().SetPath("");  // "Computer" itself: no path
        chooser().Button2->Click();
        EXPECT_TRUE(chooser().isShowing()) << "Accept without a folder keeps the dialog open";
        chooser().Button3->Click();
    });
    EXPECT_EQ(wizard.isForm3->Edit1->text(), "/Quindor/");
}

TEST_F(FolderChoiceTest, ClickingIntoTheBoxOpensTheChooserToo) {
    wizard.isForm3->Edit1->setText(base);
    bool opened = false;
    testing_support::whenModal([&] {
        opened = chooser().isModal();
        chooser().Button3->Click();
    });
    wizard.isForm3->Edit1Click(wizard.isForm3->Edit1);
    EXPECT_TRUE(opened);
}

TEST_F(FolderChoiceTest, NewFolderIsMadeSelectedAndAccepted) {
    wizard.isForm3->Edit1->setText(base + "/Tools");
    chooseWith([&] {
        newFolderWith([&] {
            EXPECT_EQ(newFolder().Label2->caption(), base + "/Tools/");
            newFolder().Edit1->setText("Data");
            newFolder().Button3->Click();
        });
        EXPECT_TRUE(fs::is_directory(folder / "Tools/Data"));
        EXPECT_EQ(tree().GetPath(), base + "/Tools/Data");
        EXPECT_EQ(chooser().caption(), base + "/Tools/Data");
        EXPECT_EQ(chooser().PendingFolder, "");
        chooser().Button2->Click();
    });
    EXPECT_EQ(wizard.isForm3->Edit1->text(), base + "/Tools/Data/Quindor/");
    EXPECT_EQ(newFolder().NewFolderName, "Data");
}

TEST_F(FolderChoiceTest, NewFolderEdgeCases) {
    wizard.isForm3->Edit1->setText(base + "/Tools");
    chooseWith([&] {
        fs::create_directories(folder / "Tools/Old");
        newFolderWith([&] {  // an existing name: selected, no message
            newFolder().Edit1->setText("Old");
            newFolder().Button3->Click();
        });
        EXPECT_EQ(tree().GetPath(), base + "/Tools/Old");
        EXPECT_TRUE(messages.shown.empty());
        newFolderWith([&] {  // an empty name: nothing made, the current folder again
            EXPECT_EQ(newFolder().Edit1->text(), "Old") << "the name typed last stays";
            newFolder().Edit1->setText("");
            newFolder().Button3->Click();
        });
        EXPECT_EQ(tree().GetPath(), base + "/Tools/Old");
        newFolderWith([&] {  // a name that would leave the folder makes nothing
            newFolder().Edit1->setText("../Escaped");
            newFolder().Button3->Click();
        });
        EXPECT_FALSE(fs::exists(folder / "Tools/Escaped"));
        EXPECT_EQ(tree().GetPath(), base + "/Tools");
        newFolderWith([&] {  // Cancel: nothing changes
            newFolder().Edit1->setText("Never");
            newFolder().Button2->Click();
        });
        EXPECT_FALSE(fs::exists(folder / "Tools/Never"));
        EXPECT_EQ(tree().GetPath(), base + "/Tools");
        EXPECT_EQ(newFolder().NewFolderName, "");
        tree().SetPath("/");
        newFolderWith([&] {
            EXPECT_EQ(newFolder().Label2->caption(), "/") << "the root keeps its one slash";
            newFolder().Button2->Click();
        });
        tree().SetPath("");
        newFolderWith([&] {
            EXPECT_EQ(newFolder().Label2->caption(), "/") << "Computer reads as the root";
            newFolder().Button2->Click();
        });
        chooser().Button3->Click();
    });
}

// Pictures of both dialogs as the user sees them (saved to QUINDOR_SCREENSHOT_DIR when set).
TEST_F(FolderChoiceTest, DialogsPaint) {
    const char* target = std::getenv("QUINDOR_SCREENSHOT_DIR");
    const fs::path shots =
        target != nullptr ? fs::path(target) : testing_support::sandboxFolder() / "screens";
    fs::create_directories(shots);
    wizard.isForm3->Edit1->setText(base + "/Tools");
    chooseWith([&] {
        testing_support::settle();
        EXPECT_TRUE(chooser().widget()->grab().save(
            QString::fromStdString((shots / "iForm10.png").string())));
        newFolderWith([&] {
            newFolder().Edit1->setText("Data");
            testing_support::settle();
            EXPECT_TRUE(newFolder().widget()->grab().save(
                QString::fromStdString((shots / "iForm11.png").string())));
            newFolder().Button2->Click();
        });
        chooser().Button3->Click();
    });
}

}  // namespace
