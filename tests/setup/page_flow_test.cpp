// Drives the real pages through every row of the page flow by control name.

#include <functional>

#include <QLineEdit>
#include <QTest>
#include <QWindow>

#include "wizard_fixture.h"

using Pages = std::vector<std::string>;

TEST_F(WizardTest, StartsOnTheWelcomePageInInstallMode) {
    EXPECT_EQ(showingPages(), Pages{"isForm1"});
    EXPECT_TRUE(wizard.isForm1->RadioButton1->checked());
    EXPECT_FALSE(wizard.isForm1->RadioButton2->checked());
    EXPECT_EQ(wizard.isForm1->Button3->caption(), "Next>");
    EXPECT_EQ(app().mainForm(), wizard.isForm1.get());
}

TEST_F(WizardTest, NextCaptionFollowsTheModeButtons) {
    QTest::mouseClick(wizard.isForm1->RadioButton2->widget(), Qt::LeftButton);
    EXPECT_EQ(wizard.isForm1->Button3->caption(), "UnInstall");
    wizard.isForm1->RadioButton1->Click();
    EXPECT_EQ(wizard.isForm1->Button3->caption(), "Next>");
    EXPECT_FALSE(wizard.isForm1->RadioButton2->checked());

    wizard.isForm1->Button3->Click();
    EXPECT_EQ(showingPages(), Pages{"isForm3"});
}

TEST_F(WizardTest, UnInstallWithNothingInstalledEndsTheProgramWithoutAnotherPage) {
    wizard.isForm1->RadioButton2->Click();
    wizard.isForm1->Button3->Click();
    ASSERT_EQ(messages.shown.size(), 1U);
    EXPECT_EQ(messages.shown[0].text,
              "You have never installed Quindor!\rSo we do not have to UnInstall it.");
    EXPECT_TRUE(app().terminated());
    EXPECT_TRUE(showingPages().empty());
}

TEST_F(WizardTest, ResumeReturnsToTheVeryPageUnchanged) {
    wizard.isForm1->RadioButton2->Click();
    cancelAndAnswer(wizard.isForm1->Button2, false);
    EXPECT_EQ(showingPages(), Pages{"isForm1"});
    EXPECT_TRUE(wizard.isForm1->RadioButton2->checked());
    EXPECT_EQ(wizard.isForm1->Button3->caption(), "UnInstall");
    EXPECT_FALSE(app().terminated());

    wizard.isForm1->RadioButton1->Click();
    wizard.isForm1->Button3->Click();
    wizard.isForm3->Edit1->setText("/opt/typed by hand/");
    cancelAndAnswer(wizard.isForm3->Button2, false);
    EXPECT_EQ(showingPages(), Pages{"isForm3"});
    EXPECT_EQ(wizard.isForm3->Edit1->text(), "/opt/typed by hand/");
    EXPECT_FALSE(app().terminated());
}

TEST_F(WizardTest, ExitSetupEndsTheProgramFromEveryPageWithACancel) {
    const std::vector<std::function<framework::TButton*()>> cancels = {
        [&] { return wizard.isForm1->Button2; },
        [&] {
            wizard.isForm1->Button3->Click();
            return wizard.isForm3->Button2;
        },
        [&] {
            wizard.isForm1->Button3->Click();
            wizard.isForm3->Button3->Click();
            return wizard.isform4->Button2;
        },
        [&] {
            goToShortcutPage();
            return wizard.isForm5->Button2;
        },
    };
    for (std::size_t i = 0; i < cancels.size(); ++i) {
        SCOPED_TRACE(i);
        for (framework::TForm* page : allPages()) page->Hide();
        wizard.isForm1->Show();
        app().resetTermination();
        cancelAndAnswer(cancels[i](), true);
        EXPECT_TRUE(app().terminated());
        EXPECT_TRUE(wizard.isForm1->isShowing());
    }
}

TEST_F(WizardTest, WelcomeCloseBoxEndsTheProgramWithoutConfirmation) {
    wizard.isForm1->widget()->close();
    EXPECT_TRUE(app().terminated());
    EXPECT_FALSE(wizard.isForm2->isShowing());
}

TEST_F(WizardTest, CloseBoxOfAnInstallPageAsksForConfirmation) {
    wizard.isForm1->Button3->Click();
    bool asked = false;
    testing_support::whenModal([&] {
        asked = wizard.isForm2->isShowing();
        wizard.isForm2->Button1->Click();
    });
    wizard.isForm3->widget()->close();
    EXPECT_TRUE(asked);
    EXPECT_EQ(showingPages(), Pages{"isForm3"});
}

TEST_F(WizardTest, LanguagePageGoesBackAndOnWithoutCheckingTheFolder) {
    wizard.isForm1->Button3->Click();
    wizard.isForm3->Button4->Click();
    EXPECT_EQ(showingPages(), Pages{"isForm1"});

    wizard.isForm1->Button3->Click();
    wizard.isForm3->Edit1->setText("");
    wizard.isForm3->Button3->Click();
    EXPECT_EQ(showingPages(), Pages{"isform4"});
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(WizardTest, DictionaryPageRequiresOneMark) {
    wizard.isForm1->Button3->Click();
    wizard.isForm3->Button3->Click();
    wizard.isform4->CheckListBox1->listWidget()->item(3)->setSelected(
        true);  // selected, not marked
    wizard.isform4->Button3->Click();
    ASSERT_EQ(messages.shown.size(), 1U);
    EXPECT_EQ(messages.shown[0].kind, "message");
    EXPECT_EQ(messages.shown[0].text, "Please select at least one language!");
    EXPECT_EQ(showingPages(), Pages{"isform4"});

    wizard.isform4->CheckListBox1->setChecked(14, true);  // "South-African" alone is enough
    wizard.isform4->Button3->Click();
    EXPECT_EQ(messages.shown.size(), 1U);
    EXPECT_EQ(showingPages(), Pages{"isForm5"});
    EXPECT_EQ(wizard.isform4->DictionaryCodes.at(14), "ZA");
}

TEST_F(WizardTest, DictionaryBackLeavesThePageOpenBehind) {
    wizard.isForm1->Button3->Click();
    wizard.isForm3->Button3->Click();
    wizard.isform4->CheckListBox1->setChecked(2, true);
    wizard.isform4->Button4->Click();
    EXPECT_EQ(showingPages(), (Pages{"isForm3", "isform4"}));

    wizard.isForm3->Button3->Click();  // shows the same page again, in place
    EXPECT_EQ(showingPages(), Pages{"isform4"});
    EXPECT_TRUE(wizard.isform4->CheckListBox1->checked(2));

    wizard.isform4->Button4->Click();
    wizard.isForm3->Button4->Click();  // further back: it stays behind the welcome page
    EXPECT_EQ(showingPages(), (Pages{"isForm1", "isform4"}));
}

TEST_F(WizardTest, ShortcutPageBackKeepsMarksAndBoxes) {
    goToShortcutPage();
    wizard.isForm5->CheckBox1->setChecked(false);
    wizard.isForm5->CheckBox2->setChecked(true);
    wizard.isForm5->Button4->Click();
    EXPECT_EQ(showingPages(), Pages{"isform4"});
    EXPECT_TRUE(wizard.isform4->CheckListBox1->checked(0));
    wizard.isform4->Button3->Click();
    EXPECT_EQ(showingPages(), Pages{"isForm5"});
    EXPECT_FALSE(wizard.isForm5->CheckBox1->checked());
    EXPECT_TRUE(wizard.isForm5->CheckBox2->checked());
    EXPECT_TRUE(wizard.isForm5->CheckBox3->checked());
}

TEST_F(WizardTest, EveryChoiceSurvivesGoingBackToTheStartAndForwardAgain) {
    wizard.isForm1->Button3->Click();
    wizard.isForm3->ComboBox1->comboBox()->setCurrentIndex(6);
    wizard.isForm3->Edit1->setText("/srv/q/");
    wizard.isForm3->Button3->Click();
    wizard.isform4->CheckListBox1->setChecked(4, true);
    wizard.isform4->CheckListBox1->setChecked(9, true);
    wizard.isform4->Button3->Click();
    wizard.isForm5->CheckBox3->setChecked(false);

    wizard.isForm5->Button4->Click();
    wizard.isform4->Button4->Click();
    wizard.isForm3->Button4->Click();
    wizard.isForm1->Button3->Click();
    EXPECT_EQ(wizard.isForm3->ComboBox1->text(), "Po polsku");
    EXPECT_EQ(wizard.ScreenLanguageCode, "PL");
    EXPECT_EQ(wizard.isForm3->Edit1->text(), "/srv/q/");
    wizard.isForm3->Button3->Click();
    for (int row = 0; row < 15; ++row) {
        EXPECT_EQ(wizard.isform4->CheckListBox1->checked(row), row == 4 || row == 9) << row;
    }
    wizard.isform4->Button3->Click();
    EXPECT_TRUE(wizard.isForm5->CheckBox1->checked());
    EXPECT_FALSE(wizard.isForm5->CheckBox3->checked());
}

TEST_F(WizardTest, EmptyFolderIsRefusedAtInstallWithNothingChanged) {
    wizard.isForm1->Button3->Click();
    wizard.isForm3->Edit1->setText("");
    wizard.isForm3->Button3->Click();
    wizard.isform4->CheckListBox1->setChecked(0, true);
    wizard.isform4->Button3->Click();
    wizard.isForm5->Button3->Click();
    ASSERT_EQ(messages.shown.size(), 1U);
    EXPECT_EQ(messages.shown[0].text, "Please enter the folder to install Quindor into.");
    EXPECT_EQ(showingPages(), Pages{"isForm5"});
    EXPECT_EQ(wizard.isForm7->LB->Items().count(), 0);
    EXPECT_TRUE(std::filesystem::is_empty(testing_support::sandboxFolder() / "registry"));
}

TEST_F(WizardTest, FinishPageDisablesStartAfterAnUninstall) {
    wizard.isForm1->RadioButton2->Click();
    wizard.isForm1->Hide();
    wizard.isform6->Show();
    testing_support::settle();
    wizard.isform6->FormActivate(
        wizard.isform6.get());  // activation as the window system reports it
    EXPECT_FALSE(wizard.isform6->Button2->enabled());

    wizard.isForm1->RadioButton1->Click();  // never enabled again
    wizard.isform6->FormActivate(wizard.isform6.get());
    EXPECT_FALSE(wizard.isform6->Button2->enabled());

    wizard.isform6->Button1->Click();
    EXPECT_TRUE(app().terminated());
}

TEST_F(WizardTest, FinishPageKeepsStartEnabledAfterAnInstall) {
    wizard.isForm1->Hide();
    wizard.isform6->Show();
    testing_support::settle();
    wizard.isform6->FormActivate(wizard.isform6.get());
    EXPECT_TRUE(wizard.isform6->Button2->enabled());
    EXPECT_EQ(wizard.isform6->Label2->caption(), "You have successfully installed Quindor.");
    wizard.isform6->Button2->Click();
    EXPECT_TRUE(app().terminated());
}

// The window manager (under Wayland the compositor, which places every window) keeps a window
// over the one named as its parent: each modal page is a dialog naming the page it was opened
// from.
TEST_F(WizardTest, ModalPagesStayOverThePageThatOpenedThem) {
    const auto window = [](framework::TForm& page) { return page.widget()->windowHandle(); };
    const auto parentWhileModal = [&](framework::TForm& dialog, const std::function<void()>& open,
                                      framework::TButton* close) {
        QWindow* parent = nullptr;
        testing_support::whenModal([&] {
            parent = window(dialog)->transientParent();
            EXPECT_EQ(window(dialog)->type(), Qt::Dialog) << dialog.name();
            close->Click();
        });
        open();
        return parent;
    };
    wizard.isForm1->Button3->Click();
    wizard.isForm3->widget()->activateWindow();
    testing_support::settle();
    EXPECT_EQ(
        parentWhileModal(
            *wizard.isForm2, [&] { wizard.isForm3->Button2->Click(); }, wizard.isForm2->Button1),
        window(*wizard.isForm3));
    EXPECT_EQ(window(*wizard.isForm2)->transientParent(), nullptr) << "kept after it closed";

    // The folder chooser over the folder page, the new-folder dialog over the chooser.
    QWindow* newFolderParent = nullptr;
    auto* const chooserParent = parentWhileModal(
        *wizard.iForm10, [&] { wizard.isForm3->BitBtn1->Click(); }, wizard.iForm10->Button3);
    EXPECT_EQ(chooserParent, window(*wizard.isForm3));
    testing_support::whenModal([&] {
        wizard.iForm10->widget()->activateWindow();
        testing_support::settle();
        newFolderParent = parentWhileModal(
            *wizard.iForm11, [&] { wizard.iForm10->BitBtn1->Click(); }, wizard.iForm11->Button2);
        wizard.iForm10->Button3->Click();
    });
    wizard.iForm10->ShowModal();
    EXPECT_EQ(newFolderParent, window(*wizard.iForm10));
}

TEST_F(WizardTest, FolderDialogsReturnThroughTheirOwnButtons) {
    wizard.iForm10->ChosenFolder = "/left/over/";
    testing_support::whenModal([&] {
        testing_support::whenModal([&] {
            EXPECT_TRUE(wizard.iForm11->isModal());
            wizard.iForm11->NewFolderName = "kept";
            wizard.iForm11->Button2->Click();
        });
        wizard.iForm10->BitBtn1->Click();
        EXPECT_EQ(wizard.iForm11->NewFolderName, "");
        wizard.iForm10->Button3->Click();
    });
    wizard.iForm10->ShowModal();
    EXPECT_EQ(wizard.iForm10->ChosenFolder, "");
    EXPECT_FALSE(wizard.iForm10->isShowing());
    EXPECT_FALSE(wizard.iForm11->isShowing());
}

TEST_F(WizardTest, TheLogCloseBoxDoesNothingWhileNoInstallFailed) {
    wizard.isForm7->Show();
    wizard.isForm7->widget()->close();
    EXPECT_TRUE(wizard.isForm7->isShowing());
    EXPECT_FALSE(app().terminated());
}
